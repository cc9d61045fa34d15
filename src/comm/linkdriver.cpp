#include "comm/linkdriver.h"

#include "comm/link.h"
#include "comm/sharedstate.h"

#include <algorithm>

LinkDriver::LinkDriver(SharedState &state, Link &link, int byteIntervalMs, int receiveMs,
                       int readSize, QObject *parent)
    : QObject(parent), m_state(state), m_link(link), m_readSize(std::max(1, readSize)) {
    m_transmit.setInterval(std::max(1, byteIntervalMs));
    m_transmit.setTimerType(Qt::PreciseTimer);
    m_firstByte.setSingleShot(true);
    m_firstByte.setTimerType(Qt::PreciseTimer);
    m_receive.setInterval(std::max(1, receiveMs));
    m_readSoon.setSingleShot(true);
    m_health.setInterval(HealthMs);
    connect(&m_transmit, &QTimer::timeout, this, &LinkDriver::TransmitTick);
    connect(&m_firstByte, &QTimer::timeout, this, &LinkDriver::SendFirstByte);
    connect(&m_receive, &QTimer::timeout, this, &LinkDriver::ReceiveTick);
    connect(&m_readSoon, &QTimer::timeout, this, &LinkDriver::ReceiveTick);
    connect(&m_health, &QTimer::timeout, this, [this] { m_link.CheckHealth(); });
    m_state.sendQueue.onQueued = [this] { WakeSendTick(); };
    connect(&m_link, &Link::wantsToSend, this, &LinkDriver::WakeSendTick);
    // Bytes are read as soon as the port reports them, not only at the next receive tick.
    connect(&m_link, &Link::dataWaiting, this, [this] {
        if (m_receive.isActive() && !m_readSoon.isActive()) {
            m_readSoon.start(0);
        }
    });
}

LinkDriver::~LinkDriver() {
    m_state.sendQueue.onQueued = nullptr;
}

void LinkDriver::Start() {
    m_receive.start();
    m_health.start();
    WakeSendTick();
}

void LinkDriver::Stop() {
    m_receive.stop();
    m_readSoon.stop();
    m_health.stop();
    m_transmit.stop();
    m_firstByte.stop();
}

void LinkDriver::WakeSendTick() {
    if (!m_link.hasBytesToSend() || m_transmit.isActive()) {
        return;
    }
    m_transmit.start();
    // A line idle for less than a tick takes the first byte when that tick is over; one idle for
    // longer takes it at once, so that no request waits for a tick it does not need.
    const qint64 wait = m_link.WaitBeforeNextByte(m_transmit.interval());
    if (wait < m_transmit.interval()) {
        m_firstByte.start(static_cast<int>(wait));
    }
}

void LinkDriver::SendFirstByte() {
    if (m_link.WaitBeforeNextByte(m_transmit.interval()) > 0 || !m_link.hasBytesToSend()) {
        return; // a tick has sent since
    }
    TransmitTick();
    if (m_link.hasBytesToSend()) {
        m_transmit.start(); // the next byte one whole interval after this one
    }
}

void LinkDriver::TransmitTick() {
    m_link.TransmitTick();
    if (!m_link.hasBytesToSend()) {
        m_transmit.stop(); // woken again when something is queued
    }
}

void LinkDriver::ReceiveTick() {
    if (!m_link.port().isOpen()) {
        return;
    }
    m_link.ReceiveTick(m_readSize);
}
