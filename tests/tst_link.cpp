// The link to the pit board as a user meets it: ports chosen by device, a board that does not
// answer told in the status bar, panels that never show state nobody reported, and read transfers
// that say how many cells answered.

#include "comm/boardimage.h"
#include "comm/linkhealth.h"
#include "comm/pacedtransfer.h"
#include "comm/sharedstate.h"
#include "comm/transfertally.h"
#include "core/settings/inifile.h"
#include "fixtures/pty.h"
#include "fixtures/ptywindow.h"
#include "fixtures/scripteddialogs.h"
#include "fixtures/settingsfolder.h"
#include "fixtures/simprocess.h"
#include "fixtures/simulatedwindow.h"
#include "fixtures/testsession.h"
#include "fixtures/testutil.h"
#include "fixtures/widgettestutil.h"
#include "gui/common/colors.h"
#include "gui/common/networkportdialog.h"
#include "gui/eeprom/tframeeeprom.h"
#include "gui/parameter/tframeparameter.h"
#include "gui/settings/tframesettings.h"
#include "gui/window/tfrmmain.h"
#include "platform/portenumerator.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <memory>

using namespace TestUtil;

namespace {

// Offers fixed devices instead of the machine's.
class ListedPorts : public PortEnumerator {
public:
    explicit ListedPorts(QList<FoundPort> ports) : m_ports(std::move(ports)) {}
    QList<FoundPort> Ports() const override { return m_ports; }

private:
    QList<FoundPort> m_ports;
};

// The settings tab shown, with the list of devices on it.
void ShowSettingsTab(TfrmMain &w) {
    w.show();
    auto *tabs = Find<QTabWidget>(&w, "PageControl1");
    QWidget *page = w.frameSettings(); // inside its page's scroll area
    while (page && tabs->indexOf(page) < 0) {
        page = page->parentWidget();
    }
    tabs->setCurrentWidget(page);
}

QString Text(QWidget *w, const char *name) {
    return Find<QLabel>(w, name)->text();
}

} // namespace

class TestLink : public QObject {
    Q_OBJECT
private slots:
    // ---------------------------------------------------------------------------------------
    // A tab's read transfer without answers

    void eepromSweepWithoutAnswersSaysSo() {
        TestSession line;
        SharedState &s = line.state;
        qint64 now = 0;
        s.setClock([&] { return now; });
        QVERIFY(line.GoOnline());
        s.transferSettings.fixedPacing = true; // one request per tick, counted as first built
        ScriptedDialogs dialogs;
        TFrameEEprom tab(s, dialogs);
        QString report;
        tab.btn_get_all_EEDataClick();
        for (int i = 0; i < 300 && report.isEmpty(); ++i) {
            tab.Timer3Timer();
            PutOnWire(s);
            now += 300;
            // The board answers the first ten cells only.
            if (i < 10) {
                Answer(s, 'G', i, 0x10 + i);
            }
            const auto r = s.TakeTransferReport();
            report = r ? r->line : QString();
        }
        QCOMPARE(report, QStringLiteral("10 von 256 Zellen beantwortet"));
        // Stopped by hand: what was asked so far.
        tab.btn_get_all_EEData_BuhneClick();
        for (int i = 0; i < 5; ++i) {
            tab.Timer3Timer();
            while (s.sendQueue.TakeNext()) {
            }
        }
        tab.btn_get_all_EEData_BuhneClick();
        now += TransferTally::GraceMs;
        QCOMPARE(s.TakeTransferReport()->line, QStringLiteral("0 von 5 Zellen beantwortet"));
    }

    // ---------------------------------------------------------------------------------------
    // The window against a simulator

