#include "gui/parameter/tframeparameter.h"

#include "comm/sharedstate.h"
#include "gui/common/colors.h"
#include "gui/common/controls.h"
#include "gui/common/dialogs.h"
#include "gui/common/named.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTimer>
#include <algorithm>

using namespace Parameter;

namespace {
QString ResetQuestion() {
    return QCoreApplication::translate(
        "TFrameParameter",
        "Rücksetzen auf Vorgabe-Werte\nDadurch gehen alle Einstellungen verloren!\n"
        "DIRECT DRIVE muss dann zur Ermittlung der\nRegelungsparameter wieder "
        "ausgeführt werden!");
}

size_t At(int i) {
    return static_cast<size_t>(i);
}
} // namespace

bool TFrameParameter::BitShown(int group, int bit) {
    return group < GroupCount && Groups()[At(group)].labels[At(bit)][0] != '\0';
}

TFrameParameter::TFrameParameter(SharedState &state, Dialogs &dialogs, QWidget *parent)
    : TabFrame(parent), m_state(state), m_dialogs(dialogs), m_model(state), m_transfer(m_model) {
    setObjectName(QStringLiteral("TFrameParameter"));
    BuildForm();
    Timer4 = Named(new QTimer(this), "Timer4");
    connect(Timer4, &QTimer::timeout, this, &TFrameParameter::Timer4Timer);
    // A transfer paced by the answers runs on the engine's timer; Timer4 ticks one at fixed
    // pacing.
    connect(&m_transfer.engine(), &PacedTransfer::progressed, this, [this] {
        ShowTransferProgress();
        ShowMarks();
    });
    connect(&m_transfer.engine(), &PacedTransfer::finished, this, [this] {
        ShowTransferProgress();
        EndTransfer();
    });
    btn_read_values->setEnabled(false);
    btn_write_values->setEnabled(false);
    ArrangeParameterRows();
}

// ---------------------------------------------------------------------------------------------
// Showing

void TFrameParameter::HideParameterRows() {
    const QScopedValueRollback<bool> updating(Updating, true);
    pnl_reg->show();
    for (RowSlot &s : m_rows) {
        s.name->hide();
        s.edit->hide();
    }
    m_model.Hide();
}

void TFrameParameter::WriteCatalogue() {
    for (int k = 0; k < RowCount; ++k) {
        const ParameterRow &r = Rows()[At(k)];
        m_rows[At(k)].name->setText(Parameter::Text(r.name));
        m_rows[At(k)].name->adjustSize();
        m_rows[At(k)].edit->setToolTip(Parameter::Text(r.hint));
    }
    for (int g = 0; g < GroupCount; ++g) {
        for (int b = 0; b < Bits; ++b) {
            const BitSlot &s = m_bits[At(g)][At(b)];
            s.label->setText(Parameter::Text(Groups()[At(g)].labels[At(b)]));
            s.label->adjustSize();
            s.box->setToolTip(Parameter::Text(Groups()[At(g)].hints[At(b)]));
        }
    }
}

void TFrameParameter::HousekeepingTick() {
    // Answers, and mirrors changed elsewhere (the EEPROM tab's "setze 00", a load), show at once.
    if (m_state.bridge.answerRevision() != m_bridgeAnswersShown ||
        (m_transfer.engine().byAnswer() && m_state.pit.answerRevision() != m_pitAnswersShown)) {
        ShowParameters();
    } else if (!MirrorsShown()) {
        RefreshValues(); // the pit board's answers are another tab's to take
    }
}

void TFrameParameter::RefreshValues() {
    const QScopedValueRollback<bool> updating(Updating, true);
    m_model.Show(false);
    for (int k = 0; k < RowCount; ++k) {
        ShowRow(k);
    }
    for (int g = 0; g < GroupSlots; ++g) {
        ShowGroup(g);
    }
    NoteMirrorsShown();
}

bool TFrameParameter::MirrorsShown() const {
    return m_bridgeShown == m_state.bridge.revision() && m_pitShown == m_state.pit.revision();
}

void TFrameParameter::NoteMirrorsShown() {
    m_bridgeShown = m_state.bridge.revision();
    m_pitShown = m_state.pit.revision();
}

void TFrameParameter::Reload() {
    HideParameterRows();
    ShowParameters();
}

void TFrameParameter::ConfigurationLoaded(const QList<ConfigFile::Content> &taken) {
    HideParameterRows();
    ShowParameters(taken.contains(ConfigFile::Content::Parameters));
}

