#pragma once

#include "comm/link.h"
#include "comm/sharedstate.h"
#include "core/session/session.h"
#include "core/settings/settingsfile.h"
#include "core/settings/settingsstore.h"

#include <QMainWindow>
#include <array>
#include <memory>

class Dialogs;
class PortEnumerator;
class QLabel;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTabWidget;
class TabFrame;
class TFrameBedienung;
class TFrameDefinition;
class TFrameDiagnose;
class TFrameEEprom;
class TFrameParameter;
class TFrameSettings;

// The program's one window: six tabs, Start, Stop and Ende, and the status bar. It shows a
// session (the connection, the state the tabs share and the timers that drive all traffic), hands
// the state to each tab, lets the tabs refresh on the session's housekeeping tick, and reads and
// writes the settings file.
class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    // Whether the tabs not shown first (definition, parameter, diagnosis, EEPROM) are built at
    // once, or only once the first frame is on the screen, so that it comes sooner (the
    // program's start). Until then frameDefinition() .. frameEEprom() are null.
    enum class HiddenTabs { AtOnce, AfterFirstFrame };

    // "Pivota V0.38" and its status line, with the build's version.
    static QString Caption();
    static QString VersionStatus();
    static QString SilentText() { return tr("keine Antwort von der Gruben-Platine"); }
    static QString ReconnectedText() { return tr("Verbindung wiederhergestellt"); }

    TfrmMain(const QString &settingsPath, Dialogs &dialogs,
             HiddenTabs hiddenTabs = HiddenTabs::AtOnce, QWidget *parent = nullptr);
    ~TfrmMain() override;

    Session &session() { return *m_session; }
    SharedState &state() { return m_session->state(); }
    const SharedState &state() const { return m_session->state(); }
    Link &link() { return m_session->link(); }
    ComPort &port() { return m_session->link().port(); }
    const QString &settingsPath() const { return m_store.path(); }
    QString statusText() const;
    QString userLevel() const { return m_settings.userLevel; }
    int readSize() const { return m_session->timing().readSize; }

    TFrameBedienung *frameBedienung() const { return m_bedienung; }
    TFrameDefinition *frameDefinition() const { return m_definition; }
    TFrameParameter *frameParameter() const { return m_parameter; }
    TFrameDiagnose *frameDiagnose() const { return m_diagnose; }
    TFrameEEprom *frameEEprom() const { return m_eeprom; }
    TFrameSettings *frameSettings() const { return m_settingsTab; }

    // Whether the window waits for the adapter of a lost line to come back.
    bool reconnectPending() const { return m_session->waitingForDevice(); }
    // Whether the port is read as soon as it reports bytes (and bytes left behind at the next
    // receive tick). Off, only calls of Timer_ReceiveTimer read: for tests that tick by hand.
    void SetReadOnArrival(bool on) { m_session->driver().SetReadOnArrival(on); }

    bool hiddenTabsBuilt() const { return m_definition != nullptr; }
    // How often the housekeeping tick has run, by its timer or right behind a board's report.
    int housekeepingRuns() const { return m_session->driver().housekeepingRuns(); }

    // A file given to the program: offered as the settings tab's "laden" offers a configuration
    // file, each part it holds after a question.
    void OfferFile(const QString &path);

    // Where the serial devices offered on the settings tab and awaited after a loss come from
    // (tests offer their own).
    void setPortEnumerator(std::shared_ptr<const PortEnumerator> enumerator);

signals:
    // The first frame is on the screen: what it does not need (the other tabs, the window icon)
    // comes now.
    void firstFrameShown();

