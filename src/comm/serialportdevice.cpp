#include "comm/serialportdevice.h"

#include "platform/portholders.h"
#include "platform/portwrite.h"

#include <QCoreApplication>
#include <QMutex>
#include <QSet>

namespace {
// Devices this process holds open, by their own names. The device's lock refuses a second open
// as well; this one costs no system call and holds on every system. The port scan probes on
// threads of its own.
struct OpenDeviceSet {
    QMutex mutex;
    QSet<QString> devices;
    bool contains(const QString &d) {
        const QMutexLocker lock(&mutex);
        return devices.contains(d);
    }
    void insert(const QString &d) {
        const QMutexLocker lock(&mutex);
        devices.insert(d);
    }
    void remove(const QString &d) {
        const QMutexLocker lock(&mutex);
        devices.remove(d);
    }
};
OpenDeviceSet &OpenDevices() {
    static OpenDeviceSet devices;
    return devices;
}

PortFailure FailureOf(PortWrite::Fault fault) {
    switch (fault) {
    case PortWrite::Fault::Gone:
        return PortFailure::Removed;
    case PortWrite::Fault::Refused:
        return PortFailure::Permission;
    case PortWrite::Fault::None:
    case PortWrite::Fault::Other:
        break;
    }
    return PortFailure::Other;
}

// A path that names no serial line: said in the program's words before anything opens it, not
// in the system's ("Inappropriate ioctl for device"), which come in English.
QString NoSerialLineText(FileSafety::Kind kind, const QString &device) {
    switch (kind) {
    case FileSafety::Kind::Regular:
        return QCoreApplication::translate("SerialPortDevice",
                                           "%1 ist eine Datei und keine serielle Schnittstelle.")
            .arg(device);
    case FileSafety::Kind::Folder:
        return QCoreApplication::translate("SerialPortDevice",
                                           "%1 ist ein Ordner und keine serielle Schnittstelle.")
            .arg(device);
    case FileSafety::Kind::Missing:
    case FileSafety::Kind::Other:
        return QString(); // the port's own open tells
    case FileSafety::Kind::Pipe:
    case FileSafety::Kind::Device:
    case FileSafety::Kind::Socket:
        break;
    }
    return QCoreApplication::translate("SerialPortDevice", "%1 ist keine serielle Schnittstelle.")
        .arg(device);
}
} // namespace

SerialPortDevice::SerialPortDevice(const QString &device, QObject *parent)
    : PortDevice(parent), m_device(device) {
    m_port.setPortName(device);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialPortDevice::onError);
    connect(&m_port, &QSerialPort::readyRead, this, &PortDevice::readyRead);
}

SerialPortDevice::~SerialPortDevice() {
    close();
}

PortFailure SerialPortDevice::OpenFailure(QSerialPort::SerialPortError error,
                                          const QString &device) {
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return PortFailure::NotFound;
    case QSerialPort::PermissionError:
        // Qt reports a device that another program holds (by Qt's lock file or the driver's
        // exclusive mode) as a permission error too. A device that the user may use, or whose
        // holder shows, was refused for being busy.
        if (MayUseDevice(device) || !PortHolders().find(device).holders.isEmpty()) {
            return PortFailure::Busy;
        }
        return PortFailure::Permission;
    case QSerialPort::ResourceError:
        return PortFailure::Removed;
    default:
        return PortFailure::Other;
    }
}

