// What the program finds out about a serial device: which processes hold it open (read from a
// proc folder, the machine's or a fake one), the message for a device another program holds, and
// the latency timer of a USB serial adapter (read from a fake sysfs folder).

#include "comm/serialportdevice.h"
#include "fixtures/holder.h"
#include "fixtures/pty.h"
#include "fixtures/testutil.h"
#include "platform/portenumerator.h"
#include "platform/portholders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

using namespace TestUtil;

namespace {

// A process of a fake proc folder, with links for its open files.
bool FakeProcess(const QString &proc, qint64 pid, const QString &program,
                 const QStringList &openFiles) {
    const QString folder = QStringLiteral("%1/%2").arg(proc).arg(pid);
    if (!QDir().mkpath(folder + QStringLiteral("/fd")) ||
        !WriteFile(folder + QStringLiteral("/comm"), program.toUtf8() + '\n')) {
        return false;
    }
    for (int fd = 0; fd < openFiles.size(); ++fd) {
        if (!QFile::link(openFiles.at(fd), QStringLiteral("%1/fd/%2").arg(folder).arg(fd))) {
            return false;
        }
    }
    return true;
}

bool Holds(const PortHolderSearch &search, qint64 pid, const QString &program) {
    return search.holders.contains(PortHolder{pid, program});
}

} // namespace

class TestPortInfo : public QObject {
    Q_OBJECT
private slots:
    void holdersFromAFakeProcFolder() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString root = QFileInfo(dir.path()).canonicalFilePath();
        const QString proc = root + QStringLiteral("/proc");
        const QString device = root + QStringLiteral("/ttyUSB0");
        const QString other = root + QStringLiteral("/ttyUSB1");
        const QString byId = root + QStringLiteral("/usb-Maker_Adapter_A1-if00-port0");
        QVERIFY(WriteFile(device, ""));
        QVERIFY(WriteFile(other, ""));
        QVERIFY(QFile::link(device, byId));
        QVERIFY(FakeProcess(proc, 1, QStringLiteral("init"), {other}));
        QVERIFY(FakeProcess(proc, 4711, QStringLiteral("minicom"), {other, device}));
        QVERIFY(FakeProcess(proc, 812, QStringLiteral("screen"), {device, device}));
        QVERIFY(WriteFile(proc + QStringLiteral("/uptime"), "1.0 1.0\n")); // no process

        const PortHolders holders(proc);
        // Named by its by-id link, found under the device itself; each process once, by number.
        const PortHolderSearch found = holders.find(byId);
        QCOMPARE(found.outcome(), PortHolderSearch::Outcome::Found);
        QCOMPARE(found.holders, (QList<PortHolder>{{812, QStringLiteral("screen")},
                                                   {4711, QStringLiteral("minicom")}}));
        QCOMPARE(BusyDeviceText(QStringLiteral("/dev/ttyUSB0"), found),
                 QStringLiteral("/dev/ttyUSB0 wird bereits von einem anderen Programm benutzt "
                                "(screen, Prozess 812; minicom, Prozess 4711)."));

        const PortHolderSearch none = holders.find(root + QStringLiteral("/ttyACM0"));
        QCOMPARE(none.outcome(), PortHolderSearch::Outcome::NoneFound);
        QCOMPARE(BusyDeviceText(QStringLiteral("/dev/ttyACM0"), none),
                 QStringLiteral("/dev/ttyACM0 wird bereits von einem anderen Programm benutzt. "
                                "Welches Programm es ist, ließ sich nicht feststellen."));

