#pragma once

#include "comm/framing.h"
#include "comm/lineclient.h"
#include "comm/transfertally.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

class SharedState;

// The bulk transfer of cells between the mirrors and the boards that the definition, parameter and
// EEPROM tabs run, in one of two pacings.
//
// Fixed pacing, as the boards were first driven: one entry after the other, each entry one or
// more steps, one step per tick of the tab's timer, the next request only while the transmit queue
// holds fewer than two bytes. A tab gives the steps of each entry and marks what it sends; the
// engine keeps the position, its state (State), the pacing and the count of answered read
// requests.
//
// Paced by the answers: the tab gives all its requests at once. The next request goes as soon as
// the answer to the current one has come, or its time-out (counted from its last byte on the
// wire) is over; at most one request of all transfers is on its way (RequestLine). Every cell is
// read twice and believed only when two answers agree; every write is read back. What failed is
// asked again after the first pass, up to four times in all. The tab hears of each request's
// outcome and gets one report line at the end.
class PacedTransfer final : public LineClient {
public:
    // Where a transfer stands. At fixed pacing it runs from Idle (or Ended) through Running, and
    // Stopping when a click ends it, to Ended at the next tick. Paced by the answers it goes
    // round from Running (the next request may go) through WaitingOnLine and AwaitingAnswer, or
    // AwaitingReadBack for a write, back to Running; Believing once a pass is through while
    // answers that came wait to be believed; Ended when all passes are through or it was aborted.
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

    // ---- Paced by the answers

    // Read requests of one cell: twice in the first pass, then up to six more times; or
    // read-backs of one write.
    // Eight: a cell whose answers were lost or conflicted needs two asks in a row that agree, and
    // a line that loses a byte now and then still settles nearly every cell.
    static constexpr int MaxAsks = 8;
    static constexpr int MaxWrites = 3; // writes of one cell whose read-back showed another value
    // Until a transfer has run this long, no time left is shown (the rate is not known yet).
    static constexpr qint64 RateAfterMs = 2000;

    struct Request {
        enum class Kind { Read, Write };
        Kind kind = Kind::Read;
        Board board = Board::Grube;
        int cell = 0;
        int value = 0; // for writes
        int tag = 0;   // the tab's own number of the request (its row, entry or cell)
        // For reads: the value the caller expects the board to hold (a compare with a file), or
        // -1. One answer with that value settles the cell, as the file and the board agree; any
        // other answer needs a second like it, as without an expectation.
        int expect = -1;
    };
    enum class Outcome {
        Confirmed,   // read: two answers agreed; the mirror holds the value, marked received
        Verified,    // written and read back as written; the mirror's cell is marked received
        Mismatch,    // written, but the board holds another value (two answers agree on it)
        Unconfirmed, // read: answers came, but no two of them agreed
        NoAnswer,    // the board never answered
    };
    // What the one owner that started a transfer paced by the answers hears of it.
    struct OwnerHooks {
        // A request went out for the first time (the tab marks it requested).
        std::function<void(const Request &)> ownerSent;
        // A request's final outcome, with the value the board holds where one is known.
        std::function<void(const Request &, Outcome, int value)> ownerDone;
        // The transfer can go on now: the owner runs its timer's tick soon.
        std::function<void()> ownerWake;
    };
    // "31,9" in the German interface, "31.9" in the English one: the seconds of a report line.
    static QString SecondsText(qint64 ms);
    // The time an answer may take, counted from the request's last byte on the wire; the bridge
    // board's answers take twice that, because the pit board relays them.
    static qint64 TimeoutMs(const SharedState &state, Board board);
    // How long a written cell needs before it can be read back: an EEPROM cell takes the board up
    // to 10 ms to write, and a bridge cell is relayed by the pit board first, which takes it up to
    // 40 ms more.
    static qint64 WriteSettleMs(Board board);

    explicit PacedTransfer(SharedState &state);
    ~PacedTransfer();
    PacedTransfer(const PacedTransfer &) = delete;
    PacedTransfer &operator=(const PacedTransfer &) = delete;

    State state() const { return m_phase; }
    // The entry a transfer at fixed pacing takes next (its count once all are taken).
    int position() const { return m_position; }
    // Started, not stopped, and for a transfer at fixed pacing, entries still to take.
    bool running() const {
        return m_byAnswer ? active() : m_phase == State::Running && m_position < m_count;
    }
    // Started and not yet ended (a stopped transfer stays active until its next tick).
    bool active() const { return m_phase != State::Idle && m_phase != State::Ended; }
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

