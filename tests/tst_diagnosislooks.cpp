// How the diagnosis tab shows the boards' reports: the indicator panels' looks and the painting of
// both graphs.

#include "core/diagnosis/diagnosislogic.h"
#include "fixtures/imagetestutil.h"
#include "gui/common/colors.h"
#include "gui/diagnosis/diagnosislooks.h"

#include <QImage>
#include <QTest>

using namespace Diagnosis;
using namespace TestUtil;

class TestDiagnosisLooks : public QObject {
    Q_OBJECT
private slots:
    // -----------------------------------------------------------------------------------------
    // Indicator panels

    void errorPanelColours() {
        const QColor face(1, 2, 3);
        // "RS232 OK" alone: the pit flags green, RS232_OK green; without it button face.
        QCOMPARE(ErrorPanelColour(10, 0x04, 0, false, face), Colors::Lime);
        QCOMPARE(ErrorPanelColour(11, 0x04, 0, false, face), Colors::Lime);
        QCOMPARE(ErrorPanelColour(12, 0x04, 0, false, face), Colors::Lime);
        QCOMPARE(ErrorPanelColour(12, 0x00, 0, false, face), face);
        QCOMPARE(ErrorPanelColour(10, 0x01, 0, false, face), Colors::Red);
        QCOMPARE(ErrorPanelColour(11, 0x02, 0, false, face), Colors::Red);
        QCOMPARE(ErrorPanelColour(17, 0x80, 0, false, face), Colors::Red); // hidden, coloured
        // Motor open/short: white while the motor stands, red or lime while it should run.
        QCOMPARE(ErrorPanelColour(20, 0, 0x01, false, face), Colors::White);
        QCOMPARE(ErrorPanelColour(21, 0, 0x02, false, face), Colors::White);
        QCOMPARE(ErrorPanelColour(20, 0, 0x01, true, face), Colors::Red);
        QCOMPARE(ErrorPanelColour(21, 0, 0x01, true, face), Colors::Lime);
        // The other bridge flags do not care whether the motor runs.
        QCOMPARE(ErrorPanelColour(23, 0, 0x08, false, face), Colors::Red);
        QCOMPARE(ErrorPanelColour(26, 0, 0x40, false, face), Colors::Red);
        QCOMPARE(ErrorPanelColour(26, 0xFF, 0x00, false, face), Colors::Lime);
        QCOMPARE(ErrorPanelColour(22, 0, 0x04, false, face), Colors::Red);
    }

    void dipPanelLooks() {
        QCOMPARE(DipLook(Dip::Dcc, 0x08),
                 (PanelLook{QStringLiteral("MM"), Colors::Yellow, Colors::Black}));
        QCOMPARE(DipLook(Dip::Dcc, 0x14),
                 (PanelLook{QStringLiteral("DCC"), Colors::Aqua, Colors::Black}));
        QCOMPARE(DipLook(Dip::Positions48, 0x04),
                 (PanelLook{QStringLiteral("xx Pos"), Colors::Black, Colors::White}));
        QCOMPARE(DipLook(Dip::Positions48, 0x18),
                 (PanelLook{QStringLiteral("48 Pos"), Colors::White, Colors::Black}));
        QCOMPARE(DipLook(Dip::Calc, 0x10),
                 (PanelLook{QStringLiteral("Norm"), Colors::Black, Colors::White}));
        QCOMPARE(DipLook(Dip::Calc, 0x0C),
                 (PanelLook{QStringLiteral("/2"), Colors::White, Colors::Black}));
    }

    // -----------------------------------------------------------------------------------------
    // Graphs

    void senseGraphPainting() {
        QImage canvas(300, 286, QImage::Format_RGB32);
        canvas.fill(Qt::black);
        SampleHistory h;
        for (int i = 0; i < SampleHistory::Length; ++i) {
            h.Push(100);
        }
        const GraphScale s(286);
        PaintSenseGraph(canvas, 300, s, h, 200);
        QCOMPARE(canvas.pixelColor(150, s.Y(100)), Colors::Red);
        QCOMPARE(canvas.pixelColor(150, 5), Colors::White); // cleared
        QVERIFY(RowHas(canvas, s.Y(200), Colors::Blue, 300));
        QVERIFY(!RowHas(canvas, s.Y(200) + 3, Colors::Blue, 300));
        // Without a reference line none is drawn.
        PaintSenseGraph(canvas, 300, s, h, std::nullopt);
        QVERIFY(!RowHas(canvas, s.Y(200), Colors::Blue, 300));
        // A picture without height is left alone.
        canvas.fill(Qt::black);
        PaintSenseGraph(canvas, 300, GraphScale(0), h, 200);
        PaintSenseGraph(canvas, 300, GraphScale(-5), h, 200);
        QCOMPARE(canvas.pixelColor(150, 100), QColor(Qt::black));
    }

    void sensorGraphPainting() {
        QImage canvas(300, 286, QImage::Format_RGB32);
        SampleHistory h;
        for (int i = 0; i < SampleHistory::Length; ++i) {
            h.Push(i < 128 ? 20 : 230);
        }
        const GraphScale s(286);
        const QColor face(200, 201, 202);
        PaintSensorGraph(canvas, 300, s, h, 170, 150, true, face);
        QCOMPARE(canvas.pixelColor(GraphScale::X(60, 300), s.Y(20)), Colors::Blue);
        QCOMPARE(canvas.pixelColor(GraphScale::X(200, 300), s.Y(230)), Colors::Blue);
        QVERIFY(RowHas(canvas, s.Y(170), Colors::Blue, 300)); // V_Mess
        QVERIFY(RowHas(canvas, s.Y(150), Colors::Red, 300));  // V_COUNT
        for (int volt : VoltGrid) {
            QVERIFY2(RowHas(canvas, s.Y(volt), face, 300), qPrintable(QString::number(volt)));
        }
        PaintSensorGraph(canvas, 300, s, h, 170, 150, false, face);
        QVERIFY(!RowHas(canvas, s.Y(102), face, 300));
    }
};

QTEST_MAIN(TestDiagnosisLooks)
#include "tst_diagnosislooks.moc"
