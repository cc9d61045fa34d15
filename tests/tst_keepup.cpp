// The program keeps up with the line and sleeps while it has nothing to do: the receive tick
// drains what waits, the timers run only while they have work, and a bridge step repaints only
// the picture.

#include "comm/linkdriver.h"
#include "comm/sharedstate.h"
#include "core/session/session.h"
#include "fixtures/ptywindow.h"
#include "fixtures/scripteddialogs.h"
#include "fixtures/testutil.h"
#include "fixtures/widgettestutil.h"
#include "gui/common/turntablepicture.h"
#include "gui/definition/tframedefinition.h"
#include "gui/eeprom/tframeeeprom.h"
#include "gui/operation/tframebedienung.h"
#include "gui/settings/tframesettings.h"
#include "gui/window/tfrmmain.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace TestUtil;

namespace {
// Counts the events of one kind that reach the watched widgets.
class EventCounter : public QObject {
public:
    explicit EventCounter(QEvent::Type type) : m_type(type) {}
    bool eventFilter(QObject *, QEvent *event) override {
        count += event->type() == m_type ? 1 : 0;
        return false;
    }
    int count = 0;

private:
    QEvent::Type m_type;
};
} // namespace

class TestKeepUp : public QObject {
    Q_OBJECT
private slots:
    void burstAtLineRateIsReadInFull_data() {
        QTest::addColumn<int>("readSize");
        QTest::newRow("default read size 8") << 8;
        QTest::newRow("read size 1") << 1;
        QTest::newRow("read size 100") << 100;
    }

    // Two seconds of traffic at 19200 baud (1920 bytes a second), in the pieces that arrive
    // between two receive ticks of 20 ms: each tick takes all that waits, nothing backs up, and
    // the position report sent right behind the burst is applied at once.
    void burstAtLineRateIsReadInFull() {
        QFETCH(int, readSize);
        PtyWindow t(2, QStringLiteral("Buffersize=%1\n").arg(readSize).toUtf8());
        QVERIFY(t.pty.isValid());
        TfrmMain &w = t.w();
        w.btnStartClick();
        QVERIFY(w.state().connection().online());
        w.SetReadOnArrival(false); // the test ticks itself
        Find<QTimer>(&w, "Timer2")->stop();
        auto *bar = Find<QProgressBar>(&w, "ProgressBar2");

        // Measurement messages "A" i, 255 - i: every byte is accounted for by the last one.
        QByteArray burst = "XYZ";
        for (int i = 0; burst.size() < 2 * 1920; ++i) {
            burst += 'A';
            burst += char(i & 0x7F);
            burst += char(255 - (i & 0x7F));
        }
        const QByteArray lastA = burst.right(3);
        constexpr int PerTick = 39; // 1920 bytes/s * 20 ms, rounded up
        int sent = 0;
        for (int tick = 0; sent < burst.size(); ++tick) {
            const QByteArray piece = burst.mid(sent, PerTick);
            QVERIFY(t.pty.send(piece));
            sent += static_cast<int>(piece.size());
            QTRY_VERIFY_WITH_TIMEOUT(w.port().QueryPortStatus() >= piece.size(), 5000);
            w.Timer_ReceiveTimer();
            QVERIFY2(w.port().QueryPortStatus() == 0, qPrintable(QString::number(tick)));
            QCOMPARE(bar->value(), 0); // nothing left waiting after the tick
        }
        const InfoTable &table = w.state().infoTable();
        QCOMPARE(table.letter(InfoTable::Measure), uint8_t('A'));
        QCOMPARE(table.data1(InfoTable::Measure), uint8_t(lastA.at(1)));
        QCOMPARE(table.data2(InfoTable::Measure), uint8_t(lastA.at(2)));

        // The position report right behind the burst: target 5, bridge at 7 (0-based).
        QVERIFY(t.pty.send(QByteArray("L\x05\x07", 3)));
        QTRY_VERIFY_WITH_TIMEOUT(w.port().QueryPortStatus() >= 3, 5000);
        w.Timer_ReceiveTimer();
        w.Timer2Timer();
        QCOMPARE(w.state().ActualPosition, 7);
        QCOMPARE(w.state().DigitalTarget, 5);
        QCOMPARE(Find<QLabel>(&w, "pnl_IstPosition_int")->text(), QStringLiteral("8"));
        QVERIFY(t.dialogs.calls.isEmpty());
    }

