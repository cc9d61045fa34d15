#pragma once

#include "framing.h"
#include "transfertally.h"

#include <functional>
#include <optional>

class SharedState;

// The paced bulk transfer of cells between the mirrors and the boards, as the definition,
// parameter and EEPROM tabs run it: one entry after the other, each entry one or more steps, one
// step per tick of the tab's timer, the next request only while the transmit queue holds fewer
// than two bytes, so that at most one request is on its way. A tab gives the steps of each entry
// and marks what it sends; the engine keeps the position, the markers for "no transfer yet" and
// "stopped by a click", the pacing and the count of answered read requests.
class PacedTransfer {
public:
    static constexpr int Idle = 1000;   // position before the first transfer
    static constexpr int Stopped = 500; // position after a click that ends a running transfer

    enum class Mode { Read, Write };
    struct Pacing {
        int readMs = 300;  // the tick after a read request
        int writeMs = 500; // the tick after a write
        int skipMs = 50;   // the tick after an entry that needed nothing
    };
    struct Step {
        enum class Kind { Read, Write, Skip };
        Kind kind = Kind::Skip;
        Board board = Board::Grube;
        int cell = 0;
        int value = 0;    // for writes
        bool last = true; // the step finishes its entry: the next tick goes on to the next one
    };
    // The next step of the entry at a position; the tab marks what the step sends.
    using StepAt = std::function<Step(int position)>;

    explicit PacedTransfer(SharedState &state);
    ~PacedTransfer();
    PacedTransfer(const PacedTransfer &) = delete;
    PacedTransfer &operator=(const PacedTransfer &) = delete;

    int position() const { return m_position; }
    bool running() const { return m_position < m_count; }
    // Started and not yet ended (a stopped transfer stays active until its next tick).
    bool active() const { return m_active; }
    Mode mode() const { return m_mode; }
    // The interval of the tab's timer until the next tick.
    int interval() const { return m_interval; }
    void setInterval(int ms) { m_interval = ms; }
    TransferTally &tally() { return m_tally; }

    // A click on the tab's read or write button. Starts a transfer of count entries at position
    // 0; while one runs, stops it instead (the tab ends it at its next tick). Returns true when a
    // transfer started.
    bool Toggle(Mode mode, int count, const Pacing &pacing, StepAt steps);

    struct TickResult {
        bool ended = false;       // the transfer ended in this tick
        std::optional<Step> step; // the step taken in this tick, if any
    };
    // One tick of the tab's timer: ends a transfer whose entries are done or that was stopped,
    // waits while other traffic is still going out, or takes and queues the next step.
    TickResult Tick();
    // Ends the transfer now (a sweep that sent its last request, or one stopped by a click).
    void End();

private:
    SharedState &m_state;
    TransferTally m_tally;
    StepAt m_steps;
    Pacing m_pacing;
    Mode m_mode = Mode::Read;
    int m_position = Idle;
    int m_count = 0;
    int m_interval = 0;
    bool m_active = false; // started and not yet ended
};
