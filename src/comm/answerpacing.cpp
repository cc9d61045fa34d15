// Transfers paced by the boards' answers: which request goes next, what the line and the
// receiver tell of it, and when a cell is believed.

#include "comm/answerpacing.h"

#include "comm/logging.h"
#include "comm/messages.h"
#include "comm/sharedstate.h"

#include <algorithm>

using Transfer::Mode;
using Transfer::Outcome;
using Transfer::Request;
using Transfer::State;

namespace {
// How often a waiting transfer looks again by itself; the line and the receiver wake it sooner.
constexpr int WaitMs = 100;
// How long a request may wait in the transmit queue before it counts as lost.
constexpr qint64 StuckMs = 5000;
// How long the answers that came at the end of a pass may wait to be believed: the board reports
// every 200 ms, and the report shows them in step.
constexpr qint64 BeliefWaitMs = 1000;

// An ask that brought no believed answer.
constexpr int NoValue = -1;

// The value that the asks of a cell settle on, or -1 while they settle nothing. Asks in a row
// whose answers agree settle it: two while the answers agree, three once two answers have
// conflicted or while the line is noisy. A byte damaged on the line can bring the same wrong value
// twice, so equal answers with anything else between them do not count together: neither a
// different answer nor an ask whose answer was lost or came out of step (it may have held the
// right value). An answer that equals what the cell should hold (the file's value, the value just
// written) counts like any other: a flipped bit can make a different value look like it.
int Settled(const std::vector<int> &asked, bool noisy) {
    std::vector<int> answers;
    std::copy_if(asked.begin(), asked.end(), std::back_inserter(answers),
                 [](int value) { return value != NoValue; });
    if (answers.empty()) {
        return -1;
    }
    const bool conflicted =
        std::any_of(answers.begin(), answers.end(), [&](int v) { return v != answers.front(); });
    const size_t needed = conflicted || noisy ? 3 : 2;
    if (asked.size() < needed) {
        return -1;
    }
    const int last = asked.back();
    const bool inARow =
        last != NoValue && std::all_of(asked.end() - std::ptrdiff_t(needed), asked.end(),
                                       [last](int value) { return value == last; });
    return inARow ? last : -1;
}

// The last believed answer among the asks, or NoValue.
int LastAnswer(const std::vector<int> &asked) {
    const auto it =
        std::find_if(asked.rbegin(), asked.rend(), [](int value) { return value != NoValue; });
    return it == asked.rend() ? NoValue : *it;
}
} // namespace

qint64 AnswerPacing::TimeoutMs(const SharedState &state, Board board) {
    const qint64 t = std::max(1, state.transferSettings.answerTimeoutMs);
    return board == Board::Buehne ? 2 * t : t;
}

qint64 AnswerPacing::WriteSettleMs(Board board) {
    return board == Board::Grube ? 10 : 50;
}

void AnswerPacing::Start(Mode mode, std::vector<Request> requests, Transfer::OwnerHooks hooks) {
    m_mode = mode;
    m_items.clear();
    for (const Request &r : requests) {
        Item item;
        item.request = r;
        m_items.push_back(item);
    }
    m_hooks = std::move(hooks);
    m_flight.reset();
    m_pass = 1;
    m_cursor = 0;
    m_done = 0;
    m_startedAt = m_state.now();
    m_report.reset();
    m_phase = State::Running;
    m_ending = Ending::Running;
    m_interval = 0;
    m_answers.fill(0);
    m_noisyAsks = 0;
    qCDebug(lcTransfer) << (mode == Mode::Read ? "read" : "write") << "of" << m_items.size()
                        << "cells paced by the answers started";
}

int AnswerPacing::FirstAsks() const {
    return m_state.noise.noisy() ? 3 : 2;
}

