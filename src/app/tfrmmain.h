#pragma once

#include "comport.h"
#include "linkhealth.h"
#include "portenumerator.h"
#include "settingsfile.h"
#include "sharedstate.h"

#include <QMainWindow>
#include <array>
#include <functional>

class Dialogs;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTabWidget;
class QTimer;
class TFrameBedienung;
class TFrameDefinition;
class TFrameDiagnose;
class TFrameEEprom;
class TFrameParameter;

// The program's one window: six tabs, the link to the pit board (Start, Stop, online state), the
// timers that drive all traffic, the user level and the settings file. It owns the state that the
// tabs share and hands it to each of them.
class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    static inline const QString Caption = QStringLiteral("Pivota V0.38");
    static inline const QString VersionStatus = QStringLiteral(" Pivota V0.38 vom 08. Aug. 2013");
    static inline const QString SilentText = QStringLiteral("keine Antwort von der Gruben-Platine");

    TfrmMain(const QString &settingsPath, Dialogs &dialogs, QWidget *parent = nullptr);
    ~TfrmMain() override;

    SharedState &state() { return m_state; }
    ComPort &port() { return m_port; }
    const QString &settingsPath() const { return m_settingsPath; }
    QString statusText() const;
    QString userLevel() const { return m_settings.userLevel; }
    int readSize() const { return m_settings.readSize; }
    bool portOpened() const { return PortOpened; }

    TFrameBedienung *frameBedienung() const { return m_bedienung; }
    TFrameDefinition *frameDefinition() const { return m_definition; }
    TFrameParameter *frameParameter() const { return m_parameter; }
    TFrameDiagnose *frameDiagnose() const { return m_diagnose; }
    TFrameEEprom *frameEEprom() const { return m_eeprom; }

    void SetOnline(bool connected);

    // Where the serial devices offered on the settings tab come from (tests offer their own).
    void setPortEnumerator(std::unique_ptr<PortEnumerator> enumerator);
    // Lists the devices found now and what Com1..Com9 mean.
    void RefreshPortList();

public slots:
    void btnStartClick();
    void btnStopClick();
    void btnCloseClick();
    void btnSendenClick();
    void Button1Click();
    void Button2Click();
    void btnCheckClick();
    void btn_DCBClick();
    void btn_hComReceiveClick();
    void btn_comstatClick();
    void rad_comClick();
    // Maps the checked COM number to the device chosen in the list, in the settings file at once.
    void btn_port_assignClick();
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
    void BuildSettingsTab(QWidget *page);
    void ApplyUserLevel();
    void PlaceWindow();
    // Sizes the window so that its outer size (frame included) is the stored one, once the frame
    // is known.
    void AdoptOuterSize();
    QSize outerSize() const;
    void CollectSettings();
    ProgramSettings CurrentSettings() const;
    // The file's text as "Ende" would write it now, the window's place left as it was read.
    QByteArray WouldWrite(QByteArray *fileNow = nullptr) const;
    void RefreshTabs();

    // Port operations with the program's reactions to a failure.
    bool OpenPort(const QString &name);
    bool ProbePort(const QString &name);
    void ReportPortError(const QString &call, const QString &reason);
    qint64 ReadPort(char *data, qint64 maxBytes);
    qint64 WritePort(const char *data, qint64 count);
    void LineFailed(const QString &caption, const QString &text, const QString &reason);
    void EndConnection();
    // Ends a running direct drive with its stop message written to the port at once.
    void EndDirectDriveOnWire();
    void OnLineLost(const QString &reason);
    void SetFillBar(qint64 waiting);
    void WakeSendTick();
    void SendOneByte();
    void ReceiveTick();
    void CheckLinkHealth();
    void ShowPortMap();
    bool WritePortEntry(int number, const QString &target);
    void DumpDcb();
    int CheckedBaud() const;
    int CheckedPort() const;
    void AddMemo1(const QString &line);
    // Runs a handler; an error escaping it shows the warning and takes the program offline.
    void Guarded(const QString &warning, const std::function<void()> &handler);

    QString m_settingsPath;
    Dialogs &m_dialogs;
    SharedState m_state;
    ComPort m_port;
    ProgramSettings m_settings;
    QByteArray m_settingsAtStart; // WouldWrite() right after the settings were read
    bool m_closingWithEnde = false;

    QString PortName;
    bool PortOpened = false;
    bool QuietOpen = false;
    std::array<char, ProgramSettings::MaxReadSize> m_readBuffer{};
    QColor m_fillColor;
    QSize m_pendingOuterSize;
    QByteArray m_manualPending; // bytes of a manual send that the line has not taken yet
    LinkHealth m_link;
    QString m_textBeforeSilence; // status text that the silence message replaced
    std::unique_ptr<PortEnumerator> m_enumerator;

    // Components of the form.
    QTabWidget *PageControl1 = nullptr;
    std::array<QWidget *, 6> TabSheet{};
    TFrameBedienung *m_bedienung = nullptr;
    TFrameDefinition *m_definition = nullptr;
    TFrameParameter *m_parameter = nullptr;
    TFrameDiagnose *m_diagnose = nullptr;
    TFrameEEprom *m_eeprom = nullptr;

    QGroupBox *GroupBoxCom = nullptr;
    std::array<QRadioButton *, 10> rad_com{}; // 1..9
    QPushButton *btnCheck = nullptr;
    QGroupBox *GroupBoxPorts = nullptr;
    std::array<QLabel *, 10> lbl_port{}; // 1..9: what each COM number means
    QComboBox *ComboBox_ports = nullptr;
    QPushButton *btn_port_assign = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QRadioButton *rad_2400 = nullptr;
    QRadioButton *rad_9600 = nullptr;
    QRadioButton *rad_19200 = nullptr;
    QGroupBox *GroupBox2 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QPushButton *btnSenden = nullptr;
    QGroupBox *GroupBox3 = nullptr;
    QRadioButton *rad_fahren = nullptr;
    QRadioButton *rad_justage = nullptr;
    QRadioButton *rad_debug = nullptr;
    QGroupBox *GroupBox4 = nullptr;
    QPushButton *Button1 = nullptr;
    QGroupBox *GroupBox5 = nullptr;
    QCheckBox *cbx_load_com = nullptr;
    QCheckBox *cbx_load_gleisdef = nullptr;
    QCheckBox *cbx_load_para = nullptr;
    QCheckBox *cbx_load_adr = nullptr;
    QPushButton *Button2 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QPlainTextEdit *Memo2 = nullptr;
    QPushButton *btn_comstat = nullptr;
    QPushButton *btn_DCB = nullptr;
    QPushButton *btn_hComReceive = nullptr;

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
};
