#include "comm/comport.h"
#include "comm/portscan.h"
#include "comm/serialportdevice.h"
#include "fixtures/holder.h"
#include "fixtures/pty.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QSemaphore>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <memory>
#include <utility>

#include <unistd.h>

namespace {

// Qt's own texts in German, as the program loads them for its German interface, while this lives.
struct GermanQtTexts {
    QTranslator base;
    QTranslator serial;
    bool loaded = false;

    GermanQtTexts() {
        const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
        const QLocale german(QLocale::German, QLocale::Germany);
        loaded = base.load(german, QStringLiteral("qtbase"), QStringLiteral("_"), folder) &&
                 serial.load(german, QStringLiteral("qtserialport"), QStringLiteral("_"), folder);
        if (loaded) {
            QCoreApplication::installTranslator(&base);
            QCoreApplication::installTranslator(&serial);
        }
    }
    ~GermanQtTexts() {
        QCoreApplication::removeTranslator(&serial);
        QCoreApplication::removeTranslator(&base);
    }
};

// The second program of the lock tests is this test program again, started with "--hold
// <device>": it opens the device as the program does, says "ready" and holds it until its input
// closes, or prints why it could not and ends with 1.
int HoldDevice(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    SerialPortDevice device(QString::fromLocal8Bit(argv[2]));
    QString error;
    if (!device.open(&error)) {
        std::fputs(error.toUtf8().constData(), stdout);
        return 1;
    }
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}

// One open of a device, by this program or by a second one.
struct Opening {
    std::unique_ptr<SerialPortDevice> device;
    std::unique_ptr<Holder> program;

    // False when refused, with the reason.
    bool open(const QString &name, bool here, QString *error) {
        if (here) {
            device = std::make_unique<SerialPortDevice>(name);
            return device->open(error);
        }
        program = std::make_unique<Holder>();
        if (program->startProgram(QCoreApplication::applicationFilePath(),
                                  {QStringLiteral("--hold"), name})) {
            return true;
        }
        *error = program->refused() ? program->output() : QStringLiteral("no answer");
        return false;
    }
    qint64 pid() const { return device ? QCoreApplication::applicationPid() : program->pid(); }
    // Closed as the program closes it (a killed program would leave the driver's exclusive mode
    // on a pseudo-terminal behind).
    bool close() {
        device.reset();
        const bool stopped = !program || program->stop();
        program.reset();
        return stopped;
    }
};

QString BusySentence(const QString &device) {
    return QStringLiteral("%1 wird bereits von einem anderen Programm benutzt").arg(device);
}

} // namespace

