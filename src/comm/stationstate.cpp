#include "comm/stationstate.h"

#include <cmath>

void StationData::SetDefaults() {
    for (int i = 0; i <= MaxPositions; ++i) {
        PositionUsed[static_cast<size_t>(i)] = true;
        PositionName[static_cast<size_t>(i)] = i == 0 ? QString() : QString::number(i);
    }
    ZeroOffset = 0;
    ReverseCounting = true;
    ShowSwitchLine = true;
    UseMotorola = true;
    RSense = DefaultRSense;
}

bool StationData::IsUsableRSense(float ohm) {
    return std::isfinite(ohm) && ohm > 0.0f;
}
