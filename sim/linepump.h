#pragma once

#include "sim/simpacer.h"
#include "sim/simulator.h"

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <functional>

// Moves the simulator on in real time and carries its bytes to and from the master side of a
// pseudo-terminal, the output paced at the line rate (10 bits a byte). A line that nobody reads
// fills up and takes no more: the pump then waits until it has room again, rather than trying
// again and again.
class LinePump : public QObject {
public:
    LinePump(Simulator &sim, int master, int lineRate, bool tracing, QObject *parent = nullptr);

    // Reads no more from the line, which is about to close.
    void Stop();
    // The simulator hung up: called once, after its last bytes.
    std::function<void()> hungUp;

    // How often the pump has woken to send, and whether it now waits for room on the line.
    int sendWakeUps() const { return m_sendWakeUps; }
    bool waitingForRoom() const { return m_waitingForRoom; }
    // Bytes the simulator said that wait to go.
    qsizetype outgoing() const { return m_pacer.outgoing(); }

private:
    void Schedule();
    void Send();
    void Receive();

    Simulator &m_sim;
    const int m_master;
    SimPacer m_pacer;
    const bool m_tracing;
    QTimer m_timer;
    QSocketNotifier m_reader;
    QSocketNotifier m_room; // the line can take bytes again
    bool m_waitingForRoom = false;
    bool m_done = false;
    int m_sendWakeUps = 0;
};
