#include "gui/diagnosis/tframediagnose.h"

#include "gui/diagnosis/diagnosisform.h"

#include "comm/messages.h"
#include "comm/sharedstate.h"
#include "gui/common/colors.h"
#include "gui/common/controls.h"
#include "gui/common/dialogs.h"
#include "gui/common/named.h"
#include "gui/diagnosis/graphpicture.h"
#include "platform/filesafety.h"

#include <QBuffer>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <algorithm>

using namespace Diagnosis;
using namespace DiagnosisForm;

namespace {
struct ErrorPanel {
    int number;
    const char *caption;
    const char *hint;
    bool shown;
    QPoint place;
};

// Panels of flags that no board reports are kept (and coloured) but never shown.
const ErrorPanel ErrorPanels[16] = {
    {10,
     "COM_M",
     QT_TRANSLATE_NOOP("TFrameDiagnose", "Fehler Kommunikation Grube - Bühne"),
     true,
     {10, 22}},
    {11,
     "RS232_Frame",
     QT_TRANSLATE_NOOP("TFrameDiagnose",
                       "Problem RS232-Empfang auf der Gruben-Platine - ungültige Daten"),
     true,
     {10, 50}},
    {12, "RS232_OK", QT_TRANSLATE_NOOP("TFrameDiagnose", "keine RS232-Verbindung"), true, {10, 78}},
    {13, "nn", "", false, {10, 106}},
    {14, "nn", "", false, {10, 106}},
    {15, "nn", "", false, {10, 106}},
    {16, "nn", "", false, {10, 106}},
    {17, "nn", "", false, {10, 106}},
    {20,
     QT_TRANSLATE_NOOP("TFrameDiagnose", "Motor: Offen"),
     QT_TRANSLATE_NOOP(
         "TFrameDiagnose",
         "kein Motor-Strom, d.h. Anschluss-Fehler, Problem z.B. mit T1, R9, R17, K1 (Bühne)"),
     true,
     {120, 22}},
    {21,
     QT_TRANSLATE_NOOP("TFrameDiagnose", "Motor: Kurz"),
     QT_TRANSLATE_NOOP("TFrameDiagnose", "Motor-Strom zu groß (z.B. Kurzschluss)"),
     true,
     {120, 50}},
    {22, "Mot3", "", false, {120, 134}},
    {23,
     QT_TRANSLATE_NOOP("TFrameDiagnose", "Klemm Start"),
     QT_TRANSLATE_NOOP("TFrameDiagnose", "Einklemmung beim Start der Drehbewegung"),
     true,
     {120, 78}},
    {24, "Sens1", "", false, {120, 134}},
    {25, "Sens2", "", false, {120, 134}},
    {26,
     QT_TRANSLATE_NOOP("TFrameDiagnose", "Klemm Fahrt"),
     QT_TRANSLATE_NOOP("TFrameDiagnose", "Einklemmung / Blockierung bei der Drehbewegung"),
     true,
     {120, 106}},
    {27, "nn", "", false, {120, 134}},
};

QString SpeedText(bool left, int speed) {
    return left ? QCoreApplication::translate("TFrameDiagnose", "Geschwindigkeit L: %1").arg(speed)
                : QCoreApplication::translate("TFrameDiagnose", "Geschwindigkeit R: %1").arg(speed);
}
} // namespace

TFrameDiagnose::TFrameDiagnose(SharedState &state, Dialogs &dialogs, QWidget *parent)
    : TabFrame(parent), m_state(state), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("TFrameDiagnose"));
    // The window ends a drive itself on Stop, QT_TRANSLATE_NOOP("TFrameDiagnose", "Ende") and a
    // lost line.
    m_state.directDrive.ownerEnded = [this] { ShowDriveIdle(true); };
    m_paraWrite = std::make_unique<PacedTransfer>(m_state);
    BuildForm();
    UpdateDiagnosisButtons();
}

