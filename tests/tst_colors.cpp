// The program's colours as a user sees them. Many come from the board tools' blue-first
// 0x00BBGGRR notation: each is compared here with its RGB value written out, so that a wrong
// conversion cannot hide behind the constants, and the marks on the definition and parameter tabs
// and the pictures are checked to show exactly those values.

#include "comm/sharedstate.h"
#include "core/definition/addressrows.h"
#include "core/definition/turntablegeometry.h"
#include "fixtures/definitionframe.h"
#include "fixtures/scripteddialogs.h"
#include "fixtures/testsession.h"
#include "fixtures/widgettestutil.h"
#include "gui/common/colors.h"
#include "gui/common/turntabledrawing.h"
#include "gui/parameter/tframeparameter.h"

#include <QColor>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTest>

using namespace TestUtil;

namespace {

const QColor Lime(0, 255, 0);
const QColor Aqua(0, 255, 255);
const QColor Yellow(255, 255, 0);
const QColor Fuchsia(255, 0, 255);
const QColor Red(255, 0, 0);
const QColor Blue(0, 0, 255);
const QColor Navy(0, 0, 128);
const QColor Grey(128, 128, 128);
const QColor White(255, 255, 255);
const QColor Black(0, 0, 0);

QLineEdit *ParameterEdit(QWidget *tab, int row) {
    return Find<QLineEdit>(tab, qPrintable(QStringLiteral("edt_para_%1").arg(row)));
}

} // namespace

class TestColors : public QObject {
    Q_OBJECT
private slots:
    void blueFirstNotationIsReadBlueFirst() {
        QCOMPARE(Colors::FromBgr(0x123456), QColor(0x56, 0x34, 0x12));
        QCOMPARE(Colors::FromBgr(0x00FF00), Lime);
    }

    void everyBlueFirstColourHasItsRgbValue_data() {
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QColor>("rgb");
        QTest::newRow("FillBarFull: red") << Colors::FillBarFull << Red;
        QTest::newRow("FillBarNormal: navy") << Colors::FillBarNormal << Navy;
        QTest::newRow("PictureBackground: white") << Colors::PictureBackground << White;
        QTest::newRow("PictureOutline: black") << Colors::PictureOutline << Black;
        QTest::newRow("PitRing: grey") << Colors::PitRing << Grey;
        QTest::newRow("TrackLine: red") << Colors::TrackLine << Red;
        QTest::newRow("SwitchLine: blue") << Colors::SwitchLine << Blue;
        QTest::newRow("MarkReceived: lime") << Colors::MarkReceived << Lime;
        QTest::newRow("MarkRequested: aqua") << Colors::MarkRequested << Aqua;
        QTest::newRow("MarkChanged: yellow") << Colors::MarkChanged << Yellow;
        QTest::newRow("MarkSent: fuchsia") << Colors::MarkSent << Fuchsia;
        QTest::newRow("AddressGreen: lime") << Colors::AddressGreen << Lime;
        QTest::newRow("AddressRed: red") << Colors::AddressRed << Red;
    }
    void everyBlueFirstColourHasItsRgbValue() {
        QFETCH(QColor, colour);
        QFETCH(QColor, rgb);
        QCOMPARE(colour, rgb);
    }

    void definitionRowsShowTheirStateAndOutput_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<QColor>("panel"); // invalid: the edit's own background
        QTest::newRow("not verified") << int(AddressRows::NotVerified) << QColor();
        QTest::newRow("verified") << int(AddressRows::Verified) << Lime;
        QTest::newRow("requested") << int(AddressRows::Requested) << Aqua;
        QTest::newRow("changed") << int(AddressRows::Changed) << Yellow;
        QTest::newRow("sent") << int(AddressRows::Sent) << Fuchsia;
    }
    void definitionRowsShowTheirStateAndOutput() {
        QFETCH(int, state);
        QFETCH(QColor, panel);
        DefinitionFrame t;
        TFrameDefinition &f = t.frame;
        const QColor base = f.palette().color(QPalette::Base);
        f.rows().RowState.fill(AddressRows::State(state));
        f.rows().RowAddress[5] = 300;
        f.rows().RowGreen[5] = true;
        f.rows().RowAddress[6] = 301;
        f.rows().RowGreen[6] = false;
        f.rows().RowAddress[7] = 0;
        f.ShowAddressRows();
        for (int row : {0, 5, 27}) {
            QCOMPARE(PanelColour(f, row), panel.isValid() ? panel : base);
        }
        QCOMPARE(Edit(&f, 5)->palette().color(QPalette::Base), Lime);
        QCOMPARE(Edit(&f, 6)->palette().color(QPalette::Base), Red);
        QCOMPARE(Edit(&f, 7)->palette().color(QPalette::Base), base); // no address
    }

    void parameterEditsShowEachMark() {
        TestSession line;
        SharedState &state = line.state;
        ScriptedDialogs dialogs;
        TFrameParameter tab(state, dialogs);
        tab.resize(1000, 540);
        tab.HideParameterRows();
        tab.ShowParameters();
        QLineEdit *edit = ParameterEdit(&tab, 0);
        // Not confirmed by a board: the edit's own background.
        QCOMPARE(edit->palette().color(QPalette::Base), tab.palette().color(QPalette::Base));

        line.GoOnline();
        tab.UpdateParameterButtons();
        QTest::mouseClick(Find<QPushButton>(&tab, "btn_read_values"), Qt::LeftButton);
        tab.Timer4Timer();
        QCOMPARE(edit->palette().color(QPalette::Base), Aqua); // requested

        state.bridge.Apply(1, 99);
        tab.ShowParameters();
        QCOMPARE(edit->palette().color(QPalette::Base), Lime); // read from the board

        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("98"));
        QCOMPARE(edit->palette().color(QPalette::Base), Yellow); // changed on the PC
        QVERIFY(dialogs.calls.isEmpty());
    }

    void turntablePicturesShowTheirLines() {
        QImage image(400, 400, QImage::Format_RGB32);
        const TurntableGeometry g(400, 400, 48, 0, false);
        {
            QPainter painter(&image);
            TurntableDrawing::DrawPit(painter, g);
            TurntableDrawing::DrawTrack(painter, g, 12, 5); // at the bottom
            TurntableDrawing::DrawSwitchLine(painter, g, 3);
        }
        QCOMPARE(image.pixelColor(200, 356), Red);  // the track of position 12
        QCOMPARE(image.pixelColor(200, 200), Blue); // the switch line through the centre
        QCOMPARE(image.pixelColor(200, 56), Grey);  // the ring at the top, where no track is
        QCOMPARE(image.pixelColor(5, 5), White);
    }
};

QTEST_MAIN(TestColors)
#include "tst_colors.moc"
