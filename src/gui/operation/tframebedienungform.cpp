// The operation tab's form: the turntable picture with its position buttons, the drive group,
// and the status groups of the bridge, the feedback contacts and the pit board.

#include "gui/operation/tframebedienung.h"

#include "comm/sharedstate.h"

#include "gui/common/colors.h"
#include "gui/common/controls.h"
#include "gui/common/formtable.h"
#include "gui/common/named.h"
#include "gui/common/turntablepicture.h"
#include "gui/common/turntableview.h"
#include "gui/operation/driveicons.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {
constexpr const char *Context = "TFrameBedienung"; // the tab's texts are translated in it
constexpr int Group1Width = 316;
constexpr int SmallGroupWidth = 150;
} // namespace

void TFrameBedienung::BuildForm() {
    pnl_bedienung = Named(new QWidget(this), QStringLiteral("pnl_bedienung"));

    m_view = new TurntableView(pnl_bedienung, TurntableView::Buttons::PositionsInUse,
                               {TrackPenWidth, SwitchPenWidth});
    tt_Image1 = m_view->picture();
    tt_Image1->setGeometry(8, 8, 400, 400);
    connect(
        tt_Image1, &TurntablePicture::redrawNeeded, this,
        [this] {
            m_view->Forget(); // a new surface: everything is drawn and shown anew
            DrawTurntable();
        },
        Qt::QueuedConnection);
    connect(m_view, &TurntableView::positionClicked, this, &TFrameBedienung::btn_tt_goClick);

    BuildPositionGroup();
    BuildStatusGroups();
    BuildManualSwitches();
}

void TFrameBedienung::BuildPositionGroup() {
    using namespace FormTable;
    // clang-format off
    BuildControls(pnl_bedienung, Context, {
        {Kind::GroupBox, "GroupBoxBedienung1", {420, 8, Group1Width, 300},
         QT_TR_NOOP("Position Bühne"), nullptr, Into(GroupBoxBedienung1)},
    });
    BuildControls(GroupBoxBedienung1, Context, {
        {Kind::Label, "Label4", {10, 20, 90, 16}, QT_TR_NOOP("Ist-Position"), nullptr,
         Into(Label4)},
        {Kind::Label, "Label2", {104, 20, 90, 16}, QT_TR_NOOP("Ziel-Position"), nullptr,
         Into(Label2)},
        {Kind::Panel, "pnl_IstPosition_int", {10, 38, 86, 42}, nullptr, nullptr,
         Into(pnl_IstPosition_int)},
        {Kind::Panel, "pnl_SollPosition_int", {104, 38, 86, 42}, nullptr, nullptr,
         Into(pnl_SollPosition_int)},
        {Kind::Panel, "pnl_SollPosition_ext", {198, 48, 40, 26}, nullptr,
         QT_TR_NOOP("Ziel-Position der Grube (z.B. Ausgelöst durch digitale Befehle)"),
         Into(pnl_SollPosition_ext)},
        {Kind::CheckBox, "cbx_zeige_sollpos_extern", {8, 86, Group1Width - 12, 20},
         QT_TR_NOOP("zeige Ziel-Position erzeugt durch Digital-Befehl"),
         QT_TR_NOOP("In der Grafik wird als Zielposition der Interne Wert \n"
                    "der Gruben-Platine dargestellt\n"
                    "(z.B. hervorgerufen durch Digitle Befehle)"),
         Into(cbx_zeige_sollpos_extern)},
        {Kind::Button, "btn_left", {10, 112, 86, 62}, QT_TR_NOOP("zum Ziel\ndrehen\nLinks"),
         nullptr, Into(btn_left)},
        {Kind::Button, "BitBtn_halt", {115, 112, 86, 62}, QT_TR_NOOP("Stopp\nDrehung"),
         QT_TR_NOOP("Bühne stoppt an nächsten Raster"), Into(BitBtn_halt)},
        {Kind::Button, "btn_right", {220, 112, 86, 62}, QT_TR_NOOP("zum Ziel\ndrehen\nRechts"),
         nullptr, Into(btn_right)},
        {Kind::Button, "btn_left_endlos", {10, 180, 86, 48}, QT_TR_NOOP("Endlos\nLinks"),
         nullptr, Into(btn_left_endlos)},
        {Kind::Button, "btn_right_endlos", {220, 180, 86, 48}, QT_TR_NOOP("Endlos\nRechts"),
         nullptr, Into(btn_right_endlos)},
        {Kind::Button, "btn_pos_dec", {10, 240, 86, 44}, QT_TR_NOOP("Ziel-Position\n - 1 "),
         nullptr, Into(btn_pos_dec)},
        {Kind::Button, "btn_pos_turn", {115, 240, 86, 44}, QT_TR_NOOP("Turn\n 180° "),
         nullptr, Into(btn_pos_turn)},
        {Kind::Button, "btn_pos_inc", {220, 240, 86, 44}, QT_TR_NOOP("Ziel-Position\n + 1 "),
         nullptr, Into(btn_pos_inc)},
    });
    // clang-format on
    DecoratePositionGroup();
}

