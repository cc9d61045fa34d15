// The geometry of the turntable pictures without painting: centre and radii, where positions,
// ticks, switch line and buttons lie, and the shape of the bridge.

#include "core/definition/turntablegeometry.h"
#include "core/operation/operationview.h"

#include <QPoint>
#include <QSize>
#include <QTest>
#include <cstdlib>

namespace {
bool Near(QPoint a, QPoint b) {
    return std::abs(a.x() - b.x()) <= 1 && std::abs(a.y() - b.y()) <= 1;
}
} // namespace

class TestTurntableGeometry : public QObject {
    Q_OBJECT
private slots:
    void centreAndRadii() {
        const TurntableGeometry g(400, 400, 48, 0, false);
        QCOMPARE(g.cx(), 200);
        QCOMPARE(g.cy(), 200);
        QCOMPARE(g.Radius(34), 136);
        QCOMPARE(g.Radius(38), 152);
        QCOMPARE(g.Radius(40), 160);
        QCOMPARE(g.Radius(42), 168);
        QCOMPARE(g.Radius(43), 172);
        QCOMPARE(g.Radius(47), 188);
        // Radii follow the width only.
        const TurntableGeometry wide(600, 300, 48, 0, false);
        QCOMPARE(wide.cy(), 150);
        QCOMPARE(wide.Radius(34), 204);
    }

    void whereThePositionsLie() {
        const TurntableGeometry g(400, 400, 48, 0, false);
        const int r = g.Radius(40);
        QVERIFY(Near(g.Point(g.PositionAngle(48), r), QPoint(360, 200))); // 3 o'clock
        QVERIFY(Near(g.Point(g.PositionAngle(12), r), QPoint(200, 360))); // bottom
        QVERIFY(Near(g.Point(g.PositionAngle(24), r), QPoint(40, 200)));  // left
        QVERIFY(Near(g.Point(g.PositionAngle(36), r), QPoint(200, 40)));  // top
        const TurntableGeometry rev(400, 400, 48, 0, true);
        QVERIFY(Near(rev.Point(rev.PositionAngle(12), r), QPoint(200, 40))); // mirrored: top
        QVERIFY(Near(rev.Point(rev.PositionAngle(36), r), QPoint(200, 360)));
        QVERIFY(Near(rev.Point(rev.PositionAngle(48), r), QPoint(360, 200)));
        // The switch line runs from between 48 and 1 to between 24 and 25.
        const double s = g.SwitchAngle();
        QVERIFY(s > g.PositionAngle(48) - 6.3 && s < g.PositionAngle(1));
        QVERIFY(Near(g.Opposite(s, 172), g.Point(g.SlotAngle(24.5f), 172)));
        // Buttons sit centred on 47 percent, shifted by their height - 20.
        const QPoint b = g.ButtonTopLeft(12, QSize(20, 14), QPoint(8, 8));
        QCOMPARE(b, QPoint(8 + 200 - 10, 8 + 388 + 14 - 20));
    }

    void fewerThanOnePositionCountsAsTen() {
        QCOMPARE(TurntableGeometry(400, 400, 0, 0, false).positions(), 10);
        QCOMPARE(TurntableGeometry(400, 400, -3, 0, false).positions(), 10);
    }

    void bridgeShape() {
        const TurntableGeometry g(400, 400, 48, 0, false);
        const BridgeShape b = BridgeGeometry(g, 0);
        QCOMPARE(b.slot, 1); // position 0 lies on the line of position 1
        QCOMPARE(b.trackFrom, g.Point(g.PositionAngle(1), 136));
        QCOMPARE(b.trackTo, g.Opposite(g.PositionAngle(1), 136));
        QCOMPARE(b.p[0], g.Point(g.SlotAngle(2), 136)); // one slot after
        QCOMPARE(b.p[3], g.Point(g.SlotAngle(0), 136)); // one slot before
        QCOMPARE(b.p[4], g.Point(g.SlotAngle(0), 66));  // cabin at R - 70 pixels
        QCOMPARE(b.p[5], g.Point(g.SlotAngle(46), 76)); // three slots back, R - 60
        // Wrapping: the last position and the slot sums beyond N.
        QCOMPARE(BridgeGeometry(g, 47).slot, 48);
        QCOMPARE(BridgeGeometry(g, 48).slot, 1);
        QCOMPARE(BridgeGeometry(TurntableGeometry(400, 400, 48, -5, false), 2).slot, 46);
        const TurntableGeometry rev(400, 400, 48, 0, true);
        const BridgeShape r = BridgeGeometry(rev, 46); // slot 47: cabin fraction 50 - 48 = 2
        QCOMPARE(r.p[5], rev.Point(rev.SlotAngle(2), 76));
    }
};

QTEST_GUILESS_MAIN(TestTurntableGeometry)
#include "tst_turntablegeometry.moc"