bool SerialPortDevice::open(QString *error) {
    if (m_open) {
        return true;
    }
    // Opened and locked as the device itself: under a link to it, or by its own name, it is the
    // same device.
    m_canonical = DevicePath(m_device);
    const auto fail = [error](const QString &text) {
        if (error) {
            *error = text;
        }
        return false;
    };
    if (const FileSafety::Kind kind = DeviceKind(m_canonical); kind != FileSafety::Kind::Device) {
        if (const QString text = NoSerialLineText(kind, m_device); !text.isEmpty()) {
            return fail(text);
        }
    }
    if (OpenDevices().contains(m_canonical)) {
        return fail(BusyDeviceText(m_device, PortHolders().find(m_device)));
    }
    switch (m_lock.take(m_canonical)) {
    case DeviceLock::Outcome::Held:
        return fail(BusyDeviceText(m_device, PortHolders().find(m_device)));
    case DeviceLock::Outcome::NoTerminal:
        return fail(NoSerialLineText(FileSafety::Kind::Device, m_device));
    case DeviceLock::Outcome::Taken: {
        // A program that takes no lock (a shell's "exec 3<>", a cat reading the line) shows only
        // as a holder; sharing the line with it would lose answers to it. The driver's exclusive
        // mode, set once the port is open, keeps out whoever comes later.
        const PortHolderSearch search = PortHolders().find(m_canonical, m_lock.descriptor());
        if (!search.holders.isEmpty()) {
            m_lock.release();
            return fail(BusyDeviceText(m_device, search));
        }
        break;
    }
    case DeviceLock::Outcome::Failed:
        break;
    }
    m_lost = false;
    m_lostReason.clear();
    m_port.setPortName(m_canonical);
    if (!m_port.open(QIODevice::ReadWrite)) {
        m_lock.release();
        const QString text = m_port.errorString();
        const PortFailure failure = OpenFailure(m_port.error(), m_canonical);
        if (error) {
            // Which program holds the device, where the system lets us see it.
            *error = failure == PortFailure::Busy
                         ? BusyDeviceText(m_device, PortHolders().find(m_device))
                         : PortFailureText(failure, m_device, text);
        }
        m_port.clearError();
        return false;
    }
    // Qt asks for the driver's exclusive mode as well; the program does not rest on that.
    KeepOthersOut(m_port);
    OpenDevices().insert(m_canonical);
    m_open = true;
    return true;
}

void SerialPortDevice::release() {
    // After the port has closed and set the line back, so that the next holder finds it settled.
    m_lock.release();
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
            *error = m_lost ? m_lostReason
                            : QCoreApplication::translate("SerialPortDevice",
                                                          "Port ist nicht geöffnet.");
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
            *error = m_lost ? m_lostReason
                            : QCoreApplication::translate("SerialPortDevice",
                                                          "Port ist nicht geöffnet.");
        }
        return -1;
    }
    // The line takes what fits now; the caller keeps what it did not take.
    const PortWrite result = WriteWithoutWaiting(m_port, data, count);
    if (result.written < 0 && error) {
        *error = PortFailureText(FailureOf(result.fault), m_device, result.systemText);
    }
    return result.written;
}

PortFailure SerialPortDevice::WriteFailure(int systemError) {
    return FailureOf(WriteFaultOf(systemError));
}

qint64 SerialPortDevice::bytesWaiting() const {
    return m_open ? m_port.bytesAvailable() : 0;
}

bool SerialPortDevice::readDcb(PortDcb *dcb, QString *error) const {
    if (!m_open) {
        if (error) {
            *error = QCoreApplication::translate("SerialPortDevice", "Port ist nicht geöffnet.");
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
    // A hang-up shows up as a read or resource error whose own text ("Resource temporarily
    // unavailable") tells the user nothing.
    const bool gone = error == QSerialPort::ResourceError || error == QSerialPort::ReadError;
    m_lostReason = PortFailureText(gone ? PortFailure::Removed : PortFailure::Other, m_device,
                                   m_port.errorString());
    m_port.close();
    release();
    emit lineLost(m_lostReason);
}

QString BusyDeviceText(const QString &device, const PortHolderSearch &search) {
    QString text = PortFailureText(PortFailure::Busy, device, QString());
    if (search.holders.isEmpty()) {
        return text + UnknownHolderSentence();
    }
    QStringList names;
    for (const PortHolder &h : search.holders) {
        const QString process = QCoreApplication::translate("PortHolders", "Prozess %1").arg(h.pid);
        names.append(h.program.isEmpty() ? process
                                         : QStringLiteral("%1, %2").arg(h.program, process));
    }
    // Inside the sentence, before its full stop.
    if (text.endsWith(QLatin1Char('.'))) {
        text.chop(1);
    }
    return QStringLiteral("%1 (%2).").arg(text, names.join(QStringLiteral("; ")));
}
