#include "gui/settings/tframesettings.h"
#include <QCoreApplication>

#include "comm/link.h"
#include "comm/sharedstate.h"
#include "core/configuration/configfile.h"
#include "core/settings/inifile.h"
#include "core/settings/inikeys.h"
#include "core/settings/settingsstore.h"
#include "gui/common/dialogs.h"
#include "gui/common/named.h"
#include "gui/settings/backuppanel.h"
#include "gui/settings/sendlogmodel.h"
#include "gui/settings/sendlogview.h"
#include "platform/portenumerator.h"
#include "platform/portwatcher.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
constexpr int SendLogMaxLines = 20000; // the send log grows by one line per byte
constexpr int Memo1MaxLines = 1000;    // each port scan adds nine lines

QLabel *AddLabel(QWidget *parent, const QString &text, int x, int y, int w = 212) {
    auto *label = new QLabel(text, parent);
    label->setGeometry(x, y, w, 16);
    return label;
}

// The list entry that asks for a device path (no device has this name).
const QString EnterPathItem = QStringLiteral("<Pfad eingeben>");

// The status lines that end a save or a load of a configuration file.
namespace StatusTexts {
QString SaveCancelled() {
    return QCoreApplication::translate("TFrameSettings", "Speichern abgebrochen");
}
QString NotSaved() {
    return QCoreApplication::translate("TFrameSettings", "Einstellungen nicht gespeichert");
}
QString Saved() {
    return QCoreApplication::translate("TFrameSettings", "Einstellungen gespeichert in %1");
}
QString LoadCancelled() {
    return QCoreApplication::translate("TFrameSettings", "Laden abgebrochen");
}
QString NothingLoaded() {
    return QCoreApplication::translate("TFrameSettings", "nichts geladen");
}
QString NothingTaken() {
    return QCoreApplication::translate("TFrameSettings", "aus %1 nichts übernommen");
}
QString Loaded() {
    return QCoreApplication::translate("TFrameSettings", "aus %1 übernommen: %2");
}
} // namespace StatusTexts

constexpr const char *LoadBoxNames[4] = {"cbx_load_com", "cbx_load_gleisdef", "cbx_load_para",
                                         "cbx_load_adr"};
} // namespace

TFrameSettings::TFrameSettings(SharedState &state, Dialogs &dialogs, Link &link,
                               SettingsStore &store, QWidget *parent)
    : TabFrame(parent), m_state(state), m_dialogs(dialogs), m_link(link), m_store(store),
      m_enumerator(std::make_unique<SystemPortEnumerator>()),
      m_watcher(std::make_unique<PortWatcher>(m_enumerator.get())) {
    setObjectName(QStringLiteral("TFrameSettings"));
    BuildForm();
    connect(m_watcher.get(), &PortWatcher::portsChanged, this,
            [this](const QList<FoundPort> &ports) { OnPortsChanged(ports); });
}

TFrameSettings::~TFrameSettings() = default;

