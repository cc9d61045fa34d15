#pragma once

#include "comm/link.h"
#include "comm/portreturn.h"
#include "comm/sharedstate.h"
#include "core/settings/settingsfile.h"
#include "core/settings/settingsstore.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>
#include <array>
#include <memory>

class Dialogs;
class PortEnumerator;
class QLabel;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTimer;
class TabFrame;
class TFrameBedienung;
class TFrameDefinition;
class TFrameDiagnose;
class TFrameEEprom;
class TFrameParameter;
class TFrameSettings;

// The program's one window: six tabs, Start, Stop and Ende, the status bar and the timers that
// drive all traffic. It owns the state that the tabs share and the link to the pit board, hands
// the state to each tab, forwards every tick to the link and the tabs, and reads and writes the
// settings file.
class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    static inline const QString Caption = QStringLiteral("Pivota V0.38");
    static QString VersionStatus() { return tr(" Pivota V0.38 vom 08. Aug. 2013"); }
    static QString SilentText() { return tr("keine Antwort von der Gruben-Platine"); }
    static QString ReconnectedText() { return tr("Verbindung wiederhergestellt"); }

    TfrmMain(const QString &settingsPath, Dialogs &dialogs, QWidget *parent = nullptr);
    ~TfrmMain() override;

    SharedState &state() { return m_state; }
    Link &link() { return m_link; }
    ComPort &port() { return m_link.port(); }
    const QString &settingsPath() const { return m_store.path(); }
    QString statusText() const;
    QString userLevel() const { return m_settings.userLevel; }
    int readSize() const { return m_settings.readSize; }

    TFrameBedienung *frameBedienung() const { return m_bedienung; }
    TFrameDefinition *frameDefinition() const { return m_definition; }
    TFrameParameter *frameParameter() const { return m_parameter; }
    TFrameDiagnose *frameDiagnose() const { return m_diagnose; }
    TFrameEEprom *frameEEprom() const { return m_eeprom; }
    TFrameSettings *frameSettings() const { return m_settingsTab; }

    void SetOnline(bool connected);
    // Whether the window waits for the adapter of a lost line to come back.
    bool reconnectPending() const { return m_return.armed(); }
    // Whether the port is read as soon as it reports bytes (and bytes left behind at the next
    // receive tick). Off, only calls of Timer_ReceiveTimer read: for tests that tick by hand.
    void SetReadOnArrival(bool on);

    // The program's start: windows made after this with true build the tabs not shown first
    // (definition, parameter, diagnosis, EEPROM) only once the first frame is on the screen,
    // so that it comes sooner. Until then frameDefinition() .. frameEEprom() are null. Windows
    // made otherwise (tests) build every tab at once.
    static void BuildHiddenTabsAfterFirstFrame(bool later);
    bool hiddenTabsBuilt() const { return m_definition != nullptr; }
    // How often the housekeeping tick has run, by its timer or right behind a board's report.
    int housekeepingRuns() const { return m_housekeepingRuns; }

    // Where the serial devices offered on the settings tab come from (tests offer their own).
    void setPortEnumerator(std::unique_ptr<PortEnumerator> enumerator);

signals:
    // The first frame is on the screen: what it does not need (the other tabs, the window icon)
    // comes now.
    void firstFrameShown();

public slots:
    void btnStartClick();
    void btnStopClick();
    void btnCloseClick();
    void Timer_SendenTimer();
    void Timer_ReceiveTimer();
    void Timer2Timer();
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
    void BuildForm();
    void ConnectLink();
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
    void WakeSendTick();
    void SendFirstByte();
    void SetFillBar(qint64 waiting);
    void OnSilenceChanged(bool silent);
    void OnLinkFailed(Link::Failure failure, const QString &reason);
    void ShowOpenError(const QString &reason);
    // Saves the settings file, or, when it cannot be written, asks whether to close without.
    bool SavedOrMayBeLost();
    void ConnectPortWatch();
    // Waiting for the adapter of a lost line: the port watcher runs meanwhile.
    // retry: it came back but could not be opened; the next change of the devices tries again.
    void AwaitReturn(const QString &target, bool retry);
    void StopAwaitingReturn();
    void OnPortsChanged(const QList<FoundPort> &ports);
    void Reconnect();

    Dialogs &m_dialogs;
    SharedState m_state;
    Link m_link;
    SettingsStore m_store;
    ProgramSettings m_settings;
    bool m_closingWithEnde = false;
    bool m_saveFailureReported = false; // the box about an unwritable settings file was shown
    QColor m_fillColor;
    QString m_textBeforeSilence;  // status text that the silence message replaced
    PortReturn m_return;          // the adapter of a lost line, until it comes back
    bool m_reportingLoss = false; // the box about a lost line is shown
    bool m_reconnectDue = false;  // the adapter came back while that box was shown

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

    QTimer *Timer_Receive = nullptr;
    QTimer *Timer_Senden = nullptr;
    QTimer *Timer2 = nullptr;
    QTimer m_firstByte; // the first byte after an idle line
    QTimer m_readSoon;  // a read right after the port reported bytes
    bool m_readOnArrival = true;
    static inline bool s_hiddenTabsLater = false;
    bool m_bytesArrived = false;      // the port reported bytes since the last read
    QElapsedTimer m_lastHousekeeping; // since the last housekeeping tick (Timer2Timer)
    int m_housekeepingRuns = 0;
    static constexpr int HousekeepingMs = 200;
    // The earliest a housekeeping tick runs behind a read, counted from the last one.
    static constexpr int HousekeepingBehindReadMs = 100;
};
