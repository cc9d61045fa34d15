#pragma once

#include "comm/comport.h"
#include "comm/portdevice.h"
#include "sim/simulator.h"

#include <QElapsedTimer>
#include <QTimer>
#include <memory>

// The built-in controller simulator behind a port: the program talks to it exactly as to a serial
// device, in real time. The simulated boards stay powered for the whole run, so what was written
// to them is still there after Stop and Start.
class SimulatorPortDevice : public PortDevice {
    Q_OBJECT
public:
    explicit SimulatorPortDevice(std::shared_ptr<Simulator> simulator, QObject *parent = nullptr);
    ~SimulatorPortDevice() override;

    bool open(QString *error) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    bool configure(qint32 baud, QString *error) override;
    qint64 read(char *data, qint64 maxBytes, QString *error) override;
    qint64 write(const char *data, qint64 count, QString *error) override;
    qint64 bytesWaiting() const override;
    bool readDcb(PortDcb *dcb, QString *error) const override;
    PortProperties properties() const override;

    // The simulator of this program run.
    static std::shared_ptr<Simulator> Shared();

private:
    // Lets the simulator's time catch up with the real time and takes what it sent meanwhile.
    void catchUp();
    // Wakes the device when the simulator's next event is due.
    void Schedule();
    void tick();

    std::shared_ptr<Simulator> m_sim;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_lastMs = 0;
    QByteArray m_input;
    qint32 m_baud = 19200;
    bool m_open = false;
    bool m_lost = false;
};

// The devices of the program: the built-in simulator of this run for a port mapped to
// "simulator", a serial device for every other target.
ComPort::DeviceFactory DevicesWithSimulator();
