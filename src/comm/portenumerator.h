#pragma once

#include <QList>
#include <QString>

// One serial device found on this machine.
struct FoundPort {
    QString target;       // what the Ports section stores: the stable by-id name where there is one
    QString location;     // the device as the system names it now, e.g. /dev/ttyUSB0
    QString description;  // the adapter's own description
    QString manufacturer; // the adapter's maker

    // "ttyUSB0 – FT232R USB UART (FTDI)": what the settings tab lists.
    QString displayText() const;
};

// The serial devices of this machine. Behind an interface so that tests can offer a
// pseudo-terminal instead of real hardware.
class PortEnumerator {
public:
    virtual ~PortEnumerator() = default;
    virtual QList<FoundPort> Ports() const = 0;
};

// The system's devices (QSerialPortInfo), each under its /dev/serial/by-id name where it has one,
// so that a re-plugged adapter keeps its COM number.
class SystemPortEnumerator : public PortEnumerator {
public:
    explicit SystemPortEnumerator(QString byIdFolder = QStringLiteral("/dev/serial/by-id"));
    QList<FoundPort> Ports() const override;

private:
    QString m_byIdFolder;
};

// The stable name of a device: the entry of byIdFolder that links to it, or the device itself.
QString StableDeviceName(const QString &location, const QString &byIdFolder);
