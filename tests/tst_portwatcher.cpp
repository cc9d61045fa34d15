// Serial devices that come and go while the program runs: a temporary folder stands for /dev, and
// the enumerator lists the tty files in it under their by-id names, as the system's does.

#include "comm/portreturn.h"
#include "platform/portwatcher.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

class FolderPorts : public PortEnumerator {
public:
    FolderPorts(QString devices, QString byId)
        : m_devices(std::move(devices)), m_byId(std::move(byId)) {}
    QList<FoundPort> Ports() const override {
        ++reads;
        QList<FoundPort> ports;
        const QStringList names =
            QDir(m_devices).entryList({QStringLiteral("tty*")}, QDir::Files, QDir::Name);
        for (const QString &name : names) {
            FoundPort p;
            p.location = QDir(m_devices).filePath(name);
            p.target = StableDeviceName(p.location, m_byId);
            ports.append(p);
        }
        return ports;
    }
    mutable int reads = 0;

private:
    QString m_devices;
    QString m_byId;
};

// Fixed lists, for the comparison of one read with the last.
class ListedPorts : public PortEnumerator {
public:
    QList<FoundPort> Ports() const override { return ports; }
    QList<FoundPort> ports;
};

bool Touch(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly);
}

QStringList Strings(const QVariant &v) {
    return v.toStringList();
}

constexpr int Limit = 5000; // ms; the settling delay is a few hundred

} // namespace

class TestPortWatcher : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_dev;
    QString m_byId;