    void silentSimulatorIsToldAndEverythingStaysUnknown() {
        SettingsFolder folder;
        const QString link = folder.file(QStringLiteral("silent"));
        SimProcess sim;
        QVERIFY(sim.start({"--silent"}, link));
        QVERIFY(folder.write(TestIni::OnPort(3, link, "Feste_Taktung=1\n")));
        ScriptedDialogs dialogs;
        TfrmMain w(folder.path(), dialogs);
        w.btnStartClick();
        QVERIFY(w.state().connection().online());
        QCOMPARE(w.statusText(), QStringLiteral("COM3 geöffnet"));
        QTRY_COMPARE_WITH_TIMEOUT(w.statusText(), TfrmMain::SilentText(), 3000);
        QVERIFY(w.state().connection().silent());
        QVERIFY(w.port().isOpen()); // nothing closed because of it
        w.Timer2Timer();
        QCOMPARE(Text(&w, "pnl_turn_active"), QStringLiteral("?"));
        QCOMPARE(Text(&w, "pnl_turn_go"), QStringLiteral("?"));
        QCOMPARE(Text(&w, "pnl_dcc"), QStringLiteral("?"));
        QCOMPARE(Text(&w, "pnl_strom_sense"), QStringLiteral("?"));
        QCOMPARE(Find<QLabel>(&w, "pnl_err_10")->palette().color(QPalette::Window),
                 Colors::UnknownPanel);
        QVERIFY(!Find<QPushButton>(&w, "btn_left")->isEnabled());

        // A parameter read asks 31 cells and gets nothing.
        TFrameParameter *parameter = w.frameParameter();
        QPushButton *read = Find<QPushButton>(parameter, "btn_read_values");
        QVERIFY(read->isEnabled());
        read->click();
        for (int i = 0; i < 40; ++i) {
            parameter->Timer4Timer();
            for (int b = 0; b < 3; ++b) {
                w.Timer_SendenTimer();
            }
        }
        QTRY_COMPARE_WITH_TIMEOUT(w.statusText(), QStringLiteral("0 von 31 Zellen beantwortet"),
                                  TransferTally::GraceMs + 2000);

        // The controller goes away: offline, panels unknown.
        sim.stop();
        QTRY_VERIFY_WITH_TIMEOUT(!w.state().connection().online(), 3000);
        w.Timer2Timer();
        QCOMPARE(Text(&w, "pnl_turn_active"), QStringLiteral("?"));
        QVERIFY(!Find<QPushButton>(&w, "btn_left")->isEnabled());
        QVERIFY(!Find<QPushButton>(&w, "btn_right")->isEnabled());

        // Restarted, this time talking: reports arrive, the panels show them, no silence message.
        SimProcess again;
        QVERIFY(again.start({}, link));
        dialogs.calls.clear();
        w.btnStartClick();
        QVERIFY(w.state().connection().online());
        QCOMPARE(w.statusText(), QStringLiteral("COM3 geöffnet"));
        QTRY_VERIFY_WITH_TIMEOUT(w.state().StatusKnown(), 3000);
        w.Timer2Timer();
        QCOMPARE(Text(&w, "pnl_turn_active"), QStringLiteral("steht"));
        QVERIFY(Find<QPushButton>(&w, "btn_left")->isEnabled());
        // A talking board keeps the line alive: the window's clock runs past the silence limit in
        // steps shorter than the limit, and after each step the board's next report arrives.
        const qint64 step = LinkHealth::SilenceMs / 2;
        auto now = std::make_shared<qint64>(w.state().now());
        w.state().setClock([now] { return *now; });
        InfoTable &table = w.state().infoTable();
        for (qint64 passed = 0; passed < LinkHealth::SilenceMs + 500; passed += step) {
            *now += step;
            table.clearLetter(InfoTable::Measure);
            QTRY_COMPARE_WITH_TIMEOUT(table.letter(InfoTable::Measure), uint8_t('A'), 3000);
        }
        QCOMPARE(w.statusText(), QStringLiteral("COM3 geöffnet"));
        QVERIFY(!w.state().connection().silent());
        QCOMPARE(dialogs.calls.size(), 0);
    }

    void silenceClearsByItselfWhenBytesComeBack() {
        SimOptions options;
        options.silent = true;
        SimulatedWindow s(options);
        TfrmMain &w = s.w();
        w.btnStartClick();
        QTRY_COMPARE_WITH_TIMEOUT(w.statusText(), TfrmMain::SilentText(), 3000);
        w.Timer2Timer();
        QCOMPARE(Text(&w, "pnl_hall"), QStringLiteral("?"));
        s.sim->options().silent = false;
        QTRY_COMPARE_WITH_TIMEOUT(w.statusText(), QStringLiteral("COM5 geöffnet"), 3000);
        QTRY_VERIFY_WITH_TIMEOUT(w.state().StatusKnown(), 3000);
        w.Timer2Timer();
        QVERIFY(Text(&w, "pnl_hall").startsWith(QStringLiteral("Hall")));
        QVERIFY(w.state().connection().online());
        QCOMPARE(s.dialogs.calls.size(), 0);
    }