void TFrameSettings::BuildForm() {
    GroupBoxCom = Named(new QGroupBox(tr("COM-Port"), this), "GroupBoxCom");
    GroupBoxCom->setGeometry(10, 10, 130, 260);
    for (int n = 1; n <= 9; ++n) {
        auto *rad = new QRadioButton(tr("Com%1").arg(n), GroupBoxCom);
        rad->setObjectName(QStringLiteral("rad_com%1").arg(n));
        rad->setGeometry(10, 20 + (n - 1) * 22, 100, 20);
        connect(rad, &QRadioButton::clicked, this, &TFrameSettings::rad_comClick);
        rad_com[static_cast<size_t>(n)] = rad;
    }
    btnCheck = Named(new QPushButton(tr("COM-Port suchen"), GroupBoxCom), "btnCheck");
    btnCheck->setToolTip(tr("Suche nach COM-Ports"));
    btnCheck->setGeometry(8, 222, 114, ButtonHeight);
    connect(btnCheck, &QPushButton::clicked, this, &TFrameSettings::btnCheckClick);

    // What each COM number means, and a way to map one to a device of this machine.
    GroupBoxPorts = Named(new QGroupBox(tr("Port-Zuordnung"), this), "GroupBoxPorts");
    GroupBoxPorts->setGeometry(10, 300, 310, 232);
    for (int n = 1; n <= 9; ++n) {
        auto *label = new QLabel(GroupBoxPorts);
        label->setObjectName(QStringLiteral("lbl_port%1").arg(n));
        label->setGeometry(10, 20 + (n - 1) * 16, 290, 16);
        lbl_port[static_cast<size_t>(n)] = label;
    }
    ComboBox_ports = Named(new QComboBox(GroupBoxPorts), "ComboBox_ports");
    ComboBox_ports->setGeometry(10, 170, 290, 24);
    ComboBox_ports->setToolTip(tr("Geräte dieses Rechners"));
    btn_port_assign = Named(new QPushButton(tr("zuordnen"), GroupBoxPorts), "btn_port_assign");
    btn_port_assign->setGeometry(10, 200, 90, ButtonHeight);
    btn_port_assign->setToolTip(tr("ordnet das gewählte Gerät dem markierten COM-Port zu"));
    connect(btn_port_assign, &QPushButton::clicked, this, &TFrameSettings::btn_port_assignClick);
    cbx_auto_verbinden = Named(new QCheckBox(tr("automatisch wieder verbinden"), GroupBoxPorts),
                               "cbx_auto_verbinden");
    cbx_auto_verbinden->setToolTip(
        tr("öffnet den Port wieder, sobald der abgezogene USB-Adapter wieder "
           "eingesteckt ist"));
    cbx_auto_verbinden->setGeometry(104, 202, 204, 20);
    cbx_auto_verbinden->setChecked(true);
    connect(cbx_auto_verbinden, &QCheckBox::clicked, this, &TFrameSettings::autoReconnectChanged);

    GroupBox1 = Named(new QGroupBox(tr("Baud Rate"), this), "GroupBox1");
    GroupBox1->setGeometry(150, 10, 170, 95);
    rad_2400 = Named(new QRadioButton(QStringLiteral("2400"), GroupBox1), "rad_2400");
    rad_2400->setToolTip(tr("Baud-Rate 2400"));
    rad_9600 = Named(new QRadioButton(QStringLiteral("9600"), GroupBox1), "rad_9600");
    rad_9600->setToolTip(tr("Baud-Rate 9600"));
    rad_19200 = Named(new QRadioButton(QStringLiteral("19200"), GroupBox1), "rad_19200");
    rad_19200->setToolTip(tr("Baud-Rate 19200"));
    rad_2400->setGeometry(10, 20, 140, 20);
    rad_9600->setGeometry(10, 42, 140, 20);
    rad_19200->setGeometry(10, 64, 140, 20);
    rad_19200->setChecked(true);
    GroupBox1->setEnabled(false);
    GroupBox1->setVisible(false);

    GroupBox3 = Named(new QGroupBox(tr("Darstellung"), this), "GroupBox3");
    GroupBox3->setToolTip(tr("Änderung erst nach RESET aktiv"));
    GroupBox3->setGeometry(150, 110, 170, 95);
    rad_fahren = Named(new QRadioButton(tr("Betrieb"), GroupBox3), "rad_fahren");
    rad_justage = Named(new QRadioButton(tr("Einstellen + Justage"), GroupBox3), "rad_justage");
    rad_debug = Named(new QRadioButton(QStringLiteral("Debug"), GroupBox3), "rad_debug");
    rad_fahren->setGeometry(10, 20, 150, 20);
    rad_justage->setGeometry(10, 42, 150, 20);
    rad_debug->setGeometry(10, 64, 150, 20);
    rad_justage->setChecked(true);

    GroupBox2 = Named(new QGroupBox(tr("Senden"), this), "GroupBox2");
    GroupBox2->setGeometry(150, 210, 170, 85);
    Edit1 = Named(new QLineEdit(GroupBox2), "Edit1");
    Edit1->setToolTip(tr("Zeichen, die beim Druck auf SENDEN über die RS232 geschickt werden"));
    Edit1->setGeometry(10, 22, 150, 24);
    btnSenden = Named(new QPushButton(tr("Senden"), GroupBox2), "btnSenden");
    btnSenden->setGeometry(10, 52, ButtonWidth, ButtonHeight);
    connect(btnSenden, &QPushButton::clicked, this, &TFrameSettings::btnSendenClick);
    GroupBox2->setVisible(false);

    GroupBox4 = Named(new QGroupBox(tr("Einstellungen speichern"), this), "GroupBox4");
    GroupBox4->setGeometry(330, 10, 230, 112);
    AddLabel(GroupBox4, tr("hier können alle Einstellungen"), 10, 22);
    AddLabel(GroupBox4, tr("(Parameter, Adressen, Positionen"), 10, 38);
    AddLabel(GroupBox4, tr("usw.) gespeichert werden."), 10, 54);
    Button1 = Named(new QPushButton(tr("speichern"), GroupBox4), "Button1");
    Button1->setGeometry(10, 78, 90, ButtonHeight);
    connect(Button1, &QPushButton::clicked, this, &TFrameSettings::Button1Click);

    GroupBox5 = Named(new QGroupBox(tr("Einstellungen laden"), this), "GroupBox5");
    GroupBox5->setGeometry(330, 130, 230, 250);
    AddLabel(GroupBox5, tr("gespeicherte Parameter-Dateien"), 10, 22);
    AddLabel(GroupBox5, tr("können hier eingelesen werden."), 10, 38);
    AddLabel(GroupBox5, tr("Dabei werden nur die gewählten"), 10, 54);
    AddLabel(GroupBox5, tr("Daten übernommen."), 10, 70);
    AddLabel(GroupBox5, tr("folgende Daten übernehmen:"), 10, 94);
    for (size_t i = 0; i < ConfigFile::Parts.size(); ++i) {
        const ConfigFile::Part part = ConfigFile::Parts[i];
        auto *box = Named(new QCheckBox(ConfigFile::Caption(part), GroupBox5),
                          QLatin1String(LoadBoxNames[i]));
        box->setToolTip(ConfigFile::Hint(part));
        box->setGeometry(10, 114 + 22 * static_cast<int>(i), 190, 20);
        m_loadBoxes[i] = box;
    }
    Button2 = Named(new QPushButton(tr("laden"), GroupBox5), "Button2");
    Button2->setGeometry(10, 212, 90, ButtonHeight);
    connect(Button2, &QPushButton::clicked, this, &TFrameSettings::Button2Click);

    // How the tabs' transfers go: paced by the boards' answers and read back, or as first built.
    GroupBoxTransfer = Named(new QGroupBox(tr("Übertragung"), this), "GroupBoxTransfer");
    GroupBoxTransfer->setGeometry(330, 390, 230, 72);
    cbx_feste_taktung = Named(new QCheckBox(tr("feste Taktung (wie bisher)"), GroupBoxTransfer),
                              "cbx_feste_taktung");
    cbx_feste_taktung->setToolTip(
        tr("eine Anfrage je Takt der Seite (300 ms lesen, 500 ms schreiben), ohne "
           "Wiederholung und ohne Prüfen, für eine Platine, die das braucht"));
    cbx_feste_taktung->setGeometry(10, 20, 210, 20);
    connect(cbx_feste_taktung, &QCheckBox::clicked, this, &TFrameSettings::cbx_feste_taktungClick);
    cbx_schreiben_pruefen =
        Named(new QCheckBox(tr("Schreiben prüfen"), GroupBoxTransfer), "cbx_schreiben_pruefen");
    cbx_schreiben_pruefen->setToolTip(
        tr("jede geschriebene Zelle wird zurückgelesen und mit dem Geschriebenen "
           "verglichen"));
    cbx_schreiben_pruefen->setGeometry(10, 44, 210, 20);
    connect(cbx_schreiben_pruefen, &QCheckBox::clicked, this,
            &TFrameSettings::cbx_schreiben_pruefenClick);

    // The send log shows its lines through a model: one per byte, made only for the rows in view.
    m_sendLog = new SendLogModel(SendLogMaxLines, this);
    Memo2 = Named(new SendLogView(*m_sendLog, this), "Memo2");
    Memo2->resize(180, 300);
    Memo1 = Named(new QPlainTextEdit(this), "Memo1");
    Memo1->setReadOnly(true);
    Memo1->setMaximumBlockCount(Memo1MaxLines);
    Memo1->resize(190, 300);
    Memo1->setPlainText(tr("Sendeprotokoll Empfang \nvon Grube"));

    btn_comstat = Named(new QPushButton(QStringLiteral("COMSTAT"), this), "btn_comstat");
    btn_DCB = Named(new QPushButton(QStringLiteral("DCB"), this), "btn_DCB");
    btn_hComReceive =
        Named(new QPushButton(QStringLiteral("hComReceive"), this), "btn_hComReceive");
    int y = 300;
    for (QPushButton *b : {btn_comstat, btn_DCB, btn_hComReceive}) {
        b->setGeometry(150, y, 90, ButtonHeight);
        b->setVisible(false);
        y += 30;
    }
    connect(btn_comstat, &QPushButton::clicked, this, &TFrameSettings::btn_comstatClick);
    connect(btn_DCB, &QPushButton::clicked, this, &TFrameSettings::btn_DCBClick);
    connect(btn_hComReceive, &QPushButton::clicked, this, &TFrameSettings::btn_hComReceiveClick);

    m_backup = new BackupPanel(
        m_state, m_dialogs,
        [this] { return currentSettings ? currentSettings() : ProgramSettings(); }, this);
}

