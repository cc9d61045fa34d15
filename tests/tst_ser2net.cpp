// pivota backup and restore through Debian's ser2net in front of pivota-sim's pseudo-terminal,
// once as a raw TCP bridge and once with Telnet and RFC 2217: the cells come over unharmed,
// 255 included (every cell never written holds it, and Telnet doubles that byte), and a restore
// that writes 255 lands as 255.

#include "core/backup/backupfile.h"
#include "fixtures/pivotarun.h"
#include "fixtures/rununtil.h"
#include "fixtures/simprocess.h"
#include "fixtures/testutil.h"

#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

using namespace PivotaRun;

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
    bool start(const QString &folder, const QString &accepter, const QString &line) {
        quint16 port = 0;
        {
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
    ~Bridge() {
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

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestSer2net)
#include "tst_ser2net.moc"
