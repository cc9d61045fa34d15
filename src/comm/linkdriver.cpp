#include "comm/linkdriver.h"

#include "comm/link.h"
#include "comm/sharedstate.h"

#include <algorithm>
#include <utility>

namespace {
QTimer *NamedTimer(QObject *parent, const char *name, int interval) {
    auto *timer = new QTimer(parent);
    timer->setObjectName(QString::fromLatin1(name));
    timer->setInterval(interval);
    return timer;
}
} // namespace

LinkDriver::LinkDriver(SharedState &state, Link &link, QObject *parent)
    : QObject(parent), m_state(state), m_link(link),
      m_transmit(NamedTimer(this, "Timer_Senden", state.timing().byteIntervalMs)),
      m_receive(NamedTimer(this, "Timer_Receive", state.timing().receiveMs)),
      m_housekeeping(NamedTimer(this, "Timer2", HousekeepingMs)) {
    // The port is read when it reports bytes; the receive tick comes only when a read is still
    // due (after Start and Stop, or bytes left behind), not fifty times a second to find nothing.
    m_receive->setSingleShot(true);
    m_transmit->setTimerType(Qt::PreciseTimer);
    // Never early: restarted behind a report, it must not come just before the next one.
    m_housekeeping->setTimerType(Qt::PreciseTimer);
    m_firstByte.setSingleShot(true);
    m_firstByte.setTimerType(Qt::PreciseTimer);
    m_readSoon.setSingleShot(true);
    connect(m_transmit, &QTimer::timeout, this, &LinkDriver::Timer_SendenTimer);
    connect(m_receive, &QTimer::timeout, this, &LinkDriver::Timer_ReceiveTimer);
    connect(m_housekeeping, &QTimer::timeout, this, &LinkDriver::Timer2Timer);
    connect(&m_firstByte, &QTimer::timeout, this, &LinkDriver::SendFirstByte);
    connect(&m_readSoon, &QTimer::timeout, this, &LinkDriver::Timer_ReceiveTimer);

    // The transmit tick runs only while bytes wait: a queued byte wakes it, the tick that sends
    // the last byte puts it to sleep again.
    connect(&m_state.sendQueue, &SendQueue::appended, this, &LinkDriver::WakeSendTick);
    connect(&m_link, &Link::wantsToSend, this, &LinkDriver::WakeSendTick);
    // Bytes are read as soon as the port reports them.
    connect(&m_link, &Link::dataWaiting, this, [this] {
        m_bytesArrived = true;
        if (m_readOnArrival && !m_readSoon.isActive()) {
            m_readSoon.start(0);
        }
    });
    connect(&m_link, &Link::stopped, this, &LinkDriver::StopReceiving);
    connect(&m_link, &Link::failed, this, &LinkDriver::StopReceiving);
    m_housekeeping->start();
}

LinkDriver::~LinkDriver() = default;

void LinkDriver::ApplyTiming() {
    m_transmit->setInterval(std::max(1, m_state.timing().byteIntervalMs));
    m_receive->setInterval(std::max(1, m_state.timing().receiveMs));
}

void LinkDriver::ReceiveSoon() {
    m_receive->start();
}

void LinkDriver::StopReceiving() {
    m_receive->stop();
}

void LinkDriver::SetReadOnArrival(bool on) {
    m_readOnArrival = on;
    if (!on) {
        m_receive->stop();
        m_readSoon.stop();
    }
}

void LinkDriver::SetTransmitOnWake(bool on) {
    m_transmitOnWake = on;
    if (!on) {
        m_transmit->stop();
        m_firstByte.stop();
    }
}

void LinkDriver::WakeSendTick() {
    if (!m_transmitOnWake || !m_link.hasBytesToSend() || m_transmit->isActive()) {
        return;
    }
    m_transmit->start();
    // A line idle for less than a tick takes the first byte only when that tick is over; one
    // idle for longer takes it at once: the board never gets two bytes closer together than
    // "Interval_Senden", but no request waits for a tick it does not need.
    const qint64 wait = m_link.WaitBeforeNextByte(m_transmit->interval());
    if (wait < m_transmit->interval()) {
        m_firstByte.start(static_cast<int>(wait));
    }
}

void LinkDriver::SendFirstByte() {
    if (m_link.WaitBeforeNextByte(m_transmit->interval()) > 0 || !m_link.hasBytesToSend()) {
        return; // a tick has sent since
    }
    Timer_SendenTimer();
    if (m_link.hasBytesToSend()) {
        m_transmit->start(); // the next byte one whole interval after this one
    }
}

void LinkDriver::Timer_SendenTimer() {
    m_link.TransmitTick();
    // Nothing left to send: no more ticks until something is queued.
    if (!m_link.hasBytesToSend()) {
        m_transmit->stop();
    }
}

void LinkDriver::Timer_ReceiveTimer() {
    m_link.ReceiveTick(std::clamp(m_state.timing().readSize, 1, Link::MaxReadSize));
    const bool arrived = std::exchange(m_bytesArrived, false);
    // The board reports every 200 ms. The housekeeping tick follows the reports: it runs right
    // behind the read of one once at least HousekeepingBehindReadMs have passed since it last
    // ran, and otherwise starts its period anew from this read, so that it runs behind the next
    // report. One wake-up then serves both, five a second instead of ten on a standing
    // connection, and it never runs more than HousekeepingMs + HousekeepingBehindReadMs apart.
    // A read that brought other positions than the tick last took runs it at once, however
    // recently it ran: the position shown follows the board's last report, not the one before.
    // Without reports it keeps its own period.
    if (arrived && m_readOnArrival && m_state.connection().online() &&
        m_lastHousekeeping.isValid()) {
        m_housekeeping->start();
        if (m_lastHousekeeping.elapsed() >= HousekeepingBehindReadMs ||
            ReportedPositions() != m_positionsTaken) {
            Timer2Timer();
        }
    }
    // More than one tick takes waits for the next tick, "Interval_Receive" later; otherwise no
    // tick is due until the port reports bytes again.
    if (m_readOnArrival && m_link.port().isOpen() && m_link.port().QueryPortStatus() > 0) {
        m_receive->start();
    } else {
        m_receive->stop();
    }
}

LinkDriver::Positions LinkDriver::ReportedPositions() const {
    const InfoTable &table = m_state.infoTable();
    return {table.data1(InfoTable::Positions), table.data2(InfoTable::Positions)};
}

void LinkDriver::Timer2Timer() {
    m_lastHousekeeping.start();
    m_positionsTaken = ReportedPositions();
    ++m_housekeepingRuns;
    m_link.CheckHealth();
    if (m_state.connection().online()) {
        m_state.TakePositions();
    }
    emit housekeeping();
}
