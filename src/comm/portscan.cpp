#include "comm/portscan.h"

#include "comm/comport.h"
#include "comm/logging.h"
#include "comm/netaddress.h"
#include "comm/portmap.h"
#include "comm/serialportdevice.h"

#include <QThread>

PortScan::PortScan(ComPort &port, QObject *parent) : QObject(parent), m_port(port) {
    m_limit.setSingleShot(true);
    m_limit.setInterval(DefaultProbeLimitMs);
    connect(&m_limit, &QTimer::timeout, this, [this] {
        qCDebug(lcLink) << "probe of" << PortMap::PortName(m_next) << "gave no answer in"
                        << m_limit.interval() << "ms";
        Done(m_next, Result::NoAnswer);
    });
}

PortScan::~PortScan() = default;

void PortScan::Start() {
    if (running()) {
        return;
    }
    m_found.clear();
    m_next = 1;
    ProbeNext();
}

void PortScan::ProbeNext() {
    const int n = m_next;
    const QString name = PortMap::PortName(n);
    const QString target = m_port.portMap().targetForName(name);
    const quint64 id = ++m_probeId;
    if (target == PortMap::Simulator || NetAddress::IsNetworkName(target)) {
        // In this process and at once; its device is not for another thread. A bridge on the
        // network is not called: a scan must not take the line from its client, and the open
        // says what is wrong with it.
        const bool present = m_port.Probe(name, nullptr);
        QTimer::singleShot(0, this, [this, n, id, present] {
            if (id == m_probeId) {
                Done(n, present ? Result::Present : Result::Missing);
            }
        });
        return;
    }
    auto present = std::make_shared<bool>(false);
    // The device is made, opened and closed on the probe's thread: a probe that never returns
    // holds nothing of this object, and its thread ends whenever the driver lets it.
    QThread *probe = QThread::create(
        [target, present, deviceProbe = m_deviceProbe] { *present = deviceProbe(target); });
    connect(probe, &QThread::finished, probe, &QObject::deleteLater);
    connect(probe, &QThread::finished, this, [this, n, id, present] {
        if (id == m_probeId) {
            Done(n, *present ? Result::Present : Result::Missing);
        }
    });
    m_limit.start();
    probe->start();
}

bool PortScan::OpenAndClose(const QString &target) {
    SerialPortDevice device(target);
    const bool opened = device.open(nullptr);
    device.close();
    return opened;
}

void PortScan::Done(int n, Result result) {
    m_limit.stop();
    ++m_probeId; // whatever else comes for this port is late
    if (result == Result::Present) {
        m_found << PortMap::PortName(n);
    }
    emit probed(n, result);
    if (n >= Ports) {
        m_next = 0;
        emit finished(m_found);
        return;
    }
    m_next = n + 1;
    ProbeNext();
}
