// USB serial adapters that come and go while the window is open: a temporary folder stands for
// /dev/serial/by-id, each adapter a link in it to a pseudo-terminal. The settings tab's list
// follows them while it is shown; a line lost because its adapter went away is opened again
// when the same adapter comes back, unless "automatisch wieder verbinden" is off.

#include "core/session/connectiontexts.h"
#include "fixtures/holder.h"
#include "fixtures/pty.h"
#include "fixtures/ptywindow.h"
#include "fixtures/scripteddialogs.h"
#include "fixtures/settingsfolder.h"
#include "fixtures/widgettestutil.h"
#include "gui/eeprom/tframeeeprom.h"
#include "gui/settings/tframesettings.h"
#include "gui/window/tfrmmain.h"
#include "platform/portenumerator.h"
#include "platform/portwatcher.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace TestUtil;

namespace {

constexpr int Limit = 5000; // ms
constexpr int SettingsPage = 5;

// The adapters as the links of a by-id folder, each on the device it points to.
class LinkedPorts : public PortEnumerator {
public:
    explicit LinkedPorts(QString byId, int *reads = nullptr)
        : m_byId(std::move(byId)), m_reads(reads) {}
    QList<FoundPort> Ports() const override {
        if (m_reads) {
            ++*m_reads;
        }
        QList<FoundPort> ports;
        const QFileInfoList links =
            QDir(m_byId).entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot);
        for (const QFileInfo &link : links) {
            ports.append(
                {link.filePath(), link.symLinkTarget(), QStringLiteral("Testadapter"), QString()});
        }
        return ports;
    }

private:
    QString m_byId;
    int *m_reads;
};

// A machine of its own: a device folder and a by-id folder in a temporary folder.
struct Adapters {
    QTemporaryDir dir;
    QString devices() const { return dir.filePath(QStringLiteral("dev")); }
    QString byId() const { return dir.filePath(QStringLiteral("by-id")); }
    QString link(const QString &name) const { return QDir(byId()).filePath(name); }

    Adapters() {
        QDir(dir.path()).mkpath(QStringLiteral("dev"));
        QDir(dir.path()).mkpath(QStringLiteral("by-id"));
    }
    bool plugIn(const QString &name, const QString &device) const {
        return QFile::link(device, link(name));
    }
    bool pullOut(const QString &name) const { return QFile::remove(link(name)); }
    // The window's devices from here, rescanned soon after a change.
    void watchFrom(TfrmMain &w, int *reads = nullptr) const {
        w.setPortEnumerator(std::make_shared<LinkedPorts>(byId(), reads));
        for (PortWatcher *watcher :
             {&w.frameSettings()->portWatcher(), &w.session().returnWatcher()}) {
            watcher->setFolders(devices(), byId());
            watcher->setSettleDelay(20);
        }
    }
};

QComboBox *PortList(TfrmMain &w) {
    return Find<QComboBox>(&w, "ComboBox_ports");
}

void ShowPage(TfrmMain &w, int page) {
    Find<QTabWidget>(&w, "PageControl1")->setCurrentIndex(page);
}

// The window on COM2, which is the adapter "usb-Pivota_A" of the folder, a pseudo-terminal.
struct AdapterWindow {
    Adapters adapters;
    std::unique_ptr<Pty> pty = std::make_unique<Pty>();
    SettingsFolder folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<TfrmMain> window;

    explicit AdapterWindow(const QByteArray &lines = {}) {
        adapters.plugIn(QStringLiteral("usb-Pivota_A"), pty->device());
        folder.write(TestIni::OnPort(2, adapters.link(QStringLiteral("usb-Pivota_A")), lines));
        window = std::make_unique<TfrmMain>(folder.path(), dialogs);
        adapters.watchFrom(*window);
    }
    TfrmMain &w() { return *window; }
    // The adapter pulled out: its line breaks, its link goes.
    void pullOut() {
        pty->closeMaster();
        adapters.pullOut(QStringLiteral("usb-Pivota_A"));
    }
    // The same adapter plugged in again, as another device.
    bool plugInAgain() {
        pty = std::make_unique<Pty>();
        return pty->isValid() && adapters.plugIn(QStringLiteral("usb-Pivota_A"), pty->device());
    }
};

} // namespace

