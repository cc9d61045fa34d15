#include "gui/settings/tframesettings.h"

#include <QCoreApplication>

#include "comm/link.h"
#include "comm/netaddress.h"
#include "comm/sharedstate.h"
#include "core/backup/backupplan.h"
#include "core/configuration/configfile.h"
#include "core/settings/inifile.h"
#include "core/settings/inikeys.h"
#include "core/settings/settingsstore.h"
#include "core/settings/userlevel.h"
#include "core/sheet/stationsheet.h"
#include "gui/common/dialogs.h"
#include "gui/common/named.h"
#include "gui/settings/backuppanel.h"
#include "gui/settings/sendlogmodel.h"
#include "gui/settings/sendlogview.h"
#include "gui/sheet/sheetprinter.h"
#include "platform/filenames.h"
#include "platform/portenumerator.h"
#include "platform/portwatcher.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {
// The list entry that asks for a device path (no device has this name).
const QString EnterPathItem = QStringLiteral("<Pfad eingeben>");
const QString NetworkItem = QStringLiteral("<Netzwerk>");

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
QString NotLoadedCells() {
    return QCoreApplication::translate("TFrameSettings", "; ohne Wert, nicht geladen: %1");
}
} // namespace StatusTexts

} // namespace

TFrameSettings::TFrameSettings(Session &session, Dialogs &dialogs, SettingsStore &store,
                               std::function<ProgramSettings()> current, QWidget *parent)
    : TabFrame(parent), m_session(session), m_state(session.state()), m_dialogs(dialogs),
      m_link(session.link()), m_store(store), m_currentSettings(std::move(current)),
      m_watcher(std::make_unique<PortWatcher>(session.portEnumerator())),
      m_scan(session.link().port()) {
    setObjectName(QStringLiteral("TFrameSettings"));
    BuildForm();
    connect(&m_scan, &PortScan::probed, this, &TFrameSettings::OnPortProbed);
    connect(&m_scan, &PortScan::finished, this, &TFrameSettings::OnPortScanFinished);
    connect(m_watcher.get(), &PortWatcher::portsChanged, this,
            [this](const QList<FoundPort> &ports) { OnPortsChanged(ports); });
    connect(&m_session, &Session::portEnumeratorChanged, this,
            &TFrameSettings::OnPortEnumeratorChanged);
    // The send log shows every byte taken from the transmit queue, and the info dump each dump.
    connect(&m_link, &Link::byteSent, this, &TFrameSettings::AppendSendLog);
    connect(&m_link, &Link::dumped, this, &TFrameSettings::ShowDump);
    connect(&m_state.sendQueue, &SendQueue::sendLogCleared, this, &TFrameSettings::ClearSendLog);
}

TFrameSettings::~TFrameSettings() = default;

// ---------------------------------------------------------------------------------------------
// Choices

void TFrameSettings::OnlineChanged() {
    const bool connected = m_state.connection().online();
    m_backup->OnlineChanged();
    btnSenden->setEnabled(connected);
    GroupBoxCom->setEnabled(!connected);
    for (int n = 1; n <= 9; ++n) {
        rad_com[static_cast<size_t>(n)]->setEnabled(!connected);
    }
    rad_2400->setEnabled(!connected);
    rad_9600->setEnabled(!connected);
    rad_19200->setEnabled(!connected);
    btnCheck->setEnabled(!connected && !m_scan.running());
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
    // The buttons checked already say nothing when checked again.
    TellConnection();
    emit levelChosen(checkedLevel());
}

void TFrameSettings::TellConnection() {
    const int n = checkedPort();
    emit connectionChosen(
        {n ? PortMap::PortName(n) : QString(), checkedBaud(), cbx_auto_verbinden->isChecked(), n});
}

void TFrameSettings::cbx_feste_taktungClick() {
    m_state.transferSettings.fixedPacing = cbx_feste_taktung->isChecked();
    // Reading back what was written needs the answers' pacing.
    cbx_schreiben_pruefen->setEnabled(!m_state.transferSettings.fixedPacing);
}

void TFrameSettings::cbx_schreiben_pruefenClick() {
    m_state.transferSettings.verifyWrites = cbx_schreiben_pruefen->isChecked();
}

