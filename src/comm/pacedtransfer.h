#pragma once

#include "comm/answerpacing.h"
#include "comm/fixedpacing.h"
#include "comm/lineclient.h"

#include <QObject>
#include <QTimer>
#include <optional>
#include <vector>

class SharedState;

// The bulk transfer of cells between the mirrors and the boards that the definition, parameter and
// EEPROM tabs, the diagnosis tab's parameter write and the backups run, in one of two pacings
// (TransferPacing): fixed (FixedPacing) or paced by the boards' answers (AnswerPacing).
//
// Every transfer starts the same way, from a plan (Start, or Toggle for a click). At fixed pacing
// the tab's own timer then ticks the transfer, one step per tick (Tick), and hears from each
// tick's result what it did, as the program always has. A transfer paced by the answers runs on
// the engine's own timer: the owner hears of it through the signals, progressed while it goes and
// finished when it has ended by itself; what became of each request goes to the owner's hooks. It
// shares the way to the boards with the other transfers (RequestLine): the line and the receiver
// tell the engine of its requests and wake it when it can go on.
class PacedTransfer final : public QObject, public LineClient {
    Q_OBJECT
public:
    using State = Transfer::State;
    using Mode = Transfer::Mode;
    using Intervals = Transfer::Intervals;
    using Step = Transfer::Step;
    using StepAt = Transfer::StepAt;
    using Request = Transfer::Request;
    using Outcome = Transfer::Outcome;
    using OwnerHooks = Transfer::OwnerHooks;
    using TickResult = Transfer::TickResult;
    using Plan = Transfer::Plan;

    static constexpr int MaxAsks = AnswerPacing::MaxAsks;
    static constexpr int MaxWrites = AnswerPacing::MaxWrites;
    static constexpr qint64 RateAfterMs = AnswerPacing::RateAfterMs;
    static QString SecondsText(qint64 ms) { return TransferPacing::SecondsText(ms); }
    static qint64 TimeoutMs(const SharedState &state, Board board) {
        return AnswerPacing::TimeoutMs(state, board);
    }
    static qint64 WriteSettleMs(Board board) { return AnswerPacing::WriteSettleMs(board); }
    static constexpr qint64 ReadBackMarginMs = AnswerPacing::ReadBackMarginMs;

    // How a transfer paced by the answers ended by itself.
    enum class Ending {
        Complete,    // all its passes are through
        Interrupted, // the line went away
        Silent,      // the pit board said nothing for a while (see setEndsWhenSilent)
    };
    Q_ENUM(Ending)

    explicit PacedTransfer(SharedState &state, QObject *parent = nullptr);
    ~PacedTransfer() override;

    State state() const { return m_current->state(); }
    // The entry a transfer at fixed pacing takes next (its count once all are taken).
    int position() const { return m_fixed.position(); }
    // Started, not stopped, and for a transfer at fixed pacing, entries still to take.
    bool running() const { return m_current->running(); }
    // Started and not yet ended (a stopped transfer stays active until its next tick).
    bool active() const { return m_current->active(); }
    Mode mode() const { return m_current->mode(); }
    // At fixed pacing, the interval of the tab's timer until the next tick.
    int interval() const { return m_current->interval(); }
    // The interval of the tab's timer before the first transfer at fixed pacing.
    void setInterval(int ms) { m_fixed.setInterval(ms); }

    // Starts a transfer as planned (one that writes, paced by the answers, reads every cell
    // back); false, and nothing started, while one runs.
    bool Start(Plan plan);
    // A click on a tab's read or write button: while a transfer runs, stops it and returns false
    // (at fixed pacing the tab ends it at its next tick, its timer at the interval of the clicked
    // kind; paced by the answers it ends at once); otherwise starts the plan.
    bool Toggle(Plan plan);
    // One tick of the tab's timer at fixed pacing: ends a transfer whose entries are done or that
    // was stopped, waits while other traffic is still going out, or takes and queues the next
    // step. Paced by the answers it is the engine's own timer that ticks (a test with a clock of
    // its own may tick in its place).
    TickResult Tick();
    // Ends a transfer at fixed pacing now (a sweep that sent its last request, or one stopped by
    // a click).
    void End();

    // Paced by the answers: the engine ticks it, not the owner's timer.
    bool byAnswer() const { return m_current == &m_answer; }
    // Ends it at once; what was read so far stays. The report says that it was stopped, or with
    // interrupted, that the line went away. Not announced by finished: whoever aborts knows.
    void Abort(bool interrupted = false);
    // A transfer that ends as interrupted (Ending::Silent) once the pit board has said nothing
    // for a while (the connection is silent): against a board that says nothing at all every cell
    // would cost all its time-outs, minutes.
    void setEndsWhenSilent(bool ends) { m_endsWhenSilent = ends; }
    // Woken by the line or an answer since its last tick: the next tick is due at once.
    bool wakePending() const { return m_woken; }
    // Requests with an outcome, of all.
    int done() const { return m_answer.done(); }
    // Paced by the answers, the cells it is through with, as its report counts them; at fixed
    // pacing the entries taken.
    int progress() const { return m_current->progress(); }
    int total() const { return m_current->total(); }
    // "36 von 256 Zellen, noch 12 s", "6 von 7 Zellen, liest Grube 0x1f zurück", and once it has
    // ended "Unterbrochen: 36 von 256 Zellen" (AnswerPacing::ProgressText); empty at fixed
    // pacing.
    QString ProgressText() const { return byAnswer() ? m_answer.ProgressText() : QString(); }

    // The report of a transfer that has ended (LineClient::Report). Given once.
    std::optional<Report> TakeReport() override { return m_current->TakeReport(); }
    // Adds the owner's words to that report while it is not yet taken (TransferPacing).
    void AmendReport(const QString &line, const QString &details) {
        m_current->AmendReport(line, details);
    }

    // The transfer can go on (the line came free, its request went out): it ticks soon.
    void Wake() override;
    // What the line and the receiver tell (SharedState passes it on).
    void OnArrived(Board board, int cell) override;
    // True when the answer belongs to this transfer, which then takes it instead of the mirror.
    bool OnBelieved(Board board, int cell, int value) override;
    void OnDiscarded(Board board, int cell) override;
    // The line went away: a transfer paced by the answers ends as interrupted, announced at the
    // engine's next turn, after whoever noticed the loss has done with it.
    void OnInterrupted() override;

signals:
    // The transfer paced by the answers sent a cell's next request or a write's read-back: time
    // to show how far it got and what it does.
    void progressed();
    // The transfer paced by the answers has ended by itself (once per start).
    void finished(PacedTransfer::Ending ending);

private:
    void WakeSoon();
    void OnTimer();
    // An interruption not yet announced is announced now, before a new transfer starts.
    void AnnounceEnding();

    SharedState &m_state;
    FixedPacing m_fixed;
    AnswerPacing m_answer;
    TransferPacing *m_current = &m_fixed; // the pacing of the latest transfer
    QTimer m_timer;
    std::optional<Ending> m_unannounced;
    bool m_endsWhenSilent = false;
    bool m_woken = false;
};
