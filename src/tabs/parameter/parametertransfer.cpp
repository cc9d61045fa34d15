#include "parametertransfer.h"

#include "parametermodel.h"
#include "sharedstate.h"

namespace Parameter {

ParameterTransfer::ParameterTransfer(ParameterModel &model)
    : m_model(model), m_transfer(model.state()) {
    m_transfer.setInterval(ReadIntervalMs);
}

void ParameterTransfer::Start(Mode mode, int entryCount) {
    const PacedTransfer::Pacing pacing{ReadIntervalMs, WriteIntervalMs, SkipIntervalMs};
    m_transfer.Toggle(mode, entryCount, pacing, [this](int entry) { return StepAt(entry); });
}

void ParameterTransfer::StartRead(int entryCount) {
    Start(Mode::Read, entryCount);
}

void ParameterTransfer::StartWrite(int entryCount) {
    Start(Mode::Write, entryCount);
}

PacedTransfer::Step ParameterTransfer::StepAt(int entry) {
    const int ref = EntryCell(entry);
    PacedTransfer::Step step;
    step.board = IsPit(ref) ? Board::Grube : Board::Buehne;
    step.cell = CellOf(ref);
    if (m_transfer.mode() == Mode::Read) {
        step.kind = PacedTransfer::Step::Kind::Read;
        m_model.MarkEntry(entry, Mark::Blue);
    } else if (m_model.EntryChanged(entry)) {
        step.kind = PacedTransfer::Step::Kind::Write;
        step.value = ImageOf(m_model.state(), ref).value(step.cell);
        m_model.MarkEntry(entry, Mark::White);
    }
    return step;
}

ParameterTransfer::Step ParameterTransfer::Tick() {
    const PacedTransfer::TickResult r = m_transfer.Tick();
    if (r.ended || !m_transfer.active()) {
        return {true, 0};
    }
    return {false, m_transfer.position()};
}

} // namespace Parameter