class TestAdapters : public QObject {
    Q_OBJECT
private slots:
    // The devices are read when the list is first shown, not at the start; shown, the list
    // follows adapters plugged in and pulled out and keeps the device chosen; hidden, nothing is
    // watched.
    void shownListFollowsAdapters() {
        Adapters adapters;
        Pty first;
        Pty second;
        QVERIFY(first.isValid() && second.isValid());
        QVERIFY(adapters.plugIn(QStringLiteral("usb-first"), first.device()));
        TestWindow t;
        TfrmMain &w = t.w();
        int reads = 0;
        adapters.watchFrom(w, &reads);
        QVERIFY(!w.frameSettings()->portsListed());
        QCOMPARE(PortList(w)->count(), 0);
        PortWatcher &watcher = w.frameSettings()->portWatcher();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(!watcher.isActive()); // the settings tab is not shown
        QCOMPARE(reads, 0);

        ShowPage(w, SettingsPage);
        QVERIFY(watcher.isActive());
        QVERIFY(reads >= 1);
        QComboBox *list = PortList(w);
        const QString firstName = adapters.link(QStringLiteral("usb-first"));
        const QString secondName = adapters.link(QStringLiteral("usb-second"));
        QVERIFY(list->findData(firstName) >= 0);
        // The adapter, the simulator, the default and the entries for a path and the network.
        QCOMPARE(list->count(), 5);
        list->setCurrentIndex(list->findData(firstName));

        QVERIFY(adapters.plugIn(QStringLiteral("usb-second"), second.device()));
        QTRY_VERIFY_WITH_TIMEOUT(list->findData(secondName) >= 0, Limit);
        QCOMPARE(list->count(), 6);
        QCOMPARE(list->currentData().toString(), firstName); // the choice stays

        QVERIFY(adapters.pullOut(QStringLiteral("usb-second")));
        QTRY_VERIFY_WITH_TIMEOUT(list->findData(secondName) < 0, Limit);
        QCOMPARE(list->currentData().toString(), firstName);

        // Hidden, the tab watches nothing; shown again it reads what changed meanwhile.
        ShowPage(w, 0);
        QVERIFY(!watcher.isActive());
        QVERIFY(watcher.watchedFolders().isEmpty());
        const int readsHidden = reads;
        QVERIFY(adapters.pullOut(QStringLiteral("usb-first")));
        QVERIFY(WaitForHousekeepingTicks(w, 2));
        QCOMPARE(reads, readsHidden);
        QVERIFY(list->findData(firstName) >= 0);
        ShowPage(w, SettingsPage);
        QVERIFY(list->findData(firstName) < 0);
        QCOMPARE(list->count(), 4);
    }

    // "COM-Port suchen" lists the devices as well, without the tab shown.
    void scanListsTheDevices() {
        Adapters adapters;
        Pty pty;
        QVERIFY(pty.isValid());
        QVERIFY(adapters.plugIn(QStringLiteral("usb-x"), pty.device()));
        TestWindow t;
        TfrmMain &w = t.w();
        adapters.watchFrom(w);
        w.frameSettings()->btnCheckClick();
        QTRY_VERIFY_WITH_TIMEOUT(!w.frameSettings()->portScan().running(), Limit);
        QVERIFY(w.frameSettings()->portsListed());
        QVERIFY(PortList(w)->findData(adapters.link(QStringLiteral("usb-x"))) >= 0);
        QVERIFY(!w.frameSettings()->portWatcher().isActive());
    }