void TFrameParameter::ShowParameters(bool loaded) {
    const QScopedValueRollback<bool> updating(Updating, true);
    m_bridgeAnswersShown = m_state.bridge.answerRevision();
    m_pitAnswersShown = m_state.pit.answerRevision();
    WriteCatalogue();
    m_model.Show(true, loaded);
    for (int k = 0; k < RowSlots; ++k) {
        const RowSlot &s = m_rows[At(k)];
        const bool shown = k < RowCount && Rows()[At(k)].name[0] != '\0';
        s.name->setVisible(shown);
        s.edit->setVisible(shown);
        s.value->setVisible(shown && Rows()[At(k)].unit[0] != '\0');
        if (k < RowCount) {
            ShowRow(k);
        }
    }
    for (int g = 0; g < GroupSlots; ++g) {
        ShowGroup(g);
    }
    ArrangeParameterRows();
    NoteMirrorsShown();
}

void TFrameParameter::ShowRow(int row) {
    const RowSlot &s = m_rows[At(row)];
    // Only a real difference is written, so that the caret of the edit being typed in stays put.
    if (s.edit->text() != m_model.text(row)) {
        const QScopedValueRollback<bool> updating(Updating, true);
        s.edit->setText(m_model.text(row));
    }
    if (!m_model.valueLabel(row).isEmpty()) {
        s.value->setText(m_model.valueLabel(row));
    }
    if (row == PitVersionRow || row == BridgeVersionRow) {
        // Shown, never typed over; the version stays as readable as the other values.
        s.edit->setEnabled(false);
        QPalette p = s.edit->palette();
        p.setColor(QPalette::Disabled, QPalette::Text, p.color(QPalette::Active, QPalette::Text));
        s.edit->setPalette(p);
    }
    PaintMark(s.edit, m_model.rowMark(row), QPalette::Base);
}

void TFrameParameter::ShowGroup(int group) {
    const QScopedValueRollback<bool> updating(Updating, true);
    for (int b = 0; b < Bits; ++b) {
        const BitSlot &s = m_bits[At(group)][At(b)];
        const bool shown = BitShown(group, b);
        s.label->setVisible(shown);
        s.box->setVisible(shown);
        s.panel->setVisible(shown);
        if (group < GroupCount) {
            s.box->setChecked(m_model.ticked(group, b));
        }
        PaintMark(s.panel, m_model.bitMark(group, b), QPalette::Window);
    }
}

void TFrameParameter::ShowMarks() {
    for (int k = 0; k < RowCount; ++k) {
        PaintMark(m_rows[At(k)].edit, m_model.rowMark(k), QPalette::Base);
    }
    for (int g = 0; g < GroupSlots; ++g) {
        for (int b = 0; b < Bits; ++b) {
            PaintMark(m_bits[At(g)][At(b)].panel, m_model.bitMark(g, b), QPalette::Window);
        }
    }
}

void TFrameParameter::PaintMark(QWidget *widget, Mark mark, QPalette::ColorRole role) {
    QColor colour;
    switch (mark) {
    case Mark::White:
        colour = palette().color(QPalette::Base);
        break;
    case Mark::Blue:
        colour = Colors::MarkRequested;
        break;
    case Mark::Sent:
        colour = Colors::MarkSent;
        break;
    case Mark::Green:
        colour = Colors::MarkReceived;
        break;
    case Mark::Yellow:
        colour = Colors::MarkChanged;
        break;
    case Mark::Red:
        colour = Colors::MarkFailed;
        break;
    }
    QPalette p = widget->palette();
    if (p.color(role) != colour) {
        // All colour groups, so that the disabled version edits show their mark as well.
        p.setColor(role, colour);
        widget->setPalette(p);
    }
}

// ---------------------------------------------------------------------------------------------
// Typing and clicking

bool TFrameParameter::HasUnwrittenChanges() const {
    return m_model.HasUnwrittenChanges();
}

void TFrameParameter::ReportInvalid(int row) {
    // The box takes the focus: the edit's end that this brings is no end of the user's edit.
    m_reporting = true;
    m_dialogs.showWarning(InvalidInputText());
    m_reporting = false;
    m_rows[At(row)].edit->setFocus();
}

