#include "gui/window/tfrmmain.h"

#include "core/session/connectiontexts.h"
#include "core/session/session.h"
#include "core/settings/inikeys.h"
#include "core/settings/userlevel.h"
#include "core/settings/windowplacement.h"
#include "gui/common/colors.h"
#include "gui/common/dialogs.h"
#include "gui/common/named.h"
#include "gui/definition/tframedefinition.h"
#include "gui/diagnosis/tframediagnose.h"
#include "gui/eeprom/tframeeeprom.h"
#include "gui/operation/tframebedienung.h"
#include "gui/parameter/tframeparameter.h"
#include "gui/settings/tframesettings.h"
#include "gui/window/benchprobe.h"
#include "platform/portenumerator.h"
#include "platform/portwatcher.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <utility>

namespace {
// The tabs in the order their connection-state updates run: operation, diagnosis, parameter,
// definition, EEPROM (indices into the pages), after the settings tab's own buttons.
constexpr std::array<size_t, 6> OnlineOrder = {5, 0, 3, 2, 1, 4};
} // namespace

using namespace ConnectionTexts;

TfrmMain::TfrmMain(const QString &settingsPath, Dialogs &dialogs, QWidget *parent)
    : QMainWindow(parent), m_dialogs(dialogs), m_link(m_state), m_store(settingsPath) {
    setObjectName(QStringLiteral("frmMain"));
    BuildForm();
    ConnectLink();
    ConnectPortWatch();
    // A port mapped to "simulator" talks to the built-in controller simulator.
    port().setDeviceFactory(&Session::OpenDevice);

    m_settings.userLevel.clear();
    m_settings.readSize = ProgramSettings::DefaultReadSize;
    setWindowTitle(Caption);
    StatusPanel0->setText(VersionStatus());
    move(50, 50);
    ReadProgIni();
    FormResize();
    SetOnline(false);
    Timer_Receive->stop();
    m_state.infoTable().Reset();
    ApplyUserLevel();
    PageControl1->setCurrentIndex(0);
    // With the other tabs built after the first frame, the start is noted once they are: until
    // then the window is not even on the screen.
    if (hiddenTabsBuilt()) {
        m_store.NoteStart(SettingsToCompare(), m_state);
    }
    BenchProbe::InstallIfAsked(*this); // measurements for bench/run.sh, only when asked
}

TfrmMain::~TfrmMain() {
    // The tabs hold on to the shared state and the link: they go first.
    delete takeCentralWidget();
}

QString TfrmMain::statusText() const {
    return StatusPanel0->text();
}

void TfrmMain::setPortEnumerator(std::unique_ptr<PortEnumerator> enumerator) {
    m_settingsTab->setPortEnumerator(std::move(enumerator));
}

// ---------------------------------------------------------------------------------------------
// Settings file

void TfrmMain::ReadProgIni() {
    QString error;
    // A missing file gives every key its default. So does one that cannot be read, but the user
    // is told at once, and "Ende" will not overwrite it.
    if (!m_store.Read(m_settings, m_state, port().portMap(), &error)) {
        m_dialogs.showError(QApplication::applicationName(), SettingsStore::UnreadableText(error));
    }
    m_settingsTab->ShowSettings(m_settings);
    Timer_Receive->setInterval(m_settings.intervalReceive);
    Timer_Senden->setInterval(m_settings.intervalSenden);
    m_firstByte.setTimerType(Qt::PreciseTimer);
    PlaceWindow();
    ReloadTabs();
}

bool TfrmMain::WriteProgIni() {
    const ProgramSettings settings = CurrentSettings();
    QString error;
    if (!m_store.Save(settings, m_state, &error)) {
        // Said once; the settings kept are those read, so that nothing looks changed that was not.
        if (!m_saveFailureReported) {
            m_saveFailureReported = true;
            m_dialogs.showError(QApplication::applicationName(),
                                SettingsStore::NotSavedText(error));
        }
        return false;
    }
    m_saveFailureReported = false;
    m_settings = settings;
    return true;
}

bool TfrmMain::SavedOrMayBeLost() {
    return WriteProgIni() ||
           m_dialogs.askYesNo(CloseWithoutSavingQuestion(QDir::toNativeSeparators(settingsPath())));
}

ProgramSettings TfrmMain::CurrentSettings() const {
    ProgramSettings s = m_settings;
    s.comPort = m_settingsTab->checkedPort();
    s.baud = m_settingsTab->checkedBaud();
    if (s.baud == 0) {
        s.baud = 19200;
    }
    s.checkedLevel = m_settingsTab->checkedLevel();
    s.autoReconnect = m_settingsTab->autoReconnect();
    s.intervalReceive = Timer_Receive->interval();
    s.intervalSenden = Timer_Senden->interval();
    // The client size and the frame's top left of the normal (not maximized) window: what
    // PlaceWindow gives back at the next start, so that it looks as it did.
    const QRect normal = NormalGeometry();
    s.width = normal.width();
    s.height = normal.height();
    s.top = normal.y();
    s.left = normal.x();
    return s;
}

