// The session's one connection state: started on the built-in simulator or on pivota-sim it is
// online and so is the shared state; a board that says nothing makes it silent and a board that
// talks again online; a line that goes away makes it lost, once, with the transfers ended; a port
// that cannot be opened leaves it offline with the reason. Where the simulator is a bridge on the
// network (Windows), the same through the program's network ports.

#include "comm/pacedtransfer.h"
#include "core/session/session.h"
#include "fixtures/rununtil.h"
#include "fixtures/simprocess.h"
#include "net/networkports.h"
#include "sim/simport.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

namespace {
QList<Connection::State> States(const QSignalSpy &changes) {
    QList<Connection::State> states;
    for (const QList<QVariant> &change : changes) {
        states << change.at(0).value<Connection::State>();
    }
    return states;
}

// Opens the port as the program does: a serial device, or a bridge on the network, which is
// online only once it answered the call. False, with the reason, when it could not be opened.
bool Open(Session &session, const QString &port, bool autoReconnect, QString *reason) {
    session.setDeviceFactory(WithNetworkPorts(DevicesWithSimulator()));
    QSignalSpy failed(&session, &Session::startFailed);
    QString configureError;
    if (!session.Start({port, 19200, autoReconnect}, reason, &configureError)) {
        return false;
    }
    TestUtil::RunUntil([&] { return session.connectionState() != Connection::State::Connecting; },
                       10000);
    if (!failed.isEmpty()) {
        *reason = failed.last().at(0).toString();
    }
    return session.online();
}

// A port that nothing answers: a device path that does not exist, or a loopback port that was
// just given up.
QString MissingPort() {
    if (!SimProcess::OverNetwork) {
        return QStringLiteral("/dev/pivota-test-missing");
    }
    QTcpServer gone;
    gone.listen(QHostAddress::LocalHost);
    return QStringLiteral("tcp://127.0.0.1:%1").arg(gone.serverPort());
}
} // namespace

class TestSession : public QObject {
    Q_OBJECT
private slots:
    void startAndStopOnTheBuiltInSimulator() {
        Session session;
        session.setDeviceFactory(DevicesWithSimulator());
        QSignalSpy changes(&session, &Session::stateChanged);
        QCOMPARE(session.connectionState(), Connection::State::Offline);
        QString reason;
        QString configureError;
        QVERIFY2(session.Start({"simulator", 19200, false}, &reason, &configureError),
                 qPrintable(reason));
        QCOMPARE(session.connectionState(), Connection::State::Online);
        QVERIFY(session.online() && session.state().connection().online());
        // Through "connecting": the window shows that while a port takes time to open.
        QCOMPARE(States(changes), (QList<Connection::State>{Connection::State::Connecting,
                                                            Connection::State::Online}));
        // The simulator reports: bytes arrive without anybody ticking by hand.
        QVERIFY(TestUtil::RunUntil([&] { return session.state().Heard(InfoTable::Status); }, 5000));
        session.Stop();
        QCOMPARE(session.connectionState(), Connection::State::Offline);
        QVERIFY(!session.state().connection().online());
        QCOMPARE(changes.count(), 3);
        session.Stop(); // stopping twice changes nothing
        QCOMPARE(changes.count(), 3);
    }

    void aPortThatCannotBeOpenedStaysOffline() {
        Session session;
        QSignalSpy changes(&session, &Session::stateChanged);
        const QString missing = MissingPort();
        QString reason;
        QVERIFY(!Open(session, missing, false, &reason));
        QVERIFY2(reason.contains(missing), qPrintable(reason));
        QCOMPARE(session.connectionState(), Connection::State::Offline);
        QVERIFY(!session.state().connection().online());
        // It tried, and is back where it was.
        QCOMPARE(States(changes), (QList<Connection::State>{Connection::State::Connecting,
                                                            Connection::State::Offline}));
    }

