#pragma once

// The rules of the diagnosis tab that need no widget: the measurement texts, the looks of the
// indicator panels, the sample histories with the graph geometry and painting, and the messages of
// the direct drive.

#include "directdrive.h"

#include <QColor>
#include <QLocale>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

class QImage;

namespace Diagnosis {

// Bridge cells of the sensor thresholds (the load-control cells are the direct drive's).
constexpr int CellVMess = 3;
constexpr int CellVCount = 4;

// ---------------------------------------------------------------------------------------------
// Measurement texts

// The sense current in mA from the raw value: raw * 5 V / 1020 / R-Sense, in single precision and
// in that order, as the bridge board scales it.
float SenseCurrent(int raw, float rSense);
QString SenseCurrentText(int raw, float rSense); // "16.67 mA"
QString SensorVoltageText(int raw);              // "1.00 V"
QString RSenseInfoText(float rSense);            // "(Strom berechnet für R-Sense = …)"
QString RSenseDefaultText(float rSense, const QLocale &locale); // the dialog's default answer

// What the R-Sense dialog's answer means: nothing (cancelled or empty), a new value, or a refusal
// (not a number, zero, negative or not finite) that shows the invalid-input warning.
struct RSenseAnswer {
    enum class Kind { Unchanged, Accepted, Refused };
    Kind kind = Kind::Unchanged;
    float value = 0.0f;
};
RSenseAnswer ParseRSenseAnswer(const std::optional<QString> &answer, const QLocale &locale);

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

// ---------------------------------------------------------------------------------------------
// Histories and graphs

// The last 255 samples of one measurement, oldest first.
class SampleHistory {
public:
    static constexpr int Length = 255;
    static constexpr int StartValue = 128;
    static constexpr int MeanSamples = 25;

    SampleHistory() { m_samples.fill(StartValue); }

    // Drops the oldest sample and stores the newest at index 254.
    void Push(int sample);
    int at(int index) const { return m_samples[static_cast<size_t>(index)]; }
    // Integer mean (truncated) of the newest 25 samples, indices 230..254.
    int MeanOfNewest() const;

private:
    std::array<int, Length> m_samples{};
};

// The vertical scale of a graph from its height at the last layout: 286 sample units fill the
// height, 5 pixels above the bottom edge is a sample of 0.
class GraphScale {
public:
    static constexpr float Units = 286.0f;

    GraphScale() = default;
    explicit GraphScale(int height)
        : m_height(height), m_factor(static_cast<float>(height) / Units) {}

    int height() const { return m_height; }
    float factor() const { return m_factor; }
    // A graph too low to show anything is not drawn at all.
    bool drawable() const { return m_height > 0; }
    int Y(int sample) const;
    // x of sample i (0..254) on a picture width pixels wide.
    static int X(int index, int width);

private:
    int m_height = 0;
    float m_factor = 0.0f;
};

// The grid of the sensor graph: 1 V to 5 V.
constexpr std::array<int, 5> VoltGrid = {51, 102, 153, 204, 255};

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
