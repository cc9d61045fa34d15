#include "comm/sharedstate.h"
#include "fixtures/scripteddialogs.h"
#include "fixtures/simulatedwindow.h"
#include "fixtures/testsession.h"
#include "fixtures/testutil.h"
#include "fixtures/testwindow.h"
#include "fixtures/widgettestutil.h"
#include "gui/common/colors.h"
#include "gui/common/turntablepicture.h"
#include "gui/operation/tframebedienung.h"
#include "gui/window/tfrmmain.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <vector>

using namespace TestUtil;

namespace {

// The board reports status bits 1 and 2 in "F".
void Report(SharedState &s, int d1, int d2) {
    QByteArray m("XYZF");
    m.append(char(d1)).append(char(d2));
    s.receiver.Feed(m);
}

QString Text(QWidget *w, const char *name) {
    return Find<QLabel>(w, name)->text();
}
QColor Background(QWidget *w, const char *name) {
    return Find<QLabel>(w, name)->palette().color(QPalette::Window);
}

int CountColour(const QImage &image, QRect area, const QColor &colour) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            n += image.pixelColor(x, y) == colour ? 1 : 0;
        }
    }
    return n;
}

struct Tab {
    TestSession line;
    SharedState &state = line.state;
    ScriptedDialogs dialogs;
    TFrameBedienung frame{state, dialogs};
    explicit Tab(bool reversed = false) {
        state.station.ReverseCounting = reversed;
        line.GoOnline();
        frame.resize(1000, 540);
        frame.UpdateOperationButtons();
    }
    QCheckBox *box(const char *name) { return Find<QCheckBox>(&frame, name); }
    void status(int d1, int d2) {
        Report(state, d1, d2);
        frame.ShowStatus();
    }
};
} // namespace

class TestOperation : public QObject {
    Q_OBJECT
private slots:
    void beforeTheFirstStatusEverythingIsUnknown() {
        Tab t;
        t.frame.ShowStatus();
        for (const char *name : {"pnl_turn_active", "pnl_turn_go", "pnl_turn_dir", "pnl_light_on",
                                 "pnl_rm_01", "pnl_rm_02", "pnl_rm_03", "pnl_hall"}) {
            QCOMPARE(Text(&t.frame, name), QStringLiteral("?"));
            QCOMPARE(Background(&t.frame, name), Colors::UnknownPanel);
        }
        // The table's 0xFF start bytes are no "dreht": nothing is armed by them.
        QVERIFY(!t.state.Turning);
        QCOMPARE(t.frame.stopCountdown(), 0);
        // The bridge state is not known: no drive, but the stop always works.
        QVERIFY(!Find<QPushButton>(&t.frame, "btn_left")->isEnabled());
        QVERIFY(!Find<QPushButton>(&t.frame, "btn_right_endlos")->isEnabled());
        QVERIFY(Find<QPushButton>(&t.frame, "BitBtn_halt")->isEnabled());
        QVERIFY(t.state.sendQueue.isEmpty());

        // The first report decides, and it is shown as reported.
        t.status(0x00, 0x00);
        QCOMPARE(Text(&t.frame, "pnl_turn_active"), QStringLiteral("steht"));
        QVERIFY(Find<QPushButton>(&t.frame, "btn_left")->isEnabled());
    }

    void aDriveRightAfterTheFirstStandingReportRuns() {
        Tab t;
        t.frame.ShowStatus(); // ticks before the first report, as after Start
        t.frame.ShowStatus();
        t.status(0x00, 0x00); // the first report: standing
        t.frame.btn_leftClick();
        QVERIFY(t.box("cbx_turn_go")->isChecked());
        Drain(t.state.sendQueue);
        // The board needs a moment before it reports turning: the go stays meanwhile.
        for (int i = 0; i < 10; ++i) {
            t.status(0x42, 0x00);
        }
        QVERIFY(t.box("cbx_turn_go")->isChecked());
        QVERIFY(t.state.sendQueue.isEmpty());
        // Once it turned and stands again, the go is withdrawn as usual.
        t.status(0x42, 0x01);
        for (int i = 0; i < TFrameBedienung::StopTicks; ++i) {
            t.status(0x42, 0x00);
        }
        QVERIFY(!t.box("cbx_turn_go")->isChecked());
        QCOMPARE(Drain(t.state.sendQueue), (std::vector<int>{0xC1, 0x00, 0x40}));
    }

