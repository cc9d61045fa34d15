#include "gui/operation/tframebedienung.h"
#include <QCoreApplication>

#include "comm/messages.h"
#include "comm/sharedstate.h"
#include "core/operation/operationview.h"
#include "gui/common/colors.h"
#include "gui/common/controls.h"
#include "gui/common/formtable.h"
#include "gui/common/named.h"
#include "gui/common/turntabledrawing.h"
#include "gui/common/turntablepicture.h"
#include "gui/operation/driveicons.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegion>
#include <QSignalBlocker>

namespace {
constexpr const char *Context = "TFrameBedienung"; // the tab's texts are translated in it

QString GoHint() {
    return QCoreApplication::translate("TFrameBedienung", "Diese Position anfahren ");
}
constexpr int Group1Width = 316;
constexpr int SmallGroupWidth = 150;
constexpr int PositionButtonWidth = 20;
constexpr int PositionButtonHeight = 14;
constexpr int TrackPenWidth = 1; // the definition tab draws its tracks thicker
constexpr int SwitchPenWidth = 2;

QString PositionText(int zeroBased) {
    return QString::number(zeroBased + 1);
}
} // namespace

TFrameBedienung::TFrameBedienung(SharedState &state, Dialogs &dialogs, QWidget *parent)
    : TabFrame(parent), m_state(state), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("TFrameBedienung"));
    BuildForm();
    DrawTurntable();
    UpdateOperationButtons();
}

