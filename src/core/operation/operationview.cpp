#include "core/operation/operationview.h"

#include "core/definition/turntablegeometry.h"

BridgeShape BridgeGeometry(const TurntableGeometry &g, int pos) {
    const int n = g.positions();
    BridgeShape b;
    int s = pos + g.zeroOffset() + 1;
    if (s > n) {
        s -= n;
    } else if (s < 0) {
        s += n;
    }
    b.slot = s;
    const int r = g.Radius(TurntableGeometry::RingInner);

    const double a1 = g.SlotAngle(s + 1 > n ? 1.0f : float(s + 1));
    b.p[0] = g.Point(a1, r);
    b.p[1] = g.Opposite(a1, r);
    const double a2 = g.SlotAngle(s - 1 < 0 ? float(n - 1) : float(s - 1));
    b.p[3] = g.Point(a2, r);
    b.p[2] = g.Opposite(a2, r);
    b.p[4] = g.Point(a2, r - BridgeCabinDepth);
    float f3 = 0.0f;
    if (g.reversed()) {
        f3 = s + 3 > n ? float(s - n + 3) : float(s + 3);
    } else {
        f3 = s - 3 < 0 ? float(s + n - 3) : float(s - 3);
    }
    const double a3 = g.SlotAngle(f3);
    b.p[5] = g.Point(a3, r - 60);
    b.p[6] = g.Point(a3, r - 5);

    const double a = g.SlotAngle(float(s));
    b.trackFrom = g.Point(a, r);
    b.trackTo = g.Opposite(a, r);
    return b;
}
