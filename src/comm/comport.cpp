#include "comm/comport.h"

#include "comm/serialportdevice.h"

#include <QCoreApplication>

QString PortFailureText(PortFailure failure, const QString &device, const QString &systemText) {
    switch (failure) {
    case PortFailure::NotFound:
        return QCoreApplication::translate("ComPort", "%1 ist nicht vorhanden.").arg(device);
    case PortFailure::Busy:
        return QCoreApplication::translate("ComPort",
                                           "%1 wird bereits von einem anderen Programm benutzt.")
            .arg(device);
    case PortFailure::Permission:
        return QCoreApplication::translate(
                   "ComPort", "Keine Berechtigung für %1. Benutzer in die Gruppe dialout "
                              "aufnehmen und neu anmelden.")
            .arg(device);
    case PortFailure::Removed:
        return QCoreApplication::translate(
                   "ComPort", "%1: Das Gerät wurde entfernt oder die Gegenstelle hat die Leitung "
                              "geschlossen.")
            .arg(device);
    case PortFailure::Other:
        break;
    }
    return QStringLiteral("%1: %2").arg(device, systemText);
}

namespace {
// A port the user knows by its COM number, mapped to a device: the reason names both
// ("COM7: /dev/ttyUSB2 ist nicht vorhanden."), so that the user sees which choice it was.
bool Failed(const QString &name, const QString &target, QString *error) {
    if (error && name != target && !error->isEmpty() && !error->startsWith(name)) {
        *error = QStringLiteral("%1: %2").arg(name, *error);
    }
    return false;
}

bool NotOpen(QString *error) {
    if (error) {
        *error = QCoreApplication::translate("ComPort", "Port ist nicht geöffnet.");
    }
    return false;
}
} // namespace

ComPort::ComPort(QObject *parent) : QObject(parent) {
    m_factory = [](const QString &target) -> std::unique_ptr<PortDevice> {
        if (target == PortMap::Simulator) {
            return nullptr; // only the program installs the simulator
        }
        return std::make_unique<SerialPortDevice>(target);
    };
}

ComPort::~ComPort() {
    if (m_device) {
        m_device->close();
    }
}

std::unique_ptr<PortDevice> ComPort::MakeDevice(const QString &name, QString *error) {
    const QString target = m_map.targetForName(name);
    std::unique_ptr<PortDevice> device = m_factory ? m_factory(target) : nullptr;
    if (!device && error) {
        *error = QCoreApplication::translate("ComPort", "%1: kein Gerät für %2.").arg(name, target);
    }
    return device;
}

bool ComPort::OpenPort(const QString &name, QString *error) {
    Close();
    std::unique_ptr<PortDevice> device = MakeDevice(name, error);
    if (!device || !device->open(error)) {
        return Failed(name, m_map.targetForName(name), error);
    }
    connect(device.get(), &PortDevice::lineLost, this, &ComPort::lineLost);
    connect(device.get(), &PortDevice::readyRead, this, &ComPort::readyRead);
    connect(device.get(), &PortDevice::ready, this, &ComPort::ready);
    connect(device.get(), &PortDevice::openFailed, this, [this, name](const QString &reason) {
        QString text = reason;
        Failed(name, m_map.targetForName(name), &text);
        emit openFailed(text);
    });
    m_device = std::move(device);
    return true;
}

bool ComPort::Probe(const QString &name, QString *error) {
    std::unique_ptr<PortDevice> device = MakeDevice(name, error);
    if (device && device->opensLater()) {
        // A bridge on the network is not called twice: the open itself tells.
        return true;
    }
    if (!device || !device->open(error)) {
        return Failed(name, m_map.targetForName(name), error);
    }
    device->close();
    return true;
}

bool ComPort::ConfigurePort(qint32 baud, QString *error) {
    if (!m_device) {
        return NotOpen(error);
    }
    return m_device->configure(baud, error);
}

qint64 ComPort::ReadPort(char *data, qint64 maxBytes, QString *error) {
    if (!m_device) {
        NotOpen(error);
        return -1;
    }
    return m_device->read(data, maxBytes, error);
}

qint64 ComPort::WritePort(const char *data, qint64 count, QString *error) {
    if (!m_device) {
        NotOpen(error);
        return -1;
    }
    return m_device->write(data, count, error);
}

qint64 ComPort::QueryPortStatus() const {
    return m_device ? m_device->bytesWaiting() : 0;
}

bool ComPort::ReadDcb(PortDcb *dcb, QString *error) const {
    if (!m_device) {
        return NotOpen(error);
    }
    return m_device->readDcb(dcb, error);
}

PortProperties ComPort::Properties() const {
    return m_device ? m_device->properties() : PortProperties{};
}

void ComPort::Close() {
    if (m_device) {
        m_device->close();
        m_device->disconnect(this);
        // Close may run inside the device's own lineLost signal: delete it once that returns.
        m_device.release()->deleteLater();
    }
}