    void aLostLineLeavesNoGoTickedForTheNextDrive() {
        Tab t;
        t.status(0x00, 0x00);
        t.frame.btn_rightClick();
        QVERIFY(t.box("cbx_turn_go")->isChecked());
        Drain(t.state.sendQueue);
        t.line.Lose(); // the line is lost while the go is ticked
        t.frame.UpdateOperationButtons();
        QVERIFY(!t.box("cbx_turn_go")->isChecked());
        QVERIFY(t.state.sendQueue.isEmpty()); // nothing sent to a dead line
        t.line.GoOnline();                    // reconnected: the next drive sends its go again
        t.frame.UpdateOperationButtons();
        t.status(0x00, 0x00);
        t.frame.btn_rightClick();
        const std::vector<int> sent = Drain(t.state.sendQueue);
        QCOMPARE(std::vector<int>(sent.end() - 3, sent.end()),
                 (std::vector<int>{0xC1, 0x40, 0x40}));
    }

    void offlineAndSilentLinesShowUnknownAndDisableTheDrive() {
        Tab t;
        t.status(0x40, 0x01); // turning
        QVERIFY(t.state.Turning);
        QCOMPARE(t.frame.stopCountdown(), TFrameBedienung::StopTicks);

        // The line goes silent: unknown look and no drive, but the drive in progress is kept,
        // so that its go is still withdrawn when the reports come back.
        t.line.GoSilent();
        t.frame.ShowStatus();
        QCOMPARE(Text(&t.frame, "pnl_turn_active"), QStringLiteral("?"));
        QVERIFY(t.state.Turning);
        QCOMPARE(t.frame.stopCountdown(), TFrameBedienung::StopTicks);
        t.line.TalkAgain();
        t.frame.ShowStatus();
        QCOMPARE(Text(&t.frame, "pnl_turn_active"), QStringLiteral("dreht"));

        // Standing and known: the drive is offered; offline it is not, whatever was reported.
        t.status(0x00, 0x00);
        QVERIFY(Find<QPushButton>(&t.frame, "btn_left")->isEnabled());
        t.line.GoOffline();
        t.frame.UpdateOperationButtons();
        t.frame.ShowStatus();
        for (const char *name : {"btn_left", "btn_right", "btn_left_endlos", "btn_right_endlos"}) {
            QVERIFY2(!Find<QPushButton>(&t.frame, name)->isEnabled(), name);
        }
        QCOMPARE(Text(&t.frame, "pnl_turn_go"), QStringLiteral("?"));
        QCOMPARE(Text(&t.frame, "pnl_rm_01"), QStringLiteral("?"));
        QVERIFY(!t.state.Turning);
        QCOMPARE(t.frame.stopCountdown(), 0);
        QVERIFY(Find<QPushButton>(&t.frame, "BitBtn_halt")->isEnabled());
    }

    void statusPanels() {
        Tab t;
        t.status(0x00, 0x14);
        QCOMPARE(Text(&t.frame, "pnl_rm_01"), QStringLiteral("belegt"));
        QCOMPARE(Background(&t.frame, "pnl_rm_01"), QColor(255, 0, 0));
        QCOMPARE(Text(&t.frame, "pnl_rm_02"), QStringLiteral("frei"));
        QCOMPARE(Background(&t.frame, "pnl_rm_02"), QColor(0, 255, 0));
        QCOMPARE(Text(&t.frame, "pnl_rm_03"), QStringLiteral("belegt"));
        QCOMPARE(Text(&t.frame, "pnl_hall"), QStringLiteral("Hall"));
        QCOMPARE(Text(&t.frame, "pnl_turn_active"), QStringLiteral("steht"));
        QCOMPARE(Background(&t.frame, "pnl_turn_active"), QColor(255, 255, 255));
        QCOMPARE(Text(&t.frame, "pnl_turn_go"), QStringLiteral("Stop"));
        QCOMPARE(Text(&t.frame, "pnl_turn_dir"), QStringLiteral("Rechts"));
        QCOMPARE(Background(&t.frame, "pnl_turn_dir"), QColor(255, 255, 255));
        QCOMPARE(Text(&t.frame, "pnl_light_on"), QStringLiteral("Licht AUS"));
        t.status(0x43, 0x01);
        QCOMPARE(Background(&t.frame, "pnl_turn_dir"), QColor(0, 0, 0));
        QCOMPARE(Find<QLabel>(&t.frame, "pnl_turn_dir")->palette().color(QPalette::WindowText),
                 QColor(255, 255, 255));
        QCOMPARE(Background(&t.frame, "pnl_light_on"), QColor(255, 255, 0));
        QCOMPARE(Background(&t.frame, "pnl_turn_go"), QColor(0, 255, 0));
        QCOMPARE(Text(&t.frame, "pnl_turn_active"), QStringLiteral("dreht"));
        QVERIFY(t.state.sendQueue.isEmpty()); // showing never sends
    }

