#pragma once

#include "comm/pacedtransfer.h"
#include "core/parameter/parametermodel.h"

#include <map>

namespace Parameter {

// The paced read and write transfers of the parameter tab, one entry per tick of its timer, in
// the catalogue's transfer order: a read asks for every entry and marks it blue; a write sends
// the entries marked yellow (an option group whole, when any of its bits is) and marks them sent
// until a read brings them back, and passes the others quickly.
class ParameterTransfer {
public:
    static constexpr int ReadIntervalMs = 300;
    static constexpr int WriteIntervalMs = 500;
    static constexpr int SkipIntervalMs = 50; // an unchanged row is passed quickly

    explicit ParameterTransfer(ParameterModel &model);

    int TransferPosition() const { return m_transfer.position(); }
    bool ReadMode() const { return m_transfer.active() && m_transfer.mode() == Mode::Read; }
    bool WriteMode() const { return m_transfer.active() && m_transfer.mode() == Mode::Write; }
    bool Running() const { return m_transfer.running(); }
    int interval() const { return m_transfer.interval(); }
    PacedTransfer &engine() { return m_transfer; }
    const PacedTransfer &engine() const { return m_transfer; }

    // A click on "Werte einlesen" or "Werte schreiben": starts a transfer, or ends the running one
    // (of either kind; at fixed pacing at the next tick, paced by the answers at once). The
    // transfer settings choose the pacing: paced by the answers, every entry is read twice and
    // every written entry read back (green when it came back as written, red when not), on the
    // engine's own timer, which tells of it by its signals; at fixed pacing the tab's timer ticks
    // it (Tick). True when a transfer started.
    bool Toggle(PacedTransfer::Mode mode, int entryCount);

    struct Step {
        bool ended = false;
        int progress = 0;
    };
    // The ticks of fixed pacing: the boards need the defaults; simulated boards that answer at
    // once allow shorter ones.
    void setFixedIntervals(const PacedTransfer::Intervals &intervals) {
        m_intervals = intervals;
        m_transfer.setInterval(intervals.readMs);
    }

    // One tick of the tab's timer at fixed pacing: queues the next entry's request, marks it, and
    // moves on; or ends the transfer.
    Step Tick();

private:
    using Mode = PacedTransfer::Mode;
    PacedTransfer::Plan PlanByAnswer(Mode mode, int entryCount);
    PacedTransfer::Step StepAt(int entry);
    // Entries whose request went out and was never answered (the line went away, or the
    // transfer was stopped) go back to the marks they had: blue would claim a request still on
    // its way for good.
    void RestoreUnanswered();

    ParameterModel &m_model;
    PacedTransfer m_transfer;
    PacedTransfer::Intervals m_intervals{ReadIntervalMs, WriteIntervalMs, SkipIntervalMs};
    // The marks before their request went out, of the entries without an outcome yet.
    std::map<int, ParameterModel::EntryMarks> m_unanswered;
};

} // namespace Parameter
