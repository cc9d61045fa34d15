#pragma once

#include <QColor>

// Colours of the program. Values noted as 0x00BBGGRR come from the board tools' colour notation
// (blue in the high byte) and are converted here once.
namespace Colors {

inline QColor FromBgr(unsigned bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

// Input-fill bar: red above 80 % of its range, navy otherwise.
inline const QColor FillBarFull = FromBgr(0x0000FF);
inline const QColor FillBarNormal = FromBgr(0x800000);

} // namespace Colors