void TFrameDiagnose::BuildForm() {
    pnl_diag = Named(new QWidget(this), QStringLiteral("pnl_diag"));

    GroupBoxError = Named(new QGroupBox(tr("Error"), pnl_diag), QStringLiteral("GroupBoxError"));
    GroupBoxError->resize(ErrorGroupWidth, GroupHeight);
    for (size_t i = 0; i < pnl_err.size(); ++i) {
        const ErrorPanel &e = ErrorPanels[i];
        pnl_err[i] = MakePanel(GroupBoxError, QStringLiteral("pnl_err_%1").arg(e.number),
                               tr(e.hint), QRect(e.place, QSize(100, PanelHeight)), tr(e.caption));
        pnl_err[i]->setVisible(e.shown);
    }

    GroupBoxDIP = Named(new QGroupBox(tr("DIP Schalter"), pnl_diag), QStringLiteral("GroupBoxDIP"));
    GroupBoxDIP->resize(DipGroupWidth, GroupHeight);
    pnl_48pos = MakePanel(GroupBoxDIP, QStringLiteral("pnl_48pos"), tr("DIP 1"),
                          QRect(10, 22, 70, PanelHeight));
    pnl_dcc = MakePanel(GroupBoxDIP, QStringLiteral("pnl_dcc"), tr("DIP 2"),
                        QRect(10, 50, 70, PanelHeight));
    pnl_calc = MakePanel(GroupBoxDIP, QStringLiteral("pnl_calc"), tr("DIP 3"),
                         QRect(10, 78, 70, PanelHeight));

    BuildDirectDrive();

    Label6 = MakeLabel(pnl_diag, QStringLiteral("Label6"), tr("Sense Strom"),
                       QRect(CaptionLeft, 0, ValueLeft - CaptionLeft - 5, 16));
    pnl_strom_sense_v = MakePanel(pnl_diag, QStringLiteral("pnl_strom_sense_v"), QString(),
                                  QRect(ValueLeft, 0, 90, PanelHeight));
    pnl_strom_sense = MakePanel(pnl_diag, QStringLiteral("pnl_strom_sense"), QString(),
                                QRect(RawLeft, 0, 50, PanelHeight));
    lbl_strominfo = MakeLabel(pnl_diag, QStringLiteral("lbl_strominfo"), RSenseInfoText(15.0f),
                              QRect(InfoLeft, 0, 0, 16));
    // Wide enough for the largest resistor allowed with the most decimals shown.
    lbl_strominfo->setFixedWidth(
        lbl_strominfo->fontMetrics().horizontalAdvance(RSenseInfoText(8888.888f)) + 6);
    btn_rsense = MakeButton(pnl_diag, "btn_rsense", tr("R-Sense: Wert ändern"),
                            QRect(0, 0, 0, RowButtonHeight - 2));
    btn_rsense->setFixedWidth(
        std::max(140, btn_rsense->fontMetrics().horizontalAdvance(btn_rsense->text()) + 24));
    connect(btn_rsense, &QPushButton::clicked, this, &TFrameDiagnose::btn_rsenseClick);
    Image_i_sense = Named(new GraphPicture(pnl_diag), QStringLiteral("Image_i_sense"));

    Label7 = MakeLabel(pnl_diag, QStringLiteral("Label7"), tr("Sensor Spannung"),
                       QRect(CaptionLeft, 0, ValueLeft - CaptionLeft - 5, 16));
    pnl_strom_sensor_v = MakePanel(pnl_diag, QStringLiteral("pnl_strom_sensor_v"), QString(),
                                   QRect(ValueLeft, 0, 90, PanelHeight));
    pnl_strom_sensor = MakePanel(pnl_diag, QStringLiteral("pnl_strom_sensor"), QString(),
                                 QRect(RawLeft, 0, 50, PanelHeight));
    cbx_show_vraster = Named(new QCheckBox(tr("Volt-Raster anzeigen"), pnl_diag),
                             QStringLiteral("cbx_show_vraster"));
    cbx_show_vraster->setGeometry(InfoLeft, 0, 160, 20);
    cbx_show_vraster->setChecked(true);
    lbl_sensor_legende = MakeLabel(pnl_diag, QStringLiteral("lbl_sensor_legende"),
                                   tr("Schwellwerte: Blau = V_Mess // Rot = V_COUNT"),
                                   QRect(InfoLeft + 170, 0, 0, 16));
    lbl_sensor_legende->setFixedWidth(
        lbl_sensor_legende->fontMetrics().horizontalAdvance(lbl_sensor_legende->text()) + 6);
    Image_i_sensor = Named(new GraphPicture(pnl_diag), QStringLiteral("Image_i_sensor"));

    btn_run = MakeButton(pnl_diag, "btn_run", TextStartRecord(),
                         QRect(0, 0, RunButtonWidth, RowButtonHeight + 1));
    btn_run->setToolTip(tr("Startet Diagramm-Aufzeichnung"));
    connect(btn_run, &QPushButton::clicked, this, &TFrameDiagnose::btn_runClick);

    btn_save_record = MakeButton(pnl_diag, "btn_save_record", TextSaveRecording(),
                                 QRect(0, 0, 0, RowButtonHeight + 1));
    btn_save_record->setFixedWidth(
        std::max(RunButtonWidth,
                 btn_save_record->fontMetrics().horizontalAdvance(TextSaveRecording()) + 24));
    btn_save_record->setToolTip(
        tr("Speichert alle Messwerte seit \"Start Record\" als CSV-Datei und beide Diagramme als "
           "PNG-Bild daneben"));
    btn_save_record->setEnabled(false);
    connect(btn_save_record, &QPushButton::clicked, this, &TFrameDiagnose::btn_saveRecordClick);
}