// ---------------------------------------------------------------------------------------------
// Choices

void TFrameSettings::OnlineChanged() {
    const bool connected = m_state.Online;
    m_backup->OnlineChanged();
    btnSenden->setEnabled(connected);
    GroupBoxCom->setEnabled(!connected);
    for (int n = 1; n <= 9; ++n) {
        rad_com[static_cast<size_t>(n)]->setEnabled(!connected);
    }
    rad_2400->setEnabled(!connected);
    rad_9600->setEnabled(!connected);
    rad_19200->setEnabled(!connected);
    btnCheck->setEnabled(!connected);
    btn_port_assign->setEnabled(!connected);
}

int TFrameSettings::checkedPort() const {
    for (int n = 1; n <= 9; ++n) {
        if (rad_com[static_cast<size_t>(n)]->isChecked()) {
            return n;
        }
    }
    return 0;
}

int TFrameSettings::checkedBaud() const {
    if (rad_9600->isChecked()) {
        return 9600;
    }
    if (rad_19200->isChecked()) {
        return 19200;
    }
    if (rad_2400->isChecked()) {
        return 2400;
    }
    return 0; // the driver's rate stays
}

QString TFrameSettings::checkedLevel() const {
    return rad_debug->isChecked()    ? Ini::LevelDebug
           : rad_fahren->isChecked() ? Ini::LevelFahren
                                     : Ini::LevelJustage;
}