    void aDriveStartedRightAfterTheFirstReportIsNotWithdrawn() {
        SimulatedWindow s;
        TfrmMain &w = s.w();
        w.btnStartClick();
        // The first "standing" report, seen by the housekeeping tick as soon as it is there.
        QTRY_VERIFY_WITH_TIMEOUT(w.state().StatusKnown(), 3000);
        w.Timer2Timer();
        QPushButton *left = Find<QPushButton>(&w, "btn_left");
        QVERIFY(left->isEnabled());
        // The window's own housekeeping tick goes by with the standing report, as a user sees the
        // panel before the click.
        QVERIFY(WaitForHousekeepingTicks(w));
        w.state().TargetPosition = (w.state().ActualPosition + 3) % w.state().PositionCount;
        left->click();
        QCheckBox *go = Find<QCheckBox>(&w, "cbx_turn_go");
        QVERIFY(go->isChecked());
        // The bridge really turns: the go was not taken back before the board reported turning.
        QTRY_VERIFY_WITH_TIMEOUT(w.state().Turning, 3000);
        QTRY_COMPARE_WITH_TIMEOUT(w.state().ActualPosition, w.state().TargetPosition, 10000);
        w.btnStopClick();
    }

    // ---------------------------------------------------------------------------------------
    // Ports by name

    void aDeviceChosenFromTheListIsStoredAndOpened() {
        SettingsFolder folder;
        Pty pty;
        QVERIFY(pty.isValid());
        QVERIFY(folder.write("; mine\n[SETTINGS]\nCOM-Port=5\nBenutzer=Fahren\n"
                             "[Extra]\nkeep=1\n"));
        ScriptedDialogs dialogs;
        TfrmMain w(folder.path(), dialogs);
        w.setPortEnumerator(std::make_shared<ListedPorts>(QList<FoundPort>{
            {QStringLiteral("/dev/serial/by-id/usb-none"), QStringLiteral("/dev/ttyUSB9"),
             QStringLiteral("nothing"), QString()},
            {pty.device(), pty.device(), QStringLiteral("Testgerät"), QStringLiteral("Pivota")}}));
        auto *combo = Find<QComboBox>(&w, "ComboBox_ports");
        QCOMPARE(combo->count(), 0); // read when first shown, not at the start
        ShowSettingsTab(w);
        const int index = combo->findData(pty.device());
        QVERIFY(index >= 0);
        QVERIFY(combo->itemText(index).contains(QStringLiteral("Testgerät (Pivota)")));
        QCOMPARE(Text(&w, "lbl_port3").startsWith(QStringLiteral("Com3: ")), true);
        QVERIFY(Text(&w, "lbl_port3").endsWith(QStringLiteral("(Vorgabe)")));

        Find<QRadioButton>(&w, "rad_com3")->click();
        combo->setCurrentIndex(index);
        Find<QPushButton>(&w, "btn_port_assign")->click();
        QCOMPARE(dialogs.calls.size(), 0);

        // In the file at once, and nothing else of it lost.
        IniFile ini;
        QVERIFY(ini.load(folder.path()));
        QCOMPARE(ini.readString(QStringLiteral("Ports"), QStringLiteral("COM3"), QString()),
                 pty.device());
        QCOMPARE(ini.readString(QStringLiteral("Extra"), QStringLiteral("keep"), QString()),
                 QStringLiteral("1"));
        QCOMPARE(ini.readString(QStringLiteral("SETTINGS"), QStringLiteral("Benutzer"), QString()),
                 QStringLiteral("Fahren"));
        QVERIFY(folder.read().startsWith("; mine"));
        QCOMPARE(Find<QLabel>(&w, "lbl_port3")->toolTip(),
                 QStringLiteral("Com3: %1").arg(pty.device()));

        // The next Start opens that device.
        w.btnStartClick();
        QVERIFY(w.state().connection().online());
        QCOMPARE(w.statusText(), QStringLiteral("COM3 geöffnet"));
        QVERIFY(pty.send(QByteArray("XYZF\x00\x00", 6)));
        QTRY_VERIFY_WITH_TIMEOUT(w.state().StatusKnown(), 2000);
        w.state().sendQueue.QueueValue(0xF0, 5);
        QByteArray wire;
        QTRY_COMPARE_WITH_TIMEOUT(wire += pty.receive(), QByteArray("\xF0\x05\x00", 3), 2000);
        w.btnStopClick();
        QTRY_VERIFY_WITH_TIMEOUT(!w.port().isOpen(), 1000);

        // A new window reads the mapping back.
        TfrmMain again(folder.path(), dialogs);
        QCOMPARE(again.port().portMap().target(3), pty.device());
    }

