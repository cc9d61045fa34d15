#pragma once

#include <QObject>
#include <QTimer>

class Link;
class SharedState;

// The timers that move the bytes of a link without a window: the transmit tick that puts the
// queue on the line one byte per interval (woken when something is queued, asleep while nothing
// waits, the first byte after an idle line at once), the receive tick that takes what came (also
// right after the port reports bytes), and the health check that notices a silent board. This is
// what the main window's timers do for the window; the command line runs on it.
class LinkDriver : public QObject {
    Q_OBJECT
public:
    static constexpr int HealthMs = 200;

    // byteIntervalMs: the gap between bytes on the line ("Interval_Senden"); receiveMs: the
    // receive tick ("Interval_Receive"); readSize: bytes taken per read ("COM-Buffersize").
    LinkDriver(SharedState &state, Link &link, int byteIntervalMs, int receiveMs, int readSize,
               QObject *parent = nullptr);
    ~LinkDriver() override;

    // Starts the receive and health ticks once the link is open; Stop ends every tick.
    void Start();
    void Stop();
    bool running() const { return m_receive.isActive(); }

private:
    void WakeSendTick();
    void SendFirstByte();
    void TransmitTick();
    void ReceiveTick();

    SharedState &m_state;
    Link &m_link;
    int m_readSize;
    QTimer m_transmit;
    QTimer m_firstByte;
    QTimer m_receive;
    QTimer m_readSoon;
    QTimer m_health;
};
