#include "core/session/session.h"

#include "comm/netaddress.h"
#include "comm/portmap.h"

#include <QFileInfo>
#include <algorithm>
#include <utility>

Session::Session(QObject *parent)
    : QObject(parent), m_link(m_state), m_driver(m_state, m_link, this),
      m_enumerator(std::make_shared<SystemPortEnumerator>()),
      m_returnWatch(m_enumerator.get(), this) {
    connect(&m_link, &Link::failed, this, &Session::OnLinkFailed);
    connect(&m_link, &Link::ready, this, &Session::OnLinkReady);
    connect(&m_link, &Link::openFailed, this, &Session::OnLinkOpenFailed);
    connect(&m_link, &Link::silenceChanged, this, [this](bool silent) {
        if (online()) {
            SetConnection(silent ? State::Silent : State::Online);
        }
    });
    connect(&m_returnWatch, &PortWatcher::portsChanged, this, &Session::OnDevicesChanged);
    connect(&m_returnWatch, &PortWatcher::pathSeen, this, &Session::OnDevicesChanged);
    m_nextCall.setSingleShot(true);
    connect(&m_nextCall, &QTimer::timeout, this, &Session::CallBridge);
    m_countdown.setInterval(1000);
    connect(&m_countdown, &QTimer::timeout, this, &Session::bridgeWaitChanged);
}

Session::~Session() {
    if (m_link.port().isOpen()) {
        m_link.port().Close();
    }
}

void Session::setDeviceFactory(ComPort::DeviceFactory factory) {
    m_link.port().setDeviceFactory(std::move(factory));
}

void Session::setTiming(const LineTiming &timing) {
    LineTiming t = timing;
    t.byteIntervalMs = std::max(1, t.byteIntervalMs);
    t.receiveMs = std::max(1, t.receiveMs);
    t.readSize = std::clamp(t.readSize, 1, Link::MaxReadSize);
    m_state.setTiming(t);
    m_driver.ApplyTiming();
}

void Session::Choose(const ConnectionSettings &settings) {
    if (waitingForDevice() && (!settings.autoReconnect || settings.port != m_settings.port)) {
        StopWaiting(); // another port chosen, or the box switched off
    }
    m_settings = settings;
}

QString Session::portToOpen() const {
    return m_settings.port.isEmpty() ? m_link.portName() : m_settings.port;
}

QString Session::shownName(const QString &portName) const {
    const QString target = m_link.port().portMap().targetForName(portName);
    return NetAddress::IsNetworkName(target) ? target : portName;
}

bool Session::Start(const ConnectionSettings &settings, QString *reason, QString *configureError) {
    Choose(settings);
    return Start(reason, configureError);
}

bool Session::Start(QString *reason, QString *configureError) {
    StopWaiting();
    if (online()) {
        Stop();
    }
    // A Start while a port is still on its way goes back to where the first one started.
    const State before =
        connectionState() == State::Connecting ? m_beforeConnecting : connectionState();
    const QString name = portToOpen();
    SetConnection(State::Connecting);
    // Probed first, as the program always has: a port that is missing or held says so before
    // anything of the line is set up. Taken between the probe and the open, it stays closed.
    if (!m_link.Probe(name, reason) ||
        !m_link.Open(name, m_settings.baud, reason, configureError)) {
        SetConnection(before);
        return false;
    }
    if (m_link.opening()) {
        m_beforeConnecting = before;
        return true;
    }
    m_driver.ReceiveSoon();
    SetConnection(State::Online);
    return true;
}

void Session::OnLinkReady(const QString &configureError) {
    if (std::exchange(m_calling, false)) {
        Reconnected(configureError);
        return;
    }
    m_driver.ReceiveSoon();
    SetConnection(State::Online);
    emit started(configureError);
}

void Session::OnLinkOpenFailed(const QString &reason) {
    if (std::exchange(m_calling, false)) {
        AwaitBridge(std::min(2 * m_retryPauseMs, LongestRetryMs));
        return;
    }
    SetConnection(m_beforeConnecting);
    emit startFailed(reason);
}

void Session::Stop() {
    StopWaiting();
    m_link.EndDirectDrive();
    m_link.Stop(); // the next receive tick closes the port
    m_driver.ReceiveSoon();
    SetConnection(State::Offline);
}

