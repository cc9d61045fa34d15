#include "comm/fixedpacing.h"

#include "comm/logging.h"
#include "comm/numbertext.h"
#include "comm/sharedstate.h"

#include <QCoreApplication>

using Transfer::Mode;
using Transfer::State;
using Transfer::Step;

bool FixedPacing::Toggle(Mode mode, int count, const Transfer::Intervals &intervals,
                         Transfer::StepAt steps) {
    m_intervals = intervals;
    m_interval = mode == Mode::Read ? intervals.readMs : intervals.writeMs;
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

void FixedPacing::End() {
    if (!active()) {
        return;
    }
    const bool stopped = m_phase == State::Stopping;
    m_phase = State::Ended;
    m_tally.End(m_state.now());
    if (m_mode == Mode::Write) {
        // A write has no answers to count: it says what it sent, so that the status bar does not
        // go on showing the transfer before.
        const QString seconds = SecondsText(m_state.now() - m_startedAt);
        const QString line =
            stopped
                ? QCoreApplication::translate(
                      "PacedTransfer", "Abgebrochen: %1 in %2 s geschrieben, das Bisherige bleibt")
                : QCoreApplication::translate("PacedTransfer",
                                              "%1 in %2 s geschrieben, nicht zurückgelesen");
        m_report = Transfer::Report{line.arg(CellsText(m_written), seconds), QString()};
    }
    qCDebug(lcTransfer) << "transfer ended at entry" << m_position << "of" << m_count;
}

Transfer::TickResult FixedPacing::Tick() {
    Transfer::TickResult result;
    if (!active()) {
        return result;
    }
    if (m_mode == Mode::Write) {
        m_interval = m_intervals.writeMs;
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
        m_interval = m_intervals.skipMs;
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

std::optional<Transfer::Report> FixedPacing::TakeReport() {
    if (m_report) {
        std::optional<Transfer::Report> report;
        report.swap(m_report);
        return report;
    }
    const QString line = m_tally.Poll(m_state.now());
    if (line.isEmpty()) {
        return std::nullopt;
    }
    return Transfer::Report{line, QString()};
}
