// What the platform seams choose on the system the tests run on (Linux natively, Windows under
// Wine): the devices behind the COM numbers, the folder of the settings file, how the port list
// follows adapters, the busy port's message and console text. What each system should choose is
// given by the build (PIVOTA_EXPECT_*), so that one program checks both.

#include "comm/portmap.h"
#include "comm/serialportdevice.h"
#include "core/settings/settingsfile.h"
#include "platform/console.h"
#include "platform/portwatcher.h"
#include "platform/settingslocation.h"
#include "platform/systemports.h"

#include <QDir>
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