void TFrameBedienung::DecoratePositionGroup() {
    GroupBoxBedienung1->installEventFilter(this); // its own click runs btn_pos_Click
    QFont big = font();
    big.setBold(true);
    big.setPixelSize(27);
    pnl_IstPosition_int->setFont(big);
    pnl_SollPosition_int->setFont(big);
    QPalette target = pnl_SollPosition_int->palette();
    target.setColor(QPalette::Window, Colors::BridgeTarget);
    target.setColor(QPalette::WindowText, Colors::Black);
    pnl_SollPosition_int->setPalette(target);
    const std::pair<QPushButton *, DriveIcons::Symbol> symbols[] = {
        {btn_left, DriveIcons::Symbol::Left},
        {BitBtn_halt, DriveIcons::Symbol::Halt},
        {btn_right, DriveIcons::Symbol::Right},
        {btn_left_endlos, DriveIcons::Symbol::EndlessLeft},
        {btn_right_endlos, DriveIcons::Symbol::EndlessRight}};
    for (const auto &[button, symbol] : symbols) {
        button->setIcon(DriveIcons::Icon(symbol));
    }

    connect(cbx_zeige_sollpos_extern, &QCheckBox::clicked, this,
            &TFrameBedienung::cbx_zeige_sollpos_externClick);
    connect(btn_left, &QPushButton::clicked, this, &TFrameBedienung::btn_leftClick);
    connect(btn_right, &QPushButton::clicked, this, &TFrameBedienung::btn_rightClick);
    connect(btn_left_endlos, &QPushButton::clicked, this, &TFrameBedienung::btn_left_endlosClick);
    connect(btn_right_endlos, &QPushButton::clicked, this, &TFrameBedienung::btn_right_endlosClick);
    connect(BitBtn_halt, &QPushButton::clicked, this, &TFrameBedienung::btn_halt_Click);
    for (QPushButton *b : {btn_pos_inc, btn_pos_dec, btn_pos_turn}) {
        connect(b, &QPushButton::clicked, this, [this, b] { btn_pos_Click(b); });
    }
}