        // A holder whose name cannot be read is still told by its number.
        QVERIFY(QFile::remove(proc + QStringLiteral("/4711/comm")));
        QCOMPARE(BusyDeviceText(QStringLiteral("/dev/ttyUSB1"), holders.find(other)),
                 QStringLiteral("/dev/ttyUSB1 wird bereits von einem anderen Programm benutzt "
                                "(init, Prozess 1; Prozess 4711)."));
    }

    void unreadableProcessesLeaveItOpen_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("files of another user") << QStringLiteral("mode");
        QTest::newRow("files that cannot be listed") << QStringLiteral("nofolder");
        QTest::newRow("other users hidden") << QStringLiteral("hidden");
    }
    void unreadableProcessesLeaveItOpen() {
        QFETCH(QString, how);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString root = QFileInfo(dir.path()).canonicalFilePath();
        const QString proc = root + QStringLiteral("/proc");
        const QString device = root + QStringLiteral("/ttyUSB0");
        const QString other = root + QStringLiteral("/ttyUSB1");
        QVERIFY(WriteFile(device, ""));
        QVERIFY(WriteFile(other, ""));
        if (how != QLatin1String("hidden")) {
            QVERIFY(FakeProcess(proc, 1, QStringLiteral("init"), {}));
        }
        QVERIFY(FakeProcess(proc, 300, QStringLiteral("cat"), {other}));
        QVERIFY(FakeProcess(proc, 400, QStringLiteral("minicom"), {}));
        const QString fd = proc + QStringLiteral("/400/fd");
        if (how == QLatin1String("mode")) {
            if (geteuid() == 0) {
                QSKIP("The superuser reads every folder whatever its mode");
            }
            QVERIFY(QFile::setPermissions(fd, QFileDevice::Permissions()));
        } else if (how == QLatin1String("nofolder")) {
            QVERIFY(QDir(fd).removeRecursively());
            QVERIFY(WriteFile(fd, ""));
        }
        const PortHolderSearch search = PortHolders(proc).find(device);
        const PortHolderSearch seen = PortHolders(proc).find(other);
        QFile::setPermissions(fd, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ExeOwner);
        QCOMPARE(search.outcome(), PortHolderSearch::Outcome::Unknown);
        QCOMPARE(BusyDeviceText(QStringLiteral("/dev/ttyUSB0"), search),
                 QStringLiteral("/dev/ttyUSB0 wird bereits von einem anderen Programm benutzt. "
                                "Welches Programm es ist, ließ sich nicht feststellen."));
        // What could be read is still told.
        QCOMPARE(seen.outcome(), PortHolderSearch::Outcome::Found);
        QVERIFY(Holds(seen, 300, QStringLiteral("cat")));
        QVERIFY(!seen.complete);
    }

    void childHoldingAPseudoTerminalIsNamed() {
        Pty pty;
        QVERIFY(pty.isValid());
        const PortHolderSearch before = PortHolders().find(pty.device());
        QVERIFY(before.holders.isEmpty());

        Holder child;
        QVERIFY(child.start(pty.device()));
        // Between "ready" and its exec the child is still called sh.
        PortHolderSearch search;
        QTRY_VERIFY_WITH_TIMEOUT(
            Holds(search = PortHolders().find(pty.device()), child.pid(), QStringLiteral("sleep")),
            5000);
        QCOMPARE(search.outcome(), PortHolderSearch::Outcome::Found);
        QCOMPARE(search.holders.size(), 1);
        QCOMPARE(BusyDeviceText(pty.device(), search),
                 QStringLiteral("%1 wird bereits von einem anderen Programm benutzt "
                                "(sleep, Prozess %2).")
                     .arg(pty.device())
                     .arg(child.pid()));
    }

    // A program that takes no lock (a shell's "exec 3<>", a cat reading the line) holds the device
    // all the same: the program does not share the line with it, and says who it is. Once the
    // program has the device, the driver keeps every later open out, and a second open here is
    // refused naming this program.
    void holderWithoutALockMakesTheDeviceBusy() {
        Pty pty;
        QVERIFY(pty.isValid());
        const QString sentence =
            QStringLiteral("%1 wird bereits von einem anderen Programm benutzt").arg(pty.device());
        SerialPortDevice first(pty.device());
        QString error;
        {
            Holder child;
            QVERIFY(child.start(pty.device()));
            QTRY_VERIFY_WITH_TIMEOUT(
                Holds(PortHolders().find(pty.device()), child.pid(), QStringLiteral("sleep")),
                5000);
            QVERIFY(!first.open(&error));
            QCOMPARE(error,
                     QStringLiteral("%1 (sleep, Prozess %2).").arg(sentence).arg(child.pid()));
        }
        QVERIFY2(first.open(&error), qPrintable(error));
        SerialPortDevice second(pty.device());
        QVERIFY(!second.open(&error));
        QVERIFY2(error.startsWith(sentence + QStringLiteral(" (")) &&
                     error.endsWith(
                         QStringLiteral("Prozess %1).").arg(QCoreApplication::applicationPid())),
                 qPrintable(error));
        const int fd = ::open(QFile::encodeName(pty.device()).constData(), O_RDWR | O_NOCTTY);
        if (fd < 0) {
            QCOMPARE(errno, EBUSY);
        } else { // the superuser passes the exclusive mode, but sees it
            int exclusive = 0;
            QCOMPARE(::ioctl(fd, TIOCGEXCL, &exclusive), 0);
            ::close(fd);
            QCOMPARE(exclusive, 1);
        }
    }

    // A second device file of the same device (made with mknod) names the same device: a holder
    // through either is found under the other. (A pseudo-terminal opens only through its own file;
    // an adapter's device works as /dev/full does here.)
    void secondDeviceFileOfTheSameDevice() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString device = QStringLiteral("/dev/full");
        const QString node = dir.filePath(QStringLiteral("tt"));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(device).constData(), &st), 0);
        if (::mknod(QFile::encodeName(node).constData(), S_IFCHR | 0600, st.st_rdev) != 0) {
            QSKIP("Only the superuser makes device files");
        }
        const QList<std::pair<QString, QString>> namings = {{node, device}, {device, node}};
        for (const auto &[held, looked] : namings) {
            Holder child;
            QVERIFY(child.start(held));
            QTRY_VERIFY_WITH_TIMEOUT(
                Holds(PortHolders().find(looked), child.pid(), QStringLiteral("sleep")), 5000);
        }
    }

    void latencyTimerFromSysfs() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString root = QFileInfo(dir.path()).canonicalFilePath();
        const QString sys = root + QStringLiteral("/usb-serial");
        const QString usb = root + QStringLiteral("/ttyUSB0");
        const QString acm = root + QStringLiteral("/ttyACM0");
        const QString odd = root + QStringLiteral("/ttyUSB2");
        const QString byId = root + QStringLiteral("/usb-Maker_Adapter_A1-if00-port0");
        QVERIFY(WriteFile(usb, ""));
        QVERIFY(WriteFile(acm, ""));
        QVERIFY(WriteFile(odd, ""));
        QVERIFY(QFile::link(usb, byId));
        QVERIFY(QDir().mkpath(sys + QStringLiteral("/ttyUSB0")));
        QVERIFY(WriteFile(sys + QStringLiteral("/ttyUSB0/latency_timer"), "16\n"));
        QVERIFY(QDir().mkpath(sys + QStringLiteral("/ttyUSB2")));
        QVERIFY(WriteFile(sys + QStringLiteral("/ttyUSB2/latency_timer"), "fast\n"));

        QCOMPARE(KernelDeviceName(byId), QStringLiteral("ttyUSB0"));
        QCOMPARE(ReadLatencyTimer(usb, sys), std::optional<int>(16));
        QCOMPARE(ReadLatencyTimer(byId, sys), std::optional<int>(16));
        // A device without a latency timer, and a value that is no number, have none.
        QCOMPARE(ReadLatencyTimer(acm, sys), std::nullopt);
        QCOMPARE(ReadLatencyTimer(odd, sys), std::nullopt);
        QCOMPARE(ReadLatencyTimer(usb, root + QStringLiteral("/none")), std::nullopt);

        FoundPort p{byId, usb, QStringLiteral("FT232R USB UART"), QStringLiteral("FTDI"),
                    ReadLatencyTimer(byId, sys)};
        QCOMPARE(p.displayText(), QStringLiteral("ttyUSB0 – FT232R USB UART (FTDI), Latenz 16 ms"));
        p.latencyMs = std::nullopt;
        QCOMPARE(p.displayText(), QStringLiteral("ttyUSB0 – FT232R USB UART (FTDI)"));
        const FoundPort bare{acm, acm, QString(), QString(), 1};
        QCOMPARE(bare.displayText(), QStringLiteral("ttyACM0, Latenz 1 ms"));
    }
};

QTEST_GUILESS_MAIN(TestPortInfo)
#include "tst_portinfo.moc"