    // The transmit tick runs only while bytes wait; it still sends one byte a tick at the
    // interval of the settings, and the next message wakes it with the same pacing.
    // Connected and standing, the receive tick does not poll the line: the port's report of
    // bytes wakes the read, and the tick comes only when a read is still due.
    void receiveTickSleepsWhileTheLineIsQuiet() {
        PtyWindow t(2);
        QVERIFY(t.pty.isValid());
        TfrmMain &w = t.w();
        auto *tick = Find<QTimer>(&w, "Timer_Receive");
        w.btnStartClick();
        QVERIFY(w.state().connection().online());
        QTRY_VERIFY(!tick->isActive()); // the tick after Start found nothing
        QSignalSpy ticks(tick, &QTimer::timeout);
        QVERIFY(t.pty.send(QByteArray("XYZA\x05\x06", 6)));
        QTRY_COMPARE(w.state().infoTable().data1(InfoTable::Measure), uint8_t(5));
        QVERIFY(WaitForHousekeepingTicks(w, 3));
        QCOMPARE(ticks.count(), 0);
        QVERIFY(!tick->isActive());
        QVERIFY(t.dialogs.calls.isEmpty());

        // More than a read takes at once waits for the next tick, "Interval_Receive" later.
        w.SetReadOnArrival(false);
        QVERIFY(t.pty.send(QByteArray(4081, 'q')));
        QTRY_COMPARE(w.port().QueryPortStatus(), qint64(4081));
        w.SetReadOnArrival(true);
        w.Timer_ReceiveTimer(); // takes 4000
        QVERIFY(tick->isActive());
        QTRY_COMPARE(w.port().QueryPortStatus(), qint64(0));
        QCOMPARE(ticks.count(), 1);
        QVERIFY(!tick->isActive());

        // Stop: the tick that closes the port comes by itself.
        w.btnStopClick();
        QVERIFY(tick->isActive());
        QTRY_VERIFY(!w.port().isOpen());
        QCOMPARE(w.statusText(), QStringLiteral("Kommunikation mit Gruben-Platine gestoppt"));
        QVERIFY(!tick->isActive());
    }

    // The housekeeping tick runs right behind a report once it is nearly due (at least 100 ms
    // after it last ran), so that one wake-up serves both: the position shows at once, although
    // the tick's own timer would not run for a minute.
    void housekeepingFollowsTheReports() {
        PtyWindow t(2);
        QVERIFY(t.pty.isValid());
        TfrmMain &w = t.w();
        w.btnStartClick();
        auto *housekeeping = Find<QTimer>(&w, "Timer2");
        housekeeping->setInterval(60000);
        housekeeping->start();
        QSignalSpy ticks(housekeeping, &QTimer::timeout);
        w.Timer2Timer();
        QElapsedTimer since;
        since.start();
        QVERIFY(QTest::qWaitFor([&] { return since.elapsed() >= 120; }));
        QVERIFY(t.pty.send(QByteArray("XYZL\x05\x07", 6)));
        QTRY_COMPARE(Find<QLabel>(&w, "pnl_IstPosition_int")->text(), QStringLiteral("8"));
        QCOMPARE(w.state().ActualPosition, 7);
        QCOMPARE(ticks.count(), 0);
        // Its own period starts anew behind the report.
        QVERIFY(housekeeping->isActive());
        QVERIFY(housekeeping->remainingTime() > 59000);

        // A report right behind that one, long before the tick is nearly due again, shows as
        // soon as it is read: the label follows the last report, not the one before it.
        const int runs = w.session().driver().housekeepingRuns();
        QVERIFY(t.pty.send(QByteArray("L\x05\x0b", 3)));
        QTRY_COMPARE(Find<QLabel>(&w, "pnl_IstPosition_int")->text(), QStringLiteral("12"));
        QCOMPARE(w.state().ActualPosition, 11);
        QCOMPARE(w.session().driver().housekeepingRuns(), runs + 1);
        QCOMPARE(ticks.count(), 0);
    }