void TFrameBedienung::BuildForm() {
    pnl_bedienung = Named(new QWidget(this), QStringLiteral("pnl_bedienung"));

    tt_Image1 = Named(new TurntablePicture(pnl_bedienung), QStringLiteral("tt_Image1"));
    tt_Image1->setGeometry(8, 8, 400, 400);
    connect(
        tt_Image1, &TurntablePicture::redrawNeeded, this,
        [this] {
            m_drawnLayout.reset(); // a new surface: everything is drawn and shown anew
            DrawTurntable();
        },
        Qt::QueuedConnection);

    BuildPositionGroup();
    BuildStatusGroups();
    BuildManualSwitches();
    BuildPositionButtons();
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

void TFrameBedienung::BuildPositionButtons() {
    QFont small = font();
    small.setPixelSize(9);
    for (int k = 1; k <= StationData::MaxPositions; ++k) {
        auto *b = new QPushButton(QString::number(k), pnl_bedienung);
        b->setObjectName(QStringLiteral("PositionButton%1").arg(k));
        b->setFont(small);
        b->setFixedSize(PositionButtonWidth, PositionButtonHeight);
        b->setToolTip(GoHint());
        b->setFocusPolicy(Qt::NoFocus);
        b->hide();
        connect(b, &QPushButton::clicked, this, [this, k] { btn_tt_goClick(k); });
        PositionButtons[static_cast<size_t>(k - 1)] = b;
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

// ---------------------------------------------------------------------------------------------
// Drive commands

void TFrameBedienung::cbx_Click(QCheckBox *sender) {
    int command = Msg::FunctionGroup1;
    int mask = 0;
    if (sender == cbx_light) {
        mask = Msg::BitLight;
    } else if (sender == cbx_turn_dir) {
        mask = Msg::BitDirection;
    } else if (sender == cbx_turn_go) {
        mask = Msg::BitGo;
    } else {
        command = Msg::FunctionGroup2;
        mask = sender == cbx_horn   ? Msg::BitHorn
               : sender == cbx_hupe ? Msg::BitHupe
                                    : Msg::BitFlashing;
    }
    bool on = sender->isChecked();
    if (sender == cbx_turn_dir && m_state.station.ReverseCounting) {
        on = !on; // with reversed counting the board's left is the picture's right
    }
    if (sender == cbx_turn_go && !on) {
        // A stop must reach the board whatever else is waiting in the queue.
        m_state.sendQueue.QueueUrgentMessage(command, 0, mask);
    } else {
        m_state.sendQueue.QueueMessage(command, on ? mask : 0, mask);
    }
}

bool TFrameBedienung::BoardTurnsLeft() const {
    return m_shownLeft.value_or(false); // the panel shows the direction as the tab counts
}

void TFrameBedienung::Drive(int code, bool left) {
    const bool known = m_shownLeft.has_value();
    // When the board turns the other way than the box says, flip the box first, so that setting
    // it below is a change and the direction goes out again.
    if (known && BoardTurnsLeft() != left && cbx_turn_dir->isChecked() == left) {
        cbx_turn_dir->setChecked(!left);
    }
    m_state.sendQueue.QueueKeyCode(code);
    cbx_turn_dir->setChecked(left);
    cbx_turn_go->setChecked(true);
}

void TFrameBedienung::ShowTarget(bool shown) {
    if (m_targetShown != shown) {
        m_targetShown = shown;
        m_state.RedrawRequest = true;
    }
}

void TFrameBedienung::btn_leftClick() {
    ShowTarget(true);
    Drive(m_state.TargetPosition, true);
}

void TFrameBedienung::btn_rightClick() {
    ShowTarget(true);
    Drive(m_state.TargetPosition, false);
}

void TFrameBedienung::btn_left_endlosClick() {
    ShowTarget(false); // an endless turn has no target
    Drive(Msg::TurnEndless, true);
}

void TFrameBedienung::btn_right_endlosClick() {
    ShowTarget(false);
    Drive(Msg::TurnEndless, false);
}

void TFrameBedienung::btn_halt_Click() {
    if (m_shownTurning.value_or(false) && !cbx_turn_go->isChecked()) {
        cbx_turn_go->setChecked(true);
    }
    cbx_turn_go->setChecked(false);
}

void TFrameBedienung::btn_pos_Click(QObject *sender) {
    const int n = std::max(m_state.PositionCount, 1);
    int target = m_state.TargetPosition;
    if (sender == btn_pos_inc) {
        target += 1;
    } else if (sender == btn_pos_dec) {
        target -= 1;
    } else if (sender == btn_pos_turn) {
        target += n / 2;
    }
    if (target >= n) {
        target -= n;
    } else if (target < 0) {
        target += n;
    }
    m_state.TargetPosition = target;
    ShowTarget(true);
}

bool TFrameBedienung::eventFilter(QObject *watched, QEvent *event) {
    if (watched == GroupBoxBedienung1 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton &&
        GroupBoxBedienung1->rect().contains(
            static_cast<QMouseEvent *>(event)->position().toPoint())) {
        btn_pos_Click(GroupBoxBedienung1);
    }
    return QWidget::eventFilter(watched, event);
}

void TFrameBedienung::btn_tt_goClick(int k) {
    m_state.TargetPosition = k - 1;
    ShowTarget(true);
}

void TFrameBedienung::cbx_zeige_sollpos_externClick() {
    m_state.ShowExternalTarget = cbx_zeige_sollpos_extern->isChecked();
    m_state.RedrawRequest = true;
}

// ---------------------------------------------------------------------------------------------
// Refresh

void TFrameBedienung::ShowPositions() {
    if (cbx_zeige_sollpos_extern->isChecked() != m_state.ShowExternalTarget) {
        cbx_zeige_sollpos_extern->setChecked(m_state.ShowExternalTarget);
        m_state.RedrawRequest = true;
    }
    const QString target = m_targetShown ? PositionText(m_state.TargetPosition) : QString();
    const QString actual = PositionText(m_state.ActualPosition);
    const QString external =
        m_state.DigitalTarget >= 0 ? PositionText(m_state.DigitalTarget) : QString();
    if (pnl_SollPosition_int->text() == target && pnl_IstPosition_int->text() == actual &&
        pnl_SollPosition_ext->text() == external && !m_state.RedrawRequest) {
        return;
    }
    m_state.RedrawRequest = false;
    pnl_SollPosition_int->setText(target);
    pnl_IstPosition_int->setText(actual);
    DrawTurntable();
}

void TFrameBedienung::SetPanel(QLabel *panel, const QString &text, const QColor &background,
                               const QColor &foreground) {
    if (panel->text() != text) {
        panel->setText(text);
    }
    QPalette p = panel->palette();
    if (p.color(QPalette::Window) != background || p.color(QPalette::WindowText) != foreground) {
        p.setColor(QPalette::Window, background);
        p.setColor(QPalette::WindowText, foreground);
        panel->setPalette(p);
    }
}

void TFrameBedienung::ShowStatusUnknown() {
    for (QLabel *panel : {pnl_turn_go, pnl_turn_dir, pnl_light_on, pnl_rm_01, pnl_rm_02, pnl_rm_03,
                          pnl_hall, pnl_turn_active}) {
        SetPanel(panel, TextUnknown, Colors::UnknownPanel, Colors::UnknownText);
    }
    m_shownLeft.reset();
    m_shownTurning.reset();
    if (!m_state.Heard(InfoTable::Status)) {
        // A connection starts from nothing: no turning state and no pending withdrawal of go
        // carried over from the last one. While only the line is silent both are kept, so that
        // a drive that was running is still finished when the reports come back.
        m_state.Turning = false;
        StopCountdown = 0;
    }
}

void TFrameBedienung::ShowStatus() {
    const bool known = m_state.StatusKnown();
    if (known != m_statusKnown) {
        m_statusKnown = known;
        UpdateOperationButtons();
    }
    if (!known) {
        ShowStatusUnknown();
        pnl_SollPosition_ext->setText(
            m_state.DigitalTarget >= 0 ? PositionText(m_state.DigitalTarget) : QString());
        return;
    }
    const InfoTable &table = m_state.infoTable();
    const int d1 = table.data1(InfoTable::Status);
    const int d2 = table.data2(InfoTable::Status);
    const QColor face = palette().color(QPalette::Button);
    using namespace Colors;
    const bool go = d1 & Msg::StatusGo;
    SetPanel(pnl_turn_go, go ? QStringLiteral("Go") : tr("Stop"), go ? Lime : White, Black);
    // Shown as the picture counts, like the drive buttons: with reversed counting the board's
    // "right" turns the picture to the left.
    const bool left = bool(d1 & Msg::StatusLeft) != m_state.station.ReverseCounting;
    SetPanel(pnl_turn_dir, left ? TextLeft() : TextRight(), left ? Black : White,
             left ? White : Black);
    m_shownLeft = left;
    const bool light = d1 & Msg::StatusLight;
    SetPanel(pnl_light_on, light ? tr("Licht AN") : tr("Licht AUS"), light ? Yellow : face, Black);
    const QString taken = tr("belegt");
    const QString free = tr("frei");
    SetPanel(pnl_rm_01, d2 & Msg::StatusSensor1 ? taken : free,
             d2 & Msg::StatusSensor1 ? Red : Lime, Black);
    SetPanel(pnl_rm_02, d2 & Msg::StatusSensor2 ? taken : free,
             d2 & Msg::StatusSensor2 ? Red : Lime, Black);
    SetPanel(pnl_rm_03, d2 & Msg::StatusSensor3 ? taken : free,
             d2 & Msg::StatusSensor3 ? Red : Lime, Black);
    const bool hall = d2 & Msg::StatusHall;
    SetPanel(pnl_hall, hall ? tr("Hall aktiv") : tr("Hall"), hall ? Red : Lime, Black);
    const bool turning = d2 & Msg::StatusTurning;
    SetPanel(pnl_turn_active, turning ? TextTurning() : TextStanding(), turning ? Lime : White,
             Black);
    m_shownTurning = turning;

    if (turning) {
        if (!m_state.Turning) {
            m_state.Turning = true;
            UpdateOperationButtons();
        }
        StopCountdown = StopTicks;
    } else {
        if (m_state.Turning) {
            m_state.Turning = false;
            UpdateOperationButtons();
        }
        if (StopCountdown > 0) {
            --StopCountdown;
            if (StopCountdown == 0) {
                cbx_turn_go->setChecked(false);
            }
        }
    }
    pnl_SollPosition_ext->setText(m_state.DigitalTarget >= 0 ? PositionText(m_state.DigitalTarget)
                                                             : QString());
}

void TFrameBedienung::UpdateOperationButtons() {
    const bool online = m_state.Online;
    for (QCheckBox *box : {cbx_flash, cbx_horn, cbx_hupe, cbx_light}) {
        box->setEnabled(online);
    }
    cbx_turn_dir->setEnabled(false);
    cbx_turn_go->setEnabled(false);
    // Drives only on a line that reports a standing bridge: offline, before the first status
    // report and while the line is silent nothing would happen but the boxes ticking.
    const bool drive = online && m_state.StatusKnown() && !m_state.Turning;
    for (QPushButton *b : {btn_left, btn_right, btn_left_endlos, btn_right_endlos}) {
        b->setEnabled(drive);
    }
    if (!online && cbx_turn_go->isChecked()) {
        // The go box remembers what was last sent. Once the line is down the board's state is
        // unknown: a box left ticked would make the next drive after reconnecting send no go.
        const QSignalBlocker quiet(cbx_turn_go);
        cbx_turn_go->setChecked(false);
        StopCountdown = 0;
    }
}

void TFrameBedienung::SetExternalTargetVisible(bool visible) {
    pnl_SollPosition_ext->setVisible(visible);
    cbx_zeige_sollpos_extern->setVisible(visible);
}

// ---------------------------------------------------------------------------------------------
// The turntable view

TFrameBedienung::ViewLayout TFrameBedienung::CurrentLayout() {
    const StationData &st = m_state.station;
    ViewLayout layout;
    layout.picture = tt_Image1->geometry();
    layout.canvas = tt_Image1->canvas().size();
    layout.pixelRatio = tt_Image1->canvas().devicePixelRatio();
    layout.positions = m_state.PositionCount;
    layout.zeroOffset = st.ZeroOffset;
    layout.reversed = st.ReverseCounting;
    layout.switchLine = st.ShowSwitchLine;
    std::copy(st.PositionUsed.begin(), st.PositionUsed.end(), layout.used.begin());
    return layout;
}

void TFrameBedienung::DrawTurntable() {
    ++m_drawCount;
    ArrangeOperationTab();
    const StationData &st = m_state.station;
    const TurntableGeometry g(tt_Image1->width(), tt_Image1->height(), m_state.PositionCount,
                              st.ZeroOffset, st.ReverseCounting);
    const ViewLayout layout = CurrentLayout();
    // A bridge step leaves tracks, numbers and buttons as they are: moving and raising 48
    // buttons would repaint every one of them with each step of a turning bridge.
    const bool layoutChanged = layout != m_drawnLayout;
    m_drawnLayout = layout;
    QPainter painter(&tt_Image1->canvas());
    TurntableDrawing::DrawPit(painter, g);
    const QPoint origin = tt_Image1->pos();
    const QSize buttonSize(PositionButtonWidth, PositionButtonHeight);
    for (int i = 1; i <= g.positions(); ++i) {
        QPushButton *button = PositionButtons[static_cast<size_t>(i - 1)];
        // The name, where the position has one of its own: in the tool tip and the picture.
        const QString &name = st.PositionName[static_cast<size_t>(i)];
        const QString hint = TurntableDrawing::HasOwnName(i, name)
                                 ? GoHint() + u'\n' + TurntableDrawing::PositionCaption(i, name)
                                 : GoHint();
        if (button->toolTip() != hint) {
            button->setToolTip(hint);
        }
        if (st.PositionUsed[static_cast<size_t>(i)]) {
            TurntableDrawing::DrawTrack(painter, g, i, TrackPenWidth);
            TurntableDrawing::DrawName(painter, g, i, name);
            if (layoutChanged) {
                button->move(g.ButtonTopLeft(i, buttonSize, origin));
                button->show();
                button->raise();
            }
        } else {
            button->hide();
        }
    }
    // Buttons of positions beyond the turntable's count (after it was lowered) go away too.
    for (int i = g.positions() + 1; i <= StationData::MaxPositions; ++i) {
        PositionButtons[static_cast<size_t>(i - 1)]->hide();
    }
    if (st.ShowSwitchLine) {
        TurntableDrawing::DrawSwitchLine(painter, g, SwitchPenWidth);
    }
    painter.end();
    const bool external = cbx_zeige_sollpos_extern->isChecked() && m_state.DigitalTarget >= 0;
    if (m_targetShown || external) {
        DrawBridge(true); // the board's own target is shown as reported
    }
    DrawBridge(false);
    if (layoutChanged) {
        tt_Image1->update();
        return;
    }
    // Only the bridges moved, and both lie within the pit (the cabin reaches 70 pixels in from
    // the rim, which on a very small picture lies beyond the centre).
    const int r = std::max(g.Radius(TurntableGeometry::RingInner), BridgeCabinDepth) + 3;
    tt_Image1->update(
        QRegion(QRect(g.cx() - r, g.cy() - r, 2 * r + 1, 2 * r + 1), QRegion::Ellipse));
}

void TFrameBedienung::DrawBridge(bool target) {
    const StationData &st = m_state.station;
    const TurntableGeometry g(tt_Image1->width(), tt_Image1->height(), m_state.PositionCount,
                              st.ZeroOffset, st.ReverseCounting);
    int pos = m_state.ActualPosition;
    if (target) {
        const bool external = cbx_zeige_sollpos_extern->isChecked() && m_state.DigitalTarget >= 0;
        pos = external ? m_state.DigitalTarget : m_state.TargetPosition;
    }
    const BridgeShape b = BridgeGeometry(g, pos);
    QPainter painter(&tt_Image1->canvas());
    painter.setPen(QPen(Colors::Black, 1));
    painter.setBrush(target ? Colors::BridgeTarget : Colors::BridgeActual);
    const QPoint cabin[7] = {b.p[0], b.p[2], b.p[1], b.p[4], b.p[5], b.p[6], b.p[3]};
    painter.drawPolygon(cabin, 7);
    const QPoint deck[4] = {b.p[0], b.p[2], b.p[1], b.p[3]};
    painter.drawPolygon(deck, 4);
    painter.setPen(QPen(Colors::BridgeTrack, 1));
    painter.drawLine(b.trackFrom, b.trackTo);
}
