#include "core/session/session.h"

#include "comm/portmap.h"
#include "comm/serialportdevice.h"
#include "sim/simport.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>

Session::Session(QObject *parent)
    : QObject(parent), m_link(m_state), m_driver(m_state, m_link, this),
      m_enumerator(std::make_shared<SystemPortEnumerator>()),
      m_returnWatch(m_enumerator.get(), this) {
    m_link.port().setDeviceFactory(&Session::OpenDevice);
    connect(&m_link, &Link::failed, this, &Session::OnLinkFailed);
    connect(&m_link, &Link::silenceChanged, this, [this](bool silent) {
        if (online()) {
            SetConnection(silent ? State::Silent : State::Online);
        }
    });
    connect(&m_returnWatch, &PortWatcher::portsChanged, this, &Session::OnDevicesChanged);
    // As the port watcher does: one look once the burst of changes that a new device makes is
    // over.
    m_pathSettle.setSingleShot(true);
    m_pathSettle.setInterval(PortWatcher::DefaultSettleMs);
    connect(&m_pathSettle, &QTimer::timeout, this, &Session::OnDevicesChanged);
}

Session::~Session() {
    if (m_link.port().isOpen()) {
        m_link.port().Close();
    }
}

std::unique_ptr<PortDevice> Session::OpenDevice(const QString &target) {
    if (target == PortMap::Simulator) {
        return std::make_unique<SimulatorPortDevice>(SimulatorPortDevice::Shared());
    }
    return std::make_unique<SerialPortDevice>(target);
}

void Session::setTiming(int byteIntervalMs, int receiveMs, int readSize) {
    m_driver.setIntervals(byteIntervalMs, receiveMs);
    m_driver.setReadSize(readSize);
}

void Session::Choose(const ConnectionSettings &settings) {
    if (m_return.armed() && (!settings.autoReconnect || settings.port != m_settings.port)) {
        StopWaiting(); // another port chosen, or the box switched off
    }
    m_settings = settings;
}

QString Session::portToOpen() const {
    return m_settings.port.isEmpty() ? m_link.portName() : m_settings.port;
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
    if (!m_link.Open(portToOpen(), m_settings.baud, reason, configureError)) {
        return false;
    }
    m_driver.ReceiveSoon();
    SetConnection(State::Online);
    return true;
}

void Session::Stop() {
    StopWaiting();
    m_link.EndDirectDrive();
    m_link.Stop(); // the next receive tick closes the port
    m_driver.ReceiveSoon();
    SetConnection(State::Offline);
}

void Session::SetConnection(State state) {
    if (state == m_connection) {
        return;
    }
    const bool wasOnline = online();
    m_connection = state;
    m_state.Online = online();
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
    if (m_settings.autoReconnect && !target.isEmpty() && target != PortMap::Simulator) {
        AwaitReturn(target, false);
    }
    emit lost(failure, reason);
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
    WatchAwaitedPath(true);
}

bool Session::Present(const QString &target) const {
    return PortReturn::Lists(m_returnWatch.ports(), target) || QFileInfo::exists(target);
}

void Session::WatchAwaitedPath(bool on) {
    m_pathSettle.stop();
    m_pathWatch.reset();
    if (!on) {
        return;
    }
    m_pathWatch = std::make_unique<QFileSystemWatcher>();
    // The folder that holds the path tells when it comes and goes; its parent too, since a
    // folder that goes with its last device (as udev's by-id folder does) is no longer watched,
    // and its return shows there.
    const QFileInfo folder(QFileInfo(m_return.target()).absolutePath());
    for (const QFileInfo &watched : {folder, QFileInfo(folder.absolutePath())}) {
        if (watched.exists()) {
            m_pathWatch->addPath(watched.absoluteFilePath());
        }
    }
    const auto changed = [this] { m_pathSettle.start(); };
    connect(m_pathWatch.get(), &QFileSystemWatcher::directoryChanged, this, changed);
    connect(m_pathWatch.get(), &QFileSystemWatcher::fileChanged, this, changed);
}

void Session::StopWaiting() {
    m_return.Disarm();
    m_returnWatch.setActive(false);
    WatchAwaitedPath(false);
    if (m_connection == State::Waiting) {
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
    WatchAwaitedPath(false);
    m_driver.ReceiveSoon();
    SetConnection(State::Online);
    emit reconnected(configureError);
}
