// Ports on the network: the names, the Telnet codec for RFC 2217 bridges, and a session on a
// bridge scripted here (QTcpServer) for what a real one does not do on demand.

#include "comm/netaddress.h"
#include "comm/portscan.h"
#include "core/session/session.h"
#include "fixtures/rununtil.h"
#include "net/networkportdevice.h"
#include "net/networkports.h"
#include "net/rfc2217codec.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <memory>

namespace {
using C = Rfc2217Codec;

QByteArray Bytes(std::initializer_list<int> bytes) {
    QByteArray out;
    for (int b : bytes) {
        out.append(static_cast<char>(b));
    }
    return out;
}

QByteArray BaudAnswer(quint32 baud) {
    return Bytes({C::Iac, C::Sb, C::OptionComPort, C::SetBaudRate + C::ServerOffset,
                  int(baud >> 24), int((baud >> 16) & 0xff), int((baud >> 8) & 0xff),
                  int(baud & 0xff), C::Iac, C::Se});
}

// A bridge on loopback that does what a test tells it with the one client it accepts.
struct Bridge {
    QTcpServer server;
    QTcpSocket *client = nullptr;
    QByteArray received;
    std::function<void()> onAccept;
    std::function<void()> onData;

    Bridge() {
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, &server, [this] {
            client = server.nextPendingConnection();
            QObject::connect(client, &QTcpSocket::readyRead, client, [this] {
                received += client->readAll();
                if (onData) {
                    onData();
                }
            });
            if (onAccept) {
                onAccept();
            }
        });
    }
    QString name(const char *scheme) const {
        return QStringLiteral("%1://127.0.0.1:%2").arg(scheme).arg(server.serverPort());
    }
};

struct NetSession {
    Session session;
    QSignalSpy started{&session, &Session::started};
    QSignalSpy failed{&session, &Session::startFailed};
    QSignalSpy lost{&session, &Session::lost};
    NetSession() { session.setDeviceFactory(WithNetworkPorts(nullptr)); }
    bool start(const QString &port, int baud = 19200) {
        QString reason;
        QString configureError;
        return session.Start({port, baud, false}, &reason, &configureError);
    }
    QString failure() const {
        return failed.isEmpty() ? QString() : failed.last().at(0).toString();
    }
};
} // namespace

class TestNetPort : public QObject {
    Q_OBJECT
private slots:
    void namesOfNetworkPorts() {
        const auto a = NetAddress::Parse("tcp://pi-drehscheibe:4001");
        QVERIFY(a);
        QCOMPARE(a->protocol, NetAddress::Protocol::Raw);
        QCOMPARE(a->host, QString("pi-drehscheibe"));
        QCOMPARE(a->port, quint16(4001));
        const auto b = NetAddress::Parse("rfc2217://[fe80::1]:2217");
        QVERIFY(b);
        QCOMPARE(b->protocol, NetAddress::Protocol::Rfc2217);
        QCOMPARE(b->host, QString("fe80::1"));
        QCOMPARE(b->text(), QString("rfc2217://[fe80::1]:2217"));
        QCOMPARE(NetAddress::Parse("TCP://192.168.1.20:23")->host, QString("192.168.1.20"));
        for (const char *wrong : {"tcp://pi", "tcp://:4001", "tcp://pi:0", "tcp://pi:65536",
                                  "tcp://pi:40x", "tcp://fe80::1:23", "tcp://[fe80::1:23",
                                  "tcp://[pi:4001]:1", "tcp://a b:1", "/dev/ttyUSB0", "COM3"}) {
            QVERIFY2(!NetAddress::Parse(wrong), wrong);
        }
        QVERIFY(NetAddress::IsNetworkName("tcp://pi"));
        QVERIFY(!NetAddress::IsNetworkName("/dev/ttyUSB0"));

        // The network dialog's fields give the same names, and refuse what Parse refuses.
        using P = NetAddress::Protocol;
        QCOMPARE(NetAddress::FromParts(P::Rfc2217, " [fd00::7] ", 2217)->text(),
                 QString("rfc2217://[fd00::7]:2217"));
        QCOMPARE(NetAddress::FromParts(P::Raw, "fd00::7", 23)->text(),
                 QString("tcp://[fd00::7]:23"));
        QCOMPARE(*NetAddress::FromParts(P::Raw, "pi-drehscheibe", 4001), *a);
        for (const auto &[host, port] :
             {std::pair{"", 4001}, std::pair{"a b", 4001}, std::pair{"pi", 0},
              std::pair{"pi", 65536}, std::pair{"pi:4001", 4001}, std::pair{"[::1", 1}}) {
            QVERIFY2(!NetAddress::FromParts(P::Raw, host, port), host);
        }
    }