void TFrameSettings::ShowLevel(const LevelView &view) {
    Memo1->setVisible(view.memos);
    Memo2->setVisible(view.memos);
    GroupBox1->setVisible(view.baudAndSend); // shown at Debug, but stays disabled
    GroupBox2->setVisible(view.baudAndSend);
}

void TFrameSettings::FitWindowHeight(int outerHeight) {
    const int memoTop = GroupBoxCom->y();
    const int memoHeight = std::max(0, outerHeight - memoTop - 140 - BackupPanel::HeightBelowMemos);
    Memo2->setGeometry(GroupBox4->x() + GroupBox4->width() + 20, memoTop, Memo2->width(),
                       memoHeight);
    Memo1->setGeometry(Memo2->x() + Memo2->width() + 20, memoTop, Memo1->width(), memoHeight);
}

void TFrameSettings::rad_comClick() {
    // Start goes on and Stop off with the session's state: a port is chosen only while not
    // connected.
    TellConnection();
}

// ---------------------------------------------------------------------------------------------
// Ports

void TFrameSettings::btnCheckClick() {
    if (m_scan.running()) {
        return;
    }
    btnCheck->setEnabled(false);
    emit statusMessage(tr("sucht COM-Ports ..."));
    // Quietly: a missing port is what the scan is for, not an error.
    m_scan.Start();
}

void TFrameSettings::OnPortProbed(int n, PortScan::Result result) {
    switch (result) {
    case PortScan::Result::Present:
        AddMemo1(tr("COM%1 OK").arg(n));
        break;
    case PortScan::Result::Missing:
        AddMemo1(tr("kein COM%1-Port").arg(n));
        break;
    case PortScan::Result::NoAnswer:
        AddMemo1(tr("COM%1 antwortet nicht beim Öffnen").arg(n));
        break;
    }
    rad_com[static_cast<size_t>(n)]->setEnabled(result == PortScan::Result::Present &&
                                                !m_state.connection().online());
}

void TFrameSettings::OnPortScanFinished(const QStringList &found) {
    btnCheck->setEnabled(!m_state.connection().online());
    // The memo is hidden at most user levels: the result goes to the status bar as well, and the
    // list of devices is read again.
    emit statusMessage(found.isEmpty() ? tr("kein COM-Port gefunden")
                                       : tr("gefunden: %1").arg(found.join(QStringLiteral(", "))));
    RefreshPortList();
}

