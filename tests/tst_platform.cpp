// What the platform seams choose on the system the tests run on (Linux natively, Windows under
// Wine): the devices behind the COM numbers, the folder of the settings file, how the port list
// follows adapters, the busy port's message and console text. What each system should choose is
// given by the build (PIVOTA_EXPECT_*), so that one program checks both.

#include "comm/portmap.h"
#include "comm/serialportdevice.h"
#include "core/settings/settingsfile.h"
#include "platform/console.h"
#include "platform/filenames.h"
#include "platform/filesafety.h"
#include "platform/portenumerator.h"
#include "platform/portwatcher.h"
#include "platform/settingslocation.h"
#include "platform/systemports.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

namespace {

// A fixed list that the test changes, as adapters come and go.
class ListedPorts : public PortEnumerator {
public:
    QList<FoundPort> Ports() const override {
        ++reads;
        return ports;
    }
    QList<FoundPort> ports;
    mutable int reads = 0;
};

FoundPort Port(const QString &target) {
    FoundPort p;
    p.target = target;
    p.location = target;
    return p;
}

constexpr int Limit = 5000; // ms; a poll comes every few dozen in these tests

} // namespace

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("pivota")); }

    void comNumbersWithoutEntryMeanTheSystemsPorts() {
        const QStringList expected = QStringLiteral(PIVOTA_EXPECT_PORTS).split(QLatin1Char(','));
        QCOMPARE(DefaultPortDevice(1), expected.at(0));
        QCOMPARE(DefaultPortDevice(5), expected.at(1));
        QCOMPARE(DefaultPortDevice(9), expected.at(2));
        // Nine different devices, and an empty port map leads to them.
        QStringList all;
        PortMap map;
        for (int n = PortMap::FirstPort; n <= PortMap::LastPort; ++n) {
            QVERIFY(!all.contains(DefaultPortDevice(n)));
            all << DefaultPortDevice(n);
            QCOMPARE(map.target(n), DefaultPortDevice(n));
            QCOMPARE(map.targetForName(PortMap::PortName(n)), DefaultPortDevice(n));
        }
        // An entry still wins over the default.
        map.setEntry(3, QStringLiteral("simulator"));
        QCOMPARE(map.targetForName(QStringLiteral("com3")), PortMap::Simulator);
    }

    void appDataFolderFromItsVariable() {
        const QString fallback = QStringLiteral("C:/Users/anna/AppData/Local/pivota");
        QCOMPARE(
            AppDataSettingsFolder(QStringLiteral("C:\\Users\\anna\\AppData\\Roaming"), fallback),
            QStringLiteral("C:/Users/anna/AppData/Roaming/Pivota"));
        QCOMPARE(AppDataSettingsFolder(QStringLiteral("D:\\Profile\\Roaming\\ "), fallback),
                 QStringLiteral("D:/Profile/Roaming/Pivota"));
        QCOMPARE(AppDataSettingsFolder(QString(), fallback), fallback);
        QCOMPARE(AppDataSettingsFolder(QStringLiteral("  "), fallback), fallback);
    }

    void settingsOfAnInstalledProgramGoToTheUsersFolder() {
        QTemporaryDir appData;
        QTemporaryDir config;
        QVERIFY(appData.isValid() && config.isValid());
        // Each system reads its own variable; the other one's is ignored.
        qputenv("APPDATA", QDir::toNativeSeparators(appData.path()).toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        const QString expected = PIVOTA_EXPECT_APPDATA
                                     ? QDir::cleanPath(appData.path() + QStringLiteral("/Pivota"))
                                     : QDir::cleanPath(config.path() + QStringLiteral("/pivota"));
        QCOMPARE(QDir::cleanPath(UserSettingsFolder()), expected);
        const auto readOnly = [](const QString &) { return false; };
        const auto writable = [](const QString &) { return true; };
        const QString installed = QStringLiteral("C:/Program Files/Pivota/pivota.exe");
        QCOMPARE(QDir::cleanPath(DefaultSettingsPath(installed, UserSettingsFolder(), readOnly)),
                 expected + QStringLiteral("/pivota.ini"));
        // The portable copy, unpacked anywhere the user may write, keeps its settings beside it;
        // the console program beside it finds the same file.
        QCOMPARE(DefaultSettingsPath(QStringLiteral("E:/Pivota/pivota.exe"), UserSettingsFolder(),
                                     writable),
                 QStringLiteral("E:/Pivota/pivota.ini"));
        QCOMPARE(DefaultSettingsPath(QStringLiteral("E:/Pivota/pivota.com"), UserSettingsFolder(),
                                     writable),
                 QStringLiteral("E:/Pivota/pivota.ini"));
        qunsetenv("APPDATA");
        qunsetenv("XDG_CONFIG_HOME");
    }

    void pathsShownAsTheSystemWritesThem() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("sub/../pivota.ini"));
        const QString shown = ShownPath(path);
        QCOMPARE(shown, QDir::toNativeSeparators(dir.filePath(QStringLiteral("pivota.ini"))));
        QVERIFY(!shown.contains(QLatin1String("..")));
        const QChar other = PIVOTA_EXPECT_BACKSLASH ? QLatin1Char('/') : QLatin1Char('\\');
        QVERIFY2(!shown.contains(other), qPrintable(shown));
        // A relative name is shown where it really lies.
        QVERIFY(QDir::isAbsolutePath(QDir::fromNativeSeparators(ShownPath("pivota.ini"))));
    }

    void folderIsWritableWhenAFileCanBeMadeThere() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(FileSafety::IsFolderWritable(dir.path()));
        QVERIFY(QDir(dir.path())
                    .isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System |
                             QDir::NoDotAndDotDot)); // the trial file is gone
        QVERIFY(!FileSafety::IsFolderWritable(dir.filePath(QStringLiteral("missing"))));
        // A folder that takes no file, not even from the superuser (as the tests may run), whose
        // permission bits would let it: the process file system (under Wine the same on drive
        // Z:). The folder rights of Windows are not read by QFileInfo either.
        if (!QFileInfo(QStringLiteral("/proc/self")).exists()) {
            QSKIP("no /proc on this machine");
        }
        QVERIFY(!FileSafety::IsFolderWritable(QStringLiteral("/proc")));
    }

    void namesCleanedAndCheckedAsWindowsDoes() {
        using FileNames::System;
        const System W = System::Windows;
        QCOMPARE(FileNames::Cleaned(QStringLiteral("C:\\a.b\\x.pvt. . "), W),
                 QStringLiteral("C:\\a.b\\x.pvt"));
        QCOMPARE(FileNames::Cleaned(QStringLiteral("C:/Anlage.pvt."), W),
                 QStringLiteral("C:/Anlage.pvt"));
        QCOMPARE(FileNames::Cleaned(QStringLiteral("/home/a/x.pvt."), System::Unix),
                 QStringLiteral("/home/a/x.pvt."));
        for (const char *device :
             {"C:\\con.pvt", "NUL", "Z:/dir/COM3.pvt", "lpt9", "aux .txt", "C:\\Prn.", "conout$"}) {
            QVERIFY2(FileNames::IsDeviceName(QString::fromLatin1(device), W), device);
            QVERIFY2(FileNames::Problem(QString::fromLatin1(device), W).contains(u'„'), device);
            QVERIFY(!FileNames::IsDeviceName(QString::fromLatin1(device), System::Unix));
        }
        for (const char *file :
             {"C:\\console.pvt", "COM10.pvt", "com0", "C:\\nul\\x.pvt", "Anlage.pvt."}) {
            QVERIFY2(FileNames::Problem(QString::fromLatin1(file), W).isEmpty(), file);
        }
        QVERIFY(!FileNames::Problem(QStringLiteral("C:\\a?.pvt"), W).isEmpty());
        QVERIFY(!FileNames::Problem(QStringLiteral("C:\\b:strom.pvt"), W).isEmpty());
        QVERIFY(!FileNames::Problem(QStringLiteral("C:\\..."), W).isEmpty());
        QVERIFY(FileNames::Problem(QStringLiteral("/home/a/con.pvt"), System::Unix).isEmpty());
        // The message names the path as the system writes it.
        QVERIFY(FileNames::Problem(QStringLiteral("C:/con.pvt"), W)
                    .startsWith(QDir::toNativeSeparators(QStringLiteral("C:/con.pvt"))));

        // A save dialog that adds the suffix to a name ending with a dot.
        const QString pvt = QStringLiteral("pvt");
        QCOMPARE(FileNames::SavedName(QStringLiteral("C:/A/Anlage.pvt..pvt"), pvt, W),
                 QStringLiteral("C:/A/Anlage.pvt"));
        QCOMPARE(FileNames::SavedName(QStringLiteral("C:/A/Anlage.pvt."), pvt, W),
                 QStringLiteral("C:/A/Anlage.pvt"));
        QCOMPARE(FileNames::SavedName(QStringLiteral("C:/A/Anlage..pvt"), pvt, W),
                 QStringLiteral("C:/A/Anlage.pvt"));
        QCOMPARE(FileNames::SavedName(QStringLiteral("C:/A/Anlage.txt"), pvt, W),
                 QStringLiteral("C:/A/Anlage.txt"));
        QCOMPARE(FileNames::SavedName(QStringLiteral("/a/Anlage.pvt..pvt"), pvt, System::Unix),
                 QStringLiteral("/a/Anlage.pvt..pvt"));
    }

    void typedPortNamesAndTheirOrder() {
        using FileNames::System;
        for (const char *typed : {"COM12", "com3", " \\\\.\\COM12 ", "\\\\.\\CNCA0"}) {
            QVERIFY2(DevicePathProblem(QString::fromLatin1(typed), System::Windows).isEmpty(),
                     typed);
        }
        for (const char *typed : {"/dev/ttyUSB0", "COM", "COM0", "COMx", ""}) {
            QVERIFY2(!DevicePathProblem(QString::fromLatin1(typed), System::Windows).isEmpty(),
                     typed);
        }
        QCOMPARE(TypedDevice(QStringLiteral("\\\\.\\com12"), System::Windows),
                 QStringLiteral("COM12"));
        QCOMPARE(TypedDevice(QStringLiteral(" /dev/ttyACM0 "), System::Unix),
                 QStringLiteral("/dev/ttyACM0"));
        QCOMPARE(TypedDeviceStart(System::Windows), QStringLiteral("COM"));
        QCOMPARE(TypedDeviceStart(System::Unix), QStringLiteral("/dev/"));
        // On this system: Windows takes a port that is not plugged in; a device path must exist.
        QCOMPARE(DevicePathProblem(QStringLiteral("COM12")).isEmpty(),
                 bool(PIVOTA_EXPECT_BACKSLASH));

        QList<FoundPort> ports;
        for (const char *name : {"COM12", "ttyUSB10", "COM2", "ttyUSB9", "COM1", "ttyS0"}) {
            ports << Port(QString::fromLatin1(name));
        }
        QStringList order;
        for (const FoundPort &p : SortedForShowing(ports)) {
            order << p.location;
        }
        QCOMPARE(order, QStringList({"COM1", "COM2", "COM12", "ttyS0", "ttyUSB9", "ttyUSB10"}));
        QVERIFY(NaturalLess(QStringLiteral("/dev/ttyUSB2"), QStringLiteral("/dev/ttyUSB10")));
        QVERIFY(!NaturalLess(QStringLiteral("COM10"), QStringLiteral("com9")));
    }

    void longLinesWrapAtBlanks() {
        const QString table = QStringLiteral("  pivota backup  --port GERÄT DATEI   alle Zellen "
                                             "beider Platinen sichern");
        QCOMPARE(WrapLines(table, 60), QStringLiteral("  pivota backup  --port GERÄT DATEI   "
                                                      "alle Zellen beider\n"
                                                      "                                      "
                                                      "Platinen sichern"));
        const QString message = QStringLiteral("pivota: Die Datei /ein/sehr/langer/Pfad/zu/einer/"
                                               "Sicherung.pvt ist nicht vorhanden.");
        for (const QString &line : WrapLines(message, 30).split(u'\n')) {
            QVERIFY2(line.size() <= 30, qPrintable(line));
        }
        QCOMPARE(WrapLines(message, 30).remove(u'\n').remove(u' '),
                 QString(message).remove(u' ')); // nothing lost
        QCOMPARE(WrapLines(QStringLiteral("kurz\n\nzwei Zeilen"), 30),
                 QStringLiteral("kurz\n\nzwei Zeilen"));
        const QString progress = QStringLiteral("\r") + QString(90, u'x');
        QCOMPARE(WrapLines(progress, 30), progress);
        // A word behind an indent wider than the console ends, and is kept whole.
        const QString deep = QString(40, u' ') + QStringLiteral("datei.pvt fehlt");
        const QString wrapped = WrapLines(deep, 30);
        QVERIFY2(wrapped.size() < 3 * deep.size(), qPrintable(wrapped));
        QCOMPARE(QString(wrapped).remove(u'\n').remove(u' '), QStringLiteral("datei.pvtfehlt"));
    }

    void pathsInFileMessagesAsTheSystemWritesThem() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString missing = dir.filePath(QStringLiteral("fehlt/x.pvt"));
        QByteArray bytes;
        QString error;
        QVERIFY(!FileSafety::ReadWhole(missing, &bytes, &error));
        QVERIFY2(error.startsWith(QDir::toNativeSeparators(missing)), qPrintable(error));
        QVERIFY(!FileSafety::CanReplace(dir.path(), &error));
        QVERIFY2(error.startsWith(QDir::toNativeSeparators(dir.path())), qPrintable(error));
    }

    void portListFollowsAdaptersByPolling() {
        QCOMPARE(PortWatcher(nullptr).pollInterval(), PIVOTA_EXPECT_POLLING ? PortPollMs : 0);
        QCOMPARE(PortsChangeNotified(), !PIVOTA_EXPECT_POLLING);

        ListedPorts ports;
        ports.ports = {Port(QStringLiteral("COM1"))};
        PortWatcher watcher(&ports);
        watcher.setPollInterval(20);
        QSignalSpy changed(&watcher, &PortWatcher::portsChanged);
        watcher.setActive(true);
        QVERIFY(watcher.isActive());
        QCOMPARE(watcher.ports(), ports.ports); // read at once, silently
        QVERIFY(watcher.watchedFolders().isEmpty());
        QVERIFY(changed.isEmpty());

        // Unchanged reads say nothing.
        const int before = ports.reads;
        QVERIFY(QTest::qWaitFor([&] { return ports.reads >= before + 3; }, Limit));
        QVERIFY(changed.isEmpty());

        ports.ports.append(Port(QStringLiteral("COM7")));
        QVERIFY(QTest::qWaitFor([&] { return !changed.isEmpty(); }, Limit));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(1).toStringList(), QStringList{QStringLiteral("COM7")});
        QVERIFY(changed.at(0).at(2).toStringList().isEmpty());
        QVERIFY(watcher.hasPort(QStringLiteral("COM7")));

        ports.ports.removeFirst();
        QVERIFY(QTest::qWaitFor([&] { return changed.count() == 2; }, Limit));
        QCOMPARE(changed.at(1).at(2).toStringList(), QStringList{QStringLiteral("COM1")});
        QVERIFY(!watcher.hasPort(QStringLiteral("COM1")));

        // Switched off it reads no more.
        watcher.setActive(false);
        const int stopped = ports.reads;
        ports.ports.clear();
        QVERIFY(!QTest::qWaitFor([&] { return ports.reads > stopped; }, 200));
        QCOMPARE(changed.count(), 2);
    }

    void pollingGivesWayToNotificationsWhileActive() {
        QTemporaryDir devices;
        QVERIFY(devices.isValid());
        ListedPorts ports;
        PortWatcher watcher(&ports);
        watcher.setFolders(devices.path(), devices.filePath(QStringLiteral("serial/by-id")));
        watcher.setPollInterval(50);
        watcher.setActive(true);
        QVERIFY(watcher.watchedFolders().isEmpty());
        watcher.setPollInterval(0);
        QVERIFY(watcher.isActive());
        QVERIFY(watcher.watchedFolders().contains(QDir::cleanPath(devices.path())));
        const int reads = ports.reads;
        QVERIFY(!QTest::qWaitFor([&] { return ports.reads > reads; }, 200));
    }

    void busyPortSaysWhatTheSystemTells() {
        const QString text = BusyDeviceText(QStringLiteral("COM3"), PortHolderSearch{});
        QVERIFY2(text.startsWith(QStringLiteral("COM3 wird bereits von einem anderen Programm")),
                 qPrintable(text));
        QVERIFY2(text.endsWith(UnknownHolderSentence()), qPrintable(text));
        QVERIFY2(text.contains(QLatin1String(PIVOTA_EXPECT_UNKNOWN_HOLDER)), qPrintable(text));
        // A holder that was found is named instead.
        PortHolderSearch found;
        found.holders = {PortHolder{4711, QStringLiteral("minicom")}};
        QVERIFY(!BusyDeviceText(QStringLiteral("COM3"), found).contains(UnknownHolderSentence()));
    }

    void consoleTextToAFileIsWrittenAtOnce() {
        std::FILE *file = std::tmpfile();
        QVERIFY(file);
        WriteText(file, QStringLiteral("512 Zellen\n"));
        WriteText(file, QStringLiteral("\r50 %%1").arg(QLatin1String(ClearToLineEnd)));
        // Flushed: a second stream on the same file would see it; here the file's own position
        // tells, and the bytes are exactly the text's.
        std::rewind(file);
        char buffer[64] = {};
        const size_t n = std::fread(buffer, 1, sizeof buffer - 1, file);
        std::fclose(file);
        QCOMPARE(QByteArray(buffer, qsizetype(n)), QByteArray("512 Zellen\n\r50 %\033[K"));
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
