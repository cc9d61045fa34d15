#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <utility>

class Link;
class SharedState;

// The timers that drive all traffic of a link, for the window and the command line alike:
// `Timer_Senden` puts the transmit queue on the line one byte per "Interval_Senden" (woken when
// something is queued, asleep while nothing waits, the first byte after an idle line at once);
// `Timer_Receive` takes what came, right after the port reports bytes and again while bytes are
// left behind, and closes the port after Stop; `Timer2`, the housekeeping tick every 200 ms for the
// whole run, notices a silent board, copies the reported positions and lets the listeners of
// housekeeping() refresh.
class LinkDriver : public QObject {
    Q_OBJECT
public:
    static constexpr int HousekeepingMs = 200;
    // The earliest a housekeeping tick runs behind a read, counted from the last one.
    static constexpr int HousekeepingBehindReadMs = 100;

    LinkDriver(SharedState &state, Link &link, QObject *parent = nullptr);
    ~LinkDriver() override;

    // The line's timing (LineTraffic::timing) changed: the ticks follow it.
    void ApplyTiming();

    // A receive tick is due: after the port was opened, and after Stop (it closes the port).
    void ReceiveSoon();
    // No receive tick until the port is opened again.
    void StopReceiving();
    // Whether the port is read as soon as it reports bytes (and bytes left behind at the next
    // receive tick). Off, only calls of Timer_ReceiveTimer read: for tests that tick by hand.
    void SetReadOnArrival(bool on);
    // Whether queued bytes wake the transmit tick. Off, only calls of Timer_SendenTimer send: for
    // tests that look at the queue and tick by hand.
    void SetTransmitOnWake(bool on);
    // How often the housekeeping tick has run, by its timer or right behind a board's report.
    int housekeepingRuns() const { return m_housekeepingRuns; }

public slots:
    void Timer_SendenTimer();
    void Timer_ReceiveTimer();
    void Timer2Timer();

signals:
    // The housekeeping tick ran (after the health check and the positions).
    void housekeeping();

private:
    // Target and actual position of the board's last position report, as received.
    using Positions = std::pair<uint8_t, uint8_t>;
    Positions ReportedPositions() const;
    void WakeSendTick();
    void SendFirstByte();

    SharedState &m_state;
    Link &m_link;
    QTimer *m_transmit;
    QTimer *m_receive;
    QTimer *m_housekeeping;
    QTimer m_firstByte; // the first byte after an idle line
    QTimer m_readSoon;  // a read right after the port reported bytes
    bool m_readOnArrival = true;
    bool m_transmitOnWake = true;
    bool m_bytesArrived = false;      // the port reported bytes since the last read
    QElapsedTimer m_lastHousekeeping; // since the last housekeeping tick
    int m_housekeepingRuns = 0;
    Positions m_positionsTaken{0xFF, 0xFF}; // what the last housekeeping tick took
};
