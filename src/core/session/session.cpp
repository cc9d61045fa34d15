#include "core/session/session.h"

#include "comm/linkdriver.h"
#include "comm/portmap.h"
#include "comm/serialportdevice.h"
#include "sim/simport.h"

Session::Session(QObject *parent) : QObject(parent), m_link(m_state) {
    m_link.port().setDeviceFactory(&Session::OpenDevice);
    connect(&m_link, &Link::failed, this, [this](Link::Failure failure, const QString &reason) {
        SetConnection(State::Lost);
        emit lost(failure, reason);
    });
    connect(&m_link, &Link::silenceChanged, this, [this](bool silent) {
        if (online()) {
            SetConnection(silent ? State::Silent : State::Online);
        }
    });
}

Session::~Session() {
    if (m_driver) {
        m_driver->Stop();
    }
}

std::unique_ptr<PortDevice> Session::OpenDevice(const QString &target) {
    if (target == PortMap::Simulator) {
        return std::make_unique<SimulatorPortDevice>(SimulatorPortDevice::Shared());
    }
    return std::make_unique<SerialPortDevice>(target);
}

void Session::setTiming(int byteIntervalMs, int receiveMs, int readSize) {
    m_byteIntervalMs = byteIntervalMs;
    m_receiveMs = receiveMs;
    m_readSize = readSize;
}

bool Session::Start(const ConnectionSettings &settings, QString *reason, QString *configureError) {
    Stop();
    m_settings = settings;
    if (!m_link.Open(settings.port, settings.baud, reason, configureError)) {
        return false;
    }
    m_driver =
        std::make_unique<LinkDriver>(m_state, m_link, m_byteIntervalMs, m_receiveMs, m_readSize);
    m_driver->Start();
    SetConnection(State::Online);
    return true;
}

void Session::Stop() {
    if (m_driver) {
        m_driver->Stop();
        m_driver.reset();
    }
    if (m_link.port().isOpen()) {
        m_link.port().Close();
    }
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
