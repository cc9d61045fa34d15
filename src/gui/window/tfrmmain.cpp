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
#include "gui/help/helpmenu.h"
#include "gui/operation/tframebedienung.h"
#include "gui/parameter/tframeparameter.h"
#include "gui/settings/tframesettings.h"
#include "platform/portenumerator.h"
#include "programversion.h"

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
// The order in which the tabs hear of a new connection state (indices into the pages): the
// settings tab's own buttons first, then operation, diagnosis, parameter, definition and EEPROM,
// as the program has always done it. No tab reads another's controls, so nothing depends on it
// but what the user would see in between; it is kept so that nothing changes.
constexpr std::array<size_t, 6> OnlineOrder = {5, 0, 3, 2, 1, 4};
} // namespace

using namespace ConnectionTexts;

TfrmMain::TfrmMain(const QString &settingsPath, Dialogs &dialogs, HiddenTabs hiddenTabs,
                   QWidget *parent)
    : QMainWindow(parent), m_dialogs(dialogs), m_store(settingsPath) {
    setObjectName(QStringLiteral("frmMain"));
    BuildForm(hiddenTabs);
    ConnectSession();
    ConnectSettingsTab();
    new HelpMenu(*this, *PageControl1, m_dialogs, m_store.path()); // "Hilfe" and F1

    m_settings.userLevel.clear();
    m_settings.readSize = ProgramSettings::DefaultReadSize;
    setWindowTitle(Caption());
    StatusPanel0->setText(VersionStatus());
    move(50, 50);
    ReadProgIni();
    FormResize();
    SetOnline(false);
    state().infoTable().Reset();
    ApplyUserLevel();
    PageControl1->setCurrentIndex(0);
    // With the other tabs built after the first frame, the start is noted once they are: until
    // then the window is not even on the screen.
    if (hiddenTabsBuilt()) {
        m_store.NoteStart(SettingsToCompare(), state());
    }
}

TfrmMain::~TfrmMain() = default;

QString TfrmMain::Caption() {
    return QStringLiteral("Pivota V") + QLatin1String(ProgramVersion::Number);
}

QString TfrmMain::VersionStatus() {
    return tr(" Pivota V%1 vom 08. Aug. 2013").arg(QLatin1String(ProgramVersion::Number));
}

QString TfrmMain::statusText() const {
    return StatusPanel0->text();
}

void TfrmMain::setPortEnumerator(std::shared_ptr<const PortEnumerator> enumerator) {
    m_session->setPortEnumerator(std::move(enumerator));
}

