#pragma once

#include "comm/transferpacing.h"

#include <array>
#include <vector>

// Paced by the answers: the tab gives all its requests at once. The next request goes as soon as
// the answer to the current one has come, or its time-out (counted from its last byte on the
// wire) is over; at most one request of all transfers is on its way (RequestLine), held in the
// name of the engine that runs this pacing. Every cell is read twice and believed only when two
// answers in a row agree (three on a noisy line, see NoiseGauge); every write is read back as
// often, and an answer that shows the value written counts no more than another. What failed is
// asked again after the first pass. The owner hears of each request's outcome, and the transfer
// gives one report line at the end.
class AnswerPacing final : public TransferPacing {
public:
    // Read requests of one cell: twice in the first pass, then up to six more times; or
    // read-backs of one write.
    // Eight: a cell whose answers were lost or conflicted needs two asks in a row that agree, and
    // a line that loses a byte now and then still settles nearly every cell.
    static constexpr int MaxAsks = 8;
    static constexpr int MaxWrites = 3; // writes of one cell whose read-back showed another value
    // Until a transfer has run this long, no time left is shown (the rate is not known yet).
    static constexpr qint64 RateAfterMs = 2000;

    // The time an answer may take, counted from the request's last byte on the wire; the bridge
    // board's answers take twice that, because the pit board relays them.
    static qint64 TimeoutMs(const SharedState &state, Board board);
    // How long a written cell needs before it can be read back: an EEPROM cell takes the board up
    // to 10 ms to write, and a bridge cell is relayed by the pit board first, which takes it up to
    // 40 ms more.
    static qint64 WriteSettleMs(Board board);
    // What the read-back's last byte leaves the board beyond that time: the program's clock and
    // the board's count in whole milliseconds, and the line delivers the write a little later
    // than it left; without it a read-back at short pacing can arrive while the board still
    // writes, and is lost.
    static constexpr qint64 ReadBackMarginMs = 2;

    // holder: the engine in whose name the requests hold the line.
    AnswerPacing(SharedState &state, LineClient &holder)
        : TransferPacing(state), m_holder(holder) {}

    bool running() const override { return active(); }
    // Starts a transfer (a transfer that writes reads every cell back).
    void Start(Transfer::Mode mode, std::vector<Transfer::Request> requests,
               Transfer::OwnerHooks hooks);
    // Follows the request in flight and sends the next one, or ends the transfer.
    Transfer::TickResult Tick() override;
    // Ends it at once; what was read so far stays. The report says that it was stopped, or with
    // interrupted, that the line went away.
    void Abort(bool interrupted);
    // Ends it at once because the board has said nothing for a while: the line is there, the
    // controller does not answer, and the report says so.
    void EndSilent();

    // Requests with an outcome, of all.
    int done() const { return m_done; }
    // The cells it is through with (an outcome each), as its report line counts them.
    int progress() const override;
    int total() const override { return static_cast<int>(m_items.size()); }
    // The cells it is through with and, in its first pass, the time left: "36 von 256 Zellen,
    // noch 12 s"; once every cell had its first asks, what it does now instead ("6 von 7 Zellen,
    // liest Grube 0x1f zurück"). Once ended, marked when it was stopped or interrupted
    // ("Unterbrochen: 36 von 256 Zellen").
    QString ProgressText() const;
    std::optional<Transfer::Report> TakeReport() override;

    // What the line and the receiver tell. Each true when the transfer can go on now.
    bool OnArrived(Board board, int cell);
    // Also: the answer belongs to this transfer, which then takes it instead of the mirror.
    bool OnBelieved(Board board, int cell, int value);
    bool OnDiscarded(Board board, int cell);

private:
    struct Item {
        Transfer::Request request;
        int asks = 0;            // read requests or read-backs sent
        int writes = 0;          // writes sent
        int awaiting = 0;        // answers come, not yet believed or refused
        std::vector<int> values; // believed answers
        // Every ask in order: its believed value, or NoValue for one that brought none the
        // stream confirmed (no answer, or an answer out of step, which may have held another
        // value).
        std::vector<int> asked;
        bool rewrite = false;    // two read-backs agreed on another value: write it again
        bool again = false;      // asked or written beyond its first asks: it did not come through
        bool conflicted = false; // its last answer was counted as conflicting with the one before
        std::optional<Transfer::Outcome> outcome;
    };
    struct Flight {
        size_t item = 0;
        bool write = false;     // the write itself, before its read-back
        qint64 readBackAt = -1; // when the read-back may go
        qint64 queuedAt = 0;
    };

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
    void Proceed(Transfer::TickResult &result, qint64 now);
    // Waits for the answers still to be believed; false while it waits.
    bool Believed(qint64 now);
    // An ask of the item brought nothing believed.
    static void NoteFailedAsk(Item &item);
    // What became of an ask's answer, for the line's noise (NoiseGauge) and the transfer's log.
    enum class Answer { Clean, Conflict, OutOfStep, Unbelieved, Lost, Kinds };
    void NoteAnswer(Answer answer);
    // How often a cell is asked in a row at first, or read back after a write: as often as it
    // takes to settle it while its answers agree.
    int FirstAsks() const;
    // Queues the next request of the current pass, if any; false when the pass is through.
    bool SendNext();
    void Send(size_t index, bool write);
    bool Eligible(const Item &item) const;
    void Settle(Item &item);
    // All passes are through: what has no outcome yet gets its last one, and the report is made.
    void Finish();
    Item *Awaiting(Board board, int cell);
    void ReleaseLine();
    // The work of the first pass in halves of a cell: each cell counts two (read twice, or
    // written and read back); what the time left is reckoned from.
    int Units() const;
    // "Grube", "Bühne"; "0x1f".
    static QString BoardName(Board board);
    static QString CellName(int cell);
    // "Grube 0x1f (31): keine Antwort", for the report's details.
    static QString FailureText(const Item &item);
    enum class Ending { Running, Complete, Stopped, Interrupted, Silent };
    void End(Ending why);
    QString ReportLine(Ending ending) const;
    // What the request in flight does: "liest Grube 0x1f zurück", "wartet auf Antworten".
    QString DoingText() const;

    LineClient &m_holder;
    std::vector<Item> m_items;
    Transfer::OwnerHooks m_hooks;
    std::optional<Flight> m_flight;
    int m_pass = 0;
    size_t m_cursor = 0;
    int m_done = 0;
    qint64 m_believingSince = 0; // when the transfer went Believing
    qint64 m_endedAt = 0;
    std::array<int, size_t(Answer::Kinds)> m_answers{}; // this transfer's answers by kind
    int m_noisyAsks = 0;                                // asks sent while the line was noisy
    Ending m_ending = Ending::Running;
};