void TFrameSettings::ShowSettings(const ProgramSettings &s) {
    if (s.comPort >= PortMap::FirstPort && s.comPort <= PortMap::LastPort) {
        rad_com[static_cast<size_t>(s.comPort)]->setChecked(true);
    }
    if (s.checkedLevel == Ini::LevelDebug) {
        rad_debug->setChecked(true);
    } else if (s.checkedLevel == Ini::LevelFahren) {
        rad_fahren->setChecked(true);
    } else {
        rad_justage->setChecked(true);
    }
    switch (s.baud) {
    case 9600:
        rad_9600->setChecked(true);
        break;
    case 2400:
        rad_2400->setChecked(true);
        break;
    default:
        rad_19200->setChecked(true);
        break;
    }
    const TransferSettings &t = m_state.transferSettings;
    cbx_feste_taktung->setChecked(t.fixedPacing);
    cbx_schreiben_pruefen->setChecked(t.verifyWrites);
    cbx_schreiben_pruefen->setEnabled(!t.fixedPacing);
    cbx_auto_verbinden->setChecked(s.autoReconnect);
    ShowPortMap();
}

bool TFrameSettings::autoReconnect() const {
    return cbx_auto_verbinden->isChecked();
}

void TFrameSettings::cbx_feste_taktungClick() {
    m_state.transferSettings.fixedPacing = cbx_feste_taktung->isChecked();
    // Reading back what was written needs the answers' pacing.
    cbx_schreiben_pruefen->setEnabled(!m_state.transferSettings.fixedPacing);
}