    // pivota-sim answers nothing for a while, then hangs up: silent, then lost once, and a
    // transfer that was waiting for an answer ends, saying the line went away, and tells its
    // owner so once.
    void silentThenLost() {
        SimProcess sim;
        QVERIFY(sim.start({"--silent", "--hang-up-after", "4"}));
        Session session;
        QSignalSpy lost(&session, &Session::lost);
        QString reason;
        QVERIFY2(Open(session, sim.portName(), false, &reason), qPrintable(reason));
        // The request waits for its answer until the line goes.
        session.state().transferSettings.answerTimeoutMs = 60000;
        PacedTransfer transfer(session.state());
        QSignalSpy finished(&transfer, &PacedTransfer::finished);
        QVERIFY(transfer.Start(PacedTransfer::Plan::ByAnswer(
            PacedTransfer::Mode::Read,
            {{PacedTransfer::Request::Kind::Read, Board::Grube, 5, 0, 5}}, {})));
        QVERIFY(TestUtil::RunUntil(
            [&] { return session.connectionState() == Connection::State::Silent; }, 10000));
        QVERIFY(session.online());
        QVERIFY(TestUtil::RunUntil(
            [&] { return session.connectionState() == Connection::State::Lost; }, 15000));
        QCOMPARE(lost.count(), 1);
        QVERIFY(!session.online() && !session.state().connection().online());
        QVERIFY(!transfer.active());
        const auto report = transfer.TakeReport();
        QVERIFY(report && report->line.startsWith(QStringLiteral("Unterbrochen")));
        QVERIFY(TestUtil::RunUntil([&] { return finished.count() > 0; }, 2000));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).value<PacedTransfer::Ending>(),
                 PacedTransfer::Ending::Interrupted);
    }

    // A lost line with the box on waits for the device to come back, through the session's own
    // watcher, or, for a bridge on the network, calls it again after a pause that grows while
    // nobody answers; the user's next choice decides: another port or the box off ends the wait
    // (lost), Stop ends everything (offline). Without the box the line just stays lost.
    void aLostLineWaitsForItsDeviceUntilTheUserDecides() {
        for (const auto &[autoReconnect, next] :
             {std::pair{true, QStringLiteral("other port")},
              std::pair{true, QStringLiteral("box off")}, std::pair{true, QStringLiteral("stop")},
              std::pair{false, QString()}}) {
            SimProcess sim;
            QVERIFY(sim.start({"--hang-up-after", "1"}));
            const QString device = sim.portName();
            Session session;
            QString reason;
            QVERIFY2(Open(session, device, autoReconnect, &reason), qPrintable(reason));
            QVERIFY(TestUtil::RunUntil([&] { return !session.online(); }, 15000));
            if (!autoReconnect) {
                QCOMPARE(session.connectionState(), Connection::State::Lost);
                QVERIFY(!session.waitingForDevice() && !session.returnWatcher().isActive());
                continue;
            }
            QCOMPARE(session.connectionState(), Connection::State::Waiting);
            QVERIFY(session.waitingForDevice());
            QVERIFY(!session.state().connection().online());
            if (SimProcess::OverNetwork) {
                QVERIFY(session.waitingForBridge() && !session.returnWatcher().isActive());
                QCOMPARE(session.awaitedDevice(), device);
                // The simulator is gone for good: the first call after a second is refused and
                // the next pause is longer.
                QCOMPARE(session.retryPauseMs(), Session::FirstRetryMs);
                QVERIFY(TestUtil::RunUntil(
                    [&] { return session.retryPauseMs() == 2 * Session::FirstRetryMs; }, 10000));
                QCOMPARE(session.connectionState(), Connection::State::Waiting);
            } else {
                QVERIFY(session.returnWatcher().isActive());
            }
            if (next == QLatin1String("other port")) {
                session.Choose({QStringLiteral("COM3"), 19200, true});
            } else if (next == QLatin1String("box off")) {
                session.Choose({device, 19200, false});
            } else {
                session.Stop();
            }
            QCOMPARE(session.connectionState(), next == QLatin1String("stop")
                                                    ? Connection::State::Offline
                                                    : Connection::State::Lost);
            QVERIFY2(!session.waitingForDevice(), qPrintable(next));
            QVERIFY(!session.returnWatcher().isActive());
        }
    }
};

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