void TFrameBedienung::BuildStatusGroups() {
    using namespace FormTable;
    // clang-format off
    BuildControls(pnl_bedienung, Context, {
        {Kind::GroupBox, "GroupBoxBedienung2o", {715, 8, SmallGroupWidth, 145},
         QT_TR_NOOP(" Bühne"), nullptr, Into(GroupBoxBedienung2o)},
    });
    BuildControls(GroupBoxBedienung2o, Context, {
        {Kind::Panel, "pnl_turn_active", {10, 22, 130, 26}, nullptr, QT_TR_NOOP("Bühne dreht"),
         Into(pnl_turn_active)},
        {Kind::Panel, "pnl_turn_go", {10, 52, 130, 26}, nullptr,
         QT_TR_NOOP("Befehl an Bühne zum Drehen"), Into(pnl_turn_go)},
        {Kind::Panel, "pnl_turn_dir", {10, 82, 130, 26}, nullptr,
         QT_TR_NOOP("Drehrichtung der Bühne"), Into(pnl_turn_dir)},
        {Kind::Panel, "pnl_light_on", {10, 112, 130, 26}, nullptr,
         QT_TR_NOOP("Hausbeleuchtung: Status der Bühne"), Into(pnl_light_on)},
    });
    BuildControls(pnl_bedienung, Context, {
        {Kind::GroupBox, "GroupBoxBedienung2m", {715, 160, SmallGroupWidth, 150},
         QT_TR_NOOP("Rückmelder"), nullptr, Into(GroupBoxBedienung2m)},
    });
    BuildControls(GroupBoxBedienung2m, Context, {
        {Kind::Panel, "pnl_rm_01", {10, 22, 130, 26}, nullptr, QT_TR_NOOP("Status Rückmelder 1"),
         Into(pnl_rm_01)},
        {Kind::Panel, "pnl_rm_02", {10, 52, 130, 26}, nullptr, QT_TR_NOOP("Status Rückmelder 2"),
         Into(pnl_rm_02)},
        {Kind::Panel, "pnl_rm_03", {10, 82, 130, 26}, nullptr, QT_TR_NOOP("Status Rückmelder 3"),
         Into(pnl_rm_03)},
        {Kind::Panel, "pnl_hall", {10, 112, 130, 26}, nullptr, QT_TR_NOOP("Status Hall-Sensor"),
         Into(pnl_hall)},
    });
    // clang-format on
}

void TFrameBedienung::BuildManualSwitches() {
    using namespace FormTable;
    // clang-format off
    BuildControls(pnl_bedienung, Context, {
        {Kind::GroupBox, "GroupBoxBedienung2u", {715, 320, SmallGroupWidth, 170}, nullptr,
         nullptr, Into(GroupBoxBedienung2u)},
    });
    BuildControls(GroupBoxBedienung2u, Context, {
        {Kind::CheckBox, "cbx_turn_go", {10, 14, 130, 22}, "Go", nullptr, Into(cbx_turn_go)},
        {Kind::CheckBox, "cbx_turn_dir", {10, 40, 130, 22}, "DIR", nullptr, Into(cbx_turn_dir)},
        {Kind::CheckBox, "cbx_light", {10, 66, 130, 22}, QT_TR_NOOP("Licht"),
         QT_TR_NOOP("manuelles Schalten Licht"), Into(cbx_light)},
        {Kind::CheckBox, "cbx_flash", {10, 92, 130, 22}, QT_TR_NOOP("Blinklicht"),
         QT_TR_NOOP("manuelles Betätigen Blinklicht"), Into(cbx_flash)},
        {Kind::CheckBox, "cbx_hupe", {10, 118, 130, 22}, QT_TR_NOOP("Hupe"),
         QT_TR_NOOP("manuelles Betätigen Hupe"), Into(cbx_hupe)},
        {Kind::CheckBox, "cbx_horn", {10, 144, 130, 22}, QT_TR_NOOP("Horn"),
         QT_TR_NOOP("manuelles Betätigen Horn"), Into(cbx_horn)},
    });
    // clang-format on
    for (QCheckBox *box : {cbx_turn_go, cbx_turn_dir, cbx_light, cbx_flash, cbx_hupe, cbx_horn}) {
        // A state set by the program sends only when it really changes: toggled, not clicked.
        connect(box, &QCheckBox::toggled, this, [this, box] { cbx_Click(box); });
    }
}

void TFrameBedienung::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    pnl_bedienungResize();
}

void TFrameBedienung::pnl_bedienungResize() {
    ArrangeOperationTab();
    DrawTurntable();
}

void TFrameBedienung::ArrangeOperationTab() {
    pnl_bedienung->setGeometry(rect()); // the panel fills the frame
    const int w = pnl_bedienung->width();
    const int h = pnl_bedienung->height();
    const int side = std::max(
        40, std::min(w - GroupBoxBedienung1->width() - GroupBoxBedienung2o->width() - 30, h - 15));
    tt_Image1->resize(side, side);
    GroupBoxBedienung1->move(side + 15, GroupBoxBedienung1->y());
    const int left = GroupBoxBedienung1->x() + GroupBoxBedienung1->width() + 5;
    GroupBoxBedienung2o->move(left, 8);
    GroupBoxBedienung2m->move(left, 160);
    GroupBoxBedienung2u->move(left, 320);
}
