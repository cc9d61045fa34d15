#pragma once

#include "comm/portdevice.h"
#include "comm/portmap.h"

#include <QObject>
#include <functional>
#include <memory>

// The one port of the program: opened by name ("COM1".."COM9", mapped to a device), probed,
// configured 8N1, read and written without blocking. Errors go back to the caller with the
// system's reason; the window shows them.
class ComPort : public QObject {
    Q_OBJECT
public:
    using DeviceFactory = std::function<std::unique_ptr<PortDevice>(const QString &target)>;

    explicit ComPort(QObject *parent = nullptr);
    ~ComPort() override;

    PortMap &portMap() { return m_map; }
    const PortMap &portMap() const { return m_map; }
    // Creates the device for a target; the default makes serial devices only.
    void setDeviceFactory(DeviceFactory factory) { m_factory = std::move(factory); }

    // Opens the named port exclusively and keeps it (a port already open is closed first).
    bool OpenPort(const QString &name, QString *error);
    // Opens the named port and closes it at once: does it exist and is it free?
    bool Probe(const QString &name, QString *error);
    // 8 data bits, no parity, one stop bit; baud 0 keeps the driver's rate.
    bool ConfigurePort(qint32 baud, QString *error);

    // At most maxBytes of what is waiting, never waiting for more; -1 on failure.
    qint64 ReadPort(char *data, qint64 maxBytes, QString *error);
    // -1 on failure.
    qint64 WritePort(const char *data, qint64 count, QString *error);
    // Bytes waiting in the input queue.
    qint64 QueryPortStatus() const;
    bool ReadDcb(PortDcb *dcb, QString *error) const;
    PortProperties Properties() const;

    void Close();
    bool isOpen() const { return m_device && m_device->isOpen(); }
    PortDevice *device() const { return m_device.get(); }

signals:
    // The open line went away; the port is closed already. Emitted once per loss.
    void lineLost(const QString &reason);
    // Bytes have arrived to be read.
    void readyRead();
    // An open that takes time is done (configureError as for ConfigurePort), or failed: the
    // port is closed then, and the reason names the port.
    void ready(const QString &configureError);
    void openFailed(const QString &reason);

private:
    std::unique_ptr<PortDevice> MakeDevice(const QString &name, QString *error);

    PortMap m_map;
    DeviceFactory m_factory;
    std::unique_ptr<PortDevice> m_device;
};