    void sendTickSleepsWithAnEmptyQueue() {
        TestWindow t("[SETTINGS]\nInterval_Senden=30\n");
        TfrmMain &w = t.w();
        auto *timer = Find<QTimer>(&w, "Timer_Senden");
        TFrameSettings *log = w.frameSettings();
        QVERIFY(!timer->isActive());
        QCOMPARE(timer->interval(), 30);

        for (int round = 0; round < 2; ++round) {
            w.state().sendQueue.QueueValue(0xF0, 0x12 + round);
            QVERIFY(timer->isActive());
            QCOMPARE(timer->interval(), 30);
            log->ClearSendLog();
            for (int byte = 1; byte <= 3; ++byte) {
                w.Timer_SendenTimer();
                QCOMPARE(log->sendLogLines().size(), byte); // one byte per tick
                QCOMPARE(w.state().sendQueue.length(), 3 - byte);
                QCOMPARE(timer->isActive(), byte < 3);
            }
            QCOMPARE(log->sendLogLines().first(), SendLogLine(static_cast<uint8_t>(0xF0)));
        }
        // Ticking an idle queue changes nothing and keeps the timer asleep.
        w.Timer_SendenTimer();
        QVERIFY(!timer->isActive());

        // Left to the timer itself, a queued message drains and the tick goes back to sleep.
        w.state().sendQueue.QueueKeyCode(5);
        QTRY_VERIFY_WITH_TIMEOUT(w.state().sendQueue.isEmpty() && !timer->isActive(), 5000);
        QCOMPARE(log->sendLogLines().size(), 3);
        QCOMPARE(w.readSize(), 8);
    }

    // A manual send that the line cannot take at once keeps the tick awake until it is out, and
    // the queued message follows it.
    void manualSendRestWakesTheTick() {
        PtyWindow t(4, "Benutzer=Debug\n");
        QVERIFY(t.pty.isValid());
        TfrmMain &w = t.w();
        w.btnStartClick();
        auto *timer = Find<QTimer>(&w, "Timer_Senden");
        QVERIFY(!timer->isActive());
        const QByteArray text(20000, 'm'); // more than a pseudo-terminal buffers
        Find<QLineEdit>(&w, "Edit1")->setText(QString::fromLatin1(text));
        w.frameSettings()->btnSendenClick();
        QVERIFY(timer->isActive());
        w.state().sendQueue.QueueValue(0xF0, 0x11);
        QByteArray got;
        const QByteArray expected = text + QByteArray("\xF0\x11\x00", 3);
        QTRY_VERIFY_WITH_TIMEOUT((got += t.pty.receive(), got.size() >= expected.size()), 30000);
        QCOMPARE(got, expected);
        QTRY_VERIFY_WITH_TIMEOUT(!timer->isActive(), 5000);
        QVERIFY(t.dialogs.calls.isEmpty());
    }