void Session::SetConnection(State state) {
    const bool wasOnline = online();
    if (!m_connection.set(state)) {
        return;
    }
    if (wasOnline && !online()) {
        // Nothing waits for an answer that cannot come.
        m_state.InterruptTransfers();
    }
    emit stateChanged(state);
}

void Session::OnLinkFailed(Link::Failure failure, const QString &reason) {
    SetConnection(State::Lost);
    // A USB adapter pulled out takes its device along; plugged in again it comes back under the
    // same stable name. Watched from the loss on, so that a return while the user is told of the
    // loss counts.
    const QString target = m_link.port().portMap().targetForName(m_link.portName());
    if (m_settings.autoReconnect && NetAddress::IsNetworkName(target)) {
        m_bridge = target;
        AwaitBridge(FirstRetryMs);
    } else if (m_settings.autoReconnect && !target.isEmpty() && target != PortMap::Simulator) {
        AwaitReturn(target, false);
    }
    emit lost(failure, reason);
}

void Session::AwaitBridge(int pauseMs) {
    m_retryPauseMs = pauseMs;
    m_nextCallAt = m_state.now() + pauseMs;
    m_nextCall.start(pauseMs);
    m_countdown.start();
    SetConnection(State::Waiting);
    emit bridgeWaitChanged();
}

int Session::secondsToNextCall() const {
    const qint64 left = std::max<qint64>(0, m_nextCallAt - m_state.now());
    return int((left + 999) / 1000);
}

void Session::CallBridge() {
    m_countdown.stop();
    if (online() || !m_settings.autoReconnect) {
        StopWaiting();
        return;
    }
    QString reason;
    QString configureError;
    m_calling = true;
    if (!m_link.Open(m_link.portName(), m_settings.baud, &reason, &configureError)) {
        m_calling = false;
        AwaitBridge(std::min(2 * m_retryPauseMs, LongestRetryMs));
        return;
    }
    if (m_link.opening()) {
        emit bridgeWaitChanged(); // the call is on its way
        return;
    }
    m_calling = false;
    Reconnected(configureError);
}

void Session::Reconnected(const QString &configureError) {
    EndBridgeWait();
    m_driver.ReceiveSoon();
    SetConnection(State::Online);
    emit reconnected(configureError);
}

void Session::setPortEnumerator(std::shared_ptr<const PortEnumerator> enumerator) {
    m_returnWatch.setEnumerator(enumerator.get());
    m_enumerator = std::move(enumerator);
    emit portEnumeratorChanged();
}

void Session::AwaitReturn(const QString &target, bool retry) {
    m_return.Disarm(); // the read below is no return yet
    const bool wasWatching = m_returnWatch.isActive();
    m_returnWatch.setActive(true); // reads the devices when it switches on
    SetConnection(State::Waiting);
    if (retry) {
        // Back but not to be opened yet: the next change of the devices tries again.
        m_return.Arm(target, false);
        return;
    }
    if (wasWatching) {
        m_returnWatch.rescan();
    }
    // udev may not have removed the adapter's device yet: then it must go before it comes back.
    m_return.Arm(target, Present(target));
    m_returnWatch.watchPath(target);
}

bool Session::Present(const QString &target) const {
    return PortReturn::Lists(m_returnWatch.ports(), target) || QFileInfo::exists(target);
}

void Session::EndBridgeWait() {
    m_retryPauseMs = 0;
    m_calling = false;
    m_nextCall.stop();
    m_countdown.stop();
    m_bridge.clear();
}

void Session::StopWaiting() {
    EndBridgeWait();
    m_return.Disarm();
    m_returnWatch.setActive(false);
    m_returnWatch.watchPath(QString());
    if (connectionState() == State::Waiting) {
        SetConnection(State::Lost);
    }
}

void Session::OnDevicesChanged() {
    if (!m_return.Returned(Present(m_return.target()))) {
        return;
    }
    Reconnect();
}

void Session::Reconnect() {
    const QString name = m_link.portName();
    const QString returned = m_link.port().portMap().targetForName(name);
    if (online() || !m_settings.autoReconnect) {
        StopWaiting();
        return;
    }
    QString reason;
    QString configureError;
    if (!m_link.Open(name, m_settings.baud, &reason, &configureError)) {
        AwaitReturn(returned, true);
        emit reconnectFailed(name);
        return;
    }
    m_return.Disarm();
    m_returnWatch.setActive(false);
    m_returnWatch.watchPath(QString());
    m_driver.ReceiveSoon();
    SetConnection(State::Online);
    emit reconnected(configureError);
}