bool AnswerPacing::Eligible(const Item &item) const {
    if (item.outcome) {
        return false;
    }
    if (item.request.kind == Request::Kind::Read) {
        // The first pass asks every cell twice in a row (three times on a noisy line), so that
        // each cell is settled as the transfer goes; the second answer also shows the first one
        // in step. Later passes ask once more each, once the answers so far are known.
        if (m_pass == 1) {
            return item.asks < FirstAsks();
        }
        return item.awaiting == 0 && item.asks < std::min(m_pass + 1, MaxAsks);
    }
    // Written, read back: a read-back that came back otherwise twice asks for the write again.
    if (item.writes == 0) {
        return item.awaiting == 0 && m_pass == 1;
    }
    if (item.rewrite) {
        return item.awaiting == 0 && item.writes < MaxWrites;
    }
    // A written cell is read back as often in a row as a read asks a cell, right after the write.
    if (item.asks < FirstAsks()) {
        return true;
    }
    return item.awaiting == 0 && item.asks < MaxAsks;
}

void AnswerPacing::Send(size_t index, bool write) {
    Item &item = m_items[index];
    const Request &r = item.request;
    Framing::Asks asks;
    asks.board = r.board;
    asks.cell = r.cell;
    if (write) {
        asks.kind = Framing::Asks::Kind::Write;
        asks.value = r.value;
        m_state.sendQueue.QueueValuePair(Framing::WriteCommand(r.board), r.cell, r.value);
        item.again = item.again || item.writes > 0;
        ++item.writes;
        item.rewrite = false;
        item.asks = 0;       // the read-backs count anew for this write
        item.values.clear(); // what the board held before this write no longer counts
        item.asked.clear();
    } else {
        asks.kind = Framing::Asks::Kind::Read;
        m_state.sendQueue.QueueValue(Framing::ReadCommand(r.board), r.cell);
        // Asked beyond its first asks: only a cell that did not come through is.
        item.again = item.again || m_pass > 1 || item.asks >= FirstAsks();
        ++item.asks;
        m_noisyAsks += m_state.noise.noisy() ? 1 : 0;
    }
    m_state.line.Take(&m_holder, asks);
    m_flight = Flight{index, write, -1, m_state.now()};
    m_phase = State::WaitingOnLine;
    qCDebug(lcTransfer) << (write ? "write" : "read") << BoardName(r.board) << CellName(r.cell)
                        << "pass" << m_pass;
    if (item.asks + item.writes == 1 && m_hooks.ownerSent) {
        m_hooks.ownerSent(r);
    }
}

bool AnswerPacing::SendNext() {
    for (size_t i = m_cursor; i < m_items.size(); ++i) {
        Item &item = m_items[i];
        if (!Eligible(item)) {
            continue;
        }
        m_cursor = i; // the same cell again if it is still to be asked in this pass
        const bool write =
            item.request.kind == Request::Kind::Write && (item.writes == 0 || item.rewrite);
        Send(i, write);
        return true;
    }
    m_cursor = m_items.size();
    return false;
}

Transfer::TickResult AnswerPacing::Tick() {
    Transfer::TickResult result;
    if (!active()) {
        return result;
    }
    const qint64 now = m_state.now();
    m_interval = WaitMs;
    FollowLine();
    switch (m_phase) {
    case State::WaitingOnLine:
        if (!WaitOnLine(now)) {
            return result;
        }
        break;
    case State::AwaitingAnswer:
        if (!AwaitAnswer(now)) {
            return result;
        }
        break;
    case State::AwaitingReadBack:
        AwaitReadBack(now);
        result.readBack = m_flight && !m_flight->write;
        return result;
    case State::Running:
    case State::Believing:
        break;
    case State::Idle:
    case State::Stopping:
    case State::Ended:
        return result;
    }
    Proceed(result, now);
    return result;
}

void AnswerPacing::FollowLine() {
    if (!m_flight) {
        return;
    }
    const RequestLine &line = m_state.line;
    if (!line.heldBy(&m_holder)) {
        m_flight.reset();
        m_phase = State::Running;
    } else if (line.current()->drained) {
        LoseFlight(); // the bytes went into the send log: not connected
    } else if (m_phase == State::WaitingOnLine && line.current()->onWireAt >= 0) {
        m_phase = m_flight->write ? State::AwaitingReadBack : State::AwaitingAnswer;
    }
}