void TFrameDiagnose::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    pnl_diag->setGeometry(rect()); // the panel fills the frame
    pnl_diagResize();
}

void TFrameDiagnose::pnl_diagResize() {
    ArrangeDiagnosisTab();
}

void TFrameDiagnose::ArrangeDiagnosisTab() {
    GroupBoxError->move(0, GroupTop);
    GroupBoxDIP->move(RightEdge(GroupBoxError) + GroupGap, GroupTop);
    GroupBoxDD->move(RightEdge(GroupBoxDIP) + GroupGap, GroupTop);
    const int a = GroupBoxError->y() + GroupBoxError->height();

    const int width = pnl_diag->width() - 15;
    const int h = (pnl_diag->height() - a - 10) / 2 - 50;
    Image_i_sense->setGeometry(0, a + 50, std::max(0, width), std::max(0, h));
    Image_i_sensor->setGeometry(0, a + 50 + h + 40, std::max(0, width), std::max(0, h));

    pnl_strom_sense_v->move(pnl_strom_sense_v->x(), a + 20);
    pnl_strom_sense->move(pnl_strom_sense->x(), a + 20);
    Label6->move(Label6->x(), a + 26);
    lbl_strominfo->move(lbl_strominfo->x(), Label6->y());
    btn_rsense->move(RightEdge(lbl_strominfo) + 15, Label6->y());
    btn_run->move(pnl_diag->width() - btn_run->width() - 15, a + 20);

    const int sensorRow = Image_i_sense->y() + h + 10;
    pnl_strom_sensor_v->move(pnl_strom_sensor_v->x(), sensorRow);
    pnl_strom_sensor->move(pnl_strom_sensor->x(), sensorRow);
    cbx_show_vraster->move(cbx_show_vraster->x(), sensorRow + 3);
    lbl_sensor_legende->move(lbl_sensor_legende->x(), cbx_show_vraster->y() + 1);
    Label7->move(Label7->x(), sensorRow + 6);
    // Under the record button, at the right edge of the sensor graph's row.
    btn_save_record->move(RightEdge(btn_run) - btn_save_record->width(), sensorRow);

    // A picture without height keeps a scale that draws nothing.
    m_senseScale = GraphScale(h);
    m_sensorScale = GraphScale(h);
}

// ---------------------------------------------------------------------------------------------
// Refresh

TFrameDiagnose::~TFrameDiagnose() {
    m_state.directDrive.ownerEnded = nullptr;
}

void TFrameDiagnose::SetRecording(bool on) {
    if (on && !m_recording) {
        // A new recording: the one before it goes.
        m_recorded.Clear();
        m_recordClock.start();
        btn_save_record->setEnabled(false);
    }
    m_recording = on;
    btn_run->setText(on ? TextStopRecord() : TextStartRecord());
}

bool TFrameDiagnose::recording() const {
    return m_recording;
}

QLabel *TFrameDiagnose::errorPanel(int number) const {
    const int index = number < 20 ? number - 10 : number - 20 + 8;
    return pnl_err[static_cast<size_t>(index)];
}

void TFrameDiagnose::SetPanel(QLabel *panel, const QColor &background, const QColor &text) {
    QPalette p = panel->palette();
    if (p.color(QPalette::Window) == background && p.color(QPalette::WindowText) == text) {
        return;
    }
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::WindowText, text);
    panel->setPalette(p);
}

void TFrameDiagnose::RefreshDiagnosis() {
    if (recording()) {
        m_recorded.Add(TakeMeasurement(m_state, static_cast<uint32_t>(m_recordClock.elapsed())));
        btn_save_record->setEnabled(true);
    }
    ShowDiagIndicators();
    ShowMeasurements();
    RefreshDirectDriveValues();
    DrawSenseGraph();
    DrawSensorGraph();
}

