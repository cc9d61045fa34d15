// The program against a simulated controller: in process, and through a real line: a
// pseudo-terminal with pivota-sim as a separate process, on Windows a TCP connection on loopback
// to the simulator as a bridge on the network.

#include "core/session/connectiontexts.h"
#include "fixtures/scripteddialogs.h"
#include "fixtures/settingsfolder.h"
#include "fixtures/simprocess.h"
#include "fixtures/simulatedwindow.h"
#include "fixtures/testutil.h"
#include "fixtures/testwindow.h"
#include "gui/window/tfrmmain.h"

#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTest>

using namespace TestUtil;

namespace {

// Reads a pit cell through the queue, again and again until the mirror holds the value (answers
// may be lost on a faulty line); false when it never arrives.
bool ReadPitCellUntil(TfrmMain &w, int cell, int expected, int attempts) {
    for (int i = 0; i < attempts; ++i) {
        w.state().pit.setReceived(cell, false);
        w.state().sendQueue.QueueValue(0xF0, cell);
        if (QTest::qWaitFor([&] { return w.state().pit.received(cell); }, 1500) &&
            w.state().pit.value(cell) == expected) {
            return true;
        }
    }
    return false;
}

} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void inProcessReadWriteAndLiveState() {
        TestWindow t(TestIni::OnPort(5, QStringLiteral("simulator")));
        TfrmMain &w = t.w();
        QTest::mouseClick(w.findChild<QPushButton *>("btnStart"), Qt::LeftButton);
        QVERIFY(w.state().connection().online());
        QCOMPARE(w.statusText(), QStringLiteral("COM5 geöffnet"));

        QVERIFY(ReadPitCellUntil(w, 48, 24, 1));
        w.state().sendQueue.QueueValuePair(0xE0, 250, 0xAB);
        QVERIFY(ReadPitCellUntil(w, 250, 0xAB, 1));
        // The parameter tab takes the received flags of its bridge cells at once: wait for the
        // value instead.
        w.state().bridge.setValue(126, 0xEE);
        w.state().sendQueue.QueueValue(0x90, 126);
        QTRY_COMPARE_WITH_TIMEOUT(w.state().bridge.value(126), uint8_t(0x01), 2000);

        // Live reports: status, positions and the periodic marker.
        QTRY_COMPARE_WITH_TIMEOUT(w.state().infoTable().letter(1), uint8_t('F'), 2000);
        QTRY_COMPARE_WITH_TIMEOUT(w.state().infoTable().letter(2), uint8_t('E'), 2000);
        QCOMPARE(w.state().infoTable().data1(2) & 0x04, 0x04);

        // Drive to position 3 (right) and watch the bridge arrive.
        w.state().sendQueue.QueueKeyCode(2);
        w.state().sendQueue.QueueMessage(0xC1, 0x00, 0x02);
        w.state().sendQueue.QueueMessage(0xC1, 0x40, 0x40);
        QTRY_COMPARE_WITH_TIMEOUT(w.state().ActualPosition, 2, 5000);
        w.state().sendQueue.QueueMessage(0xC1, 0x00, 0x40);
        QTRY_VERIFY_WITH_TIMEOUT(w.state().sendQueue.isEmpty(), 1000);

        w.btnStopClick();
        QTRY_VERIFY_WITH_TIMEOUT(!w.port().isOpen(), 1000);
        QCOMPARE(t.dialogs.calls.size(), 0);
    }

    void inProcessHangUpGivesOneBox() {
        SimOptions options;
        options.hangUpAfterMs = 400;
        SimulatedWindow s(options);
        TfrmMain &w = s.w();
        w.btnStartClick();
        QVERIFY(w.state().connection().online());
        QTRY_COMPARE_WITH_TIMEOUT(s.dialogs.calls.size(), 1, 3000);
        QCOMPARE(s.dialogs.calls.first().caption,
                 QStringLiteral("Fehler Datenempfang - ReceiveData"));
        QVERIFY(!w.state().connection().online());
        QVERIFY(!w.port().isOpen());
        // The window's ticks and the simulator's go on: no second box.
        QVERIFY(WaitForHousekeepingTicks(w));
        QCOMPARE(s.dialogs.calls.size(), 1);
    }

    void throughARealLine_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("clean line") << QStringList{};
        QTest::newRow("faulty line") << QStringList{"--seed", "7",    "--corrupt",        "0.01",
                                                    "--drop", "0.01", "--stray-burst-at", "0.5"};
    }
    void throughARealLine() {
        SettingsFolder folder;
        QFETCH(QStringList, args);
        SimProcess sim;
        QVERIFY(sim.start(args));
        const QString link = sim.portName();
        QVERIFY(folder.write(TestIni::OnPort(3, link)));
        ScriptedDialogs dialogs;
        TfrmMain w(folder.path(), dialogs);
        w.btnStartClick();
        // A bridge on the network answers the call a moment later.
        QTRY_VERIFY_WITH_TIMEOUT(w.state().connection().online(), 5000);
        // A COM number mapped to a bridge on the network is named by the bridge's address.
        QCOMPARE(w.statusText(), SimProcess::OverNetwork
                                     ? QStringLiteral("verbunden mit %1").arg(link)
                                     : QStringLiteral("COM3 geöffnet"));

        QVERIFY(ReadPitCellUntil(w, 48, 24, 5));
        w.state().sendQueue.QueueValuePair(0xE0, 251, 0x5A);
        QVERIFY(ReadPitCellUntil(w, 251, 0x5A, 5));

        // After markers the receiver is aligned: the latest status report is a real "F" report.
        QTRY_COMPARE_WITH_TIMEOUT(w.state().infoTable().letter(1), uint8_t('F'), 3000);
        QCOMPARE(dialogs.calls.size(), 0);

        // The controller goes away mid-session: one box, offline, port closed.
        sim.stop();
        QTRY_COMPARE_WITH_TIMEOUT(dialogs.calls.size(), 1, 3000);
        QCOMPARE(dialogs.calls.first().kind, QStringLiteral("error"));
        QVERIFY(!w.state().connection().online());
        QVERIFY(!w.port().isOpen());
        if (!SimProcess::OverNetwork) {
            QVERIFY(!QFile::exists(link)); // the simulator removed its link
        }
        // The window's ticks go on: no second box.
        QVERIFY(WaitForHousekeepingTicks(w));
        QCOMPARE(dialogs.calls.size(), 1);
    }

    void simulatorHangsUpBySchedule() {
        SettingsFolder folder;
        SimProcess sim;
        QVERIFY(sim.start({"--hang-up-after", "1"}));
        const QString link = sim.portName();
        QVERIFY(folder.write(TestIni::OnPort(9, link)));
        ScriptedDialogs dialogs;
        TfrmMain w(folder.path(), dialogs);
        w.btnStartClick();
        QTRY_VERIFY_WITH_TIMEOUT(w.state().connection().online(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(dialogs.calls.size(), 1, 5000);
        QVERIFY(!w.state().connection().online());
        if (SimProcess::OverNetwork) {
            // A bridge cannot be watched for: it is called again, the pause counted down.
            QVERIFY(w.session().waitingForBridge());
            QTRY_COMPARE_WITH_TIMEOUT(
                w.statusText(),
                ConnectionTexts::WaitingForBridge(link, w.session().secondsToNextCall()), 5000);
        } else {
            QCOMPARE(w.statusText(), ConnectionTexts::WaitingFor(link)); // the link is awaited
        }
    }

    void simulatorKeepsItsEepromFile() {
        SettingsFolder folder;
        const QString eeprom = folder.file(QStringLiteral("eeprom.txt"));
        {
            SimProcess sim;
            QVERIFY(sim.start({"--eeprom", eeprom}));
            QVERIFY(folder.write(TestIni::OnPort(1, sim.portName())));
            ScriptedDialogs dialogs;
            TfrmMain w(folder.path(), dialogs);
            w.btnStartClick();
            QTRY_VERIFY_WITH_TIMEOUT(w.state().connection().online(), 5000);
            w.state().sendQueue.QueueValuePair(0x80, 200, 0x33);
            QVERIFY(QTest::qWaitFor([&] { return w.state().sendQueue.isEmpty(); }, 2000));
            // Read back: once the answer is here the simulator has the value and saves it when it
            // ends.
            w.state().sendQueue.QueueValue(0x90, 200);
            QTRY_VERIFY_WITH_TIMEOUT(w.state().bridge.received(200), 3000);
            QCOMPARE(w.state().bridge.value(200), uint8_t(0x33));
            w.btnStopClick();
            QTRY_VERIFY(!w.port().isOpen());
        }
        QVERIFY(QFile::exists(eeprom));
        SimProcess again;
        QVERIFY(again.start({"--eeprom", eeprom}));
        QVERIFY(folder.write(TestIni::OnPort(1, again.portName())));
        ScriptedDialogs dialogs;
        TfrmMain w(folder.path(), dialogs);
        w.btnStartClick();
        QTRY_VERIFY_WITH_TIMEOUT(w.state().connection().online(), 5000);
        w.state().sendQueue.QueueValue(0x90, 200);
        QTRY_VERIFY_WITH_TIMEOUT(w.state().bridge.received(200), 3000);
        QCOMPARE(w.state().bridge.value(200), uint8_t(0x33));
    }
};

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