    void leftWhileBoardTurnsRight() {
        Tab t;
        t.status(0x00, 0x00); // "Rechts", standing
        t.box("cbx_turn_dir")->setChecked(true);
        Drain(t.state.sendQueue);
        t.state.TargetPosition = 0;
        t.frame.btn_leftClick();
        QCOMPARE(Drain(t.state.sendQueue), (std::vector<int>{0xC1, 0x00, 0x02, 0xC4, 0x00, 0x00,
                                                             0xC1, 0x02, 0x02, 0xC1, 0x40, 0x40}));
    }

    void leftWhenAlreadyLeftAndGoing() {
        Tab t;
        t.status(0x42, 0x00); // "Links", go
        t.box("cbx_turn_dir")->setChecked(true);
        t.box("cbx_turn_go")->setChecked(true);
        Drain(t.state.sendQueue);
        t.state.TargetPosition = 0;
        t.frame.btn_leftClick();
        QCOMPARE(Drain(t.state.sendQueue), (std::vector<int>{0xC4, 0x00, 0x00}));
    }

    void rightAndEndless() {
        Tab t;
        t.status(0x02, 0x00); // "Links"
        t.state.TargetPosition = 30;
        t.frame.btn_rightClick(); // box unchecked: checked first, then unchecked
        QCOMPARE(Drain(t.state.sendQueue), (std::vector<int>{0xC1, 0x02, 0x02, 0xC4, 30, 0x00, 0xC1,
                                                             0x00, 0x02, 0xC1, 0x40, 0x40}));
        t.status(0x40, 0x00); // now "Rechts"
        t.frame.btn_left_endlosClick();
        QCOMPARE(Drain(t.state.sendQueue), (std::vector<int>{0xC4, 127, 0x00, 0xC1, 0x02, 0x02}));
    }

    void reversedCountingInvertsTheDirectionBit() {
        Tab t(true);
        t.status(0x00, 0x00); // board: "Rechts", which is left as this tab counts
        // The panel shows the direction as the picture and the drive buttons count it.
        QCOMPARE(Text(&t.frame, "pnl_turn_dir"), QStringLiteral("Links"));
        QCOMPARE(Background(&t.frame, "pnl_turn_dir"), QColor(0, 0, 0));
        t.frame.btn_leftClick();
        QCOMPARE(Drain(t.state.sendQueue),
                 (std::vector<int>{0xC4, 0x01, 0x00, 0xC1, 0x00, 0x02, 0xC1, 0x40, 0x40}));
        // The board reports the same direction the box asks for: no flip is needed.
        t.state.TargetPosition = 5;
        t.frame.btn_leftClick();
        QCOMPARE(Drain(t.state.sendQueue), (std::vector<int>{0xC4, 0x05, 0x00}));
        // The board turns the other way ("Links" is right here): the box is flipped and back.
        t.status(0x42, 0x00);
        t.frame.btn_leftClick();
        QCOMPARE(Drain(t.state.sendQueue),
                 (std::vector<int>{0xC1, 0x02, 0x02, 0xC4, 0x05, 0x00, 0xC1, 0x00, 0x02}));
    }

    void stop() {
        Tab t;
        t.status(0x00, 0x00);
        t.frame.btn_halt_Click();
        QVERIFY(t.state.sendQueue.isEmpty()); // standing, go off: nothing to withdraw
        t.status(0x00, 0x01);                 // turning, go box unchecked
        t.frame.btn_halt_Click();
        QCOMPARE(Drain(t.state.sendQueue), (std::vector<int>{0xC1, 0x40, 0x40, 0xC1, 0x00, 0x40}));
    }

