// pivota backup and restore, and the window, through Debian's ser2net in front of pivota-sim's
// pseudo-terminal, once as a raw TCP bridge and once with Telnet and RFC 2217: the cells come over
// unharmed, 255 included (every cell never written holds it, and Telnet doubles that byte), a
// restore that writes 255 lands as 255, and the window reads, writes and finds a lost bridge again.

#include "core/backup/backupfile.h"
#include "fixtures/pivotarun.h"
#include "fixtures/rununtil.h"
#include "fixtures/simprocess.h"
#include "fixtures/testutil.h"
#include "fixtures/testwindow.h"
#include "fixtures/widgettestutil.h"
#include "gui/parameter/tframeparameter.h"

#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

using namespace PivotaRun;
using TestUtil::Find;

namespace {
const QString Ser2net = QStringLiteral("/usr/sbin/ser2net");

int PitValue(int cell) {
    return cell % 7 == 0 ? 0xFF : (cell * 5 + 9) & 0xFF;
}
int BridgeValue(int cell) {
    return cell % 5 == 0 ? 0xFF : (cell * 3 + 1) & 0xFF;
}

// ser2net on a loopback port in front of the line, as long as the object lives.
class Bridge {
public:
    // On a free port, or on the port it had before when it is started again.
    bool start(const QString &folder, const QString &accepter, const QString &line) {
        quint16 port = m_port;
        if (port == 0) {
            QTcpServer free;
            free.listen(QHostAddress::LocalHost);
            port = free.serverPort();
        }
        const QString config = folder + QStringLiteral("/ser2net.yaml");
        const QString yaml = QStringLiteral("%YAML 1.1\n---\nconnection: &pivota\n"
                                            "  accepter: %1,127.0.0.1,%2\n"
                                            "  connector: serialdev,%3,115200n81,local\n")
                                 .arg(accepter)
                                 .arg(port)
                                 .arg(line);
        if (!TestUtil::WriteFile(config, yaml.toUtf8())) {
            return false;
        }
        m_process.start(Ser2net,
                        {"-n", "-u", "-c", config, "-P", folder + QStringLiteral("/ser2net.pid")});
        if (!m_process.waitForStarted(5000)) {
            return false;
        }
        m_port = port;
        // Listening once a connection gets through; it is closed again at once.
        return TestUtil::RunUntil(
            [&] {
                QTcpSocket probe;
                probe.connectToHost(QHostAddress::LocalHost, port);
                const bool up = probe.waitForConnected(200);
                probe.abort();
                return up;
            },
            10000);
    }
    ~Bridge() { stop(); }
    void stop() {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }
    quint16 port() const { return m_port; }
    QByteArray errors() { return m_process.readAllStandardError(); }

private:
    QProcess m_process;
    quint16 m_port = 0;
};
} // namespace