    void aScanListsANetworkPortWithoutCallingIt() {
        Bridge bridge;
        ComPort port;
        port.setDeviceFactory(WithNetworkPorts(nullptr));
        port.portMap().setEntry(5, bridge.name("tcp"));
        PortScan scan(port);
        QMap<int, PortScan::Result> results;
        connect(&scan, &PortScan::probed, this,
                [&](int n, PortScan::Result r) { results.insert(n, r); });
        scan.Start();
        QVERIFY(TestUtil::RunUntil([&] { return results.size() == PortScan::Ports; }, 60000));
        QCOMPARE(results.value(5), PortScan::Result::Present);
        QVERIFY(bridge.client == nullptr);
    }

    void codecNegotiatesAndWaitsOnlyForTheRate() {
        C codec;
        QCOMPARE(codec.Start(19200), Bytes({C::Iac, C::Will, C::OptionBinary, C::Iac, C::Do,
                                            C::OptionBinary, C::Iac, C::Will, C::OptionComPort}));
        // A banner first, then the bridge's answers and requests of its own (ECHO, SGA).
        const QByteArray data = codec.Decode(
            "ser2net port\r\n" +
            Bytes({C::Iac, C::Do, C::OptionComPort, C::Iac, C::Do, C::OptionBinary, C::Iac, C::Will,
                   C::OptionBinary, C::Iac, C::Will, 1, C::Iac, C::Do, 3}));
        QVERIFY(data.isEmpty());
        QCOMPARE(codec.TakeBanner(), QByteArray("ser2net port\r\n"));
        const QByteArray replies = codec.TakeReplies();
        const auto sub = [](int command, QByteArray value) {
            return Bytes({C::Iac, C::Sb, C::OptionComPort, command}) + value +
                   Bytes({C::Iac, C::Se});
        };
        QCOMPARE(replies, sub(C::SetBaudRate, Bytes({0, 0, 0x4b, 0})) +
                              sub(C::SetDataSize, Bytes({8})) + sub(C::SetParity, Bytes({1})) +
                              sub(C::SetStopSize, Bytes({1})) + sub(C::SetControl, Bytes({1})) +
                              Bytes({C::Iac, C::Dont, 1, C::Iac, C::Wont, 3}));
        QCOMPARE(codec.line(), C::Line::Pending);
        // The rate's answer cut in two, the board's bytes behind it in the same piece, the
        // line's state in their middle; the answers to the other settings never come.
        const QByteArray answer = BaudAnswer(19200);
        QVERIFY(codec.Decode(answer.left(5)).isEmpty());
        QCOMPARE(codec.line(), C::Line::Pending);
        QCOMPARE(codec.Decode(answer.mid(5) + "A" +
                              Bytes({C::Iac, C::Sb, C::OptionComPort, 106, 0x60, C::Iac, C::Se}) +
                              "B"),
                 QByteArray("AB"));
        QCOMPARE(codec.line(), C::Line::Set);
        QVERIFY(codec.TakeReplies().isEmpty()); // nothing answered twice
        QVERIFY(codec.TakeBanner().isEmpty());
    }

    void codecPassesByte255BothWays() {
        QCOMPARE(C::Encode(Bytes({1, 0xff, 2, 0xff})), Bytes({1, 0xff, 0xff, 2, 0xff, 0xff}));
        C codec;
        codec.Start(19200);
        codec.Decode(BaudAnswer(19200));
        QCOMPARE(codec.Decode(Bytes({0x10, 0xff})), Bytes({0x10}));
        QCOMPARE(codec.Decode(Bytes({0xff, 0xff, 0xff, 0x20})), Bytes({0xff, 0xff, 0x20}));
    }

