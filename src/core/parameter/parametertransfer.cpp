#include "core/parameter/parametertransfer.h"

#include "comm/sharedstate.h"
#include "core/parameter/parametermodel.h"

namespace Parameter {

ParameterTransfer::ParameterTransfer(ParameterModel &model)
    : m_model(model), m_transfer(model.state()) {
    m_transfer.setInterval(ReadIntervalMs);
    // Before the tab hears of the end and shows the marks.
    QObject::connect(&m_transfer, &PacedTransfer::finished, &m_transfer,
                     [this] { RestoreUnanswered(); });
}

void ParameterTransfer::RestoreUnanswered() {
    for (const auto &[entry, marks] : m_unanswered) {
        m_model.RestoreMarks(entry, marks);
    }
    m_unanswered.clear();
}

bool ParameterTransfer::Toggle(Mode mode, int entryCount) {
    const bool stoppingByAnswer = m_transfer.running() && m_transfer.byAnswer();
    if (!m_transfer.running()) {
        m_unanswered.clear();
    }
    const TransferSettings &t = m_model.state().transferSettings;
    // Writes are paced by the answers only when they are read back: a write has no answer.
    const bool byAnswer = mode == Mode::Read ? t.byAnswer() : t.verifying();
    const bool started = m_transfer.Toggle(
        byAnswer ? PlanByAnswer(mode, entryCount)
                 : PacedTransfer::Plan::Fixed(mode, entryCount, m_intervals,
                                              [this](int entry) { return StepAt(entry); }));
    if (stoppingByAnswer) {
        RestoreUnanswered(); // stopped at once, without an announced end
    }
    return started;
}

PacedTransfer::Plan ParameterTransfer::PlanByAnswer(Mode mode, int entryCount) {
    using Request = PacedTransfer::Request;
    std::vector<Request> requests;
    for (int entry = 0; entry < entryCount; ++entry) {
        const int ref = EntryCell(entry);
        Request r;
        r.board = IsPit(ref) ? Board::Grube : Board::Buehne;
        r.cell = CellOf(ref);
        r.tag = entry;
        if (mode == Mode::Write) {
            if (!m_model.EntryChanged(entry)) {
                continue;
            }
            r.kind = Request::Kind::Write;
            r.value = ImageOf(m_model.state(), ref).value(r.cell);
        }
        requests.push_back(r);
    }
    PacedTransfer::OwnerHooks hooks;
    hooks.ownerSent = [this](const Request &r) {
        m_unanswered.try_emplace(r.tag, m_model.MarksOf(r.tag));
        // Requested (blue), or written and not yet read back.
        m_model.MarkEntry(r.tag, r.kind == Request::Kind::Read ? Mark::Blue : Mark::Sent);
    };
    hooks.ownerDone = [this](const Request &r, PacedTransfer::Outcome outcome, int) {
        m_unanswered.erase(r.tag);
        switch (outcome) {
        case PacedTransfer::Outcome::Confirmed:
            break; // the mirror holds it, marked received: it shows green
        case PacedTransfer::Outcome::Verified:
            m_model.MarkEntry(r.tag, Mark::Green);
            break;
        case PacedTransfer::Outcome::Mismatch:
            m_model.MarkEntry(r.tag, Mark::Red);
            break;
        case PacedTransfer::Outcome::Unconfirmed:
        case PacedTransfer::Outcome::NoAnswer:
            // Nothing believed: no mark of the board, and a written value stays to be written.
            m_model.MarkEntry(r.tag, r.kind == Request::Kind::Read ? Mark::White : Mark::Red);
            break;
        }
    };
    return PacedTransfer::Plan::ByAnswer(mode, std::move(requests), std::move(hooks));
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
        m_model.MarkEntry(entry, Mark::Sent); // until a read brings it back
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