    void stopReachesTheWireWhateverIsQueued() {
        Tab t;
        t.status(0x40, 0x01); // turning, go
        t.box("cbx_turn_go")->setChecked(true);
        Drain(t.state.sendQueue);
        t.state.TargetPosition = 7;
        t.frame.btn_rightClick();     // a drive command is waiting before the stop
        t.state.sendQueue.TakeNext(); // the first message is on its way
        while (t.state.sendQueue.length() + 3 <= SendQueue::Capacity) {
            t.state.sendQueue.QueueValue(0xF0, 1);
        }
        const int waiting = t.state.sendQueue.length();
        t.state.sendQueue.QueueValue(0xF0, 2); // full: an ordinary message would be dropped
        QCOMPARE(t.state.sendQueue.length(), waiting);
        t.frame.btn_halt_Click();
        const std::vector<int> sent = Drain(t.state.sendQueue);
        // Everything queued before still goes out, and the stop comes last.
        QCOMPARE(std::vector<int>(sent.end() - 3, sent.end()),
                 (std::vector<int>{0xC1, 0x00, 0x40}));
        QCOMPARE(int(sent.size()), waiting + 3);
    }

    void groupBoxClickRunsTheTargetHandler() {
        Tab t;
        t.frame.show();
        t.state.TargetPosition = 47;
        t.state.PositionCount = 24; // a target beyond the count is wrapped by the handler
        auto *group = Find<QWidget>(&t.frame, "GroupBoxBedienung1");
        QTest::mouseClick(group, Qt::LeftButton, {},
                          QPoint(group->width() - 5, group->height() - 5));
        QCOMPARE(t.state.TargetPosition, 47 - 24);
    }

    void exactlyThePositionsOfTheTurntableHaveButtons() {
        TestWindow t("[Buehne]\nAnzahl_Positionen=24\n[use]\nPosition_3_use=0\n");
        TfrmMain &w = t.w();
        w.show();
        TFrameBedienung *tab = w.frameBedienung();
        tab->DrawTurntable();
        for (int k = 1; k <= 48; ++k) {
            QCOMPARE(tab->positionButton(k)->isVisibleTo(tab), k <= 24 && k != 3);
        }
        // The external target box starts unchecked: the picture follows the tab's own target.
        QVERIFY(!Find<QCheckBox>(tab, "cbx_zeige_sollpos_extern")->isChecked());
        QVERIFY(!w.state().ShowExternalTarget);
    }

    void signalCheckBoxes() {
        Tab t;
        t.box("cbx_light")->click();
        t.box("cbx_horn")->click();
        t.box("cbx_hupe")->click();
        t.box("cbx_flash")->click();
        t.box("cbx_flash")->click();
        QCOMPARE(Drain(t.state.sendQueue),
                 (std::vector<int>{0xC1, 0x01, 0x01, 0xC2, 0x01, 0x01, 0xC2, 0x02, 0x02, 0xC2, 0x08,
                                   0x08, 0xC2, 0x00, 0x08}));
        t.box("cbx_light")->setChecked(true); // already checked: nothing is sent
        QVERIFY(t.state.sendQueue.isEmpty());
        QVERIFY(!t.box("cbx_turn_go")->isEnabled());
        QVERIFY(!t.box("cbx_turn_dir")->isEnabled());
        t.line.GoOffline();
        t.frame.UpdateOperationButtons();
        QVERIFY(!t.box("cbx_light")->isEnabled());
        QVERIFY(!t.box("cbx_horn")->isEnabled());
    }

