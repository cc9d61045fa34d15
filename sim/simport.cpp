#include "sim/simport.h"

#include "comm/portmap.h"
#include "comm/serialportdevice.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {
// The longest the simulated time waits for the real one to catch up, whatever it has planned.
constexpr int LongestWaitMs = 200;
bool g_simulatorInUse = false;
} // namespace

SimulatorPortDevice::SimulatorPortDevice(std::shared_ptr<Simulator> simulator, QObject *parent)
    : PortDevice(parent), m_sim(std::move(simulator)) {
    // Woken exactly when the simulator has something to do, not on a fixed beat.
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &SimulatorPortDevice::tick);
}

SimulatorPortDevice::~SimulatorPortDevice() {
    close();
}

ComPort::DeviceFactory DevicesWithSimulator() {
    return [](const QString &target) -> std::unique_ptr<PortDevice> {
        if (target == PortMap::Simulator) {
            return std::make_unique<SimulatorPortDevice>(SimulatorPortDevice::Shared());
        }
        return std::make_unique<SerialPortDevice>(target);
    };
}

std::shared_ptr<Simulator> SimulatorPortDevice::Shared() {
    static std::shared_ptr<Simulator> simulator = std::make_shared<Simulator>();
    return simulator;
}

bool SimulatorPortDevice::open(QString *error) {
    if (m_open) {
        return true;
    }
    if (g_simulatorInUse) {
        if (error) {
            *error = QStringLiteral("Der Simulator wird bereits benutzt.");
        }
        return false;
    }
    if (m_sim->hungUp()) {
        if (error) {
            *error = QStringLiteral("Der Simulator hat aufgelegt.");
        }
        return false;
    }
    g_simulatorInUse = true;
    m_open = true;
    m_lost = false;
    m_input.clear();
    m_sim->takeOutput(); // what it said while nobody listened is gone
    m_clock.start();
    m_lastMs = 0;
    Schedule();
    return true;
}

void SimulatorPortDevice::close() {
    if (!m_open) {
        return;
    }
    m_timer.stop();
    m_open = false;
    g_simulatorInUse = false;
}

bool SimulatorPortDevice::configure(qint32 baud, QString *) {
    if (baud > 0) {
        m_baud = baud;
    }
    return true;
}

void SimulatorPortDevice::catchUp() {
    const qint64 now = m_clock.elapsed();
    // A tick late by more than an int of milliseconds (a suspended process) moves at most that.
    m_sim->advance(static_cast<int>(std::min<qint64>(now - m_lastMs, INT_MAX)));
    m_lastMs = now;
    const QByteArray output = m_sim->takeOutput();
    if (!output.isEmpty()) {
        m_input += output;
        emit readyRead();
    }
}

void SimulatorPortDevice::Schedule() {
    const int64_t wait = m_sim->nextEventAt() - m_sim->now();
    m_timer.start(static_cast<int>(std::clamp<int64_t>(wait, 0, LongestWaitMs)));
}

void SimulatorPortDevice::tick() {
    catchUp();
    if (m_sim->hungUp() && !m_lost) {
        m_lost = true;
        close();
        emit lineLost(QStringLiteral("Der Simulator hat aufgelegt."));
        return;
    }
    if (m_open) {
        Schedule();
    }
}

qint64 SimulatorPortDevice::read(char *data, qint64 maxBytes, QString *error) {
    if (!m_open) {
        if (error) {
            *error = QStringLiteral("Der Simulator ist nicht verbunden.");
        }
        return -1;
    }
    const qint64 n = std::min<qint64>(maxBytes, m_input.size());
    if (n > 0) {
        std::memcpy(data, m_input.constData(), static_cast<size_t>(n));
        m_input.remove(0, n);
    }
    return n;
}

qint64 SimulatorPortDevice::write(const char *data, qint64 count, QString *error) {
    if (!m_open) {
        if (error) {
            *error = QStringLiteral("Der Simulator ist nicht verbunden.");
        }
        return -1;
    }
    // The boards judge the pacing by when a request arrives: bring the simulated time up to now
    // first, rather than to the last tick.
    catchUp();
    m_sim->receive(QByteArray(data, count));
    Schedule(); // an answer may be due soon
    return count;
}

qint64 SimulatorPortDevice::bytesWaiting() const {
    return m_open ? m_input.size() : 0;
}

bool SimulatorPortDevice::readDcb(PortDcb *dcb, QString *error) const {
    if (!m_open) {
        if (error) {
            *error = QStringLiteral("Der Simulator ist nicht verbunden.");
        }
        return false;
    }
    *dcb = PortDcb{};
    dcb->baudRate = m_baud;
    dcb->dtrControl = 1;
    dcb->rtsControl = 1;
    return true;
}

PortProperties SimulatorPortDevice::properties() const {
    return PortProperties{};
}