    // The EEPROM tab's timer runs while a sweep runs or a dump waits to be redrawn.
    void eepromTimerRunsOnlyWithWork() {
        TestWindow t;
        TfrmMain &w = t.w();
        TFrameEEprom *tab = w.frameEEprom();
        auto *timer3 = Find<QTimer>(tab, "Timer3");
        auto *memo = Find<QPlainTextEdit>(tab, "Memo_ee_grube");
        tab->Timer3Timer(); // shows what the settings file gave
        QVERIFY(!timer3->isActive());
        tab->Timer3Timer();
        QVERIFY(!timer3->isActive());
        QVERIFY(memo->toPlainText().split(u'\n').at(2).startsWith(QStringLiteral("0x20: 0000")));

        // A cell answer reaches the mirror: the dump follows.
        w.state().answers.NoteRequest(AnswerFilter::Board::Grube, 0x21, w.state().now());
        w.state().Receive(QByteArray("XYZG\x21\x5a"
                                     "F\x00\x00",
                                     9));
        w.Timer2Timer();
        QVERIFY(timer3->isActive());
        tab->Timer3Timer();
        QVERIFY(memo->toPlainText().split(u'\n').at(2).startsWith(QStringLiteral("0x20: 005a")));
        QVERIFY(!timer3->isActive());

        // A sweep keeps it running until its last request; a stop click ends it.
        w.btnStartClick();
        tab->btn_get_all_EEDataClick();
        QVERIFY(timer3->isActive());
        QCOMPARE(timer3->interval(), 300);
        tab->Timer3Timer();
        // The sweep's engine sends on its own timer.
        QTRY_VERIFY(w.state().line.heldBy(&tab->sweeps().pit));
        QVERIFY(timer3->isActive());
        tab->btn_get_all_EEDataClick(); // stop
        while (!w.state().sendQueue.isEmpty()) {
            w.state().sendQueue.TakeNext();
        }
        tab->Timer3Timer();
        QVERIFY(!timer3->isActive());
        QVERIFY(w.state().sendQueue.isEmpty());
        QCOMPARE(Find<QProgressBar>(tab, "ProgressBar1")->value(), 0);
    }

    // The definition tab's timer runs during a transfer or when the pit mirror changed.
    void definitionTimerRunsOnlyWithWork() {
        TestWindow t;
        TfrmMain &w = t.w();
        TFrameDefinition *tab = w.frameDefinition();
        QTimer *timer5 = tab->timer();
        tab->Timer5Timer(); // takes the rows from the mirror as read at the start
        QVERIFY(!timer5->isActive());
        w.state().pit.Apply(40, 0x12); // a cell another tab asked for
        w.Timer2Timer();
        QVERIFY(timer5->isActive());
        tab->Timer5Timer();
        QVERIFY(!tab->rows().ImageChanged());
        QVERIFY(!timer5->isActive());
    }

    // A bridge step draws the picture anew but neither moves nor raises the position buttons, and
    // repaints none of them; a change of the layout places them again.
    void bridgeStepRepaintsOnlyThePicture() {
        SharedState state;
        ScriptedDialogs dialogs;
        state.station.ReverseCounting = false;
        TFrameBedienung frame(state, dialogs);
        frame.resize(1000, 540);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        frame.ShowPositions();
        QCoreApplication::processEvents();

        EventCounter moves(QEvent::Move);
        EventCounter raises(QEvent::ZOrderChange);
        EventCounter buttonPaints(QEvent::Paint);
        EventCounter picturePaints(QEvent::Paint);
        for (int k = 1; k <= 48; ++k) {
            for (EventCounter *c : {&moves, &raises, &buttonPaints}) {
                frame.positionButton(k)->installEventFilter(c);
            }
        }
        frame.picture()->installEventFilter(&picturePaints);

        const QImage before = frame.picture()->image().copy();
        const int draws = frame.drawCount();
        state.ActualPosition = 12;
        frame.ShowPositions();
        QCOMPARE(frame.drawCount(), draws + 1);
        QVERIFY(frame.picture()->image() != before); // the bridge moved on the picture
        QTRY_VERIFY_WITH_TIMEOUT(picturePaints.count > 0, 5000);
        QCoreApplication::processEvents();
        QCOMPARE(moves.count, 0);
        QCOMPARE(raises.count, 0);
        QCOMPARE(buttonPaints.count, 0);

        // Another zero position: every button moves to its new place.
        const QPoint placed = frame.positionButton(1)->pos();
        state.station.ZeroOffset = 5;
        state.StationChanged();
        frame.ShowPositions();
        QVERIFY(frame.positionButton(1)->pos() != placed);
        QVERIFY(moves.count >= 48);
        // A position taken out of use loses its button at the next drawing.
        state.station.PositionUsed[9] = false;
        state.StationChanged();
        frame.ShowPositions();
        QVERIFY(frame.positionButton(9)->isHidden());
        state.station.PositionUsed[9] = true;
        state.StationChanged();
        frame.ShowPositions();
        QVERIFY(!frame.positionButton(9)->isHidden());
    }
};

QTEST_MAIN(TestKeepUp)
#include "tst_keepup.moc"