void TFrameDiagnose::ShowDiagIndicators() {
    const InfoTable &table = m_state.infoTable();
    const uint8_t status1 = table.data1(InfoTable::Status);
    const std::pair<QLabel *, Dip> dips[] = {
        {pnl_48pos, Dip::Positions48}, {pnl_dcc, Dip::Dcc}, {pnl_calc, Dip::Calc}};
    const bool statusKnown = m_state.StatusKnown();
    for (const auto &[panel, dip] : dips) {
        if (!statusKnown) {
            // No report on this connection (or the line went silent): the table's 0xFF is no
            // switch setting.
            panel->setText(QStringLiteral("?"));
            SetPanel(panel, Colors::UnknownPanel, Colors::UnknownText);
            continue;
        }
        const PanelLook look = DipLook(dip, status1);
        panel->setText(look.caption);
        SetPanel(panel, look.background, look.text);
    }

    const uint8_t errors1 = table.data1(InfoTable::Error);
    const uint8_t errors2 = table.data2(InfoTable::Error);
    const bool motorActive = m_state.Turning || m_state.directDrive.DirectDriveActive;
    const QColor buttonFace = palette().color(QPalette::Button);
    const bool errorsKnown = m_state.ErrorsKnown();
    for (const ErrorPanel &e : ErrorPanels) {
        // The error panels keep their captions (they name the error): unknown is the colour only.
        SetPanel(errorPanel(e.number),
                 errorsKnown ? ErrorPanelColour(e.number, errors1, errors2, motorActive, buttonFace)
                             : Colors::UnknownPanel,
                 errorsKnown ? Colors::Black : Colors::UnknownText);
    }
}

void TFrameDiagnose::ShowMeasurements() {
    const InfoTable &table = m_state.infoTable();
    const int sense = table.data2(InfoTable::Measure);
    const int sensor = table.data1(InfoTable::Measure);
    const float rSense = m_state.station.RSense;
    lbl_strominfo->setText(RSenseInfoText(rSense));
    if (!m_state.MeasureKnown()) {
        const QString unknown = QStringLiteral("?");
        for (QLabel *panel :
             {pnl_strom_sense, pnl_strom_sense_v, pnl_strom_sensor, pnl_strom_sensor_v}) {
            panel->setText(unknown);
        }
        return;
    }
    pnl_strom_sense->setText(QString::number(sense));
    pnl_strom_sense_v->setText(SenseCurrentText(sense, rSense));
    pnl_strom_sensor->setText(QString::number(sensor));
    pnl_strom_sensor_v->setText(SensorVoltageText(sensor));
}

int TFrameDiagnose::driveSpeedLeft() const {
    return m_state.directDrive.DriveSpeedLeft;
}

int TFrameDiagnose::driveSpeedRight() const {
    return m_state.directDrive.DriveSpeedRight;
}

int TFrameDiagnose::driveCurrentLeft() const {
    return m_state.directDrive.DriveCurrentLeft;
}

int TFrameDiagnose::driveCurrentRight() const {
    return m_state.directDrive.DriveCurrentRight;
}

DirectDrive &TFrameDiagnose::ChosenDrive() {
    DirectDrive &d = m_state.directDrive;
    d.Left = rad_links->isChecked();
    d.Regulated = cbx_use_lr->isChecked();
    return d;
}

void TFrameDiagnose::RefreshDirectDriveValues() {
    // While another tab is shown the values follow the bridge mirror; on this tab they are the
    // technician's own (stepped speeds, measured currents) until written.
    DirectDrive &d = m_state.directDrive;
    if (!isVisibleTo(window())) {
        d.TakeValues(m_state.bridge);
        // The speed the next start sends follows as well: a slow speed changed on the parameter
        // tab shows here before the drive starts with it.
        if (!d.DirectDriveActive) {
            const bool left = rad_links->isChecked();
            lbl_pwm->setText(SpeedText(left, left ? d.DriveSpeedLeft : d.DriveSpeedRight));
        }
    }
    edt_Speed_l->setText(QString::number(d.DriveSpeedLeft));
    edt_Speed_r->setText(QString::number(d.DriveSpeedRight));
    edt_strom_l->setText(QString::number(d.DriveCurrentLeft));
    edt_strom_r->setText(QString::number(d.DriveCurrentRight));
}