void TFrameSettings::OnPortEnumeratorChanged() {
    m_watcher->setEnumerator(m_session.portEnumerator());
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

void TFrameSettings::UpdateWatcher() {
    const bool wanted = m_shown;
    if (wanted == m_watcher->isActive()) {
        return;
    }
    m_watcher->setActive(wanted);
}

void TFrameSettings::OnPortsChanged(const QList<FoundPort> &ports) {
    if (m_portsListed) {
        ShowPorts(ports);
    }
}

void TFrameSettings::RefreshPortList() {
    if (m_watcher->isActive()) {
        m_watcher->rescan(); // a change is shown and told on the way
        ShowPorts(m_watcher->ports());
    } else {
        const PortEnumerator *enumerator = m_session.portEnumerator();
        ShowPorts(enumerator ? enumerator->Ports() : QList<FoundPort>());
    }
}

void TFrameSettings::ShowPorts(const QList<FoundPort> &ports) {
    m_portsListed = true;
    // The device chosen stays chosen while it is there, whatever came or went around it.
    const bool hadChoice = ComboBox_ports->currentIndex() >= 0;
    const QString chosen = ComboBox_ports->currentData().toString();
    ComboBox_ports->clear();
    for (const FoundPort &p : SortedForShowing(ports)) {
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
    // A serial bridge on the network: host, port and protocol in a dialog of their own.
    ComboBox_ports->addItem(tr("Netzwerk ..."), NetworkItem);
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
    if (target == NetworkItem) {
        // The bridge this port is mapped to already is the start; else a raw TCP port.
        const NetAddress initial = NetAddress::Parse(m_link.port().portMap().target(n))
                                       .value_or(NetAddress{NetAddress::Protocol::Raw, {}, 4001});
        const std::optional<NetAddress> address =
            m_dialogs.askNetworkPort(tr("Netzwerk-Schnittstelle für COM%1").arg(n), initial);
        if (!address) {
            return;
        }
        target = address->text();
    } else if (target == EnterPathItem) {
        // Windows names its ports, Unix its device files.
        const QString prompt = FileNames::Native == FileNames::System::Windows
                                   ? tr("Port für COM%1 (zum Beispiel COM12):")
                                   : tr("Gerät für COM%1 (Pfad):");
        const std::optional<QString> typed =
            m_dialogs.askText(tr("Port-Zuordnung"), prompt.arg(n), TypedDeviceStart());
        if (!typed) {
            return;
        }
        if (NetAddress::IsNetworkName(typed->trimmed())) {
            // A serial bridge on the network: no device to check, the name is the port.
            const std::optional<NetAddress> address = NetAddress::Parse(typed->trimmed());
            if (!address) {
                m_dialogs.showError(
                    tr("Port-Zuordnung"),
                    tr("%1: eine Netzwerk-Schnittstelle heißt tcp://RECHNER:PORT oder "
                       "rfc2217://RECHNER:PORT (eine IPv6-Adresse in [ ]).")
                        .arg(typed->trimmed()));
                return;
            }
            target = address->text();
        } else {
            target = TypedDevice(*typed);
            if (const QString problem = DevicePathProblem(target); !problem.isEmpty()) {
                m_dialogs.showError(tr("Port-Zuordnung"), problem);
                return;
            }
            target = StableDeviceName(target, m_watcher->byIdFolder()); // as a found device is
        }
    }
    QString error;
    if (!m_store.WritePortEntry(n, target, &error)) {
        ReportSaveFailure(tr("Die Port-Zuordnung konnte nicht gespeichert werden.\n%1").arg(error));
        return;
    }
    PortMap &map = m_link.port().portMap();
    map.setEntry(n, target);
    // A port that the last scan did not find may be the one just chosen.
    rad_com[static_cast<size_t>(n)]->setEnabled(!m_state.connection().online());
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
    const ProgramSettings settings = m_currentSettings();
    if (!SettingsStore::SaveConfiguration(path, settings, m_state, &error)) {
        emit statusMessage(StatusTexts::NotSaved());
        ReportSaveFailure(SettingsStore::NotSavedText(error));
        return;
    }
    emit statusMessage(StatusTexts::Saved().arg(QFileInfo(path).fileName()));
}

std::optional<QString> TFrameSettings::AskSheetTitle() {
    return m_dialogs.askText(tr("Stationsblatt"), tr("Titel des Stationsblatts:"),
                             QFileInfo(m_store.path()).completeBaseName());
}

void TFrameSettings::btn_druckenClick() {
    const std::optional<QString> title = AskSheetTitle();
    if (!title) {
        return;
    }
    const StationSheet::Content content =
        StationSheet::FromProgram(m_currentSettings(), m_state, *title,
                                  QDateTime::currentDateTime(), QApplication::applicationVersion());
    m_dialogs.showPrintPreview(
        tr("Stationsblatt: %1").arg(*title),
        [&content](QPagedPaintDevice &printer) { SheetPrinter::Paint(printer, content); });
}

void TFrameSettings::btn_pdfClick() {
    const std::optional<QString> title = AskSheetTitle();
    if (!title) {
        return;
    }
    const QString path = m_dialogs.askSaveFileName(
        QStringLiteral("PDF (*.pdf)"), QStringLiteral("pdf"), *title + QStringLiteral(".pdf"));
    if (path.isEmpty()) {
        return;
    }
    const StationSheet::Content content =
        StationSheet::FromProgram(m_currentSettings(), m_state, *title,
                                  QDateTime::currentDateTime(), QApplication::applicationVersion());
    QString error;
    if (!SheetPrinter::WritePdf(path, content, &error)) {
        ReportSaveFailure(error);
        return;
    }
    emit statusMessage(tr("Stationsblatt %1 geschrieben").arg(QFileInfo(path).fileName()));
}

void TFrameSettings::Button2Click() {
    // Every load ends with a line of its own, as every save does.
    QList<ConfigFile::Content> chosen;
    for (size_t i = 0; i < ConfigFile::Contents.size(); ++i) {
        if (m_loadBoxes[i]->isChecked()) {
            chosen << ConfigFile::Contents[i];
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
    LoadConfiguration(path, chosen, true);
}

void TFrameSettings::OfferFile(const QString &path) {
    // Every part the file holds is asked for, as if all four boxes were checked; a part the file
    // lacks is not asked for, since the user chose none.
    const QList<ConfigFile::Content> all(ConfigFile::Contents.begin(), ConfigFile::Contents.end());
    LoadConfiguration(FileNames::Cleaned(path), all, false);
}

void TFrameSettings::LoadConfiguration(const QString &path,
                                       const QList<ConfigFile::Content> &chosen,
                                       bool chosenByUser) {
    IniFile ini;
    if (!ReadConfiguration(path, ini)) {
        return;
    }
    // Defaults from a file that holds none of the chosen data would overwrite the user's own.
    const QList<ConfigFile::Content> missing = ConfigFile::MissingContents(ini, chosen);
    const QString missingText = ConfigFile::Captions(missing).join(QStringLiteral(", "));
    if (missing.size() == chosen.size()) {
        FailLoad(tr("%1 ist keine Konfigurationsdatei mit den gewählten "
                    "Daten (%2). Es wurde nichts geladen.")
                     .arg(QDir::toNativeSeparators(path), missingText));
        return;
    }
    if (!missing.isEmpty() && chosenByUser) {
        m_dialogs.showMessage(tr("Die Datei enthält keine Daten für: %1.\nDiese werden "
                                 "nicht geladen.")
                                  .arg(missingText));
    }
    QList<ConfigFile::Content> offered;
    for (ConfigFile::Content part : chosen) {
        if (!missing.contains(part)) {
            offered << part;
        }
    }
    const QList<ConfigFile::Content> taken = TakeContents(ini, offered);
    const QString name = QFileInfo(path).fileName();
    QString status = taken.isEmpty()
                         ? StatusTexts::NothingTaken().arg(name)
                         : StatusTexts::Loaded().arg(
                               name, ConfigFile::Captions(taken).join(QStringLiteral(", ")));
    // Cells whose text is no value kept what the PC held: the line names each one.
    Backup::UnreadableCells unreadable;
    for (const ConfigFile::UnreadableCell &c : ConfigFile::UnreadableCells(ini, taken)) {
        unreadable.push_back({c.pitBoard ? Board::Grube : Board::Buehne, c.cell, c.text});
    }
    if (!unreadable.empty()) {
        status += StatusTexts::NotLoadedCells().arg(Backup::UnreadableList(unreadable));
    }
    emit statusMessage(status);
    // The tabs mark what the load changed in the parts it took.
    emit configurationLoaded(taken);
}

void TFrameSettings::FailLoad(const QString &text) {
    emit statusMessage(StatusTexts::NothingLoaded());
    m_dialogs.showError(QApplication::applicationName(), text);
}

bool TFrameSettings::ReadConfiguration(const QString &path, IniFile &ini) {
    if (const QString notAFile = ConfigFile::NotAFileText(path); !notAFile.isEmpty()) {
        FailLoad(notAFile);
        return false;
    }
    QString error;
    if (!ini.load(path, &error)) {
        FailLoad(tr("Die Datei kann nicht geladen werden.\n%1").arg(error));
        return false;
    }
    if (const QString twice = ConfigFile::ConflictText(ini, {Ini::EeGrube, Ini::EeBuhne});
        !twice.isEmpty()) {
        FailLoad(tr("Die Datei kann nicht geladen werden.\n%1").arg(twice));
        return false;
    }
    return true;
}

QList<ConfigFile::Content> TFrameSettings::TakeContents(const IniFile &ini,
                                                        const QList<ConfigFile::Content> &offered) {
    QList<ConfigFile::Content> taken;
    const auto wanted = [&](ConfigFile::Content part) {
        const bool yes = offered.contains(part) && m_dialogs.askYesNo(ConfigFile::Question(part));
        if (yes) {
            taken << part;
        }
        return yes;
    };
    if (wanted(ConfigFile::Content::Port)) {
        // Only the button for the next Start: an open connection stays as it is.
        if (const int port = ConfigFile::PortOf(ini)) {
            rad_com[static_cast<size_t>(port)]->setChecked(true);
        }
    }
    ConfigFile::LoadRSense(ini, m_state);
    if (wanted(ConfigFile::Content::TrackDefinition)) {
        ConfigFile::LoadTrackDefinition(ini, m_state);
    }
    if (wanted(ConfigFile::Content::Parameters)) {
        ConfigFile::LoadParameters(ini, m_state);
    }
    if (wanted(ConfigFile::Content::Addresses)) {
        ConfigFile::LoadAddresses(ini, m_state);
    }
    return taken;
}
