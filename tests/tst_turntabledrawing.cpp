// The drawing steps both turntable pictures share: the pit, the tracks in use and the switch line.

#include "colors.h"
#include "turntabledrawing.h"
#include "turntablegeometry.h"

#include <QImage>
#include <QPainter>
#include <QTest>

namespace {
QImage Picture(int n, int offset, bool reversed, const std::array<bool, 49> &used = {}) {
    QImage image(400, 400, QImage::Format_RGB32);
    const TurntableGeometry g(400, 400, n, offset, reversed);
    QPainter painter(&image);
    TurntableDrawing::DrawPit(painter, g);
    for (int i = 1; i <= g.positions(); ++i) {
        if (!used[static_cast<size_t>(i)]) {
            TurntableDrawing::DrawTrack(painter, g, i, 5);
        }
    }
    TurntableDrawing::DrawSwitchLine(painter, g, 3);
    return image;
}

int CountColour(const QImage &image, const QColor &colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            n += image.pixelColor(x, y) == colour ? 1 : 0;
        }
    }
    return n;
}

} // namespace

class TestTurntableDrawing : public QObject {
    Q_OBJECT
private slots:
    void sameZeroOffsetModuloN() {
        const QImage zero = Picture(48, 0, false);
        QCOMPARE(Picture(48, 48, false), zero);
        QCOMPARE(Picture(48, -48, false), zero);
        QVERIFY(Picture(48, 1, false) != zero);
        const QImage reversed = Picture(48, 0, true);
        QVERIFY(reversed != zero);
        QCOMPARE(Picture(48, 48, true), reversed);
    }

    void fewerThanOnePositionDrawsTen() {
        QCOMPARE(Picture(0, 0, false), Picture(10, 0, false));
        QVERIFY(Picture(0, 0, false) != Picture(12, 0, false));
    }

    void unusedTrackHasNoStroke() {
        std::array<bool, 49> skip{};
        skip[12] = true;
        const QImage all = Picture(48, 0, false);
        const QImage without = Picture(48, 0, false, skip);
        // Position 12 at the bottom: its stroke is red in one picture and absent in the other.
        QCOMPARE(all.pixelColor(200, 356), Colors::TrackLine);
        QCOMPARE(without.pixelColor(200, 356), Colors::PictureBackground);
        QVERIFY(CountColour(all, Colors::TrackLine) > CountColour(without, Colors::TrackLine));
        QVERIFY(CountColour(all, Colors::SwitchLine) > 0);
    }
};

QTEST_MAIN(TestTurntableDrawing)
#include "tst_turntabledrawing.moc"