void TFrameDiagnose::DrawSenseGraph() {
    SenseHistory.Push(m_state.infoTable().data2(InfoTable::Measure));
    if (m_state.directDrive.DirectDriveActive) {
        ChosenDrive().current() = SenseHistory.MeanOfNewest();
    }
    if (!recording() || !m_senseScale.drawable()) {
        return;
    }
    std::optional<int> reference;
    if (!cbx_use_lr->isChecked()) {
        bool ok = false;
        const int c = (rad_links->isChecked() ? edt_strom_l : edt_strom_r)->text().toInt(&ok);
        if (ok) {
            reference = c;
        }
    }
    PaintSenseGraph(Image_i_sense->canvas(), Image_i_sense->width(), m_senseScale, SenseHistory,
                    reference);
    Image_i_sense->update();
    ++m_senseDraws;
}

void TFrameDiagnose::DrawSensorGraph() {
    SensorHistory.Push(m_state.infoTable().data1(InfoTable::Measure));
    if (!recording() || !m_sensorScale.drawable()) {
        return;
    }
    PaintSensorGraph(Image_i_sensor->canvas(), Image_i_sensor->width(), m_sensorScale,
                     SensorHistory, m_state.bridge.value(CellVMess),
                     m_state.bridge.value(CellVCount), cbx_show_vraster->isChecked(),
                     palette().color(QPalette::Button));
    Image_i_sensor->update();
    ++m_sensorDraws;
}

// ---------------------------------------------------------------------------------------------
// Buttons

void TFrameDiagnose::UpdateDiagnosisButtons() {
    const bool online = m_state.connection().online();
    if (!online) {
        if (recording()) {
            SetRecording(false);
        }
        // Nothing reaches the board any more: the drive ends here without a message.
        EndDirectDrive(false);
    }
    for (QWidget *w :
         std::initializer_list<QWidget *>{btn_run, btn_direct, btn_add5, btn_add1, btn_sub5,
                                          btn_sub1, cbx_use_lr, rad_links, rad_rechts}) {
        w->setEnabled(online);
    }
    btn_para_ok->setEnabled(online && !m_state.directDrive.DirectDriveActive);
}

void TFrameDiagnose::btn_runClick() {
    SetRecording(!recording());
}

void TFrameDiagnose::btn_rsenseClick() {
    const QLocale locale;
    const std::optional<QString> answer = m_dialogs.askText(
        tr("R-Sense definieren"), tr("Bitte den Widerstandswert (Ohm) für R-Sense eingeben:"),
        RSenseDefaultText(m_state.station.RSense, locale));
    const RSenseAnswer result = ParseRSenseAnswer(answer, locale);
    switch (result.kind) {
    case RSenseAnswer::Kind::Unchanged:
        return;
    case RSenseAnswer::Kind::Refused:
        m_dialogs.showWarning(InvalidInputText());
        return;
    case RSenseAnswer::Kind::OutOfRange:
        m_dialogs.showWarning(RSenseRangeText(*answer));
        return;
    case RSenseAnswer::Kind::Accepted:
        m_state.station.RSense = result.value;
        ShowMeasurements();
        return;
    }
}

QImage TFrameDiagnose::GraphsPicture() const {
    // The graphs' surfaces may be larger than the controls: only what is shown is taken.
    const QSize sense = Image_i_sense->size();
    const QSize sensor = Image_i_sensor->size();
    constexpr int Gap = 8;
    QImage picture(std::max({1, sense.width(), sensor.width()}),
                   std::max(1, sense.height() + Gap + sensor.height()), QImage::Format_RGB32);
    picture.fill(palette().color(QPalette::Window));
    QPainter painter(&picture);
    painter.drawImage(QPoint(0, 0), Image_i_sense->image(), QRect(QPoint(0, 0), sense));
    painter.drawImage(QPoint(0, sense.height() + Gap), Image_i_sensor->image(),
                      QRect(QPoint(0, 0), sensor));
    return picture;
}