class TestSerialPort : public QObject {
    Q_OBJECT
private slots:
    void portMapDefaultsAndEntries() {
        PortMap map;
#ifdef Q_OS_LINUX
        QCOMPARE(map.target(1), QStringLiteral("/dev/ttyS0"));
        QCOMPARE(map.target(4), QStringLiteral("/dev/ttyS3"));
        QCOMPARE(map.target(5), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(map.target(9), QStringLiteral("/dev/ttyUSB4"));
#endif
        map.setEntry(5, QStringLiteral(" Simulator "));
        QCOMPARE(map.target(5), PortMap::Simulator);
        map.setEntry(3, QStringLiteral("/dev/pts/7"));
        QCOMPARE(map.targetForName(QStringLiteral("COM3")), QStringLiteral("/dev/pts/7"));
        QCOMPARE(map.targetForName(QStringLiteral("/dev/ttyACM0")), QStringLiteral("/dev/ttyACM0"));
        map.setEntry(3, QString());
        QVERIFY(!map.hasEntry(3));
        QCOMPARE(PortMap::NumberOfName(QStringLiteral("com7")), 7);
        QCOMPARE(PortMap::NumberOfName(QStringLiteral("COM0")), 0);
        QCOMPARE(PortMap::NumberOfName(QStringLiteral("COM10")), 0);
        // Other digits than 1..9 name no port: "COM³" and "COM٣" are device paths.
        QCOMPARE(PortMap::NumberOfName(QStringLiteral("COM\u00b3")), 0);
        QCOMPARE(PortMap::NumberOfName(QStringLiteral("COM\u0663")), 0);
        QCOMPARE(map.targetForName(QStringLiteral("COM\u00b3")), QStringLiteral("COM\u00b3"));
    }

    void bytesBothWays() {
        Pty pty;
        QVERIFY(pty.isValid());
        ComPort port;
        port.portMap().setEntry(3, pty.device());
        QString error;
        QVERIFY2(port.Probe(QStringLiteral("COM3"), &error), qPrintable(error));
        QVERIFY2(port.OpenPort(QStringLiteral("COM3"), &error), qPrintable(error));
        QVERIFY2(port.ConfigurePort(19200, &error), qPrintable(error));

        const QByteArray out("\xF0\x05\x00", 3);
        QCOMPARE(port.WritePort(out.constData(), out.size(), &error), qint64(3));
        QByteArray got;
        QTRY_COMPARE_WITH_TIMEOUT((got += pty.receive()), out, 2000);

        QVERIFY(pty.send(QByteArray("G\x05\x2AXYZ", 6)));
        QTRY_COMPARE_WITH_TIMEOUT(port.QueryPortStatus(), qint64(6), 2000);
        char buf[16];
        // A read takes at most what was asked for, and only what is waiting.
        QCOMPARE(port.ReadPort(buf, 4, &error), qint64(4));
        QCOMPARE(QByteArray(buf, 4), QByteArray("G\x05\x2AX", 4));
        QCOMPARE(port.QueryPortStatus(), qint64(2));
        QCOMPARE(port.ReadPort(buf, 8, &error), qint64(2));
        QCOMPARE(port.ReadPort(buf, 8, &error), qint64(0)); // nothing waiting: no wait
        port.Close();
        QVERIFY(!port.isOpen());
    }

    void secondOpenOfSameDeviceFails() {
        Pty pty;
        QVERIFY(pty.isValid());
        ComPort first;
        ComPort second;
        first.portMap().setEntry(2, pty.device());
        second.portMap().setEntry(6, pty.device());
        QString error;
        QVERIFY2(first.OpenPort(QStringLiteral("COM2"), &error), qPrintable(error));
        QVERIFY(!second.Probe(QStringLiteral("COM6"), &error));
        QVERIFY2(error.contains(QStringLiteral("anderen Programm")), qPrintable(error));
        QVERIFY(!second.OpenPort(QStringLiteral("COM6"), &error));
        first.Close();
        error.clear();
        QVERIFY2(second.OpenPort(QStringLiteral("COM6"), &error), qPrintable(error));
    }

    // Qt reports a device that another program holds and one the user may not open with the same
    // error code and a text in the interface's language (German here, as the program loads Qt's
    // texts), the system's part of it in the locale's: the device itself must tell them apart.
    void busyOrNoPermissionInGerman_data() {
        QTest::addColumn<bool>("throughLink");
        QTest::newRow("by its name") << false;
        QTest::newRow("through a link") << true;
    }
    void busyOrNoPermissionInGerman() {
        QFETCH(bool, throughLink);
        Pty pty;
        QVERIFY(pty.isValid());
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString name = throughLink ? dir.filePath(QStringLiteral("turntable")) : pty.device();
        if (throughLink) {
            QVERIFY(QFile::link(pty.device(), name));
        }
        // Held as another program on Qt holds it: by Qt's lock file and the driver's exclusive
        // mode.
        QSerialPort other(pty.device());
        QVERIFY(other.open(QIODevice::ReadWrite));
        QSerialPort probe(pty.device());
        QVERIFY(!probe.open(QIODevice::ReadWrite));
        const QString english = probe.errorString();
        GermanQtTexts german;
        QVERIFY2(german.loaded, "qt6-translations-l10n is not installed");
        QVERIFY(!probe.open(QIODevice::ReadWrite));
        QCOMPARE(probe.error(), QSerialPort::PermissionError);
        QVERIFY2(probe.errorString() != english, qPrintable(english)); // Qt's texts are German

        SerialPortDevice device(name);
        QString error;
        QVERIFY(!device.open(&error));
        QVERIFY2(error.startsWith(BusySentence(name) + QStringLiteral(" (")), qPrintable(error));
        QVERIFY2(
            error.contains(QStringLiteral("Prozess %1").arg(QCoreApplication::applicationPid())),
            qPrintable(error));
        other.close();
        QVERIFY2(device.open(&error), qPrintable(error));
        device.close();

        if (::geteuid() == 0) {
            QSKIP("The superuser is never denied a device");
        }
        QVERIFY(QFile::setPermissions(pty.device(), QFileDevice::Permissions()));
        QVERIFY(!device.open(&error));
        QCOMPARE(error, QStringLiteral("Keine Berechtigung für %1. Benutzer in die Gruppe dialout "
                                       "aufnehmen und neu anmelden.")
                            .arg(name));
    }

    // A link and its device are one device: whichever name the first open took, in this program
    // or in another, the second is refused as busy and told who holds it, also for the superuser
    // (whom the driver's exclusive mode does not stop); once the first closes, the second gets it.
    void oneDeviceUnderTwoNames_data() {
        QTest::addColumn<bool>("firstByLink");
        QTest::addColumn<bool>("firstHere");
        QTest::addColumn<bool>("secondHere");
        QTest::newRow("link, then device, here") << true << true << true;
        QTest::newRow("device, then link, here") << false << true << true;
        QTest::newRow("link here, device in another program") << true << true << false;
        QTest::newRow("device here, link in another program") << false << true << false;
        QTest::newRow("link in another program, device here") << true << false << true;
        QTest::newRow("device in another program, link here") << false << false << true;
    }
    void oneDeviceUnderTwoNames() {
        QFETCH(bool, firstByLink);
        QFETCH(bool, firstHere);
        QFETCH(bool, secondHere);
        Pty pty;
        QVERIFY(pty.isValid());
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString link = dir.filePath(QStringLiteral("turntable"));
        QVERIFY(QFile::link(pty.device(), link));
        const QString firstName = firstByLink ? link : pty.device();
        const QString secondName = firstByLink ? pty.device() : link;

        Opening first;
        QString error;
        QVERIFY2(first.open(firstName, firstHere, &error), qPrintable(error));
        Opening second;
        QVERIFY(!second.open(secondName, secondHere, &error));
        QVERIFY2(error.startsWith(BusySentence(secondName) + QStringLiteral(" (")),
                 qPrintable(error));
        QVERIFY2(error.contains(QStringLiteral("Prozess %1").arg(first.pid())), qPrintable(error));

        QVERIFY(first.close());
        QVERIFY2(second.open(secondName, secondHere, &error), qPrintable(error));
    }

    // The lock is the device's own advisory lock, which other programs take and see as well:
    // taken under the device's name by another program, it refuses the device through a link;
    // taken by this program through a link, another program cannot take it.
    void lockIsTheDevicesOwn() {
        Pty pty;
        QVERIFY(pty.isValid());
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString link = dir.filePath(QStringLiteral("turntable"));
        QVERIFY(QFile::link(pty.device(), link));
        QString error;
        {
            Holder other;
            QVERIFY2(other.start(pty.device(), true), qPrintable(other.output()));
            SerialPortDevice device(link);
            QVERIFY(!device.open(&error));
            QVERIFY2(error.startsWith(BusySentence(link)), qPrintable(error));
            QVERIFY2(error.contains(QStringLiteral("Prozess %1").arg(other.pid())),
                     qPrintable(error));
        }
        SerialPortDevice device(link);
        QVERIFY2(device.open(&error), qPrintable(error));
        Holder other;
        QVERIFY(!other.start(pty.device(), true));
        QVERIFY(other.refused());
        if (::geteuid() == 0) { // an ordinary user's shell is already refused the device itself
            QCOMPARE(other.exitCode(), 3);
        }
    }

    void missingDeviceFailsWithReason() {
        ComPort port;
        port.portMap().setEntry(4, QStringLiteral("/dev/pivota-no-such-device"));
        QString error;
        QVERIFY(!port.Probe(QStringLiteral("COM4"), &error));
        // The COM number the user chose is named beside its device.
        QCOMPARE(error, QStringLiteral("COM4: /dev/pivota-no-such-device ist nicht vorhanden."));
        QVERIFY(!port.OpenPort(QStringLiteral("COM4"), &error));
        QVERIFY(!port.isOpen());
        QCOMPARE(port.ReadPort(nullptr, 0, &error), qint64(-1));
    }

    // "COM-Port suchen" with a driver that keeps one open waiting: that port counts as not
    // answering after the time limit, the others are probed, and the caller's event loop runs
    // all the while.
    void portScanNeverWaitsForAHangingDriver() {
        ComPort port;
        port.portMap().setEntry(2, QStringLiteral("/dev/pivota-present"));
        port.portMap().setEntry(3, QStringLiteral("/dev/pivota-hangs"));
        PortScan scan(port);
        scan.setProbeLimit(300);
        QSemaphore driver;
        scan.setDeviceProbe([&driver](const QString &target) {
            if (target == QStringLiteral("/dev/pivota-hangs")) {
                driver.tryAcquire(1, 60000); // until the test lets it go
            }
            return target == QStringLiteral("/dev/pivota-present");
        });
        QList<std::pair<int, PortScan::Result>> probed;
        connect(&scan, &PortScan::probed, this, [&](int n, PortScan::Result r) {
            probed.append({n, r});
        });
        QStringList found;
        connect(&scan, &PortScan::finished, this, [&](const QStringList &f) { found = f; });
        int ticks = 0;
        QTimer beat;
        connect(&beat, &QTimer::timeout, this, [&] { ++ticks; });
        beat.start(10);
        scan.Start();
        QVERIFY(scan.running());
        QTRY_VERIFY_WITH_TIMEOUT(!scan.running(), 30000);
        driver.release();
        QCOMPARE(probed.size(), PortScan::Ports);
        QVERIFY(probed[1] == std::make_pair(2, PortScan::Result::Present));
        QVERIFY(probed[2] == std::make_pair(3, PortScan::Result::NoAnswer));
        QCOMPARE(probed[8].first, 9);
        QCOMPARE(found, QStringList{QStringLiteral("COM2")});
        QVERIFY(ticks > 0);
    }

    // A file, a folder or a device that is no serial line is said to be none, in the program's
    // words, not in the system's ("Inappropriate ioctl for device", which comes in English).
    void pathsThatAreNoSerialLine() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.filePath(QStringLiteral("pivota.ini"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        const QList<std::pair<QString, QString>> cases = {
            {file, QStringLiteral("%1 ist eine Datei und keine serielle Schnittstelle.")},
            {dir.path(), QStringLiteral("%1 ist ein Ordner und keine serielle Schnittstelle.")},
            {QStringLiteral("/dev/null"), QStringLiteral("%1 ist keine serielle Schnittstelle.")}};
        for (const auto &[path, text] : cases) {
            SerialPortDevice device(path);
            QString error;
            QVERIFY(!device.open(&error));
            QCOMPARE(error, text.arg(path));
        }
    }

    void simulatorNeedsTheProgramsFactory() {
        ComPort port;
        port.portMap().setEntry(5, PortMap::Simulator);
        QString error;
        QVERIFY(!port.OpenPort(QStringLiteral("COM5"), &error));
        QVERIFY(!error.isEmpty());
    }

    void fullOutputBufferIsNoError() {
        Pty pty;
        QVERIFY(pty.isValid());
        ComPort port;
        port.portMap().setEntry(1, pty.device());
        QString error;
        QVERIFY2(port.OpenPort(QStringLiteral("COM1"), &error), qPrintable(error));
        // Nobody reads the far end: the line takes what fits, then nothing, and stays up.
        const QByteArray block(4096, 'x');
        qint64 taken = 0;
        for (int i = 0; i < 64; ++i) {
            const qint64 n = port.WritePort(block.constData(), block.size(), &error);
            QVERIFY2(n >= 0, qPrintable(error));
            taken += n;
        }
        QVERIFY(taken < 64 * block.size());
        QCOMPARE(port.WritePort("y", 1, &error), qint64(0));
        QVERIFY(port.isOpen());
        QCOMPARE(pty.receive().size(), taken);
    }

    void farEndClosingIsReportedOnce() {
        auto pty = std::make_unique<Pty>();
        QVERIFY(pty->isValid());
        ComPort port;
        port.portMap().setEntry(1, pty->device());
        QString error;
        QVERIFY2(port.OpenPort(QStringLiteral("COM1"), &error), qPrintable(error));
        QSignalSpy lost(&port, &ComPort::lineLost);
        pty.reset(); // the far end hangs up
        QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 3000);
        QVERIFY(!port.isOpen());
        // In words a user can act on, not the system's "Resource temporarily unavailable".
        const QString reason = lost.first().first().toString();
        QVERIFY2(reason.contains(QStringLiteral("entfernt oder die Gegenstelle")),
                 qPrintable(reason));
        // Qt raises the error of a vanished device again at every pass of the event loop while
        // the device stays open; 50 ms are about five passes (qWait spins the loop every 10 ms).
        // Nothing is awaited here, so no condition can end the wait sooner.
        QTest::qWait(50);
        QCOMPARE(lost.count(), 1);
        char buf[8];
        QCOMPARE(port.ReadPort(buf, 8, &error), qint64(-1));
        QVERIFY(!error.isEmpty());
        QCOMPARE(port.WritePort("a", 1, &error), qint64(-1));
    }
};

int main(int argc, char **argv) {
    if (argc == 3 && qstrcmp(argv[1], "--hold") == 0) {
        return HoldDevice(argc, argv);
    }
    QCoreApplication app(argc, argv);
    TestSerialPort test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_serialport.moc"