void TFrameSettings::cbx_schreiben_pruefenClick() {
    m_state.transferSettings.verifyWrites = cbx_schreiben_pruefen->isChecked();
}

void TFrameSettings::ShowForLevel(bool memos, bool baudAndSend) {
    Memo1->setVisible(memos);
    Memo2->setVisible(memos);
    GroupBox1->setVisible(baudAndSend); // shown at Debug, but stays disabled
    GroupBox2->setVisible(baudAndSend);
}

void TFrameSettings::ArrangeMemos(int outerHeight) {
    const int memoTop = GroupBoxCom->y();
    const int memoHeight = std::max(0, outerHeight - memoTop - 140 - BackupPanel::HeightBelowMemos);
    Memo2->setGeometry(GroupBox4->x() + GroupBox4->width() + 20, memoTop, Memo2->width(),
                       memoHeight);
    Memo1->setGeometry(Memo2->x() + Memo2->width() + 20, memoTop, Memo1->width(), memoHeight);
}

void TFrameSettings::rad_comClick() {
    emit portChosen();
}

// ---------------------------------------------------------------------------------------------
// Ports

void TFrameSettings::btnCheckClick() {
    QStringList found;
    for (int n = 1; n <= 9; ++n) {
        // Quietly: a missing port is what the scan is for, not an error.
        const bool present = m_link.Probe(PortMap::PortName(n), nullptr);
        AddMemo1(present ? tr("COM%1 OK").arg(n) : tr("kein COM%1-Port").arg(n));
        rad_com[static_cast<size_t>(n)]->setEnabled(present);
        if (present) {
            found << PortMap::PortName(n);
        }
    }
    // The memo is hidden at most user levels: the result goes to the status bar as well, and the
    // list of devices is read again.
    emit statusMessage(found.isEmpty() ? tr("kein COM-Port gefunden")
                                       : tr("gefunden: %1").arg(found.join(QStringLiteral(", "))));
    RefreshPortList();
}

void TFrameSettings::setPortEnumerator(std::unique_ptr<PortEnumerator> enumerator) {
    m_watcher->setEnumerator(enumerator.get());
    m_enumerator = std::move(enumerator);
    if (m_watcher->isActive()) {
        m_watcher->rescan();
    }
    if (m_portsListed) {
        RefreshPortList();
    }
}

void TFrameSettings::showEvent(QShowEvent *event) {
    TabFrame::showEvent(event);
    m_shown = true;
    UpdateWatcher(); // reads the devices when it switches on
    ShowPorts(m_watcher->ports());
}

void TFrameSettings::hideEvent(QHideEvent *event) {
    TabFrame::hideEvent(event);
    m_shown = false;
    UpdateWatcher();
}