    void codecSaysWhatTheBridgeRefused() {
        C codec;
        codec.Start(19200);
        codec.Decode(Bytes({C::Iac, C::Do, C::OptionComPort}) + BaudAnswer(9600));
        QCOMPARE(codec.line(), C::Line::Refused);
        QVERIFY2(codec.refusal().contains("19200") && codec.refusal().contains("9600"),
                 qPrintable(codec.refusal()));
        C plain;
        plain.Start(19200);
        plain.Decode(Bytes({C::Iac, C::Dont, C::OptionComPort}));
        QCOMPARE(plain.line(), C::Line::Refused);
    }

    void openingFailsInWordsAUserCanActOn() {
        // Nobody listens at the port.
        quint16 closedPort = 0;
        {
            QTcpServer probe;
            probe.listen(QHostAddress::LocalHost);
            closedPort = probe.serverPort();
        }
        NetSession refused;
        QVERIFY(refused.start(QStringLiteral("tcp://127.0.0.1:%1").arg(closedPort)));
        QCOMPARE(refused.session.connectionState(), Connection::State::Connecting);
        QVERIFY(TestUtil::RunUntil([&] { return !refused.failed.isEmpty(); }, 10000));
        QVERIFY2(refused.failure().contains("weist die Verbindung ab"),
                 qPrintable(refused.failure()));
        QCOMPARE(refused.session.connectionState(), Connection::State::Offline);

        // A bridge in use says so and closes: its text is shown.
        Bridge busy;
        busy.onAccept = [&] {
            busy.client->write("Port already in use\r\n");
            busy.client->disconnectFromHost();
        };
        NetSession second;
        QVERIFY(second.start(busy.name("rfc2217")));
        QVERIFY(TestUtil::RunUntil([&] { return !second.failed.isEmpty(); }, 10000));
        QVERIFY2(second.failure().contains("Port already in use"), qPrintable(second.failure()));

        // A bridge that accepts and never answers the rate: the time limit, and Stop ends a
        // connection on its way at once.
        Bridge mute;
        NetSession waiting;
        QVERIFY(waiting.start(mute.name("rfc2217")));
        QVERIFY(TestUtil::RunUntil([&] { return mute.client != nullptr; }, 5000));
        QVERIFY(TestUtil::RunUntil([&] { return !waiting.failed.isEmpty(); },
                                   NetworkPortDevice::ConnectLimitMs * 3));
        QVERIFY2(waiting.failure().contains("nicht innerhalb"), qPrintable(waiting.failure()));
        NetSession stopped;
        QVERIFY(stopped.start(mute.name("rfc2217")));
        stopped.session.Stop();
        QCOMPARE(stopped.session.connectionState(), Connection::State::Offline);
        QTest::qWait(0);
        QVERIFY(stopped.failed.isEmpty() && stopped.started.isEmpty());
    }

    void rfc2217BridgeCarriesTheLine() {
        Bridge bridge;
        bool answered = false;
        bridge.onData = [&] {
            if (!answered &&
                bridge.received.contains(Bytes({C::Iac, C::Sb, C::OptionComPort, C::SetControl}))) {
                answered = true;
                // Agreement, the rate, and the board's bytes with the modem's state in between.
                bridge.client->write(
                    Bytes({C::Iac, C::Do, C::OptionBinary, C::Iac, C::Will, C::OptionBinary}) +
                    BaudAnswer(19200) + Bytes({0x41, 0xff, 0xff}) +
                    Bytes({C::Iac, C::Sb, C::OptionComPort, 107, 0x30, C::Iac, C::Se, 0x42}));
            }
        };
        bridge.onAccept = [&] {
            bridge.client->write("welcome\r\n" + Bytes({C::Iac, C::Do, C::OptionComPort}));
        };
        NetworkPortDevice device(*NetAddress::Parse(bridge.name("rfc2217")));
        QSignalSpy ready(&device, &PortDevice::ready);
        device.configure(19200, nullptr);
        QVERIFY(device.open(nullptr));
        QVERIFY(TestUtil::RunUntil([&] { return !ready.isEmpty(); }, 10000));
        QCOMPARE(ready.first().at(0).toString(), QString());
        QVERIFY(TestUtil::RunUntil([&] { return device.bytesWaiting() >= 3; }, 5000));
        char in[8] = {};
        QCOMPARE(device.read(in, sizeof in, nullptr), 3); // the banner is not the board's
        QCOMPARE(QByteArray(in, 3), Bytes({0x41, 0xff, 0x42}));
        bridge.received.clear();
        QCOMPARE(device.write("\x05\xff", 2, nullptr), 2);
        QVERIFY(TestUtil::RunUntil([&] { return bridge.received.size() >= 3; }, 5000));
        QCOMPARE(bridge.received, Bytes({0x05, 0xff, 0xff}));
    }