    // The list counts as a person does: COM2 before COM12, ttyUSB9 before ttyUSB10.
    void listInNaturalOrder() {
        struct Fixed : PortEnumerator {
            QList<FoundPort> Ports() const override {
                QList<FoundPort> ports;
                for (const char *name : {"/dev/ttyUSB10", "COM12", "/dev/ttyUSB9", "COM2"}) {
                    FoundPort port;
                    port.target = port.location = QString::fromLatin1(name);
                    ports.append(port);
                }
                return ports;
            }
        };
        TestWindow t;
        t.w().setPortEnumerator(std::make_shared<Fixed>());
        t.w().frameSettings()->btnCheckClick();
        QTRY_VERIFY_WITH_TIMEOUT(!t.w().frameSettings()->portScan().running(), Limit);
        QStringList listed;
        for (int i = 0; i < 4; ++i) {
            listed << PortList(t.w())->itemData(i).toString();
        }
        QCOMPARE(listed, QStringList({"/dev/ttyUSB9", "/dev/ttyUSB10", "COM2", "COM12"}));
    }

    // The adapter pulled out while connected and plugged in again: the window opens it by
    // itself, goes online and says so. The read that the loss interrupted said how far it got
    // and does not go on.
    void sameAdapterBackReconnects() {
        AdapterWindow a("Benutzer=Debug\n");
        QVERIFY(a.pty->isValid());
        TfrmMain &w = a.w();
        w.btnStartClick();
        QVERIFY(w.state().connection().online());
        TFrameEEprom *eeprom = w.frameEEprom();
        Find<QPushButton>(eeprom, "btn_get_all_EEData")->click();
        QVERIFY(eeprom->sweeps().pit.running());

        a.pullOut();
        QTRY_COMPARE_WITH_TIMEOUT(a.dialogs.count("error"), 1, Limit);
        QVERIFY(!w.state().connection().online());
        QVERIFY(w.reconnectPending());
        QVERIFY(w.session().returnWatcher().isActive()); // though its tab is not shown
        QTRY_VERIFY_WITH_TIMEOUT(w.statusText().startsWith(QStringLiteral("Unterbrochen")), Limit);
        QVERIFY(w.statusText().contains(QStringLiteral(" von 256 Zellen gelesen")));
        QVERIFY(!w.state().connection().online()); // nothing came back yet

        QVERIFY(a.plugInAgain());
        QTRY_VERIFY_WITH_TIMEOUT(w.state().connection().online(), Limit);
        QCOMPARE(w.statusText(), TfrmMain::ReconnectedText());
        QVERIFY(w.port().isOpen());
        QVERIFY(!w.reconnectPending());
        QVERIFY(!w.session().returnWatcher().isActive());
        QVERIFY(!Find<QPushButton>(&w, "btnStart")->isEnabled());
        QCOMPARE(a.dialogs.count("error"), 1);

        // The line works: a queued message reaches the new device.
        w.state().sendQueue.QueueValue(0xF0, 5);
        QByteArray wire;
        QTRY_COMPARE_WITH_TIMEOUT(wire += a.pty->receive(), QByteArray("\xF0\x05\x00", 3), Limit);
        // The interrupted read did not start again.
        QVERIFY(!eeprom->sweeps().pit.running());
        w.btnStopClick();
    }

    // Nobody clicks the loss box away (an unattended layout): the adapter that comes back is
    // opened all the same, and the open box says so.
    void reconnectsWhileTheLossBoxIsOpen() {
        AdapterWindow a;
        TfrmMain &w = a.w();
        w.btnStartClick();
        QVERIFY(w.state().connection().online());
        bool backWhileOpen = false;
        a.dialogs.whileOpen = [&](const ScriptedDialogs::Call &box) {
            if (box.kind == QStringLiteral("error")) {
                QVERIFY(a.plugInAgain());
                backWhileOpen =
                    QTest::qWaitFor([&] { return w.state().connection().online(); }, Limit);
            }
        };
        a.pullOut();
        QTRY_COMPARE_WITH_TIMEOUT(a.dialogs.count("error"), 1, Limit);
        QVERIFY(backWhileOpen);
        QCOMPARE(a.dialogs.count("note"), 1);
        QCOMPARE(a.dialogs.calls.last().text, TfrmMain::ReconnectedText());
        QCOMPARE(w.statusText(), TfrmMain::ReconnectedText());
        QVERIFY(!w.reconnectPending());
        w.btnStopClick();
    }

