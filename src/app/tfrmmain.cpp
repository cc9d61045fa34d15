#include "tfrmmain.h"

#include "benchprobe.h"
#include "colors.h"
#include "connectiontexts.h"
#include "dialogs.h"
#include "inikeys.h"
#include "named.h"
#include "portenumerator.h"
#include "serialportdevice.h"
#include "simport.h"
#include "tframebedienung.h"
#include "tframedefinition.h"
#include "tframediagnose.h"
#include "tframeeeprom.h"
#include "tframeparameter.h"
#include "tframesettings.h"
#include "userlevel.h"
#include "windowplacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

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
    // A port mapped to "simulator" talks to the built-in controller simulator.
    port().setDeviceFactory([](const QString &target) -> std::unique_ptr<PortDevice> {
        if (target == PortMap::Simulator) {
            return std::make_unique<SimulatorPortDevice>(SimulatorPortDevice::Shared());
        }
        return std::make_unique<SerialPortDevice>(target);
    });

    m_settings.userLevel.clear();
    m_settings.readSize = ProgramSettings::DefaultReadSize;
    setWindowTitle(Caption);
    StatusPanel0->setText(VersionStatus());
    move(50, 50);
    ReadProgIni();
    m_settingsTab->RefreshPortList();
    FormResize();
    SetOnline(false);
    Timer_Receive->stop();
    m_state.infoTable().Reset();
    ApplyUserLevel();
    PageControl1->setCurrentIndex(0);
    m_store.NoteStart(SettingsToCompare(), m_state);
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
    m_settings = CurrentSettings();
    QString error;
    if (!m_store.Save(m_settings, m_state, &error)) {
        m_dialogs.showError(QApplication::applicationName(), SettingsStore::NotSavedText(error));
        return false;
    }
    return true;
}

ProgramSettings TfrmMain::CurrentSettings() const {
    ProgramSettings s = m_settings;
    s.comPort = m_settingsTab->checkedPort();
    s.baud = m_settingsTab->checkedBaud();
    if (s.baud == 0) {
        s.baud = 19200;
    }
    s.checkedLevel = m_settingsTab->checkedLevel();
    s.intervalReceive = Timer_Receive->interval();
    s.intervalSenden = Timer_Senden->interval();
    s.width = outerSize().width();
    s.height = outerSize().height();
    s.top = y();
    s.left = x();
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
        tab->Reload();
    }
}

// ---------------------------------------------------------------------------------------------
// Closing

void TfrmMain::btnCloseClick() {
    m_link.EndDirectDrive();
    if (WriteProgIni()) {
        m_closingWithEnde = true;
        if (!close()) {
            m_closingWithEnde = false;
        }
    }
}

void TfrmMain::closeEvent(QCloseEvent *event) {
    // A motor the program started must not run on once the window is gone.
    const auto closeNow = [this, event] {
        m_link.EndDirectDrive();
        QMainWindow::closeEvent(event);
    };
    if (m_closingWithEnde) {
        closeNow();
        return;
    }
    const bool rows = std::any_of(m_tabs.begin(), m_tabs.end(),
                                  [](const TabFrame *tab) { return tab->HasUnwrittenChanges(); });
    const QString question = CloseQuestion(SettingsChanged(), rows);
    if (question.isEmpty()) {
        closeNow();
        return;
    }
    switch (m_dialogs.askYesNoCancel(question)) {
    case Dialogs::Choice::Yes:
        if (!WriteProgIni()) {
            event->ignore(); // the box said why; nothing is lost
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
    // The stored size is the outer size, frame included, as the Windows version keeps it. The
    // frame is known only once the window manager has framed the window.
    m_pendingOuterSize = placed.rect.size();
    AdoptOuterSize();
    move(placed.rect.topLeft());
}

void TfrmMain::AdoptOuterSize() {
    if (!m_pendingOuterSize.isValid()) {
        return;
    }
    const QSize margins = frameGeometry().size() - size();
    resize(m_pendingOuterSize - margins);
    if (!margins.isNull()) {
        m_pendingOuterSize = QSize(); // done; without a frame it stays pending until one comes
    }
}

QSize TfrmMain::outerSize() const {
    return frameGeometry().size();
}

void TfrmMain::resizeEvent(QResizeEvent *event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TfrmMain::moveEvent(QMoveEvent *event) {
    QMainWindow::moveEvent(event);
    // The first move after the window manager framed the window tells the frame's size.
    if (m_pendingOuterSize.isValid() && frameGeometry().size() != size()) {
        AdoptOuterSize();
    }
}

void TfrmMain::FormResize() {
    // The layout counts from the outer size, as the Windows version does; the status bar sits at
    // the bottom of the inner area whatever the frame.
    const int h = outerSize().height();
    const int w = outerSize().width();
    PageControl1->setGeometry(0, 0, w, h - 100);
    const int closeLeft = w - btnClose->width() - 14;
    const int stopLeft = closeLeft - btnStop->width() - 10;
    const int startLeft = stopLeft - btnClose->width() - 10;
    btnClose->move(closeLeft, h - 88);
    btnStop->move(stopLeft, h - 88);
    btnStart->move(startLeft, h - 88);
    ProgressBar2->setGeometry(10, h - 80, startLeft - 20, 17);
    StatusBar1->setGeometry(0, std::min(h - 44, height() - 20), width(), 20);
    m_settingsTab->ArrangeMemos(h);
}

// ---------------------------------------------------------------------------------------------
// Connection

void TfrmMain::ShowOpenError(const QString &reason) {
    m_dialogs.showError(OpenErrorCaption(), OpenErrorText(reason));
}

void TfrmMain::btnStartClick() {
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
    m_link.EndDirectDrive();
    SetOnline(false);
    btnStart->setFocus();
}

void TfrmMain::SetOnline(bool connected) {
    m_state.Online = connected;
    if (!connected) {
        m_link.Stop(); // the next receive tick closes the port
        m_state.InterruptTransfers();
    }
    btnStart->setEnabled(!connected);
    btnStop->setEnabled(connected);
    for (size_t i : OnlineOrder) {
        m_tabs[i]->OnlineChanged();
    }
}

void TfrmMain::OnLinkFailed(Link::Failure failure, const QString &reason) {
    SetOnline(false);
    StatusPanel0->setText(Stopped());
    Timer_Receive->stop();
    btnStart->setFocus();
    m_dialogs.showError(FailureCaption(failure), FailureText(failure, reason));
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
    m_link.CheckHealth();
    if (const auto report = m_state.TakeTransferReport()) {
        StatusPanel0->setText(report->line);
        StatusPanel0->setToolTip(report->details);
    }
    if (m_state.Online) {
        m_state.TakePositions();
    }
    for (TabFrame *tab : m_tabs) {
        tab->HousekeepingTick();
    }
}
