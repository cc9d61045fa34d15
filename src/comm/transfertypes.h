#pragma once

#include "comm/framing.h"
#include "comm/lineclient.h"

#include <functional>
#include <optional>
#include <vector>

// What the transfer engine (PacedTransfer) and its two pacings, fixed (FixedPacing) and paced by
// the boards' answers (AnswerPacing), have in common: where a transfer stands, what it is asked
// to do and what became of it.
namespace Transfer {

// Where a transfer stands. At fixed pacing it runs from Idle (or Ended) through Running, and
// Stopping when a click ends it, to Ended at the next tick. Paced by the answers it goes round
// from Running (the next request may go) through WaitingOnLine and AwaitingAnswer, or
// AwaitingReadBack for a write, back to Running; Believing once a pass is through while answers
// that came wait to be believed; Ended when all passes are through or it was aborted.
enum class State {
    Idle,             // no transfer since construction
    Running,          // entries to step through, or the next request may go
    WaitingOnLine,    // its request waits in the transmit queue
    AwaitingAnswer,   // its read request is on the wire: the answer or the time-out is due
    AwaitingReadBack, // its write is on the wire: the board writes the cell, then it is read
    Believing,        // the pass is through; answers that came wait to be believed
    Stopping,         // a click ended it: it ends at the next tick
    Ended,
};

enum class Mode { Read, Write };

// ---- Fixed pacing

// The tab's timer after each step.
struct Intervals {
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

// ---- Paced by the answers

struct Request {
    enum class Kind { Read, Write };
    Kind kind = Kind::Read;
    Board board = Board::Grube;
    int cell = 0;
    int value = 0; // for writes
    int tag = 0;   // the tab's own number of the request (its row, entry or cell)
};
enum class Outcome {
    Confirmed,   // read: answers agreed; the mirror holds the value, marked received
    Verified,    // written and read back as written; the mirror's cell is marked received
    Mismatch,    // written, but the board holds another value (its answers agree on it)
    Unconfirmed, // read or read back: answers came, but not enough of them agreed
    NoAnswer,    // the board never answered
};
// What the one owner that started a transfer paced by the answers hears of its requests.
struct OwnerHooks {
    // A request went out for the first time (the tab marks it requested).
    std::function<void(const Request &)> ownerSent;
    // A request's final outcome, with the value the board holds where one is known.
    std::function<void(const Request &, Outcome, int value)> ownerDone;
};

// ---- Both

struct TickResult {
    bool ended = false;       // the transfer ended in this tick
    std::optional<Step> step; // the step taken in this tick, if any (paced by the answers: a
                              // request went out)
    bool readBack = false;    // paced by the answers: a write's read-back went out
};
using Report = LineClient::Report;

// What a transfer is to do, and how it is paced. At fixed pacing: count entries, one step each
// tick of the owner's timer, taken by steps, with the timer's intervals after each. Paced by the
// answers: the requests, on the engine's own timer, and what the owner hears of each.
struct Plan {
    Mode mode = Mode::Read;
    bool byAnswer = false;
    int count = 0;
    Intervals intervals;
    StepAt steps;
    std::vector<Request> requests;
    OwnerHooks hooks;

    static Plan Fixed(Mode mode, int count, const Intervals &intervals, StepAt steps) {
        Plan plan;
        plan.mode = mode;
        plan.count = count;
        plan.intervals = intervals;
        plan.steps = std::move(steps);
        return plan;
    }
    static Plan ByAnswer(Mode mode, std::vector<Request> requests, OwnerHooks hooks = {}) {
        Plan plan;
        plan.mode = mode;
        plan.byAnswer = true;
        plan.requests = std::move(requests);
        plan.hooks = std::move(hooks);
        return plan;
    }
};

} // namespace Transfer
