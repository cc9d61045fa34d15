#pragma once

#include "comm/pacedtransfer.h"
#include "core/diagnosis/recording.h"
#include "gui/common/tabframe.h"
#include "gui/diagnosis/diagnosislooks.h"

#include <QElapsedTimer>
#include <array>
#include <memory>

class Dialogs;
class GraphPicture;
class SharedState;
class QCheckBox;
class QGroupBox;
class QImage;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The diagnosis tab "Diagnose": the error flags of both boards, the pit board's DIP switches, the
// sense current and the sensor voltage as values and live graphs, and the direct drive that finds
// the load-control parameters of the bridge board. The rules live in diagnosislogic; the frame
// shows state and forwards the user's actions.
class TFrameDiagnose : public TabFrame {
    Q_OBJECT
public:
    static QString TextStartRecord() { return tr("Start Record"); }
    static QString TextStopRecord() { return tr("Stop Record"); }
    static QString TextStartDrive() { return tr("Start Direct Drive"); }
    static QString TextStopDrive() { return tr("Stop Direct Drive"); }
    static QString TextSaveRecording() { return tr("Aufzeichnung speichern ..."); }

    TFrameDiagnose(SharedState &state, Dialogs &dialogs, QWidget *parent = nullptr);
    ~TFrameDiagnose() override;

    void OnlineChanged() override { UpdateDiagnosisButtons(); }
    void HousekeepingTick() override { RefreshDiagnosis(); }
    void Reload() override {
        LoadDirectDriveValues();
        RefreshDiagnosis();
    }

    // After the settings or a configuration file were read: takes the load-control values from
    // the bridge mirror. Sends nothing.
    void LoadDirectDriveValues();
    // The main window's 200 ms tick, also the sampling clock of both graphs.
    void RefreshDiagnosis();
    // Follows the main window's online state; going offline ends a running direct drive.
    void UpdateDiagnosisButtons();
    void ArrangeDiagnosisTab();

    // Ends a running direct drive and returns the controls to their idle look; true when one ran.
    // With sendStop the stop message is queued so that it cannot be lost to a full queue (the
    // main window then writes it out before the port closes); without, the line is gone.
    bool EndDirectDrive(bool sendStop);

    int driveSpeedLeft() const;
    int driveSpeedRight() const;
    int driveCurrentLeft() const;
    int driveCurrentRight() const;
    const Diagnosis::SampleHistory &senseHistory() const { return SenseHistory; }
    const Diagnosis::SampleHistory &sensorHistory() const { return SensorHistory; }
    const Diagnosis::GraphScale &senseScale() const { return m_senseScale; }
    const Diagnosis::GraphScale &sensorScale() const { return m_sensorScale; }
    bool recording() const;
    // Every measurement since recording was last switched on.
    const Diagnosis::Recording &recorded() const { return m_recorded; }
    // Both graphs as they are shown, one above the other.
    QImage GraphsPicture() const;
    // How often each graph was drawn; recording off draws nothing.
    int senseDrawCount() const { return m_senseDraws; }
    int sensorDrawCount() const { return m_sensorDraws; }

public slots:
    void btn_runClick();
    void btn_rsenseClick();
    // Saves the recording as CSV and the graphs as a PNG beside it.
    void btn_saveRecordClick();
    void pnl_diagResize();
    void btn_directClick();
    void btn_addxClick(QObject *sender);
    void rad_xClick();
    void cbx_use_lrClick();
    void btn_para_okClick();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void BuildForm();
    void BuildDirectDrive();
    // The direct drive's looks, starting states and connections.
    void ConnectDirectDrive();
    void ShowDiagIndicators();
    void ShowMeasurements();
    void RefreshDirectDriveValues();
    void DrawSenseGraph();
    void DrawSensorGraph();
    // Queues the drive message of the selected direction; urgent for a stop, which must get
    // through even a full queue.
    void SendDirectDrive(bool urgent);
    void ShowDriveIdle(bool idle);
    // Recording on or off, and the button's caption that offers the other.
    void SetRecording(bool on);
    // The drive's direction and regulation as the controls choose them.
    DirectDrive &ChosenDrive();
    void SetPanel(QLabel *panel, const QColor &background, const QColor &text);
    QLabel *errorPanel(int number) const;

    SharedState &m_state;
    bool m_recording = false;
    Dialogs &m_dialogs;
    bool Loading = false;
    // The load-control values written and read back, paced by the answers.
    std::unique_ptr<PacedTransfer> m_paraWrite;

    Diagnosis::Recording m_recorded;
    QElapsedTimer m_recordClock;

    Diagnosis::SampleHistory SenseHistory;
    Diagnosis::SampleHistory SensorHistory;
    Diagnosis::GraphScale m_senseScale;
    Diagnosis::GraphScale m_sensorScale;
    int m_senseDraws = 0;
    int m_sensorDraws = 0;

    QWidget *pnl_diag = nullptr;
    QGroupBox *GroupBoxError = nullptr;
    std::array<QLabel *, 16> pnl_err{}; // pnl_err_10..17, then pnl_err_20..27
    QGroupBox *GroupBoxDIP = nullptr;
    QLabel *pnl_48pos = nullptr;
    QLabel *pnl_dcc = nullptr;
    QLabel *pnl_calc = nullptr;

    QLabel *Label6 = nullptr;
    QLabel *pnl_strom_sense_v = nullptr;
    QLabel *pnl_strom_sense = nullptr;
    QLabel *lbl_strominfo = nullptr;
    QPushButton *btn_rsense = nullptr;
    GraphPicture *Image_i_sense = nullptr;
    QLabel *Label7 = nullptr;
    QLabel *pnl_strom_sensor_v = nullptr;
    QLabel *pnl_strom_sensor = nullptr;
    QCheckBox *cbx_show_vraster = nullptr;
    QLabel *lbl_sensor_legende = nullptr;
    GraphPicture *Image_i_sensor = nullptr;
    QPushButton *btn_run = nullptr;
    QPushButton *btn_save_record = nullptr;

    QGroupBox *GroupBoxDD = nullptr;
    QLabel *lbl_pwm = nullptr;
    QPushButton *btn_sub5 = nullptr;
    QPushButton *btn_sub1 = nullptr;
    QPushButton *btn_add1 = nullptr;
    QPushButton *btn_add5 = nullptr;
    QRadioButton *rad_links = nullptr;
    QRadioButton *rad_rechts = nullptr;
    QCheckBox *cbx_use_lr = nullptr;
    QPushButton *btn_direct = nullptr;
    QGroupBox *GroupBoxLR = nullptr;
    QLineEdit *edt_Speed_l = nullptr;
    QLineEdit *edt_Speed_r = nullptr;
    QLineEdit *edt_strom_l = nullptr;
    QLineEdit *edt_strom_r = nullptr;
    QPushButton *btn_para_ok = nullptr;
};
