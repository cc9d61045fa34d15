#pragma once

#include <QPoint>
#include <array>

class TurntableGeometry;

// The shape of one bridge on the operation tab's picture: the deck between the diameters one slot
// before and one slot after the bridge's slot, the operator's cabin at its side, and the track.
struct BridgeShape {
    int slot = 0;
    // P1..P7: deck corners P1..P4, cabin points P5..P7.
    std::array<QPoint, 7> p{};
    QPoint trackFrom;
    QPoint trackTo;
};

// How far the operator's cabin reaches in from the pit's rim, in pixels.
constexpr int BridgeCabinDepth = 70;

// Position pos (0-based) is drawn on the track line of position pos + 1.
BridgeShape BridgeGeometry(const TurntableGeometry &g, int pos);