void TFrameDiagnose::btn_saveRecordClick() {
    if (m_recorded.empty()) {
        return;
    }
    const QString path = m_dialogs.askSaveFileName(
        tr("CSV (*.csv);;Alle Dateien (*)"), QStringLiteral("csv"), QStringLiteral("diagnose.csv"));
    if (path.isEmpty()) {
        return;
    }
    const QString picturePath = PicturePath(path);
    QString error;
    // Both names are checked before either file is written, so that a refused picture leaves no
    // CSV file without it.
    if (!FileSafety::CanReplace(path, &error) || !FileSafety::CanReplace(picturePath, &error)) {
        m_dialogs.showError(tr("Aufzeichnung speichern"), error);
        return;
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    GraphsPicture().save(&buffer, "PNG");
    if (!FileSafety::WriteWhole(path, CsvBytes(m_recorded, m_state.station.RSense, QLocale()),
                                &error) ||
        !FileSafety::WriteWhole(picturePath, png, &error)) {
        m_dialogs.showError(tr("Aufzeichnung speichern"), error);
    }
}

// ---------------------------------------------------------------------------------------------
// Direct drive

void TFrameDiagnose::LoadDirectDriveValues() {
    const QScopedValueRollback<bool> loading(Loading, true);
    m_state.directDrive.TakeValues(m_state.bridge);
    rad_links->setChecked(true);
    lbl_pwm->setText(SpeedText(true, m_state.directDrive.DriveSpeedLeft));
}

void TFrameDiagnose::SendDirectDrive(bool urgent) {
    if (Loading) {
        return;
    }
    DirectDrive &d = ChosenDrive();
    const DriveMessage m = d.Message();
    lbl_pwm->setText(SpeedText(d.Left, d.speed()));
    if (urgent) {
        m_state.sendQueue.QueueUrgentMessage(m.command, m.speed, m.flags);
    } else {
        m_state.sendQueue.QueueMessage(m.command, m.speed, m.flags);
    }
}

void TFrameDiagnose::ShowDriveIdle(bool idle) {
    btn_direct->setText(idle ? TextStartDrive() : TextStopDrive());
    QPalette p = GroupBoxDD->palette();
    p.setColor(QPalette::Window, idle ? palette().color(QPalette::Button) : Colors::Yellow);
    GroupBoxDD->setPalette(p);
    btn_para_ok->setEnabled(idle && m_state.connection().online());
}

void TFrameDiagnose::btn_directClick() {
    if (Loading) {
        return;
    }
    DirectDrive &d = m_state.directDrive;
    if (d.DirectDriveActive) {
        d.DirectDriveActive = false;
        ShowDriveIdle(true);
        SendDirectDrive(true); // the stop must not be lost to a full queue
        return;
    }
    d.DirectDriveActive = true;
    ShowDriveIdle(false);
    if (!recording()) {
        SetRecording(true);
    }
    SendDirectDrive(false);
}

bool TFrameDiagnose::EndDirectDrive(bool sendStop) {
    DirectDrive &d = m_state.directDrive;
    if (!d.DirectDriveActive) {
        return false;
    }
    d.DirectDriveActive = false;
    ShowDriveIdle(true);
    if (sendStop) {
        SendDirectDrive(true);
    }
    return true;
}

void TFrameDiagnose::btn_addxClick(QObject *sender) {
    if (Loading) {
        return;
    }
    int delta = 0;
    if (sender == btn_sub5) {
        delta = -5;
    } else if (sender == btn_sub1) {
        delta = -1;
    } else if (sender == btn_add1) {
        delta = 1;
    } else if (sender == btn_add5) {
        delta = 5;
    }
    DirectDrive &d = ChosenDrive();
    d.speed() = ClampSpeed(d.speed() + delta);
    SendDirectDrive(false);
}

void TFrameDiagnose::rad_xClick() {
    SendDirectDrive(false);
}

void TFrameDiagnose::cbx_use_lrClick() {
    SendDirectDrive(false);
}

void TFrameDiagnose::btn_para_okClick() {
    if (m_state.transferSettings.verifying()) {
        // Four writes in a row through the pit board's relay: each one waits until the one
        // before it is read back, so that no write is lost to the relay.
        if (m_paraWrite->running()) {
            return;
        }
        std::vector<PacedTransfer::Request> writes;
        for (const CellWrite &w : m_state.directDrive.Writes()) {
            const int value = w.value & 0xFF;
            m_state.bridge.setValue(w.cell, value);
            m_state.bridge.setReceived(w.cell, false);
            writes.push_back(
                {PacedTransfer::Request::Kind::Write, Board::Buehne, w.cell, value, w.cell});
        }
        m_paraWrite->Start(
            PacedTransfer::Plan::ByAnswer(PacedTransfer::Mode::Write, std::move(writes)));
        return;
    }
    for (const CellWrite &w : m_state.directDrive.Writes()) {
        const int value = w.value & 0xFF;
        m_state.bridge.setValue(w.cell, value);
        m_state.bridge.setReceived(w.cell, false);
        m_state.sendQueue.QueueValuePair(Msg::WriteBridgeCell, w.cell, value);
    }
}