    // Starts a transfer paced by the answers (a transfer that writes reads every cell back); false,
    // and nothing started, while one runs.
    bool StartByAnswer(Mode mode, std::vector<Request> requests, OwnerHooks hooks);
    bool byAnswer() const { return m_byAnswer; }
    // Ends it at once; what was read so far stays. The report says that it was stopped, or with
    // interrupted, that the line went away.
    void Abort(bool interrupted = false);
    // Requests with an outcome, of all.
    int done() const { return m_done; }
    // The cells the transfer is through with, counting a cell read once as half through.
    int progress() const;
    int total() const { return static_cast<int>(m_items.size()); }
    // "37 von 256 Zellen, noch 12 s"
    QString ProgressText() const;

    // The report of a transfer that has ended (LineClient::Report). Given once.
    std::optional<Report> TakeReport() override;

    // The transfer can go on (the line came free, its request went out): asks the tab for a tick.
    void Wake() override;

    // What the line and the receiver tell (SharedState passes it on).
    void OnArrived(Board board, int cell) override;
    // True when the answer belongs to this transfer, which then takes it instead of the mirror.
    bool OnBelieved(Board board, int cell, int value) override;
    void OnDiscarded(Board board, int cell) override;
    // The line went away: a transfer paced by the answers ends as interrupted.
    void OnInterrupted() override;

private:
    struct Item {
        Request request;
        int asks = 0;            // read requests or read-backs sent
        int writes = 0;          // writes sent
        int awaiting = 0;        // answers come, not yet believed or refused
        std::vector<int> values; // believed answers
        // Every ask in order: its believed value, or NoValue for one that brought none the
        // stream confirmed (no answer, or an answer out of step, which may have held another
        // value).
        std::vector<int> asked;
        bool rewrite = false; // two read-backs agreed on another value: write it again
        std::optional<Outcome> outcome;
    };
    struct Flight {
        size_t item = 0;
        bool write = false;     // the write itself, before its read-back
        qint64 readBackAt = -1; // when the read-back may go
        qint64 queuedAt = 0;
    };

    void TickByAnswer(TickResult &result);
    // What the line tells of the request in flight: lost, or on the wire now.
    void FollowLine();
    // The request in flight brought nothing: the line is free for the next.
    void LoseFlight();
    // Each false while the request in flight is still to be waited for; true once the line is
    // free for the next request.
    bool WaitOnLine(qint64 now);
    bool AwaitAnswer(qint64 now);
    void AwaitReadBack(qint64 now);
    // Sends the next request of this pass or a later one, waits for the answers still to be
    // believed, or finishes the transfer.
    void Proceed(TickResult &result, qint64 now);
    // Waits for the answers still to be believed; false while it waits.
    bool Believed(qint64 now);
    // An ask of the item brought nothing believed.
    static void NoteFailedAsk(Item &item);
    // Queues the next request of the current pass, if any; false when the pass is through.
    bool SendNext();
    void Send(size_t index, bool write);
    bool Eligible(const Item &item) const;
    void Settle(Item &item);
    void Finish(bool complete);
    Item *Awaiting(Board board, int cell);
    void ReleaseLine();
    // Progress in halves of a cell: each cell counts two (read twice, or written and read back).
    int Units() const;
    QString ReportLine(bool stopped, bool interrupted) const;

    SharedState &m_state;
    TransferTally m_tally;
    StepAt m_steps;
    Pacing m_pacing;
    Mode m_mode = Mode::Read;
    State m_phase = State::Idle;
    int m_position = 0;
    int m_count = 0;
    int m_interval = 0;
    int m_written = 0; // cells a write at fixed pacing sent

    bool m_byAnswer = false;
    std::vector<Item> m_items;
    OwnerHooks m_hooks;
    std::optional<Flight> m_flight;
    int m_pass = 0;
    size_t m_cursor = 0;
    int m_done = 0;
    qint64 m_believingSince = 0; // when the transfer went Believing
    qint64 m_startedAt = 0;
    qint64 m_endedAt = 0;
    std::optional<Report> m_report;
};
