#include "sim/simpacer.h"

#include <algorithm>
#include <climits>

SimPacer::SimPacer(Simulator &sim, int lineRate) : m_sim(sim), m_lineRate(lineRate) {
    m_clock.start();
}

void SimPacer::CatchUp() {
    const qint64 now = m_clock.elapsed();
    // A tick late by more than an int of milliseconds (a suspended process) moves at most that.
    m_sim.advance(static_cast<int>(std::min<qint64>(now - m_last, INT_MAX)));
    m_budget = std::min(m_budget + double(now - m_last) * m_lineRate / 10000.0, 64.0);
    m_last = now;
    m_outgoing += m_sim.takeOutput();
    if (m_outgoing.size() > MaxOutgoing) {
        // Nobody reads the line: keep only the latest output.
        m_outgoing.remove(0, m_outgoing.size() - MaxOutgoing);
    }
}

void SimPacer::Receive(const QByteArray &bytes) {
    CatchUp();
    m_sim.receive(bytes);
}

QByteArray SimPacer::ready() const {
    return m_outgoing.left(
        std::min<qsizetype>(static_cast<qsizetype>(m_budget), m_outgoing.size()));
}

void SimPacer::Sent(qsizetype count) {
    m_outgoing.remove(0, count);
    m_budget -= double(count);
}

int SimPacer::wakeInMs(bool lineTakesBytes) const {
    qint64 wait = m_sim.nextEventAt() - m_sim.now();
    if (!m_outgoing.isEmpty() && lineTakesBytes) {
        // The next byte may go once the budget has a whole byte again.
        wait = std::min<qint64>(wait, m_budget >= 1.0 ? 0 : 1);
    }
    return static_cast<int>(std::clamp<qint64>(wait, 0, LongestWaitMs));
}