    // udev removes a pulled adapter's name a moment after the line broke: the window waits for
    // the name to go and come back, and does not reopen a device that is still the broken one.
    void nameThatGoesLateIsAwaitedAsWell() {
        AdapterWindow a;
        TfrmMain &w = a.w();
        w.btnStartClick();
        QVERIFY(w.state().connection().online());
        a.pty->closeMaster(); // the line breaks, the name is still there
        QTRY_VERIFY_WITH_TIMEOUT(w.reconnectPending(), Limit);
        QVERIFY(
            w.session().returnWatcher().hasPort(a.adapters.link(QStringLiteral("usb-Pivota_A"))));
        QVERIFY(a.adapters.pullOut(QStringLiteral("usb-Pivota_A")));
        QTRY_VERIFY_WITH_TIMEOUT(
            !w.session().returnWatcher().hasPort(a.adapters.link(QStringLiteral("usb-Pivota_A"))),
            Limit);
        QVERIFY(!w.state().connection().online());
        QVERIFY(a.plugInAgain());
        QTRY_VERIFY_WITH_TIMEOUT(w.state().connection().online(), Limit);
        QCOMPARE(w.statusText(), TfrmMain::ReconnectedText());
        w.btnStopClick();
    }

    // With the box off the lost line stays lost, and the box is kept in the settings file.
    void boxOffDoesNotReconnect() {
        AdapterWindow a("Auto_Verbinden=0\n");
        TfrmMain &w = a.w();
        auto *box = Find<QCheckBox>(&w, "cbx_auto_verbinden");
        QVERIFY(!box->isChecked());
        w.btnStartClick();
        QVERIFY(w.state().connection().online());
        a.pullOut();
        QTRY_COMPARE_WITH_TIMEOUT(a.dialogs.count("error"), 1, Limit);
        QVERIFY(!w.reconnectPending());
        QVERIFY(!w.session().returnWatcher().isActive());
        QVERIFY(a.plugInAgain());
        QVERIFY(WaitForHousekeepingTicks(w, 3));
        QVERIFY(!w.state().connection().online());

        box->click(); // on again, and written at "Ende"
        w.btnCloseClick();
        QVERIFY(a.folder.read().contains("Auto_Verbinden=1"));
    }

    // Switched off while the window waits, the watch ends; another port chosen ends it too.
    void waitingEndsWhenTheUserDecides() {
        AdapterWindow a;
        TfrmMain &w = a.w();
        w.btnStartClick();
        a.pullOut();
        QTRY_VERIFY_WITH_TIMEOUT(w.reconnectPending(), Limit);
        Find<QCheckBox>(&w, "cbx_auto_verbinden")->click();
        QVERIFY(!w.reconnectPending());
        QVERIFY(!w.session().returnWatcher().isActive());
        QVERIFY(a.plugInAgain());
        QVERIFY(WaitForHousekeepingTicks(w, 3));
        QVERIFY(!w.state().connection().online());

        // Again, and this time another COM number is chosen.
        Find<QCheckBox>(&w, "cbx_auto_verbinden")->click();
        w.btnStartClick();
        QVERIFY(w.state().connection().online());
        a.pullOut();
        QTRY_VERIFY_WITH_TIMEOUT(w.reconnectPending(), Limit);
        Find<QRadioButton>(&w, "rad_com3")->click();
        QVERIFY(!w.reconnectPending());
        QVERIFY(a.plugInAgain());
        QVERIFY(WaitForHousekeepingTicks(w, 3));
        QVERIFY(!w.state().connection().online());
    }

