#pragma once

#include "sim/simulator.h"

#include <QByteArray>
#include <QElapsedTimer>

// Moves the simulator on in real time and holds what it said until the line rate (10 bits a
// byte) lets it go: the part that a pseudo-terminal and a TCP connection share. Whoever carries
// the bytes asks what may go now, says how much went, and sleeps until wakeInMs().
class SimPacer {
public:
    SimPacer(Simulator &sim, int lineRate);

    // The simulator's time catches up with the real time; what it said meanwhile waits to go.
    void CatchUp();
    // Bytes from the line: the boards judge the pacing by when a request arrives, not by the
    // last tick, so the time catches up first.
    void Receive(const QByteArray &bytes);
    // What the line rate lets go now, and how much of it went.
    QByteArray ready() const;
    void Sent(qsizetype count);

    // How long the carrier may sleep: until the simulator's next event or, while bytes wait and
    // the line takes them, until the next byte may go; never longer than LongestWaitMs.
    int wakeInMs(bool lineTakesBytes) const;
    qsizetype outgoing() const { return m_outgoing.size(); }

    // The most held for a line that takes nothing, as a full driver queue would.
    static constexpr int MaxOutgoing = 4096;
    static constexpr int LongestWaitMs = 200;

private:
    Simulator &m_sim;
    const int m_lineRate;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    double m_budget = 0.0;
    QByteArray m_outgoing;
};
