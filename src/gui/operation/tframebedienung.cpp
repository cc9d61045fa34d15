#include "gui/operation/tframebedienung.h"

#include <QCoreApplication>

#include "comm/messages.h"
#include "comm/sharedstate.h"
#include "core/operation/operationview.h"
#include "core/settings/userlevel.h"
#include "gui/common/colors.h"
#include "gui/common/controls.h"
#include "gui/common/formtable.h"
#include "gui/common/named.h"
#include "gui/common/turntabledrawing.h"
#include "gui/common/turntablepicture.h"
#include "gui/common/turntableview.h"
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

QString PositionText(int zeroBased) {
    return QString::number(zeroBased + 1);
}
} // namespace

QString TFrameBedienung::GoHint() {
    return QCoreApplication::translate("TFrameBedienung", "Diese Position anfahren ");
}

TFrameBedienung::TFrameBedienung(SharedState &state, Dialogs &dialogs, QWidget *parent)
    : TabFrame(parent), m_state(state), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("TFrameBedienung"));
    BuildForm();
    DrawTurntable();
    UpdateOperationButtons();
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
        RedrawRequest = true;
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
    RedrawRequest = true;
}

// ---------------------------------------------------------------------------------------------
// Refresh

void TFrameBedienung::ShowPositions() {
    if (cbx_zeige_sollpos_extern->isChecked() != m_state.ShowExternalTarget) {
        cbx_zeige_sollpos_extern->setChecked(m_state.ShowExternalTarget);
        RedrawRequest = true;
    }
    if (m_drawnStation != m_state.stationRevision()) {
        m_drawnStation = m_state.stationRevision();
        RedrawRequest = true;
    }
    const QString target = m_targetShown ? PositionText(m_state.TargetPosition) : QString();
    const QString actual = PositionText(m_state.ActualPosition);
    const QString external =
        m_state.DigitalTarget >= 0 ? PositionText(m_state.DigitalTarget) : QString();
    if (pnl_SollPosition_int->text() == target && pnl_IstPosition_int->text() == actual &&
        pnl_SollPosition_ext->text() == external && !RedrawRequest) {
        return;
    }
    RedrawRequest = false;
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
    const bool online = m_state.connection().online();
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

void TFrameBedienung::ShowLevel(const LevelView &view) {
    SetExternalTargetVisible(view.extras);
}

void TFrameBedienung::SetExternalTargetVisible(bool visible) {
    pnl_SollPosition_ext->setVisible(visible);
    cbx_zeige_sollpos_extern->setVisible(visible);
}

// ---------------------------------------------------------------------------------------------
// The turntable view

QPushButton *TFrameBedienung::positionButton(int k) const {
    return m_view->button(k);
}

void TFrameBedienung::DrawTurntable() {
    ++m_drawCount;
    ArrangeOperationTab();
    const StationData &st = m_state.station;
    // A bridge step leaves tracks, numbers and buttons as they are: moving and raising 48
    // buttons would repaint every one of them with each step of a turning bridge.
    const TurntableView::Drawn drawn = m_view->Draw(st, m_state.PositionCount, [&](int i) {
        // The name, where the position has one of its own: in the tool tip and the picture.
        const QString &name = st.PositionName[static_cast<size_t>(i)];
        return TurntableDrawing::HasOwnName(i, name)
                   ? GoHint() + u'\n' + TurntableDrawing::PositionCaption(i, name)
                   : GoHint();
    });
    const TurntableGeometry &g = drawn.geometry;
    const bool layoutChanged = drawn.layoutChanged;
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
