#include "serialportdevice.h"

#include <QFileInfo>
#include <QSet>

namespace {
// Devices this process holds open. The driver's lock refuses a second open from another program;
// this refuses it inside the program too, whatever the user's rights.
QSet<QString> &OpenDevices() {
    static QSet<QString> devices;
    return devices;
}

QString Canonical(const QString &device) {
    const QString path = QFileInfo(device).canonicalFilePath();
    return path.isEmpty() ? device : path;
}
} // namespace

SerialPortDevice::SerialPortDevice(const QString &device, QObject *parent)
    : PortDevice(parent), m_device(device) {
    m_port.setPortName(device);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialPortDevice::onError);
}

SerialPortDevice::~SerialPortDevice() {
    close();
}

QString SerialPortDevice::OpenFailureReason(QSerialPort::SerialPortError error,
                                            const QString &device, const QString &systemText) {
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return QStringLiteral("%1 ist nicht vorhanden.").arg(device);
    case QSerialPort::PermissionError:
        return QStringLiteral("Keine Berechtigung für %1 (%2). Benutzer in die Gruppe dialout "
                              "aufnehmen und neu anmelden.")
            .arg(device, systemText);
    default:
        return QStringLiteral("%1: %2").arg(device, systemText);
    }
}

bool SerialPortDevice::open(QString *error) {
    if (m_open) {
        return true;
    }
    m_canonical = Canonical(m_device);
    if (OpenDevices().contains(m_canonical)) {
        if (error) {
            *error =
                QStringLiteral("%1 wird bereits von einem anderen Programm benutzt.").arg(m_device);
        }
        return false;
    }
    m_lost = false;
    m_lostReason.clear();
    if (!m_port.open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError code = m_port.error();
        QString text = m_port.errorString();
        if (code == QSerialPort::PermissionError && text.contains(QLatin1String("lock"))) {
            text =
                QStringLiteral("%1 wird bereits von einem anderen Programm benutzt.").arg(m_device);
        } else {
            text = OpenFailureReason(code, m_device, text);
        }
        if (error) {
            *error = text;
        }
        m_port.clearError();
        return false;
    }
    OpenDevices().insert(m_canonical);
    m_open = true;
    return true;
}

void SerialPortDevice::release() {
    if (m_open) {
        OpenDevices().remove(m_canonical);
        m_open = false;
    }
}

void SerialPortDevice::close() {
    if (m_port.isOpen()) {
        m_port.close();
    }
    release();
}

bool SerialPortDevice::configure(qint32 baud, QString *error) {
    bool ok = true;
    if (baud > 0) {
        ok = m_port.setBaudRate(baud) && ok;
    }
    ok = m_port.setDataBits(QSerialPort::Data8) && ok;
    ok = m_port.setParity(QSerialPort::NoParity) && ok;
    ok = m_port.setStopBits(QSerialPort::OneStop) && ok;
    if (!ok && error) {
        *error = m_port.errorString();
    }
    return ok;
}

qint64 SerialPortDevice::read(char *data, qint64 maxBytes, QString *error) {
    if (!m_open) {
        if (error) {
            *error = m_lost ? m_lostReason : QStringLiteral("Port ist nicht geöffnet.");
        }
        return -1;
    }
    const qint64 n = m_port.read(data, maxBytes);
    if (n < 0 && error) {
        *error = m_port.errorString();
    }
    return n;
}

qint64 SerialPortDevice::write(const char *data, qint64 count, QString *error) {
    if (!m_open) {
        if (error) {
            *error = m_lost ? m_lostReason : QStringLiteral("Port ist nicht geöffnet.");
        }
        return -1;
    }
    const qint64 n = m_port.write(data, count);
    if (n < 0) {
        if (error) {
            *error = m_port.errorString();
        }
        return -1;
    }
    m_port.flush(); // hand it to the driver now, without waiting for it to leave
    return n;
}

qint64 SerialPortDevice::bytesWaiting() const {
    return m_open ? m_port.bytesAvailable() : 0;
}

bool SerialPortDevice::readDcb(PortDcb *dcb, QString *error) const {
    if (!m_open) {
        if (error) {
            *error = QStringLiteral("Port ist nicht geöffnet.");
        }
        return false;
    }
    const bool hardware = m_port.flowControl() == QSerialPort::HardwareControl;
    dcb->baudRate = m_port.baudRate();
    dcb->parity = m_port.parity() == QSerialPort::NoParity ? 0 : 1;
    dcb->ctsOutFlow = hardware ? 1 : 0;
    dcb->dsrOutFlow = 0;
    dcb->dtrControl = 1;
    dcb->dsrSensitivity = 0;
    dcb->rtsControl = hardware ? 2 : 1;
    return true;
}

PortProperties SerialPortDevice::properties() const {
    PortProperties p;
    p.rxQueue = m_port.readBufferSize();
    p.txQueue = m_port.bytesToWrite();
    return p;
}

void SerialPortDevice::onError(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError || !m_open || m_lost) {
        return;
    }
    // Qt keeps a vanished device "open" and raises this signal again and again: close at the
    // first error and report it once.
    m_lost = true;
    m_lostReason = QStringLiteral("%1: %2").arg(m_device, m_port.errorString());
    m_port.close();
    release();
    emit lineLost(m_lostReason);
}