void AnswerPacing::LoseFlight() {
    if (!m_flight->write) {
        NoteFailedAsk(m_items[m_flight->item]);
        NoteAnswer(Answer::Lost);
    }
    ReleaseLine();
    m_flight.reset();
    m_phase = State::Running;
}

bool AnswerPacing::WaitOnLine(qint64 now) {
    if (now - m_flight->queuedAt < StuckMs) {
        return false; // still waiting in the transmit queue
    }
    // A line that takes nothing for so long is no line: that request is lost.
    qCWarning(lcTransfer) << "request not sent within" << StuckMs << "ms";
    LoseFlight();
    return true;
}

bool AnswerPacing::AwaitAnswer(qint64 now) {
    const Request &r = m_items[m_flight->item].request;
    const qint64 deadline = m_state.line.current()->onWireAt + TimeoutMs(m_state, r.board);
    if (now < deadline) {
        m_interval = static_cast<int>(deadline - now);
        return false;
    }
    qCDebug(lcTransfer) << "no answer from" << BoardName(r.board) << CellName(r.cell);
    LoseFlight();
    return true;
}

void AnswerPacing::AwaitReadBack(qint64 now) {
    // The cell is read back once the board has had its time to write it, with a margin; the
    // read-back's own bytes count towards that time.
    if (m_flight->readBackAt < 0) {
        const qint64 bytes = 2 * qint64(m_state.timing().byteIntervalMs);
        const qint64 settle =
            WriteSettleMs(m_items[m_flight->item].request.board) + ReadBackMarginMs;
        m_flight->readBackAt =
            m_state.line.current()->onWireAt + std::max<qint64>(0, settle - bytes);
    }
    if (now < m_flight->readBackAt) {
        m_interval = static_cast<int>(m_flight->readBackAt - now);
        return;
    }
    Send(m_flight->item, false);
}

void AnswerPacing::Proceed(Transfer::TickResult &result, qint64 now) {
    if (m_state.line.busy() ||
        m_state.sendQueue.length() + Msg::MessageBytes > SendQueue::Capacity) {
        return; // another transfer's request is on its way, or the queue is full
    }
    if (SendNext()) {
        result.step = Transfer::Step{};
        return;
    }
    if (!Believed(now)) {
        return;
    }
    // A read asks a cell up to MaxAsks times; a write may be written MaxWrites times, each read
    // back up to MaxAsks times.
    const int passes = m_mode == Mode::Read ? MaxAsks - 1 : MaxAsks * MaxWrites;
    while (m_pass < passes) {
        ++m_pass;
        m_cursor = 0;
        if (SendNext()) {
            result.step = Transfer::Step{};
            return;
        }
    }
    Finish();
    result.ended = true;
}

bool AnswerPacing::Believed(qint64 now) {
    // The pass is through. Answers that came but are not yet believed decide what the next pass
    // must ask again: wait for them, as long as the board's next report may take to show them in
    // step.
    if (std::none_of(m_items.begin(), m_items.end(),
                     [](const Item &item) { return item.awaiting > 0; })) {
        m_phase = State::Running;
        return true;
    }
    if (m_phase != State::Believing) {
        m_phase = State::Believing;
        m_believingSince = now;
    }
    if (now - m_believingSince < BeliefWaitMs) {
        return false;
    }
    for (Item &item : m_items) {
        for (; item.awaiting > 0; --item.awaiting) {
            NoteFailedAsk(item); // not believed in time: those asks failed
            NoteAnswer(Answer::Unbelieved);
        }
    }
    m_phase = State::Running;
    return true;
}

void AnswerPacing::NoteAnswer(Answer answer) {
    ++m_answers[static_cast<size_t>(answer)];
    // An ask that brought nothing tells nothing of the bytes that do come: the board may be
    // switched off, or the stream out of step until the next marker.
    if (answer != Answer::Lost) {
        m_state.noise.Note(answer != Answer::Clean);
    }
}

