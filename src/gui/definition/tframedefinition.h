#pragma once

#include "core/definition/addressrows.h"

#include "gui/common/tabframe.h"

#include <QRect>
#include <QSize>
#include <array>

class Dialogs;
class SharedState;
class TurntablePicture;
class TurntableView;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTimer;

// The track definition tab "Gleis-Definition / Adressen": which positions of the turntable are in
// use, how its picture is drawn, and the 28 accessory addresses of the pit board with their
// transfer. The rows' rules live in AddressRows; this frame shows them and forwards the user's
// actions.
class TFrameDefinition : public TabFrame {
    Q_OBJECT
public:
    TFrameDefinition(SharedState &state, Dialogs &dialogs, QWidget *parent = nullptr);

    void OnlineChanged() override;
    // A changed pit mirror wakes the tab's timer, which takes the rows from it.
    void HousekeepingTick() override { WakeTimer5(); }
    void Reload() override {
        ShowDefinition();
        DrawTurntable();
    }
    void ConfigurationLoaded(const QList<ConfigFile::Content> &taken) override {
        ShowDefinition(taken.contains(ConfigFile::Content::Addresses));
        DrawTurntable();
    }

    // Refreshes after settings or a configuration file were read; loaded: the addresses come
    // from a configuration file just loaded, and what it changed is to be written.
    void ShowDefinition(bool loaded = false);
    void DrawTurntable();
    // Follows the main window's online state.
    void UpdateDefinitionButtons();
    void ArrangeDefinitionTab();
    // The rows as they are, into the edits and status panels. The edit of editedRow is rewritten
    // even while the user types in it.
    void ShowAddressRows(int editedRow = -1);
    void ShowPositionLabels();

    // True while an address row is changed on the PC and not yet written.
    bool HasUnwrittenChanges() const override;

    AddressRows &rows() { return m_rows; }
    const AddressRows &rows() const { return m_rows; }
    TurntablePicture *picture() const { return tt_Image1; }
    QTimer *timer() const { return Timer5; }
    // Timer5 runs only while a transfer runs or the rows must follow a changed pit mirror. Starts
    // it when that has come up.
    void WakeTimer5();

public slots:
    void pnl_definitionResize();
    void UpDown_OffsetClick();
    void cbx_umdrehenClick();
    void cbx_umschaltlinieClick();
    void cbx_use_mmClick();
    void btn_allClick();
    void bnt_noneClick();
    void PositionButtonClick(int position);
    // A right click on a position button: asks for the position's name.
    void RenamePosition(int position);
    void edt_adrChange(int row);
    void btn_rgClick(int row);
    void btn_read_adrClick();
    void btn_write_adrClick();
    void Timer5Timer();
    void ComboBox_adrChange();
    void btn_adr_goClick();
    void btn_undoClick();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Row {
        QLabel *label = nullptr;
        QString hint; // the label's own tool tip
        QLineEdit *edit = nullptr;
        QLabel *panel = nullptr;
        QPushButton *rg = nullptr;
    };

    void BuildForm();
    void BuildRows();
    void ShowRowState(int row);
    // Marks the row's label and names the problem in the edit's tool tip when its address lies
    // out of range; clears both otherwise.
    void ShowRangeMark(int row);
    // The row's label: marked when the row's write was not read back as written, or when its
    // address lies out of range (ShowRangeMark), plain otherwise.
    void ShowLabelMark(int row);
    void ReportProblems(const QList<AddressRows::Problem> &problems);
    // How far the transfer paced by the answers got, on the bar and in its text.
    void ShowTransferProgress();
    void EndTransfer();
    void StartTransfer(bool read);
    int PositionCount() const;

    SharedState &m_state;
    Dialogs &m_dialogs;
    AddressRows m_rows;
    bool Updating = false;
    bool m_transferShown = false; // the buttons show a running transfer
    // The rows' states the panels show.
    std::array<int, AddressRows::Rows> m_statesShown{};
    // Whether a row's label shows that its address lies out of range.
    std::array<bool, AddressRows::Rows> m_rangeShown{};
    // The last text of each address edit that was a number or on its way to one: a letter typed
    // takes the edit back to it.
    std::array<QString, AddressRows::Rows> m_validText{};

    QWidget *pnl_definition = nullptr;
    TurntableView *m_view = nullptr; // the picture and its position buttons
    TurntablePicture *tt_Image1 = nullptr;
    QGroupBox *GroupBox_Darstellung = nullptr;
    QLabel *Label1 = nullptr;
    QSpinBox *UpDown_Offset = nullptr;
    QCheckBox *cbx_umschaltlinie = nullptr;
    QCheckBox *cbx_umdrehen = nullptr;
    QPushButton *btn_all = nullptr;
    QPushButton *bnt_none = nullptr;
    QGroupBox *GroupBox_Adressen = nullptr;
    QPushButton *btn_write_adr = nullptr;
    QPushButton *btn_read_adr = nullptr;
    QProgressBar *ProgressBar3 = nullptr;
    QComboBox *ComboBox_adr = nullptr;
    QPushButton *btn_adr_go = nullptr;
    QPushButton *btn_undo = nullptr;
    QCheckBox *cbx_use_mm = nullptr;
    QTimer *Timer5 = nullptr;
    std::array<Row, AddressRows::Rows> m_rowWidgets{};
};