    void assigningNeedsAPortAndTheScanReportsAtEveryLevel() {
        SettingsFolder folder;
        QVERIFY(folder.write("[SETTINGS]\nCOM-Port=0\nBenutzer=Fahren\n[Ports]\n"
                             "COM2=simulator\n"));
        ScriptedDialogs dialogs;
        TfrmMain w(folder.path(), dialogs);
        w.setPortEnumerator(std::make_shared<ListedPorts>(QList<FoundPort>{}));
        ShowSettingsTab(w);
        Find<QPushButton>(&w, "btn_port_assign")->click();
        QCOMPARE(w.statusText(), QStringLiteral("zuerst einen COM-Port wählen"));
        QVERIFY(!folder.read().contains("COM2=\n"));

        // Choosing "Vorgabe" removes the entry.
        Find<QRadioButton>(&w, "rad_com2")->click();
        auto *combo = Find<QComboBox>(&w, "ComboBox_ports");
        QCOMPARE(combo->count(), 4); // the simulator, the default, a path to type, the network
        combo->setCurrentIndex(combo->findData(QString()));
        Find<QPushButton>(&w, "btn_port_assign")->click();
        QVERIFY(!w.port().portMap().hasEntry(2));

        combo->setCurrentIndex(combo->findData(QStringLiteral("simulator")));
        Find<QPushButton>(&w, "btn_port_assign")->click();
        QVERIFY(w.port().portMap().hasEntry(2));

        // The memo is hidden at this level; the scan says what it found in the status bar.
        w.frameSettings()->btnCheckClick();
        QTRY_VERIFY_WITH_TIMEOUT(!w.frameSettings()->portScan().running(), 20000);
        QVERIFY(w.statusText().startsWith(QStringLiteral("gefunden: ")));
        QVERIFY(w.statusText().contains(QStringLiteral("COM2")));
        QCOMPARE(dialogs.calls.size(), 0);
    }

    // A device the scan does not find is typed in, checked and mapped as a found one is.
    void aTypedPathIsCheckedAndMapped() {
        SettingsFolder folder;
        Pty pty;
        QVERIFY(pty.isValid());
        QVERIFY(folder.write("[SETTINGS]\nCOM-Port=4\n"));
        ScriptedDialogs dialogs;
        TfrmMain w(folder.path(), dialogs);
        w.setPortEnumerator(std::make_shared<ListedPorts>(QList<FoundPort>{}));
        ShowSettingsTab(w);
        auto *combo = Find<QComboBox>(&w, "ComboBox_ports");
        const int entry = combo->findText(QStringLiteral("Pfad eingeben ..."));
        QVERIFY(entry >= 0);
        auto *assign = Find<QPushButton>(&w, "btn_port_assign");
        Find<QRadioButton>(&w, "rad_com4")->click();
        combo->setCurrentIndex(entry);
        const QString before = w.port().portMap().target(4);

        assign->click(); // cancelled: nothing changes
        QCOMPARE(dialogs.count("text"), 1);
        QCOMPARE(w.port().portMap().target(4), before);

        dialogs.texts = {QStringLiteral("/dev/pivota-gibt-es-nicht")};
        assign->click();
        QCOMPARE(dialogs.count("error"), 1);
        QCOMPARE(dialogs.calls.last().text,
                 QStringLiteral("Das Gerät /dev/pivota-gibt-es-nicht gibt es nicht."));
        QVERIFY(!w.port().portMap().hasEntry(4));
        dialogs.texts = {QStringLiteral("/dev")};
        assign->click();
        QVERIFY(dialogs.calls.last().text.contains(QStringLiteral("ist ein Ordner")));
        QVERIFY(!folder.read().contains("COM4="));

        dialogs.texts = {QStringLiteral(" %1 ").arg(pty.device())};
        assign->click();
        QCOMPARE(dialogs.count("error"), 2);
        QCOMPARE(w.port().portMap().target(4), pty.device());
        QVERIFY(folder.read().contains(QStringLiteral("COM4=%1").arg(pty.device()).toUtf8()));
        QCOMPARE(w.statusText(), QStringLiteral("COM4 = %1").arg(pty.device()));
        w.btnStartClick();
        QVERIFY(w.state().connection().online());
        w.btnStopClick();

        // A serial bridge on the network is typed in the same way; it has no device to check.
        dialogs.texts = {QStringLiteral("tcp://pi-drehscheibe")};
        assign->click();
        QCOMPARE(dialogs.count("error"), 3);
        QCOMPARE(w.port().portMap().target(4), pty.device());
        dialogs.texts = {QStringLiteral(" rfc2217://[fd00::7]:2217 ")};
        assign->click();
        QCOMPARE(dialogs.count("error"), 3);
        QCOMPARE(w.port().portMap().target(4), QStringLiteral("rfc2217://[fd00::7]:2217"));
        QVERIFY(folder.read().contains("COM4=rfc2217://[fd00::7]:2217"));
    }