void AnswerPacing::NoteFailedAsk(Item &item) {
    if (!item.outcome) {
        item.asked.push_back(NoValue);
    }
}

void AnswerPacing::ReleaseLine() {
    m_state.FreeLine(&m_holder);
}

AnswerPacing::Item *AnswerPacing::Awaiting(Board board, int cell) {
    Item *open = nullptr;
    for (Item &item : m_items) {
        if (item.request.board != board || item.request.cell != cell) {
            continue;
        }
        if (item.awaiting > 0) {
            return &item;
        }
        if (!open) {
            open = &item;
        }
    }
    return open;
}

bool AnswerPacing::OnArrived(Board board, int cell) {
    if (!m_flight || m_flight->write) {
        return false;
    }
    Item &item = m_items[m_flight->item];
    if (item.request.board != board || item.request.cell != cell) {
        return false;
    }
    ++item.awaiting;
    ReleaseLine();
    m_flight.reset();
    m_phase = State::Running;
    return true; // the next request can go at once
}

bool AnswerPacing::OnBelieved(Board board, int cell, int value) {
    if (!active()) {
        return false;
    }
    Item *item = Awaiting(board, cell);
    if (!item) {
        return false;
    }
    if (item->awaiting > 0) {
        --item->awaiting;
    }
    // One damaged answer among right ones conflicts with the answer before it and the one after
    // it: counted once.
    const int before = LastAnswer(item->asked);
    const bool conflict = before != NoValue && before != value && !item->conflicted;
    item->conflicted = conflict;
    NoteAnswer(conflict ? Answer::Conflict : Answer::Clean);
    if (!item->outcome) {
        item->values.push_back(value);
        item->asked.push_back(value);
        Settle(*item);
    }
    return true; // a late copy of a settled cell must not land in the mirror unconfirmed
}

bool AnswerPacing::OnDiscarded(Board board, int cell) {
    if (!active()) {
        return false;
    }
    Item *item = Awaiting(board, cell);
    if (!item || item->awaiting == 0) {
        return false;
    }
    --item->awaiting;
    NoteFailedAsk(*item); // the answer came out of step: what it held is not known
    NoteAnswer(Answer::OutOfStep);
    return true;
}

void AnswerPacing::Settle(Item &item) {
    const Request &r = item.request;
    std::optional<Outcome> outcome;
    int value = -1;
    if (r.kind == Request::Kind::Read) {
        value = Settled(item.asked, m_state.noise.noisy());
        if (value >= 0) {
            outcome = Outcome::Confirmed;
        }
    } else if ((value = Settled(item.asked, m_state.noise.noisy())) == r.value) {
        outcome = Outcome::Verified;
    } else if (value >= 0) {
        // The board holds another value: written once more, unless that was done often enough.
        if (item.writes < MaxWrites) {
            item.rewrite = true;
        } else {
            outcome = Outcome::Mismatch;
        }
    }
    if (!outcome) {
        return;
    }
    item.outcome = outcome;
    ++m_done;
    if (*outcome == Outcome::Confirmed || *outcome == Outcome::Verified) {
        m_state.image(r.board).Apply(r.cell, value);
    }
    if (m_hooks.ownerDone) {
        m_hooks.ownerDone(r, *outcome, value);
    }
}

void AnswerPacing::Abort(bool interrupted) {
    End(interrupted ? Ending::Interrupted : Ending::Stopped);
}

void AnswerPacing::EndSilent() {
    End(Ending::Silent);
}

void AnswerPacing::End(Ending why) {
    if (!active()) {
        return;
    }
    ReleaseLine();
    m_flight.reset();
    m_phase = State::Ended;
    m_ending = why;
    m_endedAt = m_state.now();
    m_report = Transfer::Report{ReportLine(why), QString()};
    qCDebug(lcTransfer) << (why == Ending::Stopped  ? "transfer stopped by the user"
                            : why == Ending::Silent ? "transfer ended: the board is silent"
                                                    : "transfer interrupted")
                        << "after" << m_done << "of" << m_items.size() << "cells";
}