    void targetButtonsWrap() {
        Tab t;
        t.state.PositionCount = 48;
        t.state.TargetPosition = 0;
        t.frame.btn_pos_Click(Find<QPushButton>(&t.frame, "btn_pos_dec"));
        QCOMPARE(t.state.TargetPosition, 47);
        t.frame.btn_pos_Click(Find<QPushButton>(&t.frame, "btn_pos_inc"));
        QCOMPARE(t.state.TargetPosition, 0);
        t.state.TargetPosition = 40;
        QTest::mouseClick(Find<QPushButton>(&t.frame, "btn_pos_turn"), Qt::LeftButton);
        QCOMPARE(t.state.TargetPosition, 16);
        t.state.PositionCount = 15;
        t.state.TargetPosition = 10;
        t.frame.btn_pos_Click(Find<QPushButton>(&t.frame, "btn_pos_turn"));
        QCOMPARE(t.state.TargetPosition, 2); // 10 + 7 - 15
        t.frame.btn_pos_Click(nullptr);      // the group box itself adds nothing
        QCOMPARE(t.state.TargetPosition, 2);
        QVERIFY(t.state.sendQueue.isEmpty());
    }

    void goIsWithdrawnOnTheFifthStandingRefresh() {
        Tab t;
        t.box("cbx_turn_go")->setChecked(true);
        Drain(t.state.sendQueue);
        t.status(0x40, 0x01);
        QVERIFY(t.state.Turning);
        QVERIFY(!Find<QPushButton>(&t.frame, "btn_left")->isEnabled());
        for (int i = 0; i < 4; ++i) {
            t.status(0x40, 0x00);
        }
        QVERIFY(!t.state.Turning);
        QVERIFY(Find<QPushButton>(&t.frame, "btn_left")->isEnabled());
        t.status(0x40, 0x01); // a "dreht" in between starts the count again
        for (int i = 0; i < 4; ++i) {
            t.status(0x40, 0x00);
        }
        QVERIFY(t.state.sendQueue.isEmpty());
        QVERIFY(t.box("cbx_turn_go")->isChecked());
        t.status(0x40, 0x00);
        QVERIFY(!t.box("cbx_turn_go")->isChecked());
        QCOMPARE(Drain(t.state.sendQueue), (std::vector<int>{0xC1, 0x00, 0x40}));
        t.status(0x00, 0x00);
        QVERIFY(t.state.sendQueue.isEmpty());
    }

    void positionButtonsAndRedraws() {
        Tab t;
        t.state.ShowExternalTarget = false;
        t.state.station.ReverseCounting = false;
        t.state.TargetPosition = 0;
        t.state.ActualPosition = 0;
        t.state.station.PositionUsed[5] = false;
        t.frame.DrawTurntable();
        QVERIFY(!t.frame.positionButton(7)->isHidden());
        QVERIFY(t.frame.positionButton(5)->isHidden());
        QCOMPARE(t.frame.positionButton(7)->toolTip(), QStringLiteral("Diese Position anfahren "));

        const QImage &image = t.frame.picture()->image();
        const QRect area(0, 0, t.frame.picture()->width(), t.frame.picture()->height());
        // Target and actual bridge on the same track: only the grey one shows.
        QCOMPARE(CountColour(image, area, Colors::BridgeTarget), 0);
        QVERIFY(CountColour(image, area, Colors::BridgeActual) > 1000);

        t.frame.ShowPositions();
        const int draws = t.frame.drawCount();
        t.frame.ShowPositions();
        QCOMPARE(t.frame.drawCount(), draws); // nothing changed, nothing drawn

        QTest::mouseClick(t.frame.positionButton(7), Qt::LeftButton);
        QCOMPARE(t.state.TargetPosition, 6);
        QVERIFY(t.state.sendQueue.isEmpty());
        t.frame.ShowPositions();
        QCOMPARE(Text(&t.frame, "pnl_SollPosition_int"), QStringLiteral("7"));
        QCOMPARE(Text(&t.frame, "pnl_IstPosition_int"), QStringLiteral("1"));
        QCOMPARE(t.frame.drawCount(), draws + 1);
        QVERIFY(CountColour(image, area, Colors::BridgeTarget) > 1000);

        // With the pit board's target shown, the yellow bridge follows it instead.
        t.state.DigitalTarget = 0;
        t.frame.ShowStatus();
        Find<QCheckBox>(&t.frame, "cbx_zeige_sollpos_extern")->click();
        QVERIFY(t.state.ShowExternalTarget);
        QVERIFY(t.frame.redrawRequested());
        t.frame.ShowPositions();
        QVERIFY(!t.frame.redrawRequested());
        QCOMPARE(Text(&t.frame, "pnl_SollPosition_int"), QStringLiteral("7"));
        QCOMPARE(CountColour(image, area, Colors::BridgeTarget), 0);
    }