void TfrmMain::OfferFile(const QString &path) {
    BuildHiddenTabsNow(); // the tabs that show what is loaded
    m_settingsTab->OfferFile(path);
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
    for (TabFrame *tab : m_tabs) {
        if (tab) {
            tab->ShowLevel(*view);
        }
    }
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

void TfrmMain::ConnectSession() {
    connect(m_session, &Session::stateChanged, this, &TfrmMain::OnSessionState);
    connect(m_session, &Session::lost, this, &TfrmMain::OnLinkFailed);
    connect(m_session, &Session::reconnected, this, &TfrmMain::OnReconnected);
    connect(m_session, &Session::started, this, &TfrmMain::OnStarted);
    connect(m_session, &Session::startFailed, this, [this](const QString &reason) {
        ShowOpenError(reason);
        StatusPanel0->setText(NoPort(m_session->link().portName()));
    });
    connect(m_session, &Session::reconnectFailed, this,
            [this](const QString &name) { StatusPanel0->setText(NoPort(name)); });
    connect(m_session, &Session::bridgeWaitChanged, this, &TfrmMain::ShowBridgeWait);
    connect(&m_session->driver(), &LinkDriver::housekeeping, this, &TfrmMain::OnHousekeeping);
    Link &line = link();
    connect(&line, &Link::fillLevel, this, &TfrmMain::SetFillBar);
    connect(&line, &Link::silenceChanged, this, &TfrmMain::OnSilenceChanged);
    connect(&line, &Link::stopped, this,
            [this] { StatusPanel0->setText(ConnectionTexts::Stopped()); });
}

void TfrmMain::ShowOpenError(const QString &reason) {
    m_dialogs.showError(OpenErrorCaption(), OpenErrorText(reason));
}

void TfrmMain::btnStartClick() {
    const QString name = m_session->portToOpen();
    QString reason;
    QString configureError;
    if (!m_session->Start(&reason, &configureError)) {
        ShowOpenError(reason);
        StatusPanel0->setText(NoPort(name));
        return;
    }
    btnStop->setFocus();
    if (m_session->connectionState() != Connection::State::Connecting) {
        OnStarted(configureError);
    }
}

void TfrmMain::OnStarted(const QString &configureError) {
    StatusPanel0->setText(Opened(m_session->shownName(m_session->link().portName())));
    if (!configureError.isEmpty()) {
        m_dialogs.showError(QStringLiteral("SetCommState"), configureError);
    }
}

void TfrmMain::btnStopClick() {
    const bool waiting = m_session->waitingForDevice();
    m_session->Stop();
    if (waiting) {
        StatusPanel0->setText(Stopped()); // the wait is over
    }
    btnStart->setFocus();
}

void TfrmMain::OnSessionState(Connection::State state) {
    if (m_shownOnline != m_session->online()) {
        SetOnline(m_session->online());
    }
    if (state == Connection::State::Connecting) {
        StatusPanel0->setText(ConnectingTo(m_session->shownName(m_session->portToOpen())));
    }
    ShowButtons();
}

void TfrmMain::ShowButtons() {
    // Start while nothing is connected or on its way; Stop ends a connection, one on its way,
    // and the wait for a lost adapter.
    const Connection::State state = m_session->connectionState();
    const bool idle = state == Connection::State::Offline || state == Connection::State::Lost ||
                      state == Connection::State::Waiting;
    btnStart->setEnabled(idle);
    btnStop->setEnabled(!idle || state == Connection::State::Waiting);
}

void TfrmMain::SetOnline(bool connected) {
    m_shownOnline = connected;
    ShowButtons();
    for (size_t i : OnlineOrder) {
        if (m_tabs[i]) {
            m_tabs[i]->OnlineChanged();
        }
    }
}

void TfrmMain::OnLinkFailed(Link::Failure failure, const QString &reason) {
    StatusPanel0->setText(Stopped());
    btnStart->setFocus();
    // An adapter that comes back while the box is up is opened at once (an unattended layout
    // must not stay offline until somebody clicks); the box then says so.
    ++m_lossBoxes;
    m_dialogs.showError(FailureCaption(failure), FailureText(failure, reason));
    --m_lossBoxes;
    if (m_session->waitingForBridge()) {
        ShowBridgeWait();
    } else if (m_session->waitingForDevice()) {
        StatusPanel0->setText(WaitingFor(QDir::toNativeSeparators(m_session->awaitedDevice())));
    }
}

void TfrmMain::ShowBridgeWait() {
    if (!m_session->waitingForBridge()) {
        return;
    }
    StatusPanel0->setText(
        m_session->callingBridge()
            ? ConnectingTo(m_session->awaitedDevice())
            : WaitingForBridge(m_session->awaitedDevice(), m_session->secondsToNextCall()));
}

void TfrmMain::OnReconnected(const QString &configureError) {
    if (!configureError.isEmpty()) {
        m_dialogs.showError(QStringLiteral("SetCommState"), configureError);
    }
    StatusPanel0->setText(ReconnectedText());
    if (m_lossBoxes > 0) {
        m_dialogs.noteOnOpenBox(ReconnectedText());
    }
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
// Housekeeping

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

void TfrmMain::OnHousekeeping() {
    if (const auto report = state().TakeTransferReport()) {
        StatusPanel0->setText(report->line);
        StatusPanel0->setToolTip(report->details);
    }
    for (TabFrame *tab : m_tabs) {
        if (tab) {
            tab->HousekeepingTick();
        }
    }
}
