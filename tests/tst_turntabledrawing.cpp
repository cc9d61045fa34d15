// The drawing steps both turntable pictures share: the pit, the tracks in use and the switch line.

#include "core/definition/turntablegeometry.h"
#include "gui/common/colors.h"
#include "gui/common/turntabledrawing.h"

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

    // The numbers are written as a box at their anchor would write them, in every font size the
    // pictures use.
    void numbersSitInTheirBoxes() {
        for (const int pixels : {9, 12, 15, 22}) {
            QFont font;
            font.setPixelSize(pixels);
            for (const int n : {8, 24, 48}) {
                const TurntableGeometry g(400, 400, n, 3, false);
                QImage drawn(400, 400, QImage::Format_RGB32);
                QImage boxed(400, 400, QImage::Format_RGB32);
                QPainter a(&drawn);
                QPainter b(&boxed);
                a.setFont(font);
                b.setFont(font);
                TurntableDrawing::DrawPit(a, g);
                TurntableDrawing::DrawPit(b, g);
                for (int i = 1; i <= n; ++i) {
                    TurntableDrawing::DrawTrack(a, g, i, 1);
                    // The same track with the number laid out in its box.
                    const double angle = g.PositionAngle(i);
                    b.setPen(QPen(Colors::TrackLine, 1));
                    b.drawLine(g.Point(angle, g.Radius(TurntableGeometry::RingInner)),
                               g.Point(angle, g.Radius(TurntableGeometry::TrackOuter)));
                    b.setPen(QPen(Colors::PictureOutline, 1));
                    const QPoint anchor = g.Point(angle, g.Radius(TurntableGeometry::NumberAnchor));
                    const QString text = QString::number(i);
                    const QRect box(QPoint(anchor.x() - 5, anchor.y() - 5),
                                    QFontMetrics(font).size(0, text));
                    b.fillRect(box, Colors::PictureBackground);
                    b.drawText(box, Qt::AlignLeft | Qt::AlignTop, text);
                }
                a.end();
                b.end();
                QVERIFY2(drawn == boxed,
                         qPrintable(QStringLiteral("%1 px, %2 positions").arg(pixels).arg(n)));
                QVERIFY(CountColour(drawn, Colors::PictureOutline) > n * 4); // numbers are there
            }
        }
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
