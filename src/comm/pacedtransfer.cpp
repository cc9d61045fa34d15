#include "comm/pacedtransfer.h"

#include "comm/sharedstate.h"

#include <algorithm>
#include <utility>

PacedTransfer::PacedTransfer(SharedState &state, QObject *parent)
    : QObject(parent), m_state(state), m_fixed(state), m_answer(state, *this) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PacedTransfer::OnTimer);
    m_state.RegisterClient(this);
}

PacedTransfer::~PacedTransfer() {
    m_state.UnregisterClient(this);
}

bool PacedTransfer::Start(Plan plan) {
    AnnounceEnding();
    if (!plan.byAnswer) {
        // A transfer stopped by a click ends at the owner's next tick; a click before it may
        // already start the next one.
        if (running()) {
            return false;
        }
        m_current = &m_fixed;
        return m_fixed.Toggle(plan.mode, plan.count, plan.intervals, std::move(plan.steps));
    }
    if (active()) {
        return false;
    }
    m_current = &m_answer;
    m_answer.Start(plan.mode, std::move(plan.requests), std::move(plan.hooks));
    WakeSoon();
    return true;
}

bool PacedTransfer::Toggle(Plan plan) {
    AnnounceEnding();
    if (!running()) {
        return Start(std::move(plan));
    }
    if (byAnswer()) {
        Abort();
    } else {
        m_fixed.Toggle(plan.mode, plan.count, plan.intervals, nullptr); // ends at the next tick
    }
    return false;
}

void PacedTransfer::End() {
    if (!byAnswer()) {
        m_fixed.End();
    }
}

void PacedTransfer::Abort(bool interrupted) {
    if (byAnswer() && m_answer.active()) {
        m_answer.Abort(interrupted);
        m_timer.stop();
    }
}

PacedTransfer::TickResult PacedTransfer::Tick() {
    if (!byAnswer()) {
        return m_fixed.Tick();
    }
    m_woken = false;
    if (!m_answer.active()) {
        return {};
    }
    if (m_endsWhenSilent && m_state.connection().silent()) {
        m_answer.EndSilent();
        emit finished(Ending::Silent);
        return {true, std::nullopt};
    }
    const TickResult result = m_answer.Tick();
    if (result.ended) {
        emit finished(Ending::Complete);
        return result;
    }
    if (result.step || result.readBack) {
        emit progressed();
    }
    if (!m_woken && m_answer.active()) {
        m_timer.start(std::max(0, m_answer.interval()));
    }
    return result;
}

void PacedTransfer::OnTimer() {
    if (m_unannounced) {
        AnnounceEnding();
        return;
    }
    Tick();
}

void PacedTransfer::AnnounceEnding() {
    if (const std::optional<Ending> ending = std::exchange(m_unannounced, std::nullopt)) {
        emit finished(*ending);
    }
}

void PacedTransfer::WakeSoon() {
    m_woken = true;
    m_timer.start(0);
}

void PacedTransfer::Wake() {
    if (byAnswer() && m_answer.active()) {
        WakeSoon();
    }
}

void PacedTransfer::OnArrived(Board board, int cell) {
    if (m_answer.OnArrived(board, cell)) {
        WakeSoon(); // the next request can go at once
    }
}

bool PacedTransfer::OnBelieved(Board board, int cell, int value) {
    const bool taken = m_answer.OnBelieved(board, cell, value);
    if (taken) {
        WakeSoon();
    }
    return taken;
}

void PacedTransfer::OnDiscarded(Board board, int cell) {
    if (m_answer.OnDiscarded(board, cell)) {
        WakeSoon();
    }
}

void PacedTransfer::OnInterrupted() {
    if (byAnswer() && m_answer.active()) {
        m_answer.Abort(true);
        m_unannounced = Ending::Interrupted;
        m_timer.start(0);
    }
}
