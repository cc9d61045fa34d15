#pragma once

#include "comm/transferpacing.h"
#include "comm/transfertally.h"

// Fixed pacing, as the boards were first driven: one entry after the other, each entry one or
// more steps, one step per tick of the tab's timer, the next request only while the transmit queue
// holds fewer than two bytes. The tab gives the steps of each entry and marks what it sends; the
// pacing keeps the position, the tab timer's interval and the count of answered read requests.
class FixedPacing final : public TransferPacing {
public:
    explicit FixedPacing(SharedState &state) : TransferPacing(state) {}

    bool running() const override {
        return m_phase == Transfer::State::Running && m_position < m_count;
    }
    // The entry the transfer takes next (its count once all are taken).
    int position() const { return m_position; }
    int progress() const override { return m_position; }
    int total() const override { return m_count; }
    // The interval of the tab's timer before the first transfer.
    void setInterval(int ms) { m_interval = ms; }

    // A click on the tab's read or write button. Starts a transfer of count entries at position
    // 0; while one runs, stops it instead (the tab ends it at its next tick). Returns true when a
    // transfer started.
    bool Toggle(Transfer::Mode mode, int count, const Transfer::Intervals &intervals,
                Transfer::StepAt steps);
    // One tick of the tab's timer: ends a transfer whose entries are done or that was stopped,
    // waits while other traffic is still going out, or takes and queues the next step.
    Transfer::TickResult Tick() override;
    // Ends the transfer now (a sweep that sent its last request, or one stopped by a click).
    void End();

    // A write says what it sent; a read, once its answers had their time, how many came.
    std::optional<Transfer::Report> TakeReport() override;

private:
    TransferTally m_tally;
    Transfer::StepAt m_steps;
    Transfer::Intervals m_intervals;
    int m_position = 0;
    int m_count = 0;
    int m_written = 0; // cells a write sent
};
