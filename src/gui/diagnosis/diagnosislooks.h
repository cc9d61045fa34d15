#pragma once

// How the diagnosis tab shows what the boards report: the looks of the indicator panels and the
// painting of both graphs.

#include "core/diagnosis/diagnosislogic.h"

#include <QColor>
#include <QString>
#include <cstdint>
#include <optional>

class QImage;

namespace Diagnosis {

// ---------------------------------------------------------------------------------------------
// Indicator panels

struct PanelLook {
    QString caption;
    QColor background;
    QColor text;
    bool operator==(const PanelLook &) const = default;
};

enum class Dip { Positions48, Dcc, Calc };
// The look of a DIP panel from the first byte of "F".
PanelLook DipLook(Dip dip, uint8_t status1);

// The background of error panel pnl_err_<number> (10..17 pit board, 20..27 bridge board) from the
// two bytes of "E". The motor panels 20 and 21 are white while the motor has no reason to run
// (motorActive: the bridge turns or the direct drive runs). buttonFace is the palette's.
QColor ErrorPanelColour(int number, uint8_t errors1, uint8_t errors2, bool motorActive,
                        const QColor &buttonFace);

// Clears the canvas white and draws the sense current curve (red, width 2) over width pixels, then
// the dashed reference line (blue) at the reference current when one is given. Draws nothing when
// the scale is not drawable.
void PaintSenseGraph(QImage &canvas, int width, const GraphScale &scale,
                     const SampleHistory &history, std::optional<int> reference);

// Clears the canvas white and draws the sensor voltage curve (blue, width 2), the dashed threshold
// lines V_Mess (blue) and V_COUNT (red) and, when asked, the dotted volt grid in gridColour.
void PaintSensorGraph(QImage &canvas, int width, const GraphScale &scale,
                      const SampleHistory &history, int vMess, int vCount, bool grid,
                      const QColor &gridColour);

} // namespace Diagnosis
