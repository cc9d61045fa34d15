#include "comm/pacedtransfer.h"
#include <QCoreApplication>

#include "comm/logging.h"
#include "comm/sharedstate.h"

PacedTransfer::PacedTransfer(SharedState &state) : m_state(state) {
    m_state.RegisterClient(this);
}

PacedTransfer::~PacedTransfer() {
    m_state.UnregisterClient(this);
}

bool PacedTransfer::Toggle(Mode mode, int count, const Pacing &pacing, StepAt steps) {
    if (m_byAnswer && active()) {
        Abort(); // a click while a transfer paced by the answers runs ends it
        return false;
    }
    m_byAnswer = false;
    m_pacing = pacing;
    m_interval = mode == Mode::Read ? pacing.readMs : pacing.writeMs;
    if (running()) {
        m_phase = State::Stopping;
        qCDebug(lcTransfer) << "transfer stopped by the user";
        return false;
    }
    m_mode = mode;
    m_count = count;
    m_steps = std::move(steps);
    m_position = 0;
    m_phase = State::Running;
    m_written = 0;
    m_startedAt = m_state.now();
    m_report.reset();
    if (mode == Mode::Read) {
        m_tally.Begin();
    }
    qCDebug(lcTransfer) << (mode == Mode::Read ? "read" : "write") << "of" << count
                        << "entries started";
    return true;
}

void PacedTransfer::End() {
    if (!active()) {
        return;
    }
    const bool stopped = m_phase == State::Stopping;
    m_phase = State::Ended;
    m_tally.End(m_state.now());
    if (m_mode == Mode::Write) {
        // A write has no answers to count: it says what it sent, so that the status bar does not
        // go on showing the transfer before.
        m_endedAt = m_state.now();
        const QString seconds = SecondsText(m_endedAt - m_startedAt);
        const QString line =
            stopped ? QCoreApplication::translate(
                          "PacedTransfer",
                          "Abgebrochen: %1 Zellen in %2 s geschrieben, das Bisherige bleibt")
                    : QCoreApplication::translate(
                          "PacedTransfer", "%1 Zellen in %2 s geschrieben, nicht zurückgelesen");
        m_report = Report{line.arg(m_written).arg(seconds), QString()};
    }
    qCDebug(lcTransfer) << "transfer ended at entry" << m_position << "of" << m_count;
}

PacedTransfer::TickResult PacedTransfer::Tick() {
    TickResult result;
    if (!active()) {
        return result;
    }
    if (m_byAnswer) {
        TickByAnswer(result);
        return result;
    }
    if (m_mode == Mode::Write) {
        m_interval = m_pacing.writeMs;
    }
    if (!running()) {
        End();
        result.ended = true;
        return result;
    }
    if (m_state.sendQueue.length() >= 2) {
        return result; // other traffic is still going out: try again at the next tick
    }
    const Step step = m_steps(m_position);
    switch (step.kind) {
    case Step::Kind::Read:
        m_state.sendQueue.QueueValue(Framing::ReadCommand(step.board), step.cell);
        m_tally.NoteRequest(m_state.image(step.board), step.cell);
        break;
    case Step::Kind::Write:
        m_state.sendQueue.QueueValuePair(Framing::WriteCommand(step.board), step.cell, step.value);
        ++m_written;
        break;
    case Step::Kind::Skip:
        m_interval = m_pacing.skipMs;
        break;
    }
    if (step.kind != Step::Kind::Skip) {
        qCDebug(lcTransfer) << (step.kind == Step::Kind::Read ? "read" : "write")
                            << (step.board == Board::Grube ? "pit" : "bridge") << "cell"
                            << step.cell;
    }
    if (step.last) {
        ++m_position;
    }
    result.step = step;
    return result;
}