    // An endless turn has no target: the target panel and the yellow bridge go away during and
    // after it, until a target is chosen again.
    void endlessTurnClearsTheTarget() {
        Tab t;
        t.state.ShowExternalTarget = false;
        t.state.station.ReverseCounting = false;
        t.state.ActualPosition = 0;
        t.status(0x00, 0x00); // standing
        t.frame.DrawTurntable();
        const QImage &image = t.frame.picture()->image();
        const QRect area(0, 0, t.frame.picture()->width(), t.frame.picture()->height());
        t.frame.btn_tt_goClick(7);
        t.frame.btn_rightClick();
        t.frame.ShowPositions();
        QCOMPARE(Text(&t.frame, "pnl_SollPosition_int"), QStringLiteral("7"));
        QVERIFY(CountColour(image, area, Colors::BridgeTarget) > 1000);

        t.frame.btn_left_endlosClick();
        t.frame.ShowPositions();
        QCOMPARE(Text(&t.frame, "pnl_SollPosition_int"), QString());
        QCOMPARE(CountColour(image, area, Colors::BridgeTarget), 0);
        // While turning and after it stopped, the actual position moving on.
        t.status(0x00, 0x01);
        t.state.ActualPosition = 12;
        t.frame.ShowPositions();
        t.status(0x00, 0x00);
        t.frame.ShowPositions();
        QCOMPARE(Text(&t.frame, "pnl_SollPosition_int"), QString());
        QCOMPARE(CountColour(image, area, Colors::BridgeTarget), 0);
        QVERIFY(CountColour(image, area, Colors::BridgeActual) > 1000);

        // Choosing the same target again shows it again.
        t.frame.btn_tt_goClick(7);
        t.frame.ShowPositions();
        QCOMPARE(Text(&t.frame, "pnl_SollPosition_int"), QStringLiteral("7"));
        QVERIFY(CountColour(image, area, Colors::BridgeTarget) > 1000);
    }

    void positionNamesInToolTipsAndPicture() {
        Tab t;
        t.state.PositionCount = 8;
        t.frame.DrawTurntable();
        const QImage plain = t.frame.picture()->image().copy();
        QCOMPARE(t.frame.positionButton(7)->toolTip(), QStringLiteral("Diese Position anfahren "));
        t.state.station.PositionName[7] = QStringLiteral("Lokschuppen");
        t.state.StationChanged(); // as the definition tab says after a rename
        t.frame.ShowPositions();
        QCOMPARE(t.frame.positionButton(7)->toolTip(),
                 QStringLiteral("Diese Position anfahren \n7: Lokschuppen"));
        QVERIFY(t.frame.picture()->image() != plain);
    }

    void layout() {
        Tab t;
        t.frame.resize(1000, 540);
        t.frame.pnl_bedienungResize();
        auto *g1 = Find<QWidget>(&t.frame, "GroupBoxBedienung1");
        auto *g2 = Find<QWidget>(&t.frame, "GroupBoxBedienung2o");
        const int side = std::min(1000 - g1->width() - g2->width() - 30, 540 - 15);
        QCOMPARE(t.frame.picture()->size(), QSize(side, side));
        QCOMPARE(g1->x(), side + 15);
        QCOMPARE(g2->x(), g1->x() + g1->width() + 5);
        QCOMPARE(Find<QWidget>(&t.frame, "GroupBoxBedienung2m")->y(), 160);
        QCOMPARE(Find<QWidget>(&t.frame, "GroupBoxBedienung2u")->y(), 320);
        QCOMPARE(Find<QPushButton>(&t.frame, "btn_left")->text(),
                 QStringLiteral("zum Ziel\ndrehen\nLinks"));
        QCOMPARE(Find<QPushButton>(&t.frame, "btn_pos_turn")->text(),
                 QStringLiteral("Turn\n 180° "));
    }