    // A port mapped to a path of its own (a link that a udev rule or socat makes, which no list
    // of serial devices holds): the window waits for that path and says so, opens it again once
    // it is back, and Stop ends the wait.
    void mappedPathIsAwaitedWhateverItIs() {
        Adapters adapters; // an empty by-id folder
        QTemporaryDir links;
        const QString path = links.filePath(QStringLiteral("drehscheibe"));
        auto pty = std::make_unique<Pty>();
        QVERIFY(pty->isValid() && QFile::link(pty->device(), path));
        SettingsFolder folder;
        ScriptedDialogs dialogs;
        folder.write(TestIni::OnPort(2, path));
        TfrmMain w(folder.path(), dialogs);
        adapters.watchFrom(w);
        const auto pull = [&] {
            pty->closeMaster();
            QVERIFY(QFile::remove(path));
        };
        const auto plugIn = [&] {
            pty = std::make_unique<Pty>();
            QVERIFY(pty->isValid() && QFile::link(pty->device(), path));
        };
        w.btnStartClick();
        QVERIFY(w.state().connection().online());

        pull();
        QTRY_COMPARE_WITH_TIMEOUT(dialogs.count("error"), 1, Limit);
        QVERIFY(w.reconnectPending());
        QCOMPARE(w.statusText(), ConnectionTexts::WaitingFor(path));
        QVERIFY(Find<QPushButton>(&w, "btnStop")->isEnabled());
        plugIn();
        QTRY_VERIFY_WITH_TIMEOUT(w.state().connection().online(), Limit);
        QCOMPARE(w.statusText(), TfrmMain::ReconnectedText());

        // Lost again; this time the user ends the wait.
        pull();
        QTRY_VERIFY_WITH_TIMEOUT(w.reconnectPending(), Limit);
        w.btnStopClick();
        QVERIFY(!w.reconnectPending());
        QVERIFY(!Find<QPushButton>(&w, "btnStop")->isEnabled());
        QCOMPARE(w.statusText(), ConnectionTexts::Stopped());
        plugIn();
        QVERIFY(WaitForHousekeepingTicks(w, 3));
        QVERIFY(!w.state().connection().online());
    }

    // A device that is in use, by a program that takes no lock or by another window: Start's box
    // names the programs that hold it.
    void busyDeviceNamesItsHolders() {
        AdapterWindow a;
        const QString busy = QStringLiteral("wird bereits von einem anderen Programm benutzt");
        {
            Holder other;
            QVERIFY(other.start(a.pty->device()));
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(QStringLiteral("/proc/%1/exe").arg(other.pid()))
                                         .symLinkTarget()
                                         .endsWith(QStringLiteral("sleep")),
                                     Limit);
            a.w().btnStartClick();
            QVERIFY(!a.w().state().connection().online());
            QCOMPARE(a.dialogs.count("error"), 1);
            const QString text = a.dialogs.calls.first().text;
            QVERIFY2(text.contains(busy), qPrintable(text));
            QVERIFY2(text.contains(QStringLiteral("sleep, Prozess %1").arg(other.pid())),
                     qPrintable(text));
        }
        a.w().btnStartClick();
        QVERIFY(a.w().state().connection().online());
        // A second window on the same settings: the device is taken.
        ScriptedDialogs dialogs;
        TfrmMain second(a.folder.path(), dialogs);
        second.btnStartClick();
        QVERIFY(!second.state().connection().online());
        QCOMPARE(dialogs.count("error"), 1);
        const QString text = dialogs.calls.first().text;
        QVERIFY2(text.contains(busy), qPrintable(text));
        QVERIFY2(
            text.contains(QStringLiteral("Prozess %1").arg(QCoreApplication::applicationPid())),
            qPrintable(text));
        a.w().btnStopClick();
    }
};

QTEST_MAIN(TestAdapters)
#include "tst_adapters.moc"
