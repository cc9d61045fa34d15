// The diagnosis tab's group "Direct Drive": its controls and what they connect to.

#include "gui/diagnosis/tframediagnose.h"

#include "gui/common/formtable.h"
#include "gui/diagnosis/diagnosisform.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace DiagnosisForm;

namespace {
constexpr const char *Context = "TFrameDiagnose"; // the tab's texts are translated in it
} // namespace

void TFrameDiagnose::BuildDirectDrive() {
    using namespace FormTable;
    // clang-format off
    BuildControls(pnl_diag, Context, {
        {Kind::GroupBox, "GroupBoxDD", {0, 0, DriveGroupWidth, GroupHeight},
         QT_TR_NOOP("Direct Drive"), nullptr, Into(GroupBoxDD)},
    });
    BuildControls(GroupBoxDD, Context, {
        {Kind::Label, "lbl_pwm", {10, 20, 250, 16}, QT_TR_NOOP("PWM (1..127)"), nullptr,
         Into(lbl_pwm)},
        {Kind::Button, "btn_sub5", {10, 40, 58, 25}, "-5", nullptr, Into(btn_sub5)},
        {Kind::Button, "btn_sub1", {72, 40, 58, 25}, "-1", nullptr, Into(btn_sub1)},
        {Kind::Button, "btn_add1", {140, 40, 58, 25}, "+1", nullptr, Into(btn_add1)},
        {Kind::Button, "btn_add5", {202, 40, 58, 25}, "+5", nullptr, Into(btn_add5)},
        {Kind::RadioButton, "rad_links", {10, 72, 70, 20}, QT_TR_NOOP("Links"), nullptr,
         Into(rad_links)},
        {Kind::RadioButton, "rad_rechts", {80, 72, 75, 20}, QT_TR_NOOP("Rechts"), nullptr,
         Into(rad_rechts)},
        {Kind::CheckBox, "cbx_use_lr", {155, 72, 115, 20}, QT_TR_NOOP("Regelung aktiv"), nullptr,
         Into(cbx_use_lr)},
        {Kind::Button, "btn_direct", {10, 104, 250, 32}, nullptr,
         QT_TR_NOOP("startet drehung mit der gewählten Geschwindigkeit"), Into(btn_direct)},
        {Kind::GroupBox, "GroupBoxLR", {280, 14, 270, 138},
         QT_TR_NOOP("Parameter Lastregelung "),
         QT_TR_NOOP("Ermitteln der Lastregel-Parameter bei langsamer Fahrt mittels Direct Drive"),
         Into(GroupBoxLR)},
    });
    BuildControls(GroupBoxLR, Context, {
        {Kind::Label, "", {10, 18, 250, 16}, QT_TR_NOOP("(ermittelt bei Langsamfahrt)"), nullptr,
         {}},
        {Kind::Label, "", {72, 36, 60, 16}, QT_TR_NOOP("Links"), nullptr, {}},
        {Kind::Label, "", {142, 36, 60, 16}, QT_TR_NOOP("Rechts"), nullptr, {}},
        {Kind::Label, "", {10, 56, 60, 16}, QT_TR_NOOP("Geschw."), nullptr, {}},
        {Kind::Label, "", {10, 82, 60, 16}, QT_TR_NOOP("Strom"), nullptr, {}},
        {Kind::LineEdit, "edt_Speed_l", {70, 52, 62, 22}, nullptr, nullptr, Into(edt_Speed_l)},
        {Kind::LineEdit, "edt_Speed_r", {140, 52, 62, 22}, nullptr, nullptr, Into(edt_Speed_r)},
        {Kind::LineEdit, "edt_strom_l", {70, 78, 62, 22}, nullptr, nullptr, Into(edt_strom_l)},
        {Kind::LineEdit, "edt_strom_r", {140, 78, 62, 22}, nullptr, nullptr, Into(edt_strom_r)},
        {Kind::Button, "btn_para_ok", {10, 106, 192, 24}, QT_TR_NOOP("Para ins EE schreiben"),
         QT_TR_NOOP("Die Parameter werden übernommen (Schreiben ins EEprom der Bühne)"),
         Into(btn_para_ok)},
    });
    // clang-format on
    ConnectDirectDrive();
    ShowDriveIdle(true);
}

void TFrameDiagnose::ConnectDirectDrive() {
    GroupBoxDD->setAutoFillBackground(true);
    for (QPushButton *b : {btn_sub5, btn_sub1, btn_add1, btn_add5}) {
        connect(b, &QPushButton::clicked, this, [this, b] { btn_addxClick(b); });
    }
    rad_links->setChecked(true);
    connect(rad_links, &QRadioButton::clicked, this, &TFrameDiagnose::rad_xClick);
    connect(rad_rechts, &QRadioButton::clicked, this, &TFrameDiagnose::rad_xClick);
    connect(cbx_use_lr, &QCheckBox::clicked, this, &TFrameDiagnose::cbx_use_lrClick);
    btn_direct->setText(TextStartDrive());
    btn_direct->setEnabled(false);
    connect(btn_direct, &QPushButton::clicked, this, &TFrameDiagnose::btn_directClick);
    for (QLineEdit *edit : {edt_Speed_l, edt_Speed_r, edt_strom_l, edt_strom_r}) {
        edit->setReadOnly(true); // rewritten from the fields on every tick
        // Shown, never typed in: on the window's colour like the tab's other panels, so that
        // they do not look like edits that take a value.
        QPalette look = edit->palette();
        look.setColor(QPalette::Base, look.color(QPalette::Window));
        edit->setPalette(look);
        edit->setFocusPolicy(Qt::NoFocus);
        edit->setToolTip(tr("nur Anzeige: vom Direct Drive ermittelt"));
    }
    btn_para_ok->setEnabled(false);
    connect(btn_para_ok, &QPushButton::clicked, this, &TFrameDiagnose::btn_para_okClick);
}

// ---------------------------------------------------------------------------------------------
// Layout