    void refusedRateLeavesTheLineOpenAndSaysSo() {
        Bridge bridge;
        bridge.onAccept = [&] {
            bridge.client->write(Bytes({C::Iac, C::Do, C::OptionComPort}) + BaudAnswer(9600));
        };
        NetSession net;
        QVERIFY(net.start(bridge.name("rfc2217")));
        QVERIFY(TestUtil::RunUntil([&] { return !net.started.isEmpty(); }, 10000));
        QVERIFY2(net.started.first().at(0).toString().contains("9600"),
                 qPrintable(net.started.first().at(0).toString()));
        QVERIFY(net.session.online());
    }

    void droppedConnectionIsALostLine() {
        Bridge bridge;
        bridge.onData = [&] {
            if (bridge.received.size() >= 4) {
                bridge.client->abort();
            }
        };
        NetSession net;
        QVERIFY(net.start(bridge.name("tcp")));
        QVERIFY(TestUtil::RunUntil([&] { return net.session.online(); }, 10000));
        QSignalSpy changes(&net.session, &Session::stateChanged);
        net.session.link().SendRaw(QByteArray(8, 'x'));
        QVERIFY(TestUtil::RunUntil([&] { return !net.lost.isEmpty(); }, 10000));
        QCOMPARE(net.lost.count(), 1);
        QCOMPARE(net.session.connectionState(), Connection::State::Lost);
        QCOMPARE(net.lost.first().at(1).toString(),
                 PortFailureText(PortFailure::Removed, bridge.name("tcp"), QString()));
    }

    // A bridge that drops the line is called again, after a pause that doubles while it does not
    // answer, until it is back.
    void lostBridgeIsCalledAgainWithAGrowingPause() {
        Bridge bridge;
        const quint16 port = bridge.server.serverPort();
        const QString name = bridge.name("tcp");
        NetSession net;
        QSignalSpy reconnected(&net.session, &Session::reconnected);
        QVERIFY(net.session.Start({name, 19200, true}, nullptr, nullptr));
        QVERIFY(TestUtil::RunUntil([&] { return net.session.online() && bridge.client; }, 10000));

        bridge.server.close(); // nobody answers the next calls
        bridge.client->abort();
        QVERIFY(TestUtil::RunUntil([&] { return !net.lost.isEmpty(); }, 10000));
        QCOMPARE(net.session.connectionState(), Connection::State::Waiting);
        QVERIFY(net.session.waitingForBridge());
        QCOMPARE(net.session.awaitedDevice(), name);
        QCOMPARE(net.session.retryPauseMs(), Session::FirstRetryMs);
        QVERIFY(TestUtil::RunUntil(
            [&] { return net.session.retryPauseMs() == 4 * Session::FirstRetryMs; }, 20000));
        QCOMPARE(net.session.connectionState(), Connection::State::Waiting);
        QVERIFY(net.session.secondsToNextCall() <= 4);

        QVERIFY(bridge.server.listen(QHostAddress::LocalHost, port));
        QVERIFY(TestUtil::RunUntil([&] { return !reconnected.isEmpty(); }, 20000));
        QVERIFY(net.session.online());
        QVERIFY(!net.session.waitingForBridge());
        QCOMPARE(net.lost.count(), 1);

        // Stop ends the wait.
        bridge.client->abort();
        QVERIFY(TestUtil::RunUntil([&] { return net.lost.count() == 2; }, 10000));
        QVERIFY(net.session.waitingForBridge());
        net.session.Stop();
        QVERIFY(!net.session.waitingForBridge());
        QCOMPARE(net.session.connectionState(), Connection::State::Offline);
    }
};

QTEST_GUILESS_MAIN(TestNetPort)
#include "tst_netport.moc"
