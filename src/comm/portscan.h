#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>

class ComPort;

// "COM-Port suchen": COM1..COM9 opened and closed again one after the other, as the settings
// file maps them, without ever holding up the caller's thread. A serial device is opened on a
// thread of its own, since a driver may keep an open waiting for minutes (a COM port without a
// peer under some systems); one that has not answered within ProbeLimitMs counts as not usable,
// and the scan goes on. The built-in simulator is asked at once.
class PortScan : public QObject {
    Q_OBJECT
public:
    static constexpr int Ports = 9;
    static constexpr int DefaultProbeLimitMs = 3000;

    explicit PortScan(ComPort &port, QObject *parent = nullptr);
    ~PortScan() override;

    // Starts a scan; nothing while one runs.
    void Start();
    bool running() const { return m_next > 0; }
    void setProbeLimit(int ms) { m_limit.setInterval(ms); }
    // How a serial device is probed on its thread: opened and closed again (tests give a driver
    // that keeps them waiting).
    using DeviceProbe = std::function<bool(const QString &target)>;
    void setDeviceProbe(DeviceProbe probe) { m_deviceProbe = std::move(probe); }
    static bool OpenAndClose(const QString &target);

    enum class Result { Present, Missing, NoAnswer };

signals:
    // COMn probed.
    void probed(int n, PortScan::Result result);
    // All nine probed: the names found ("COM2", ...).
    void finished(const QStringList &found);

private:
    struct Probe;
    void ProbeNext();
    void Done(int n, Result result);

    ComPort &m_port;
    QTimer m_limit;
    int m_next = 0;        // the port being probed, 0 when no scan runs
    quint64 m_probeId = 0; // a late answer of an abandoned probe is not this one's
    QStringList m_found;
    DeviceProbe m_deviceProbe = &PortScan::OpenAndClose;
};
