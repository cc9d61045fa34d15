#pragma once

#include "comm/link.h"
#include "comm/sharedstate.h"

#include <QObject>
#include <QString>
#include <memory>

class LinkDriver;
class PortDevice;

// What the user chose to connect to: the port (COM1..COM9 as the settings file's [Ports] maps
// them, a device path, or "simulator"), the line's baud rate, and whether a lost adapter is
// awaited to come back.
struct ConnectionSettings {
    QString port;
    int baud = 19200;
    bool autoReconnect = true;

    bool operator==(const ConnectionSettings &) const = default;
};

// One connection to the controller and everything that belongs to it: the line traffic and the
// boards' mirrors (SharedState), the link to the port, and the timers that move its bytes. It has
// one state, from which "online" follows; nobody sets that by hand. The command line runs it
// without a window, the tests drive it as the command line does.
class Session : public QObject {
    Q_OBJECT
public:
    enum class State {
        Offline, // never started, or stopped
        Online,  // the port is open and the board talks
        Silent,  // the port is open, but the board has said nothing for a while
        Lost,    // the line failed; the port is closed, the failure reported once
    };

    explicit Session(QObject *parent = nullptr);
    ~Session() override;

    SharedState &state() { return m_state; }
    const SharedState &state() const { return m_state; }
    Link &link() { return m_link; }

    // The pace of the line: the gap between bytes ("Interval_Senden"), the receive tick
    // ("Interval_Receive") and the bytes taken per read ("COM-Buffersize"). Taken at the next
    // Start.
    void setTiming(int byteIntervalMs, int receiveMs, int readSize);

    // Opens the port and starts moving bytes; false, and offline, with the reason when the port
    // cannot be opened. configureError says why the line's settings could not be set on a port
    // that is open all the same.
    bool Start(const ConnectionSettings &settings, QString *reason, QString *configureError);
    // Ends the connection; the port closes, every transfer paced by the answers ends.
    void Stop();

    State connectionState() const { return m_connection; }
    bool online() const { return m_connection == State::Online || m_connection == State::Silent; }
    const ConnectionSettings &settings() const { return m_settings; }

    // The device behind a port's target: the built-in simulator for "simulator", the serial port
    // otherwise. The window's ports open the same way.
    static std::unique_ptr<PortDevice> OpenDevice(const QString &target);

signals:
    void stateChanged(Session::State state);
    // The line failed: said once, with the reason for the user.
    void lost(Link::Failure failure, const QString &reason);

private:
    void SetConnection(State state);

    SharedState m_state;
    Link m_link;
    std::unique_ptr<LinkDriver> m_driver;
    ConnectionSettings m_settings;
    State m_connection = State::Offline;
    int m_byteIntervalMs = 20;
    int m_receiveMs = 20;
    int m_readSize = 8;
};