    // The drive buttons carry their symbols, drawn at the size asked for: the left ones the
    // mirror images of the right ones, greyed when the button is disabled.
    void driveButtonsShowTheirSymbols() {
        Tab t;
        const auto image = [&](const char *name, QIcon::Mode mode = QIcon::Normal) {
            return Find<QPushButton>(&t.frame, name)
                ->icon()
                .pixmap(QSize(32, 32), 1.0, mode)
                .toImage()
                .convertToFormat(QImage::Format_ARGB32);
        };
        const auto inked = [](const QImage &picture) {
            int n = 0;
            for (int y = 0; y < picture.height(); ++y) {
                for (int x = 0; x < picture.width(); ++x) {
                    n += picture.pixelColor(x, y).alpha() > 128 ? 1 : 0;
                }
            }
            return n;
        };
        for (const char *name :
             {"btn_left", "btn_right", "btn_left_endlos", "btn_right_endlos", "BitBtn_halt"}) {
            const QImage picture = image(name);
            QCOMPARE(picture.size(), QSize(32, 32));
            QVERIFY2(inked(picture) > 32 * 32 / 8, name);  // a symbol, not a speck
            QCOMPARE(picture.pixelColor(0, 0).alpha(), 0); // on a clear ground
            QVERIFY2(image(name, QIcon::Disabled) != picture, name);
        }
        // Mirrored, up to the edge smoothing.
        const auto mirrors = [](const QImage &a, const QImage &b) {
            const QImage flipped = b.mirrored(true, false);
            for (int y = 0; y < a.height(); ++y) {
                for (int x = 0; x < a.width(); ++x) {
                    if (std::abs(a.pixelColor(x, y).alpha() - flipped.pixelColor(x, y).alpha()) >
                        64) {
                        return false;
                    }
                }
            }
            return true;
        };
        QVERIFY(mirrors(image("btn_left"), image("btn_right")));
        QVERIFY(mirrors(image("btn_left_endlos"), image("btn_right_endlos")));
        QVERIFY(!mirrors(image("btn_left"), image("btn_right_endlos")));
        // The arrow points the way the button turns: the right one's tip is in its right half.
        const QImage right = image("btn_right");
        QVERIFY(right.pixelColor(29, 16).alpha() > 128);
        QCOMPARE(right.pixelColor(2, 16).alpha(), 0);
        QVERIFY(Find<QPushButton>(&t.frame, "btn_pos_turn")->icon().isNull());
    }

    void driveTheSimulatedBridge() {
        SimulatedWindow s;
        TfrmMain &w = s.w();
        const auto &sim = s.sim;
        w.btnStartClick();
        TFrameBedienung *tab = w.frameBedienung();
        // The drive buttons wait for the board to report the bridge standing.
        QTRY_VERIFY_WITH_TIMEOUT(Find<QPushButton>(tab, "btn_left")->isEnabled(), 3000);
        QCOMPARE(w.state().ActualPosition, 0);

        QTest::mouseClick(tab->positionButton(7), Qt::LeftButton);
        QCOMPARE(w.state().TargetPosition, 6);
        QTest::mouseClick(Find<QPushButton>(tab, "btn_left"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(sim->turning(), 2000);
        QTRY_COMPARE_WITH_TIMEOUT(Text(tab, "pnl_turn_active"), QStringLiteral("dreht"), 2000);
        QVERIFY(!Find<QPushButton>(tab, "btn_left")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!sim->turning(), 8000);
        QCOMPARE(sim->position(), 6);
        QTRY_COMPARE_WITH_TIMEOUT(Text(tab, "pnl_IstPosition_int"), QStringLiteral("7"), 2000);
        QTRY_COMPARE_WITH_TIMEOUT(Text(tab, "pnl_turn_active"), QStringLiteral("steht"), 2000);
        // Five standing refreshes later the go command is withdrawn.
        QVERIFY(sim->go());
        QTRY_VERIFY_WITH_TIMEOUT(!sim->go(), 3000);
        QVERIFY(!Find<QCheckBox>(tab, "cbx_turn_go")->isChecked());
        QVERIFY(Find<QPushButton>(tab, "btn_left")->isEnabled());
        // The picture shows the grey bridge where the yellow one waited: no yellow is left.
        const QImage &image = tab->picture()->image();
        QCOMPARE(
            CountColour(image, QRect(QPoint(0, 0), tab->picture()->size()), Colors::BridgeTarget),
            0);
        QVERIFY(s.dialogs.calls.isEmpty());
    }
};

QTEST_MAIN(TestOperation)
#include "tst_operation.moc"
