// The diagnosis tab's group "Direct Drive": its controls and what they connect to.

#include "gui/diagnosis/tframediagnose.h"

#include "gui/diagnosis/diagnosisform.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace DiagnosisForm;

void TFrameDiagnose::BuildDirectDrive() {
    GroupBoxDD = Named(new QGroupBox(tr("Direct Drive"), pnl_diag), QStringLiteral("GroupBoxDD"));
    GroupBoxDD->resize(DriveGroupWidth, GroupHeight);
    GroupBoxDD->setAutoFillBackground(true);
    QWidget *g = GroupBoxDD;

    lbl_pwm = MakeLabel(g, QStringLiteral("lbl_pwm"), tr("PWM (1..127)"), QRect(10, 20, 250, 16));
    btn_sub5 = MakeButton(g, "btn_sub5", QStringLiteral("-5"), QRect(10, 40, 58, 25));
    btn_sub1 = MakeButton(g, "btn_sub1", QStringLiteral("-1"), QRect(72, 40, 58, 25));
    btn_add1 = MakeButton(g, "btn_add1", QStringLiteral("+1"), QRect(140, 40, 58, 25));
    btn_add5 = MakeButton(g, "btn_add5", QStringLiteral("+5"), QRect(202, 40, 58, 25));
    for (QPushButton *b : {btn_sub5, btn_sub1, btn_add1, btn_add5}) {
        connect(b, &QPushButton::clicked, this, [this, b] { btn_addxClick(b); });
    }
    rad_links = Named(new QRadioButton(tr("Links"), g), QStringLiteral("rad_links"));
    rad_links->setGeometry(10, 72, 70, 20);
    rad_links->setChecked(true);
    rad_rechts = Named(new QRadioButton(tr("Rechts"), g), QStringLiteral("rad_rechts"));
    rad_rechts->setGeometry(80, 72, 75, 20);
    connect(rad_links, &QRadioButton::clicked, this, &TFrameDiagnose::rad_xClick);
    connect(rad_rechts, &QRadioButton::clicked, this, &TFrameDiagnose::rad_xClick);
    cbx_use_lr = Named(new QCheckBox(tr("Regelung aktiv"), g), QStringLiteral("cbx_use_lr"));
    cbx_use_lr->setGeometry(155, 72, 115, 20);
    connect(cbx_use_lr, &QCheckBox::clicked, this, &TFrameDiagnose::cbx_use_lrClick);
    btn_direct = MakeButton(g, "btn_direct", TextStartDrive(), QRect(10, 104, 250, 32));
    btn_direct->setToolTip(tr("startet drehung mit der gewählten Geschwindigkeit"));
    btn_direct->setEnabled(false);
    connect(btn_direct, &QPushButton::clicked, this, &TFrameDiagnose::btn_directClick);

    GroupBoxLR =
        Named(new QGroupBox(tr("Parameter Lastregelung "), g), QStringLiteral("GroupBoxLR"));
    GroupBoxLR->setToolTip(
        tr("Ermitteln der Lastregel-Parameter bei langsamer Fahrt mittels Direct Drive"));
    GroupBoxLR->setGeometry(280, 14, 270, 138);
    QWidget *p = GroupBoxLR;
    MakeLabel(p, QString(), tr("(ermittelt bei Langsamfahrt)"), QRect(10, 18, 250, 16));
    MakeLabel(p, QString(), tr("Links"), QRect(72, 36, 60, 16));
    MakeLabel(p, QString(), tr("Rechts"), QRect(142, 36, 60, 16));
    MakeLabel(p, QString(), tr("Geschw."), QRect(10, 56, 60, 16));
    MakeLabel(p, QString(), tr("Strom"), QRect(10, 82, 60, 16));
    auto makeEdit = [p](const char *name, QRect geometry) {
        auto *edit = Named(new QLineEdit(p), QLatin1String(name));
        edit->setGeometry(geometry);
        edit->setReadOnly(true); // rewritten from the fields on every tick
        // Shown, never typed in: on the window's colour like the tab's other panels, so that
        // they do not look like edits that take a value.
        QPalette look = edit->palette();
        look.setColor(QPalette::Base, look.color(QPalette::Window));
        edit->setPalette(look);
        edit->setFocusPolicy(Qt::NoFocus);
        edit->setToolTip(tr("nur Anzeige: vom Direct Drive ermittelt"));
        return edit;
    };
    edt_Speed_l = makeEdit("edt_Speed_l", QRect(70, 52, 62, 22));
    edt_Speed_r = makeEdit("edt_Speed_r", QRect(140, 52, 62, 22));
    edt_strom_l = makeEdit("edt_strom_l", QRect(70, 78, 62, 22));
    edt_strom_r = makeEdit("edt_strom_r", QRect(140, 78, 62, 22));
    btn_para_ok =
        MakeButton(p, "btn_para_ok", tr("Para ins EE schreiben"), QRect(10, 106, 192, 24));
    btn_para_ok->setToolTip(tr("Die Parameter werden übernommen (Schreiben ins EEprom der Bühne)"));
    btn_para_ok->setEnabled(false);
    connect(btn_para_ok, &QPushButton::clicked, this, &TFrameDiagnose::btn_para_okClick);

    ShowDriveIdle(true);
}

// ---------------------------------------------------------------------------------------------
// Layout