void TFrameSettings::setWatchForReturn(bool on) {
    m_watchForReturn = on;
    UpdateWatcher();
}

void TFrameSettings::UpdateWatcher() {
    const bool wanted = m_shown || m_watchForReturn;
    if (wanted == m_watcher->isActive()) {
        return;
    }
    m_watcher->setActive(wanted);
}

void TFrameSettings::OnPortsChanged(const QList<FoundPort> &ports) {
    if (m_portsListed) {
        ShowPorts(ports);
    }
    emit portsChanged(ports);
}

void TFrameSettings::RefreshPortList() {
    if (m_watcher->isActive()) {
        m_watcher->rescan(); // a change is shown and told on the way
        ShowPorts(m_watcher->ports());
    } else {
        ShowPorts(m_enumerator ? m_enumerator->Ports() : QList<FoundPort>());
    }
}

void TFrameSettings::ShowPorts(const QList<FoundPort> &ports) {
    m_portsListed = true;
    // The device chosen stays chosen while it is there, whatever came or went around it.
    const bool hadChoice = ComboBox_ports->currentIndex() >= 0;
    const QString chosen = ComboBox_ports->currentData().toString();
    ComboBox_ports->clear();
    for (const FoundPort &p : ports) {
        ComboBox_ports->addItem(p.displayText(), p.target);
        ComboBox_ports->setItemData(ComboBox_ports->count() - 1,
                                    p.target == p.location
                                        ? p.target
                                        : QStringLiteral("%1\n(%2)").arg(p.target, p.location),
                                    Qt::ToolTipRole);
    }
    ComboBox_ports->addItem(tr("eingebauter Simulator"), PortMap::Simulator);
    ComboBox_ports->addItem(tr("Vorgabe (kein Eintrag)"), QString());
    // A device the scan does not find (a pseudo-terminal, a name of its own) is typed in.
    ComboBox_ports->addItem(tr("Pfad eingeben ..."), EnterPathItem);
    const int again = ComboBox_ports->findData(chosen);
    ComboBox_ports->setCurrentIndex(again >= 0 && hadChoice ? again : 0);
    ShowPortMap();
}

void TFrameSettings::ShowPortMap() {
    const PortMap &map = m_link.port().portMap();
    for (int n = 1; n <= 9; ++n) {
        QLabel *label = lbl_port[static_cast<size_t>(n)];
        const QString target = map.target(n);
        const QString text = map.hasEntry(n) ? tr("Com%1: %2").arg(n).arg(target)
                                             : tr("Com%1: %2 (Vorgabe)").arg(n).arg(target);
        // A by-id name is long; the end of it names the adapter.
        label->setText(label->fontMetrics().elidedText(text, Qt::ElideMiddle, label->width()));
        label->setToolTip(text);
    }
}

void TFrameSettings::btn_port_assignClick() {
    const int n = checkedPort();
    if (n == 0) {
        emit statusMessage(tr("zuerst einen COM-Port wählen"));
        return;
    }
    if (ComboBox_ports->currentIndex() < 0) {
        return;
    }
    QString target = ComboBox_ports->currentData().toString();
    if (target == EnterPathItem) {
        const std::optional<QString> typed = m_dialogs.askText(
            tr("Port-Zuordnung"), tr("Gerät für COM%1 (Pfad):").arg(n), QStringLiteral("/dev/"));
        if (!typed) {
            return;
        }
        target = typed->trimmed();
        if (const QString problem = DevicePathProblem(target); !problem.isEmpty()) {
            m_dialogs.showError(tr("Port-Zuordnung"), problem);
            return;
        }
        target = StableDeviceName(target, m_watcher->byIdFolder()); // as a found device is
    }
    QString error;
    if (!m_store.WritePortEntry(n, target, &error)) {
        ReportSaveFailure(tr("Die Port-Zuordnung konnte nicht gespeichert werden.\n%1").arg(error));
        return;
    }
    PortMap &map = m_link.port().portMap();
    map.setEntry(n, target);
    // A port that the last scan did not find may be the one just chosen.
    rad_com[static_cast<size_t>(n)]->setEnabled(!m_state.Online);
    ShowPortMap();
    emit statusMessage(tr("COM%1 = %2").arg(n).arg(map.target(n)));
}

