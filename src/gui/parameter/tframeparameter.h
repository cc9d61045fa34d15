#pragma once

#include "core/parameter/parametercatalogue.h"
#include "core/parameter/parametermodel.h"
#include "core/parameter/parametertransfer.h"

#include "gui/common/tabframe.h"

#include <QPalette>
#include <array>

class Dialogs;
class SharedState;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;

// The parameter tab "Parameter": the controller's speeds, times, thresholds, filters, currents,
// option bits and firmware versions of both boards, with their transfer and colour marks. The
// rules live in ParameterModel and ParameterTransfer; this class shows their state and forwards
// the user's actions.
class TFrameParameter : public TabFrame {
    Q_OBJECT
public:
    TFrameParameter(SharedState &state, Dialogs &dialogs, QWidget *parent = nullptr);

    void OnlineChanged() override;
    // A bridge cell that arrived shows at once.
    void HousekeepingTick() override;
    void Reload() override;
    void ConfigurationLoaded(const QList<ConfigFile::Content> &taken) override;

    // Refreshes after settings or a configuration file were read; ShowParameters also after
    // every received bridge cell.
    void HideParameterRows();
    // loaded: the values come from a configuration file just loaded; what it changed turns
    // yellow.
    void ShowParameters(bool loaded = false);
    void ArrangeParameterRows();
    // Follows the main window's online state.
    void UpdateParameterButtons();

    // True while any row or option bit is changed on the PC and not yet written (yellow).
    bool HasUnwrittenChanges() const override;

    const Parameter::ParameterModel &model() const { return m_model; }
    Parameter::ParameterTransfer &transfer() { return m_transfer; }
    const Parameter::ParameterTransfer &transfer() const { return m_transfer; }
    bool updating() const { return Updating; }

public slots:
    void ParameterEditChange(int slot);
    // Enter or leaving the edit: a value below the row's minimum is raised only now.
    void ParameterEditExit(int slot);
    void CheckBox_xClick(int group, int bit);
    void btn_read_valuesClick();
    void btn_write_valuesClick();
    void btn_defaultClick();
    void btn_alle_gelbClick();
    void Timer4Timer();
    void pnl_regResize();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct RowSlot {
        QLabel *name = nullptr;
        QLineEdit *edit = nullptr;
        QLabel *value = nullptr;
    };
    struct BitSlot {
        QLabel *label = nullptr;
        QCheckBox *box = nullptr;
        QLabel *panel = nullptr;
    };

    void BuildForm();
    void BuildRowSlots();
    void BuildOptionBits();
    void BuildLegend();
    void BuildButtons();
    // The boxes' widths from the widest texts, their rows, and where the boxes stand.
    void ArrangeBoxes();
    void ArrangeOptionBits();
    // The colour legend below the boxes and the buttons along the bottom right.
    void ArrangeLegendAndButtons();
    // Whether the option bit has a meaning (and so a label, box and panel that show).
    static bool BitShown(int group, int bit);
    void WriteCatalogue();
    void ShowRow(int row);
    void ShowGroup(int group);
    void ShowMarks();
    void PaintMark(QWidget *widget, Parameter::Mark mark, QPalette::ColorRole role);
    QGroupBox *BoxOf(Parameter::Box box) const;
    void ReportInvalid(int row);
    void ShowOutcome(int slot, const Parameter::ParameterModel::EditOutcome &outcome);
    // How far the transfer paced by the answers got, on the bar and in its text.
    void ShowTransferProgress();
    void EndTransfer();
    // The values and marks of the rows after a mirror changed elsewhere; texts and layout stay.
    void RefreshValues();
    bool MirrorsShown() const;
    void NoteMirrorsShown();
    void StartTransfer(PacedTransfer::Mode mode);

    SharedState &m_state;
    Dialogs &m_dialogs;
    Parameter::ParameterModel m_model;
    Parameter::ParameterTransfer m_transfer;
    bool Updating = false;
    bool m_reporting = false;          // the invalid-input box is up
    uint64_t m_bridgeAnswersShown = 0; // the mirrors' answers that ShowParameters took
    uint64_t m_pitAnswersShown = 0;
    // The mirrors' revisions the edits show; the tab's own stores count as shown.
    uint64_t m_bridgeShown = 0;
    uint64_t m_pitShown = 0;

    QWidget *pnl_reg = nullptr;
    std::array<QGroupBox *, 6> m_boxes{}; // speed, time, parameter, positions, versions, options
    std::array<RowSlot, Parameter::RowSlots> m_rows{};
    std::array<std::array<BitSlot, Parameter::Bits>, Parameter::GroupSlots> m_bits{};
    std::array<QLabel *, 7> m_legend{};
    QPushButton *btn_read_values = nullptr;
    QPushButton *btn_write_values = nullptr;
    QPushButton *btn_default = nullptr;
    QPushButton *btn_alle_gelb = nullptr;
    QProgressBar *ProgressBar3 = nullptr;
    QTimer *Timer4 = nullptr;
};
