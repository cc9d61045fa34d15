#pragma once

// The rules of the diagnosis tab that need no widget: the measurement texts, the R-Sense answer,
// and the sample histories with the graphs' scale. How panels and graphs look is in diagnosislooks.

#include "comm/directdrive.h"

#include <QLocale>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

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
// R-Sense with two decimals, or with as many more (up to four) as it was entered with: "15.00",
// "22.50", "4.705".
QString RSenseValueText(float rSense);

// The sense resistors the board can be fitted with: the current display means nothing beyond.
constexpr float MinRSense = 0.001f;
constexpr float MaxRSense = 10000.0f;

// What the R-Sense dialog's answer means: nothing (cancelled or empty), a new value, a text that
// is no number (the invalid-input warning), or a number outside MinRSense..MaxRSense (a warning
// that says what is allowed). A comma and a point are both taken as the decimal separator.
struct RSenseAnswer {
    enum class Kind { Unchanged, Accepted, Refused, OutOfRange };
    Kind kind = Kind::Unchanged;
    float value = 0.0f;
};
// The warning for an answer out of range.
QString RSenseRangeText(const QString &answer);
RSenseAnswer ParseRSenseAnswer(const std::optional<QString> &answer, const QLocale &locale);

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

} // namespace Diagnosis