// ---------------------------------------------------------------------------------------------
// Manual send and the logs

void TFrameSettings::btnSendenClick() {
    const QString text = Edit1->text();
    const qint64 written = m_link.SendRaw(text.toLatin1());
    m_sendLog->AppendText(tr("gesendet:'%1' (%2)").arg(text).arg(written));
}

void TFrameSettings::AppendSendLog(uint8_t byte) {
    m_sendLog->AppendByte(byte); // the view takes it at its next repaint
}

void TFrameSettings::ClearSendLog() {
    m_sendLog->Clear();
}

QStringList TFrameSettings::sendLogLines() const {
    return m_sendLog->lines();
}

void TFrameSettings::ShowDump(const QStringList &lines) {
    Memo1->setPlainText(lines.join(u'\n'));
}

void TFrameSettings::AddMemo1(const QString &line) {
    Memo1->appendPlainText(line);
}

void TFrameSettings::btn_DCBClick() {
    PortDcb dcb;
    QString reason;
    if (!m_link.port().ReadDcb(&dcb, &reason)) {
        m_dialogs.showError(QStringLiteral("GetCommState"), reason);
        return;
    }
    AddMemo1(tr("baud rate: %1").arg(dcb.baudRate));
    AddMemo1(tr("parity: %1").arg(dcb.parity));
    AddMemo1(tr("CTS output flow control: %1").arg(dcb.ctsOutFlow));
    AddMemo1(tr("DSR output flow control: %1").arg(dcb.dsrOutFlow));
    AddMemo1(tr("DTR flow control type: %1").arg(dcb.dtrControl));
    AddMemo1(tr("DSR sensitivity: %1").arg(dcb.dsrSensitivity));
    AddMemo1(tr("RTS flow control: %1").arg(dcb.rtsControl));
}

void TFrameSettings::btn_hComReceiveClick() {
    const PortProperties p = m_link.port().Properties();
    AddMemo1(tr("max Tx bufsize, in bytes: %1").arg(p.maxTxQueue));
    AddMemo1(tr("max Rx bufsize, in bytes: %1").arg(p.maxRxQueue));
    AddMemo1(tr("Tx buffer size, in bytes: %1").arg(p.txQueue));
    AddMemo1(tr("Rx buffer size, in bytes: %1").arg(p.rxQueue));
}

void TFrameSettings::btn_comstatClick() {
    AddMemo1(tr("cbInQue: %1").arg(m_link.port().QueryPortStatus()));
    AddMemo1(tr("cbInQue: %1").arg(m_link.port().QueryPortStatus()));
}

// ---------------------------------------------------------------------------------------------
// Configuration files

void TFrameSettings::ReportSaveFailure(const QString &text) {
    m_dialogs.showError(QApplication::applicationName(), text);
}

void TFrameSettings::Button1Click() {
    // Every save ends with a line of its own: the status bar must not go on showing a transfer's.
    const QString path = m_dialogs.askSaveFileName(ConfigFile::Filter(), ConfigFile::DefaultSuffix);
    if (path.isEmpty()) {
        emit statusMessage(StatusTexts::SaveCancelled());
        return;
    }
    QString error;
    const ProgramSettings settings = currentSettings ? currentSettings() : ProgramSettings();
    if (!SettingsStore::SaveConfiguration(path, settings, m_state, &error)) {
        emit statusMessage(StatusTexts::NotSaved());
        ReportSaveFailure(SettingsStore::NotSavedText(error));
        return;
    }
    emit statusMessage(StatusTexts::Saved().arg(QFileInfo(path).fileName()));
}