class TestSer2net : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (!QFile::exists(Ser2net)) {
            QSKIP("ser2net is not installed");
        }
        QVERIFY(m_dir.isValid());
    }

    void backupAndRestoreThroughTheBridge_data() {
        QTest::addColumn<QString>("scheme");
        QTest::addColumn<QString>("accepter");
        QTest::newRow("raw") << "tcp"
                             << "tcp";
        QTest::newRow("rfc2217") << "rfc2217"
                                 << "telnet(rfc2217),tcp";
    }
    void backupAndRestoreThroughTheBridge() {
        QFETCH(QString, scheme);
        QFETCH(QString, accepter);
        const QString folder = m_dir.filePath(scheme);
        QVERIFY(QDir().mkpath(folder));
        const QString simFile = folder + QStringLiteral("/sim.txt");
        QString text;
        for (int cell = 0; cell < 256; ++cell) {
            text += SimLine('P', cell, PitValue(cell));
        }
        for (int cell = 0; cell < 256; ++cell) {
            text += SimLine('B', cell, BridgeValue(cell));
        }
        QVERIFY(TestUtil::WriteFile(simFile, text.toLatin1()));
        const QString settings = folder + QStringLiteral("/pivota.ini");
        QVERIFY(TestUtil::WriteFile(settings, FastSettings()));
        const QString line = folder + QStringLiteral("/tty");
        const QStringList simArgs = {"--eeprom",       simFile, "--pit-delay", "1",
                                     "--bridge-delay", "3",     "--baud",      "115200"};
        const QString backup = folder + QStringLiteral("/backup.pvt");
        {
            SimProcess sim;
            QVERIFY(sim.start(simArgs, line));
            Bridge bridge;
            QVERIFY(bridge.start(folder, accepter, line));
            const QString port = QStringLiteral("%1://127.0.0.1:%2").arg(scheme).arg(bridge.port());
            const Run r = RunPivota({"backup", "--settings", settings, "--port", port, backup});
            QVERIFY2(r.code == 0, qPrintable(Dump(r) + bridge.errors()));
        }
        Backup::FileContents contents;
        QString error;
        QVERIFY2(Backup::ReadFile(backup, &contents, &error), qPrintable(error));
        for (int cell = 0; cell < 256; ++cell) {
            QVERIFY(contents.image.pit[size_t(cell)] == Backup::Cell::Of(PitValue(cell)));
            QVERIFY(contents.image.bridge[size_t(cell)] == Backup::Cell::Of(BridgeValue(cell)));
        }

        // Two cells that held 255 lost it behind the program's back: the restore writes 255.
        text.replace(SimLine('P', 14, 0xFF), SimLine('P', 14, 0x00));
        text.replace(SimLine('B', 20, 0xFF), SimLine('B', 20, 0x12));
        QVERIFY(TestUtil::WriteFile(simFile, text.toLatin1()));
        {
            SimProcess sim;
            QVERIFY(sim.start(simArgs, line));
            Bridge bridge;
            QVERIFY(bridge.start(folder, accepter, line));
            const QString port = QStringLiteral("%1://127.0.0.1:%2").arg(scheme).arg(bridge.port());
            const Run r =
                RunPivota({"restore", "--settings", settings, "--port", port, "--yes", backup});
            QVERIFY2(r.code == 0 && r.out.contains(QStringLiteral("Wiederhergestellt: 2 Zellen")),
                     qPrintable(Dump(r) + bridge.errors()));
        }
        const QByteArray saved = TestUtil::ReadFile(simFile);
        QVERIFY(saved.contains(SimLine('P', 14, 0xFF).toLatin1()));
        QVERIFY(saved.contains(SimLine('B', 20, 0xFF).toLatin1()));
    }

    // The window through the bridge: Start, the parameters read, one written and read back. Then
    // the bridge goes away in the middle of a read: one box, the wait for it in the status bar,
    // and online again once it is back.
    void theWindowThroughTheBridge_data() { backupAndRestoreThroughTheBridge_data(); }
    void theWindowThroughTheBridge() {
        QFETCH(QString, scheme);
        QFETCH(QString, accepter);
        const QString folder = m_dir.filePath(QStringLiteral("window-") + scheme);
        QVERIFY(QDir().mkpath(folder));
        const QString simFile = folder + QStringLiteral("/sim.txt");
        QVERIFY(TestUtil::WriteFile(simFile, SimLine('B', FilterBCell, 61).toLatin1()));
        const QString line = folder + QStringLiteral("/tty");
        {
            SimProcess sim;
            QVERIFY(sim.start({"--eeprom", simFile, "--pit-delay", "1", "--bridge-delay", "3",
                               "--baud", "115200"},
                              line));
            Bridge bridge;
            QVERIFY(bridge.start(folder, accepter, line));
            const QString port = QStringLiteral("%1://127.0.0.1:%2").arg(scheme).arg(bridge.port());
            TestWindow t(TestIni::OnPort(5, port, "Interval_Senden=2\nInterval_Receive=2\n"));
            TfrmMain &w = t.w();
            w.btnStartClick();
            QVERIFY(TestUtil::RunUntil([&] { return w.state().connection().online(); }, 10000));
            QCOMPARE(w.statusText(), QStringLiteral("verbunden mit %1").arg(port));

            TFrameParameter *tab = w.frameParameter();
            auto *edit = Find<QLineEdit>(tab, "edt_para_15"); // "Filter_b"
            const auto done = [&] { return !tab->transfer().Running(); };
            QTest::mouseClick(Find<QPushButton>(tab, "btn_read_values"), Qt::LeftButton);
            QVERIFY(TestUtil::RunUntil(done, 30000));
            QTRY_COMPARE_WITH_TIMEOUT(edit->text(), QStringLiteral("61"), 3000);
            edit->setFocus();
            edit->selectAll();
            QTest::keyClicks(edit, QStringLiteral("50"));
            QTest::mouseClick(Find<QPushButton>(tab, "btn_write_values"), Qt::LeftButton);
            QVERIFY(TestUtil::RunUntil(done, 30000));
            QTRY_VERIFY_WITH_TIMEOUT(w.statusText().contains(QStringLiteral("geprüft")), 3000);
            QVERIFY2(w.statusText().startsWith(QStringLiteral("1 Zelle in")),
                     qPrintable(w.statusText()));
            QVERIFY(t.dialogs.calls.isEmpty());

            QTest::mouseClick(Find<QPushButton>(tab, "btn_read_values"), Qt::LeftButton);
            QVERIFY(tab->transfer().Running());
            bridge.stop();
            QVERIFY(TestUtil::RunUntil([&] { return !w.state().connection().online(); }, 10000));
            QVERIFY(TestUtil::RunUntil(
                [&] { return w.statusText().startsWith(QStringLiteral("wartet auf ") + port); },
                5000));
            QVERIFY(done());
            QVERIFY(bridge.start(folder, accepter, line));
            QVERIFY(TestUtil::RunUntil([&] { return w.state().connection().online(); }, 40000));
            QCOMPARE(t.dialogs.count(QStringLiteral("error")), 1);
            w.btnStopClick();
        }
        // The simulator kept what was written.
        QVERIFY(TestUtil::ReadFile(simFile).contains(SimLine('B', FilterBCell, 50).toLatin1()));
    }

private:
    static constexpr int FilterBCell = 13;
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestSer2net)
#include "tst_ser2net.moc"