private slots:
    void init() {
        QVERIFY(m_dir.isValid());
        m_dev = QFileInfo(m_dir.path()).canonicalFilePath() + QStringLiteral("/dev");
        m_byId = m_dev + QStringLiteral("/serial/by-id");
        QDir(m_dev).removeRecursively();
        QVERIFY(QDir().mkpath(m_dev));
    }

    void deviceComingAndGoingUpdatesTheList() {
        FolderPorts ports(m_dev, m_byId);
        PortWatcher watcher(&ports);
        watcher.setFolders(m_dev, m_byId);
        QVERIFY(Touch(m_dev + QStringLiteral("/ttyS0")));
        watcher.setActive(true);
        // Switching on reads at once and says nothing.
        QCOMPARE(watcher.ports().size(), 1);
        QSignalSpy changed(&watcher, &PortWatcher::portsChanged);

        const QString usb = m_dev + QStringLiteral("/ttyUSB0");
        QVERIFY(Touch(usb));
        QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 1, Limit);
        QCOMPARE(Strings(changed.at(0).at(1)), QStringList{usb});
        QVERIFY(Strings(changed.at(0).at(2)).isEmpty());
        QCOMPARE(changed.at(0).at(0).value<QList<FoundPort>>().size(), 2);
        QVERIFY(watcher.hasPort(usb));

        QVERIFY(QFile::remove(usb));
        QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 2, Limit);
        QVERIFY(Strings(changed.at(1).at(1)).isEmpty());
        QCOMPARE(Strings(changed.at(1).at(2)), QStringList{usb});
        QVERIFY(!watcher.hasPort(usb));
        QCOMPARE(watcher.ports().size(), 1);
    }

    void burstOfChangesGivesOneRescan() {
        FolderPorts ports(m_dev, m_byId);
        PortWatcher watcher(&ports);
        watcher.setFolders(m_dev, m_byId);
        // Long enough that every step below, each waited for, falls within one delay.
        watcher.setSettleDelay(1500);
        watcher.setActive(true);
        const int before = ports.reads;
        QSignalSpy changed(&watcher, &PortWatcher::portsChanged);

        // Plugging two adapters: the kernel makes their nodes (next to a file that is no serial
        // device, and one node gone again at once), udev makes its folders and a link a little
        // later, in another folder.
        const QString usb0 = m_dev + QStringLiteral("/ttyUSB0");
        const QString usb1 = m_dev + QStringLiteral("/ttyUSB1");
        const QString stable = m_byId + QStringLiteral("/usb-Maker_Adapter_A1-if00-port0");
        for (const char *name : {"ttyUSB0", "ttyUSB1", "ttyUSB9", "hidraw0"}) {
            QVERIFY(Touch(m_dev + QLatin1Char('/') + QLatin1String(name)));
        }
        QVERIFY(QFile::remove(m_dev + QStringLiteral("/ttyUSB9")));
        QVERIFY(QTest::qWaitFor([&] { return watcher.isSettling(); }, Limit));
        QVERIFY(QDir().mkpath(m_byId));
        QVERIFY(QTest::qWaitFor([&] { return watcher.watchedFolders().contains(m_byId); }, Limit));
        QVERIFY(QFile::link(usb0, stable));

        QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 1, Limit);
        QCOMPARE(Strings(changed.at(0).at(1)), (QStringList{stable, usb1}));
        // Every event of the burst was taken in before that rescan: none is left to start another.
        QCoreApplication::processEvents();
        QVERIFY(!watcher.isSettling());
        QCOMPARE(ports.reads, before + 1);

        // A change that leaves the serial devices as they were is read but not reported.
        watcher.setSettleDelay(PortWatcher::DefaultSettleMs);
        QVERIFY(Touch(m_dev + QStringLiteral("/hidraw1")));
        QTRY_COMPARE_WITH_TIMEOUT(ports.reads, before + 2, Limit);
        QCOMPARE(changed.count(), 1);
    }

    void byIdFolderThatAppearsLaterIsWatched() {
        FolderPorts ports(m_dev, m_byId);
        PortWatcher watcher(&ports);
        watcher.setFolders(m_dev, m_byId);
        watcher.setActive(true);
        // Neither the by-id folder nor its parent exists yet: the device folder covers both.
        QCOMPARE(watcher.watchedFolders(), QStringList{m_dev});
        QSignalSpy changed(&watcher, &PortWatcher::portsChanged);

        // The first adapter: its node, then udev's folders and link.
        const QString usb = m_dev + QStringLiteral("/ttyUSB0");
        const QString stable = m_byId + QStringLiteral("/usb-Maker_Adapter_A1-if00-port0");
        QVERIFY(Touch(usb));
        QVERIFY(QDir().mkpath(m_byId));
        QVERIFY(QFile::link(usb, stable));
        QTRY_VERIFY_WITH_TIMEOUT(!changed.isEmpty() && watcher.hasPort(stable), Limit);
        QTRY_VERIFY_WITH_TIMEOUT(watcher.watchedFolders().contains(m_byId), Limit);
        QVERIFY(watcher.watchedFolders().contains(m_dev + QStringLiteral("/serial")));

        // A change inside the by-id folder alone is seen too.
        const QString renamed = m_byId + QStringLiteral("/usb-Maker_Adapter_B2-if00-port0");
        QVERIFY(QFile::rename(stable, renamed));
        QTRY_VERIFY_WITH_TIMEOUT(watcher.hasPort(renamed), Limit);
        QCOMPARE(Strings(changed.last().at(1)), QStringList{renamed});
        QCOMPARE(Strings(changed.last().at(2)), QStringList{stable});

        // The last adapter pulled: udev removes link and folders; plugging again is still seen.
        QVERIFY(QFile::remove(renamed));
        QVERIFY(QDir().rmpath(m_byId));
        QVERIFY(QFile::remove(usb));
        QTRY_VERIFY_WITH_TIMEOUT(watcher.ports().isEmpty(), Limit);
        QTRY_COMPARE_WITH_TIMEOUT(watcher.watchedFolders(), QStringList{m_dev}, Limit);
        QVERIFY(Touch(usb));
        QVERIFY(QDir().mkpath(m_byId));
        QVERIFY(QFile::link(usb, stable));
        QTRY_VERIFY_WITH_TIMEOUT(watcher.hasPort(stable), Limit);
    }

    void switchedOffItReportsNothing() {
        FolderPorts neverOn(m_dev, m_byId);
        FolderPorts offWhileSettling(m_dev, m_byId);
        FolderPorts reference(m_dev, m_byId);
        PortWatcher idle(&neverOn);
        PortWatcher stopped(&offWhileSettling);
        PortWatcher on(&reference);
        for (PortWatcher *w : {&idle, &stopped, &on}) {
            w->setFolders(m_dev, m_byId);
        }
        stopped.setActive(true);
        on.setActive(true);
        QSignalSpy idleChanged(&idle, &PortWatcher::portsChanged);
        QSignalSpy stoppedChanged(&stopped, &PortWatcher::portsChanged);
        QSignalSpy onChanged(&on, &PortWatcher::portsChanged);

        const QString usb = m_dev + QStringLiteral("/ttyUSB3");
        QVERIFY(Touch(usb));
        QTRY_VERIFY_WITH_TIMEOUT(stopped.isSettling(), Limit);
        stopped.setActive(false);
        QVERIFY(!stopped.isSettling());
        QVERIFY(stopped.watchedFolders().isEmpty());
        // The watcher that stayed on tells the change; by then the others would have too.
        QTRY_COMPARE_WITH_TIMEOUT(onChanged.count(), 1, Limit);
        QCOMPARE(idleChanged.count(), 0);
        QCOMPARE(stoppedChanged.count(), 0);
        QCOMPARE(neverOn.reads, 0);
        QVERIFY(idle.watchedFolders().isEmpty());
        QVERIFY(!idle.isSettling());

        // Switched on again it knows the device without reporting it as new.
        stopped.setActive(true);
        QVERIFY(stopped.hasPort(usb));
        QCOMPARE(stoppedChanged.count(), 0);
    }

    void onlyARealDifferenceIsReported() {
        ListedPorts ports;
        const FoundPort a{QStringLiteral("/dev/serial/by-id/usb-A"), QStringLiteral("/dev/ttyUSB0"),
                          QStringLiteral("Adapter"), QStringLiteral("Maker"), 16};
        const FoundPort b{QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyS0"), QString(),
                          QString()};
        ports.ports = {a, b};
        PortWatcher watcher(&ports);
        watcher.setActive(true);
        QSignalSpy changed(&watcher, &PortWatcher::portsChanged);

        ports.ports = {b, a}; // the same devices in another order
        watcher.rescan();
        QCOMPARE(changed.count(), 0);

        FoundPort faster = a;
        faster.latencyMs = 1; // the same adapter with its latency timer set
        ports.ports = {b, faster};
        watcher.rescan();
        QCOMPARE(changed.count(), 1);
        QVERIFY(Strings(changed.at(0).at(1)).isEmpty());
        QVERIFY(Strings(changed.at(0).at(2)).isEmpty());
        QCOMPARE(watcher.ports().at(1).latencyMs, std::optional<int>(1));
    }

    // The device of a lost line counts as back only after it was seen gone: an adapter pulled
    // out and plugged in again, not a line that failed while its device stayed.
    void lostDeviceIsBackOnlyAfterItWentAway() {
        const QString byId = QStringLiteral("/dev/serial/by-id/usb-FTDI_A1");
        const QList<FoundPort> there = {
            {byId, QStringLiteral("/dev/ttyUSB0"), {}, {}},
            {QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyS0"), {}, {}}};
        const QList<FoundPort> gone = {there.at(1)};
        // Renumbered on its return, but under the same stable name.
        const QList<FoundPort> back = {{byId, QStringLiteral("/dev/ttyUSB1"), {}, {}}};

        PortReturn r;
        QVERIFY(!r.Returned(back)); // nothing awaited
        r.Arm(byId, true);          // the link still there at the loss
        QVERIFY(!r.Returned(there));
        QVERIFY(!r.Returned(there));
        QVERIFY(r.armed());
        QVERIFY(!r.Returned(gone));
        QVERIFY(r.Returned(back));
        QVERIFY(!r.armed());
        QVERIFY(!r.Returned(gone));
        QVERIFY(!r.Returned(back)); // once

        r.Arm(byId, false); // already gone at the loss
        QVERIFY(r.Returned(there));

        // Another adapter coming is not the one awaited.
        r.Arm(byId, false);
        QVERIFY(!r.Returned({{QStringLiteral("/dev/serial/by-id/usb-other"),
                              QStringLiteral("/dev/ttyUSB0"),
                              {},
                              {}}}));
        r.Disarm();
        QVERIFY(!r.Returned(there));

        // A device mapped by its path is found by its path.
        r.Arm(QStringLiteral("/dev/ttyUSB0"), false);
        QVERIFY(r.Returned(there));
    }
};

QTEST_GUILESS_MAIN(TestPortWatcher)
#include "tst_portwatcher.moc"
