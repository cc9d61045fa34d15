#pragma once

#include "link.h"
#include "settingsfile.h"
#include "settingsstore.h"
#include "sharedstate.h"

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

    // Where the serial devices offered on the settings tab come from (tests offer their own).
    void setPortEnumerator(std::unique_ptr<PortEnumerator> enumerator);

public slots:
    void btnStartClick();
    void btnStopClick();
    void btnCloseClick();
    void Timer_SendenTimer();
    void Timer_ReceiveTimer();
    void Timer2Timer();
    void FormResize();

    void ReadProgIni();
    // False (with the box shown) when the file could not be written.
    bool WriteProgIni();

    // Whether closing the window other than with "Ende" would lose settings: they differ from
    // the file and changed since the start. (Address rows and parameters not yet written to the
    // board are asked about as well; the tabs know those.)
    bool SettingsChanged() const;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void BuildForm();
    void ConnectLink();
    void ApplyUserLevel();
    void PlaceWindow();
    // Sizes the window so that its outer size (frame included) is the stored one, once the frame
    // is known.
    void AdoptOuterSize();
    QSize outerSize() const;
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

    Dialogs &m_dialogs;
    SharedState m_state;
    Link m_link;
    SettingsStore m_store;
    ProgramSettings m_settings;
    bool m_closingWithEnde = false;
    QColor m_fillColor;
    QSize m_pendingOuterSize;
    QString m_textBeforeSilence; // status text that the silence message replaced

    // Components of the form.
    QTabWidget *PageControl1 = nullptr;
    std::array<QWidget *, 6> TabSheet{};
    TFrameBedienung *m_bedienung = nullptr;
    TFrameDefinition *m_definition = nullptr;
    TFrameParameter *m_parameter = nullptr;
    TFrameDiagnose *m_diagnose = nullptr;
    TFrameEEprom *m_eeprom = nullptr;
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
};