public slots:
    void btnStartClick();
    void btnStopClick();
    void btnCloseClick();
    // The session's ticks, run by hand (tests).
    void Timer_SendenTimer() { m_session->driver().Timer_SendenTimer(); }
    void Timer_ReceiveTimer() { m_session->driver().Timer_ReceiveTimer(); }
    void Timer2Timer() { m_session->driver().Timer2Timer(); }
    void FormResize();

    void ReadProgIni();
    // False when the file could not be written; the box that says why is shown once.
    bool WriteProgIni();

    // Whether closing the window other than with "Ende" would lose settings: they differ from
    // the file and changed since the start. (Address rows and parameters not yet written to the
    // board are asked about as well; the tabs know those.)
    bool SettingsChanged() const;
    // Whether a tab holds address rows or parameters changed but not yet written to the board.
    bool HasUnwrittenChanges() const;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void BuildForm(HiddenTabs hiddenTabs);
    void ConnectSession();
    void ConnectSettingsTab();
    // Offline or online: the buttons and the tabs follow.
    void SetOnline(bool connected);
    void OnSessionState(Connection::State state);
    // Start and Stop as the session's state allows them.
    void ShowButtons();
    // What the tabs do on every housekeeping tick: the report of a transfer that ended goes to
    // the status bar, the tabs refresh.
    void OnHousekeeping();
    void ApplyUserLevel();
    void PlaceWindow();
    // The client size and the frame's top left of the window when not maximized.
    QRect NormalGeometry() const;
    // Every tab keeps its designed size (its page at the window's normal size) and scrolls in a
    // smaller page. The page control knows its tab bar's height once it is shown.
    void KeepTabsAtDesignedSize();
    // The definition, parameter, diagnosis and EEPROM tabs, and each tab into its page.
    void BuildHiddenTabs();
    void PlaceTab(size_t i);
    // Builds them after the first frame and brings them where the start-up brought the others.
    void BuildHiddenTabsNow();
    ProgramSettings CurrentSettings() const;
    // The settings as "Ende" would write them now, the window's place left as it was read.
    ProgramSettings SettingsToCompare() const;
    void ReloadTabs();
    void SetFillBar(qint64 waiting);
    void OnSilenceChanged(bool silent);
    void OnLinkFailed(Link::Failure failure, const QString &reason);
    void OnReconnected(const QString &configureError);
    // The status bar says how long a lost bridge on the network still waits for its next call.
    void ShowBridgeWait();
    void OnStarted(const QString &configureError);
    void ShowOpenError(const QString &reason);
    // Saves the settings file, or, when it cannot be written, asks whether to close without.
    bool SavedOrMayBeLost();

    Dialogs &m_dialogs;
    // A child made after the central widget: the tabs, which hold on to its state, are gone
    // before it (children go in the order they were made).
    Session *m_session = nullptr;
    SettingsStore m_store;
    ProgramSettings m_settings;
    bool m_closingWithEnde = false;
    bool m_saveFailureReported = false; // the box about an unwritable settings file was shown
    QColor m_fillColor;
    QString m_textBeforeSilence; // status text that the silence message replaced
    bool m_shownOnline = false;  // what the buttons and tabs show
    int m_lossBoxes = 0;         // boxes telling of a lost line that are open

    // Components of the form.
    QTabWidget *PageControl1 = nullptr;
    std::array<QWidget *, 6> TabSheet{};
    TFrameBedienung *m_bedienung = nullptr;
    TFrameDefinition *m_definition = nullptr;
    TFrameParameter *m_parameter = nullptr;
    TFrameDiagnose *m_diagnose = nullptr;
    TFrameEEprom *m_eeprom = nullptr;
    bool m_firstFrameShown = false;
    TFrameSettings *m_settingsTab = nullptr;
    // In the order of the pages: operation, definition, parameter, diagnosis, EEPROM, settings.
    std::array<TabFrame *, 6> m_tabs{};

    QProgressBar *ProgressBar2 = nullptr;
    QPushButton *btnStart = nullptr;
    QPushButton *btnStop = nullptr;
    QPushButton *btnClose = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QLabel *StatusPanel0 = nullptr;
    QLabel *StatusPanel1 = nullptr;
};
