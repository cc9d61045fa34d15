#pragma once

#include <QString>
#include <array>

// Station data: which of the 48 positions are in use, their names and how the picture is drawn.
struct StationData {
    static constexpr int MaxPositions = 48;
    static constexpr float DefaultRSense = 15.0f;

    // A sense resistor the current can be computed with: finite and above zero.
    static bool IsUsableRSense(float ohm);

    StationData() { SetDefaults(); }
    void SetDefaults();

    // Index 1..48; index 0 is unused.
    std::array<bool, MaxPositions + 1> PositionUsed{};
    std::array<QString, MaxPositions + 1> PositionName{};
    int ZeroOffset = 0;
    bool ReverseCounting = true;
    bool ShowSwitchLine = true;
    bool UseMotorola = true;
    float RSense = DefaultRSense;
};

// The station as the PC holds it: its data, the positions the boards report or the user chose,
// and whether the bridge turns.
class StationState {
public:
    StationData station;
    int ActualPosition = 1;
    int TargetPosition = 1;
    int DigitalTarget = -1; // -1 until the first "L"
    int PositionCount = 48;
    bool Turning = false;
    // The turntable picture shows the pit board's own target as well (settings file, [Buehne]).
    bool ShowExternalTarget = false;

    // The station data changed on the PC (a position used or named, the zero offset, the
    // counting, a configuration loaded): every picture of the turntable draws anew.
    void StationChanged() { ++m_stationRevision; }
    int stationRevision() const { return m_stationRevision; }

private:
    int m_stationRevision = 0;
};