void TFrameParameter::ShowOutcome(int slot, const ParameterModel::EditOutcome &outcome) {
    if (outcome.result == ParameterModel::EditResult::Warn) {
        ReportInvalid(slot);
    }
    ShowRow(slot); // the text the model kept: the last valid one, or the clamped value
    if (!outcome.status.isEmpty()) {
        m_state.PostStatus(outcome.status);
    }
}

void TFrameParameter::ParameterEditChange(int slot) {
    if (Updating || slot < 0 || slot >= RowCount) {
        return;
    }
    const bool shown = MirrorsShown();
    const auto outcome = m_model.Typed(slot, m_rows[At(slot)].edit->text());
    if (shown) {
        NoteMirrorsShown(); // the tab's own store is no news for it
    }
    ShowOutcome(slot, outcome);
}

void TFrameParameter::ParameterEditExit(int slot) {
    if (Updating || m_reporting || slot < 0 || slot >= RowCount) {
        return;
    }
    const bool shown = MirrorsShown();
    const auto outcome = m_model.EditingFinished(slot);
    if (shown) {
        NoteMirrorsShown(); // the tab's own store is no news for it
    }
    ShowOutcome(slot, outcome);
}

void TFrameParameter::CheckBox_xClick(int group, int bit) {
    if (Updating || group < 0 || group >= GroupSlots || bit < 0 || bit >= Bits) {
        return;
    }
    const bool shown = MirrorsShown();
    m_model.Clicked(group, bit, m_bits[At(group)][At(bit)].box->isChecked());
    if (shown) {
        NoteMirrorsShown(); // the tab's own store is no news for it
    }
    ShowGroup(group);
}

// ---------------------------------------------------------------------------------------------
// Buttons and transfers

void TFrameParameter::OnlineChanged() {
    UpdateParameterButtons();
}

void TFrameParameter::UpdateParameterButtons() {
    btn_read_values->setEnabled(m_state.connection().online());
    btn_write_values->setEnabled(m_state.connection().online());
}

void TFrameParameter::btn_read_valuesClick() {
    StartTransfer(PacedTransfer::Mode::Read);
}

void TFrameParameter::btn_write_valuesClick() {
    StartTransfer(PacedTransfer::Mode::Write);
    ShowParameters();
}

void TFrameParameter::StartTransfer(PacedTransfer::Mode mode) {
    const bool stopping = m_transfer.Running();
    const bool started = m_transfer.Toggle(mode, m_model.entryCount());
    const PacedTransfer &engine = m_transfer.engine();
    if (stopping && !engine.active()) {
        ShowTransferProgress(); // the bar says that it was stopped, and how far it got
        EndTransfer();          // stopped at once; what was read stays
        return;
    }
    ProgressBar3->setValue(0);
    ProgressBar3->setTextVisible(started && engine.byAnswer());
    if (started && engine.byAnswer()) {
        ProgressBar3->setRange(0, std::max(1, engine.total()));
        ShowMarks();
        return;
    }
    ProgressBar3->setRange(0, m_model.entryCount());
    Timer4->start(m_transfer.interval());
}

void TFrameParameter::Timer4Timer() {
    const ParameterTransfer::Step step = m_transfer.Tick();
    ProgressBar3->setValue(step.progress);
    if (step.ended) {
        EndTransfer();
        return;
    }
    Timer4->setInterval(m_transfer.interval());
    ShowMarks();
}

void TFrameParameter::ShowTransferProgress() {
    ProgressBar3->setValue(m_transfer.engine().progress());
    ProgressBar3->setFormat(m_transfer.engine().ProgressText());
}

void TFrameParameter::EndTransfer() {
    ShowParameters();
    Timer4->stop();
}

void TFrameParameter::btn_defaultClick() {
    const QScopedValueRollback<bool> updating(Updating, true);
    if (!m_dialogs.askOkCancel(ResetQuestion())) {
        return;
    }
    const bool shown = MirrorsShown();
    const int failed = m_model.ApplyDefaults();
    if (shown) {
        NoteMirrorsShown(); // the tab's own store is no news for it
    }
    for (int k = 0; k < RowCount; ++k) {
        ShowRow(k);
    }
    for (int g = 0; g < GroupSlots; ++g) {
        ShowGroup(g);
    }
    if (failed >= 0) {
        ReportInvalid(failed);
    }
}

void TFrameParameter::btn_alle_gelbClick() {
    const QScopedValueRollback<bool> updating(Updating, true);
    m_model.MarkAll();
    ShowMarks();
}