void TFrameSettings::Button2Click() {
    // Every load ends with a line of its own, as every save does.
    QList<ConfigFile::Part> chosen;
    for (size_t i = 0; i < ConfigFile::Parts.size(); ++i) {
        if (m_loadBoxes[i]->isChecked()) {
            chosen << ConfigFile::Parts[i];
        }
    }
    if (chosen.isEmpty()) {
        emit statusMessage(StatusTexts::NothingLoaded());
        m_dialogs.showMessage(tr("Keine Daten zum Laden ausgewählt!"));
        return;
    }
    const QString path = m_dialogs.askOpenFileName(ConfigFile::Filter(), ConfigFile::DefaultSuffix);
    if (path.isEmpty()) {
        emit statusMessage(StatusTexts::LoadCancelled());
        return;
    }
    const auto fail = [&](const QString &text) {
        emit statusMessage(StatusTexts::NothingLoaded());
        m_dialogs.showError(QApplication::applicationName(), text);
    };
    if (const QString notAFile = ConfigFile::NotAFileText(path); !notAFile.isEmpty()) {
        fail(notAFile);
        return;
    }
    IniFile ini;
    QString error;
    if (!ini.load(path, &error)) {
        fail(tr("Die Datei kann nicht geladen werden.\n%1").arg(error));
        return;
    }
    if (const QString twice = ConfigFile::ConflictText(ini, {Ini::EeGrube, Ini::EeBuhne});
        !twice.isEmpty()) {
        fail(tr("Die Datei kann nicht geladen werden.\n%1").arg(twice));
        return;
    }
    // Defaults from a file that holds none of the chosen data would overwrite the user's own.
    const QList<ConfigFile::Part> missing = ConfigFile::MissingParts(ini, chosen);
    const QString missingText = ConfigFile::Captions(missing).join(QStringLiteral(", "));
    if (missing.size() == chosen.size()) {
        fail(tr("%1 ist keine Konfigurationsdatei mit den gewählten "
                "Daten (%2). Es wurde nichts geladen.")
                 .arg(path, missingText));
        return;
    }
    if (!missing.isEmpty()) {
        m_dialogs.showMessage(tr("Die Datei enthält keine Daten für: %1.\nDiese werden "
                                 "nicht geladen.")
                                  .arg(missingText));
    }
    QList<ConfigFile::Part> taken;
    const auto wanted = [&](ConfigFile::Part part) {
        const bool yes = chosen.contains(part) && !missing.contains(part) &&
                         m_dialogs.askYesNo(ConfigFile::Question(part));
        if (yes) {
            taken << part;
        }
        return yes;
    };
    if (wanted(ConfigFile::Part::Port)) {
        // Only the button for the next Start: an open connection stays as it is.
        if (const int port = ConfigFile::PortOf(ini)) {
            rad_com[static_cast<size_t>(port)]->setChecked(true);
        }
    }
    ConfigFile::LoadRSense(ini, m_state);
    if (wanted(ConfigFile::Part::TrackDefinition)) {
        ConfigFile::LoadTrackDefinition(ini, m_state);
    }
    if (wanted(ConfigFile::Part::Parameters)) {
        ConfigFile::LoadParameters(ini, m_state);
    }
    if (wanted(ConfigFile::Part::Addresses)) {
        ConfigFile::LoadAddresses(ini, m_state);
    }
    const QString name = QFileInfo(path).fileName();
    emit statusMessage(taken.isEmpty()
                           ? StatusTexts::NothingTaken().arg(name)
                           : StatusTexts::Loaded().arg(
                                 name, ConfigFile::Captions(taken).join(QStringLiteral(", "))));
    // The tabs mark what the load changed while they see the flags.
    emit configurationLoaded();
    m_state.ParametersLoaded = false;
    m_state.AddressesLoaded = false;
}
