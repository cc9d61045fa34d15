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

// Turntable pictures.
inline const QColor PictureBackground = FromBgr(0xFFFFFF);
inline const QColor PictureOutline = FromBgr(0x000000);
inline const QColor PitRing = FromBgr(0x808080);
inline const QColor TrackLine = FromBgr(0x0000FF);  // red
inline const QColor SwitchLine = FromBgr(0xFF0000); // blue
inline const QColor BridgeActual = QColor(0x80, 0x80, 0x80);
inline const QColor BridgeTarget = QColor(0xFF, 0xFF, 0xCC); // light yellow, also the target panel
// The stop sign on "Stopp Drehung"; the other drive symbols take the button text's colour.
inline const QColor HaltSymbol = QColor(0xC0, 0x20, 0x20);
inline const QColor BridgeTrack = QColor(0xFF, 0x00, 0x00);

// Status panels of the operation tab.
inline const QColor Lime = QColor(0x00, 0xFF, 0x00);
inline const QColor White = QColor(0xFF, 0xFF, 0xFF);
inline const QColor Black = QColor(0x00, 0x00, 0x00);
inline const QColor Yellow = QColor(0xFF, 0xFF, 0x00);
inline const QColor Red = QColor(0xFF, 0x00, 0x00);

// Marks of data that can be transferred (definition and parameter tabs); "not confirmed by a
// board" is the palette's window colour.
inline const QColor MarkReceived = FromBgr(0x00FF00);  // lime: read back from the board
inline const QColor MarkRequested = FromBgr(0xFFFF00); // aqua: read requested
inline const QColor MarkChanged = FromBgr(0x00FFFF);   // yellow: changed, not yet written
inline const QColor MarkSent = FromBgr(0xFF00FF);      // fuchsia: written, not yet read back
// Written, but read back otherwise or not at all: a red of its own, lighter than the address
// edits' red output, so that the text on it stays readable.
inline const QColor MarkFailed = QColor(0xFF, 0x60, 0x60);
// A row of the definition tab whose write was not read back as written: its label turns dark
// violet with white text, so that it catches the eye among the red and green address edits and
// reads apart from both, also to eyes that do not tell red from green.
inline const QColor RowFailedLabel = QColor(0x5A, 0x1E, 0x96);
inline const QColor RowFailedText = QColor(0xFF, 0xFF, 0xFF);
// Address edits: the output of the address; no address keeps the window colour.
inline const QColor AddressGreen = FromBgr(0x00FF00);
inline const QColor AddressRed = FromBgr(0x0000FF);
// Diagnosis tab: indicator panels and graph pens (besides the operation tab's colours above).
inline const QColor Aqua = QColor(0x00, 0xFF, 0xFF);
inline const QColor Blue = QColor(0x00, 0x00, 0xFF);

// Status panels whose state is not known (not connected, no report yet, or the line silent):
// a neutral grey with a "?" that no reported state uses.
inline const QColor UnknownPanel = QColor(0xC8, 0xC8, 0xC8);
inline const QColor UnknownText = QColor(0x50, 0x50, 0x50);

} // namespace Colors