    // "Netzwerk ..." asks for host, port and protocol in a dialog of its own, which starts from
    // the bridge the port is mapped to and offers OK only for a usable address.
    void aBridgeIsChosenInItsOwnDialog() {
        SettingsFolder folder;
        QVERIFY(folder.write("[SETTINGS]\nCOM-Port=4\n"));
        ScriptedDialogs dialogs;
        TfrmMain w(folder.path(), dialogs);
        w.setPortEnumerator(std::make_shared<ListedPorts>(QList<FoundPort>{}));
        ShowSettingsTab(w);
        auto *combo = Find<QComboBox>(&w, "ComboBox_ports");
        combo->setCurrentIndex(combo->findText(QStringLiteral("Netzwerk ...")));
        QVERIFY(combo->currentIndex() >= 0);
        Find<QRadioButton>(&w, "rad_com4")->click();
        auto *assign = Find<QPushButton>(&w, "btn_port_assign");
        const QString bridge = QStringLiteral("rfc2217://[fd00::7]:2217");
        dialogs.networkPorts = {*NetAddress::Parse(bridge)};
        assign->click();
        QCOMPARE(dialogs.calls.last().caption, QStringLiteral("Netzwerk-Schnittstelle für COM4"));
        QCOMPARE(dialogs.calls.last().text, QStringLiteral("tcp://:4001"));
        QCOMPARE(w.port().portMap().target(4), bridge);
        QVERIFY(folder.read().contains(QStringLiteral("COM4=%1").arg(bridge).toUtf8()));
        QCOMPARE(w.statusText(), QStringLiteral("COM4 = %1").arg(bridge));
        assign->click(); // cancelled: nothing changes
        QCOMPARE(dialogs.count("network"), 2);
        QCOMPARE(dialogs.calls.last().text, bridge);
        QCOMPARE(w.port().portMap().target(4), bridge);

        NetworkPortDialog dialog(QStringLiteral("COM4"), *NetAddress::Parse(bridge));
        auto *host = Find<QLineEdit>(&dialog, "edit_host");
        QCOMPARE(host->text(), QStringLiteral("[fd00::7]"));
        QCOMPARE(dialog.address()->text(), bridge);
        QPushButton *ok = dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
        host->setText(QStringLiteral("pi drehscheibe"));
        QVERIFY(!ok->isEnabled() && !dialog.address());
        host->setText(QStringLiteral(" pi "));
        Find<QSpinBox>(&dialog, "spin_port")->setValue(23);
        Find<QComboBox>(&dialog, "combo_protocol")->setCurrentIndex(0);
        QVERIFY(ok->isEnabled());
        QCOMPARE(dialog.address()->text(), QStringLiteral("tcp://pi:23"));
    }
};

QTEST_MAIN(TestLink)
#include "tst_link.moc"
