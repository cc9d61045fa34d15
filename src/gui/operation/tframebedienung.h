#pragma once

#include "gui/common/tabframe.h"

#include <QRect>
#include <array>
#include <optional>

class Dialogs;
class SharedState;
class TurntablePicture;
class TurntableView;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

// The operation tab "Betrieb": drives the bridge by hand and shows its live state on panels and on
// a drawn turntable. It only queues messages and reads what the main window received.
class TFrameBedienung : public TabFrame {
    Q_OBJECT
public:
    static constexpr int StopTicks = 5;
    static QString TextLeft() { return tr("Links"); }
    static QString TextRight() { return tr("Rechts"); }
    static QString TextTurning() { return tr("dreht"); }
    static QString TextStanding() { return tr("steht"); }
    static inline const QString TextUnknown = QStringLiteral("?");

    TFrameBedienung(SharedState &state, Dialogs &dialogs, QWidget *parent = nullptr);

    void OnlineChanged() override { UpdateOperationButtons(); }
    void HousekeepingTick() override {
        ShowPositions();
        ShowStatus();
    }
    void Reload() override { HousekeepingTick(); }
    void ShowLevel(const LevelView &view) override;

    // Refreshes called by the main window's 200 ms tick and after settings were read.
    void ShowPositions();
    void ShowStatus();
    // Follows the main window's online state and the bridge's turning state.
    void UpdateOperationButtons();
    // The pit board's own target is shown only at the Debug level and in the default form.
    void SetExternalTargetVisible(bool visible);

    void ArrangeOperationTab();
    void DrawTurntable();

    int stopCountdown() const { return StopCountdown; }
    // How often the view was drawn (redraws happen only when something shown changed).
    int drawCount() const { return m_drawCount; }
    TurntablePicture *picture() const { return tt_Image1; }
    QPushButton *positionButton(int k) const;

public slots:
    void btn_leftClick();
    void btn_rightClick();
    void btn_left_endlosClick();
    void btn_right_endlosClick();
    void btn_halt_Click();
    void btn_pos_Click(QObject *sender);
    void btn_tt_goClick(int k);
    void cbx_Click(QCheckBox *sender);
    void cbx_zeige_sollpos_externClick();
    void pnl_bedienungResize();
    // The picture is drawn anew at the next ShowPositions, whether or not a position changed.
    bool redrawRequested() const { return RedrawRequest; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static constexpr int TrackPenWidth = 1; // the definition tab draws its tracks thicker
    static constexpr int SwitchPenWidth = 2;
    // The tool tip of a position button.
    static QString GoHint();

    void BuildForm();
    void BuildPositionGroup();
    // The position group's fonts, colours, symbols and connections.
    void DecoratePositionGroup();
    void BuildStatusGroups();
    void BuildManualSwitches();
    // Go to a target (code) turning left or right: the direction box is set first so that the
    // board gets the direction with the key code.
    void Drive(int code, bool left);
    void DrawBridge(bool target);
    void ShowTarget(bool shown);
    // The board's reported direction, as this tab counts (and as pnl_turn_dir shows it): with
    // reversed counting the board's "Rechts" is the tab's left.
    bool BoardTurnsLeft() const;
    void SetPanel(QLabel *panel, const QString &text, const QColor &background,
                  const QColor &foreground);
    // No believable report: every status panel unknown, and nothing armed by made-up state.
    void ShowStatusUnknown();

    SharedState &m_state;
    Dialogs &m_dialogs;
    int StopCountdown = 0;
    bool m_statusKnown = false; // what the drive buttons were last enabled for
    // Whether the target is shown: not during and after an endless turn, until a target is
    // chosen or driven to again.
    bool m_targetShown = true;
    // The picture needs drawing: the target shown or hidden, the pit board's target shown, or
    // the station data changed since it was drawn (m_drawnStation).
    bool RedrawRequest = false;
    int m_drawnStation = -1;
    // What the direction and turning panels show, kept apart from their texts: empty while they
    // show "?".
    std::optional<bool> m_shownLeft;
    std::optional<bool> m_shownTurning;
    int m_drawCount = 0;

    QWidget *pnl_bedienung = nullptr;
    TurntableView *m_view = nullptr; // the picture and its position buttons
    TurntablePicture *tt_Image1 = nullptr;
    QGroupBox *GroupBoxBedienung1 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *pnl_IstPosition_int = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *pnl_SollPosition_int = nullptr;
    QLabel *pnl_SollPosition_ext = nullptr;
    QCheckBox *cbx_zeige_sollpos_extern = nullptr;
    QPushButton *btn_left = nullptr;
    QPushButton *btn_right = nullptr;
    QPushButton *btn_left_endlos = nullptr;
    QPushButton *btn_right_endlos = nullptr;
    QPushButton *BitBtn_halt = nullptr;
    QPushButton *btn_pos_inc = nullptr;
    QPushButton *btn_pos_dec = nullptr;
    QPushButton *btn_pos_turn = nullptr;
    QGroupBox *GroupBoxBedienung2o = nullptr;
    QLabel *pnl_turn_active = nullptr;
    QLabel *pnl_turn_go = nullptr;
    QLabel *pnl_turn_dir = nullptr;
    QLabel *pnl_light_on = nullptr;
    QGroupBox *GroupBoxBedienung2m = nullptr;
    QLabel *pnl_rm_01 = nullptr;
    QLabel *pnl_rm_02 = nullptr;
    QLabel *pnl_rm_03 = nullptr;
    QLabel *pnl_hall = nullptr;
    QGroupBox *GroupBoxBedienung2u = nullptr;
    QCheckBox *cbx_turn_go = nullptr;
    QCheckBox *cbx_turn_dir = nullptr;
    QCheckBox *cbx_light = nullptr;
    QCheckBox *cbx_flash = nullptr;
    QCheckBox *cbx_hupe = nullptr;
    QCheckBox *cbx_horn = nullptr;
};