ProgramSettings TfrmMain::SettingsToCompare() const {
    ProgramSettings s = CurrentSettings();
    // Where the window manager puts the window, and whether the user moved it, is not worth a
    // question: the place is compared as it was read.
    s.width = m_settings.width;
    s.height = m_settings.height;
    s.top = m_settings.top;
    s.left = m_settings.left;
    return s;
}

bool TfrmMain::SettingsChanged() const {
    return m_store.ChangedSinceStart(SettingsToCompare(), m_state);
}

void TfrmMain::ReloadTabs() {
    for (TabFrame *tab : m_tabs) {
        if (tab) { // the tabs not shown first are built after the first frame
            tab->Reload();
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Closing

bool TfrmMain::HasUnwrittenChanges() const {
    return std::any_of(m_tabs.begin(), m_tabs.end(),
                       [](const TabFrame *tab) { return tab && tab->HasUnwrittenChanges(); });
}

void TfrmMain::btnCloseClick() {
    m_link.EndDirectDrive();
    // "Ende" saves the settings file; rows not yet written to the board would be lost unasked.
    if (HasUnwrittenChanges()) {
        switch (m_dialogs.askYesNoCancel(CloseQuestion(SettingsChanged(), true))) {
        case Dialogs::Choice::Yes:
            if (!SavedOrMayBeLost()) {
                return;
            }
            break;
        case Dialogs::Choice::No:
            break;
        case Dialogs::Choice::Cancel:
            return;
        }
    } else if (!SavedOrMayBeLost()) {
        return;
    }
    m_closingWithEnde = true;
    if (!close()) {
        m_closingWithEnde = false;
    }
}

void TfrmMain::closeEvent(QCloseEvent *event) {
    // A motor the program started must not run on once the window is gone.
    const auto closeNow = [this, event] {
        m_link.EndDirectDrive();
        StopAwaitingReturn();
        QMainWindow::closeEvent(event);
    };
    if (m_closingWithEnde) {
        closeNow();
        return;
    }
    const QString question = CloseQuestion(SettingsChanged(), HasUnwrittenChanges());
    if (question.isEmpty()) {
        closeNow();
        return;
    }
    switch (m_dialogs.askYesNoCancel(question)) {
    case Dialogs::Choice::Yes:
        if (!SavedOrMayBeLost()) {
            event->ignore(); // nothing is lost
            return;
        }
        closeNow();
        return;
    case Dialogs::Choice::No:
        closeNow();
        return;
    case Dialogs::Choice::Cancel:
        event->ignore();
        return;
    }
}

// ---------------------------------------------------------------------------------------------
// User level, place and layout

void TfrmMain::ApplyUserLevel() {
    const std::optional<LevelView> view = ViewOfLevel(m_settings.userLevel);
    if (!view) {
        return; // any other text keeps the form as it is
    }
    for (size_t i = 0; i < view->tabs.size(); ++i) {
        PageControl1->setTabVisible(static_cast<int>(i), view->tabs[i]);
    }
    m_settingsTab->ShowForLevel(view->memos, view->baudAndSend);
    m_bedienung->SetExternalTargetVisible(view->extras);
}

void TfrmMain::PlaceWindow() {
    QList<WindowPlacement::Screen> screens;
    int primary = 0;
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (screen == QGuiApplication::primaryScreen()) {
            primary = static_cast<int>(screens.size());
        }
        screens.append({screen->geometry(), screen->availableGeometry()});
    }
    const WindowPlacement::Placement placed =
        WindowPlacement::Place(QSize(m_settings.width, m_settings.height),
                               QPoint(m_settings.left, m_settings.top), screens, primary);
    setMinimumSize(placed.minimum);
    // The stored size is the client size, the window manager's frame not included: the frame
    // is known only once the window is framed, and the layout counts from the client area, so
    // that every start looks the same whatever the frame.
    resize(placed.rect.size());
    move(placed.rect.topLeft());
}

QRect TfrmMain::NormalGeometry() const {
    if (!isMaximized() && !isFullScreen()) {
        return QRect(pos(), size());
    }
    // Maximized: the size and place it goes back to; the frame's top left, as move() takes it.
    const QRect normal = normalGeometry();
    return QRect(normal.topLeft() - (geometry().topLeft() - pos()), normal.size());
}

void TfrmMain::resizeEvent(QResizeEvent *event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

// ---------------------------------------------------------------------------------------------
// Connection

void TfrmMain::ShowOpenError(const QString &reason) {
    m_dialogs.showError(OpenErrorCaption(), OpenErrorText(reason));
}

void TfrmMain::btnStartClick() {
    StopAwaitingReturn();
    const int n = m_settingsTab->checkedPort();
    const QString name = n ? PortMap::PortName(n) : m_link.portName();
    QString reason;
    if (!m_link.Probe(name, &reason)) {
        ShowOpenError(reason);
        StatusPanel0->setText(NoPort(name));
        return;
    }
    StatusPanel0->setText(Opened(name));
    QString configureError;
    if (!m_link.Open(name, m_settingsTab->checkedBaud(), &reason, &configureError)) {
        // Taken between the probe and the open: stay offline rather than pretend a link.
        ShowOpenError(reason);
        StatusPanel0->setText(NoPort(name));
        return;
    }
    if (!configureError.isEmpty()) {
        m_dialogs.showError(QStringLiteral("SetCommState"), configureError);
    }
    SetOnline(true);
    btnStop->setFocus();
    Timer_Receive->start();
}

void TfrmMain::btnStopClick() {
    StopAwaitingReturn();
    m_link.EndDirectDrive();
    SetOnline(false);
    btnStart->setFocus();
}

void TfrmMain::SetOnline(bool connected) {
    m_state.Online = connected;
    if (!connected) {
        m_link.Stop(); // the next receive tick closes the port
        Timer_Receive->start();
        m_state.InterruptTransfers();
    }
    btnStart->setEnabled(!connected);
    btnStop->setEnabled(connected);
    for (size_t i : OnlineOrder) {
        if (m_tabs[i]) {
            m_tabs[i]->OnlineChanged();
        }
    }
}

void TfrmMain::OnLinkFailed(Link::Failure failure, const QString &reason) {
    SetOnline(false);
    StatusPanel0->setText(Stopped());
    Timer_Receive->stop();
    btnStart->setFocus();
    // A USB adapter pulled out takes its device along; plugged in again it comes back under the
    // same stable name. Watched from the loss on, so that a return while the box is up counts.
    const QString target = port().portMap().targetForName(m_link.portName());
    if (m_settingsTab->autoReconnect() && !target.isEmpty() && target != PortMap::Simulator) {
        AwaitReturn(target, false);
    }
    m_reportingLoss = true;
    m_dialogs.showError(FailureCaption(failure), FailureText(failure, reason));
    m_reportingLoss = false;
    if (m_reconnectDue) {
        m_reconnectDue = false;
        Reconnect();
    }
}

void TfrmMain::ConnectPortWatch() {
    connect(m_settingsTab, &TFrameSettings::portsChanged, this, &TfrmMain::OnPortsChanged);
    // Another port chosen, or the box switched off: the lost adapter is no longer awaited.
    connect(m_settingsTab, &TFrameSettings::portChosen, this, &TfrmMain::StopAwaitingReturn);
    connect(m_settingsTab, &TFrameSettings::autoReconnectChanged, this, [this](bool on) {
        if (!on) {
            StopAwaitingReturn();
        }
    });
}

void TfrmMain::AwaitReturn(const QString &target, bool retry) {
    m_return.Disarm(); // the read below is no return yet
    PortWatcher &watcher = m_settingsTab->portWatcher();
    const bool wasWatching = watcher.isActive();
    m_settingsTab->setWatchForReturn(true); // reads the devices when it switches on
    if (retry) {
        // Back but not to be opened yet: the next change of the devices tries again.
        m_return.Arm(target, false);
        return;
    }
    if (wasWatching) {
        watcher.rescan();
    }
    // udev may not have removed the adapter's device yet: then it must go before it comes back.
    m_return.Arm(target, PortReturn::Lists(watcher.ports(), target));
}

void TfrmMain::StopAwaitingReturn() {
    m_return.Disarm();
    m_reconnectDue = false;
    m_settingsTab->setWatchForReturn(false);
}

void TfrmMain::OnPortsChanged(const QList<FoundPort> &ports) {
    if (!m_return.Returned(ports)) {
        return;
    }
    if (m_reportingLoss) {
        m_reconnectDue = true;
        return;
    }
    Reconnect();
}

void TfrmMain::Reconnect() {
    const QString name = m_link.portName();
    const QString returned = port().portMap().targetForName(name);
    QString reason;
    QString configureError;
    if (m_state.Online || !m_settingsTab->autoReconnect()) {
        StopAwaitingReturn();
        return;
    }
    if (!m_link.Open(name, m_settingsTab->checkedBaud(), &reason, &configureError)) {
        AwaitReturn(returned, true);
        StatusPanel0->setText(NoPort(name));
        return;
    }
    StopAwaitingReturn();
    if (!configureError.isEmpty()) {
        m_dialogs.showError(QStringLiteral("SetCommState"), configureError);
    }
    SetOnline(true);
    Timer_Receive->start();
    StatusPanel0->setText(ReconnectedText());
}

void TfrmMain::OnSilenceChanged(bool silent) {
    if (silent) {
        m_textBeforeSilence = StatusPanel0->text();
        StatusPanel0->setText(SilentText());
    } else if (StatusPanel0->text() == SilentText()) {
        // Restored only when nothing else has been said meanwhile.
        StatusPanel0->setText(m_textBeforeSilence);
    }
}

// ---------------------------------------------------------------------------------------------
// Timers

void TfrmMain::WakeSendTick() {
    if (!m_link.hasBytesToSend() || Timer_Senden->isActive()) {
        return;
    }
    Timer_Senden->start();
    // A line idle for less than a tick takes the first byte only when that tick is over; one
    // idle for longer takes it at once: the board never gets two bytes closer together than
    // "Interval_Senden", but no request waits for a tick it does not need.
    const qint64 wait = m_link.WaitBeforeNextByte(Timer_Senden->interval());
    if (wait < Timer_Senden->interval()) {
        m_firstByte.start(static_cast<int>(wait));
    }
}

void TfrmMain::SendFirstByte() {
    if (m_link.WaitBeforeNextByte(Timer_Senden->interval()) > 0 || !m_link.hasBytesToSend()) {
        return; // a tick has sent since
    }
    Timer_SendenTimer();
    if (m_link.hasBytesToSend()) {
        Timer_Senden->start(); // the next byte one whole interval after this one
    }
}

void TfrmMain::Timer_SendenTimer() {
    m_link.TransmitTick();
    // Nothing left to send: no more ticks until something is queued (WakeSendTick).
    if (!m_link.hasBytesToSend()) {
        Timer_Senden->stop();
    }
}

void TfrmMain::Timer_ReceiveTimer() {
    m_settings.readSize = std::clamp(m_settings.readSize, 1, ProgramSettings::MaxReadSize);
    m_link.ReceiveTick(m_settings.readSize);
    const bool arrived = std::exchange(m_bytesArrived, false);
    // The board reports every 200 ms. The housekeeping tick follows the reports: it runs right
    // behind the read of one once at least HousekeepingBehindReadMs have passed since it last
    // ran, and otherwise starts its period anew from this read, so that it runs behind the next
    // report. One wake-up then serves both, five a second instead of ten on a standing
    // connection, and it never runs more than HousekeepingMs + HousekeepingBehindReadMs apart.
    // Without reports it keeps its own period.
    if (arrived && m_readOnArrival && m_state.Online && m_lastHousekeeping.isValid()) {
        Timer2->start();
        if (m_lastHousekeeping.elapsed() >= HousekeepingBehindReadMs) {
            Timer2Timer();
        }
    }
    // More than one tick takes waits for the next tick, "Interval_Receive" later; otherwise no
    // tick is due until the port reports bytes again.
    if (m_readOnArrival && port().isOpen() && port().QueryPortStatus() > 0) {
        Timer_Receive->start();
    } else {
        Timer_Receive->stop();
    }
}

void TfrmMain::SetReadOnArrival(bool on) {
    m_readOnArrival = on;
    if (!on) {
        Timer_Receive->stop();
        m_readSoon.stop();
    }
}

void TfrmMain::SetFillBar(qint64 waiting) {
    const int position = static_cast<int>(std::min<qint64>(waiting, ProgressBar2->maximum()));
    ProgressBar2->setValue(position);
    const QColor colour =
        position > 0.8 * ProgressBar2->maximum() ? Colors::FillBarFull : Colors::FillBarNormal;
    if (colour != m_fillColor) {
        m_fillColor = colour;
        QPalette palette = ProgressBar2->palette();
        palette.setColor(QPalette::Highlight, colour);
        ProgressBar2->setPalette(palette);
    }
}

void TfrmMain::Timer2Timer() {
    m_lastHousekeeping.start();
    ++m_housekeepingRuns;
    m_link.CheckHealth();
    if (const auto report = m_state.TakeTransferReport()) {
        StatusPanel0->setText(report->line);
        StatusPanel0->setToolTip(report->details);
    }
    if (m_state.Online) {
        m_state.TakePositions();
    }
    for (TabFrame *tab : m_tabs) {
        if (tab) {
            tab->HousekeepingTick();
        }
    }
}
