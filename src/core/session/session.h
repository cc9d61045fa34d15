#pragma once

#include "comm/connection.h"
#include "comm/link.h"
#include "comm/linkdriver.h"
#include "comm/portreturn.h"
#include "comm/sharedstate.h"
#include "platform/portwatcher.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

class PortDevice;

// What the user chose to connect to: the port (COM1..COM9 as the settings file's [Ports] maps
// them, a device path, or "simulator"; empty: the port last opened), the line's baud rate (0: the
// driver's rate stays), whether a lost adapter is awaited to come back, and the COM button of the
// settings tab it came from (what the settings file keeps; 0 for a port named otherwise).
struct ConnectionSettings {
    QString port;
    int baud = 19200;
    bool autoReconnect = true;
    int comNumber = 0;

    bool operator==(const ConnectionSettings &) const = default;
};

// One connection to the controller and everything that belongs to it: the line traffic and the
// boards' mirrors (SharedState), the link to the port, the timers that move its bytes, the line's
// timing, and the wait for a lost adapter to come back. It alone owns the connection's state
// (Connection), which everybody else only reads; the link under it tells it facts. The window
// shows it, the command line runs it without a window.
class Session : public QObject {
    Q_OBJECT
public:
    using State = Connection::State;

    explicit Session(QObject *parent = nullptr);
    ~Session() override;

    SharedState &state() { return m_state; }
    const SharedState &state() const { return m_state; }
    Link &link() { return m_link; }
    const Link &link() const { return m_link; }
    LinkDriver &driver() { return m_driver; }
    const LinkDriver &driver() const { return m_driver; }

    // The pace of the line (LineTiming), from the settings file or the command line: the one
    // the driver's ticks and the transfers' time-outs follow. Values that would stall the line
    // are raised to 1.
    void setTiming(const LineTiming &timing);
    const LineTiming &timing() const { return m_state.timing(); }

    // The user's latest choice: taken by the next Start and by a reconnect. A wait for a lost
    // adapter ends when the choice no longer wants it.
    void Choose(const ConnectionSettings &settings);
    const ConnectionSettings &settings() const { return m_settings; }
    // The port that Start opens: the chosen one, or the one last opened.
    QString portToOpen() const;
    // How the status bar names a port: a COM number mapped to a serial bridge on the network by
    // the bridge's address ("verbunden mit tcp://pi:4001"), which says more than the number.
    QString shownName(const QString &portName) const;

    // Connects to the chosen port: it is probed (does it exist, is it free?), then opened, and
    // bytes start moving. Meanwhile the state is Connecting. False, and back where it was
    // (offline or lost), with the reason when the port cannot be opened. configureError says why
    // the line's settings could not be set on a port that is open all the same. A port on the
    // network takes time: Start returns true while it is still Connecting, and started() or
    // startFailed() follows (Stop gives it up).
    bool Start(QString *reason, QString *configureError);
    bool Start(const ConnectionSettings &settings, QString *reason, QString *configureError);
    // Ends the connection: a running direct drive stops, nothing more goes on the wire, the next
    // receive tick closes the port, every transfer paced by the answers ends.
    void Stop();
    // A running direct drive stops now (the program lets go of the motor: "Ende", the window
    // closed); its stop goes on the wire at once as far as the line takes it.
    void EndDirectDrive() { m_link.EndDirectDrive(); }

    // The connection's state, read-only, with its signal.
    const Connection &connection() const { return m_connection; }
    State connectionState() const { return m_connection.state(); }
    bool online() const { return m_connection.online(); }

    // Where the serial devices of this machine come from (tests offer their own). The wait for
    // the adapter of a lost line follows them through its own watcher.
    void setPortEnumerator(std::shared_ptr<const PortEnumerator> enumerator);
    const PortEnumerator *portEnumerator() const { return m_enumerator.get(); }
    PortWatcher &returnWatcher() { return m_returnWatch; }
    // A lost line waits to come back: its adapter to return, or a bridge on the network to be
    // called again.
    bool waitingForDevice() const { return m_return.armed() || waitingForBridge(); }
    // The device awaited: the stable name or the path the port is mapped to, or the bridge's
    // network name.
    QString awaitedDevice() const { return waitingForBridge() ? m_bridge : m_return.target(); }
    // A bridge on the network cannot be watched for: it is called again after a pause that grows
    // with every call it does not answer, 1, 2, 4 ... at most 30 s.
    static constexpr int FirstRetryMs = 1000;
    static constexpr int LongestRetryMs = 30000;
    bool waitingForBridge() const { return m_retryPauseMs > 0; }
    int retryPauseMs() const { return m_retryPauseMs; }
    // A call to the awaited bridge is on its way.
    bool callingBridge() const { return m_calling; }
    // Whole seconds until the next call, rounded up.
    int secondsToNextCall() const;
    // The user decided otherwise: nothing is awaited any more.
    void StopWaiting();

    // What opens the device behind a port's target: a serial device, unless the program gives
    // one that knows more (the built-in simulator for "simulator"; tests' own devices).
    void setDeviceFactory(ComPort::DeviceFactory factory);

signals:
    void stateChanged(Connection::State state);
    // A port that took time to open is online now (configureError as for Start), or could not be
    // opened: the state is back where it was before Start.
    void started(const QString &configureError);
    void startFailed(const QString &reason);
    // The line failed: said once, with the reason for the user.
    void lost(Link::Failure failure, const QString &reason);
    // The awaited adapter came back and is open again; configureError as for Start.
    void reconnected(const QString &configureError);
    // The awaited adapter came back but could not be opened; the next change tries again.
    void reconnectFailed(const QString &name);
    // The wait for a bridge changed: a call went out, or a second of the pause went by.
    void bridgeWaitChanged();
    // The devices come from another enumerator now.
    void portEnumeratorChanged();

private:
    void SetConnection(State state);
    void OnLinkFailed(Link::Failure failure, const QString &reason);
    // retry: the adapter came back but could not be opened; the next change of the devices tries
    // again.
    void AwaitReturn(const QString &target, bool retry);
    // Whether the awaited device is there: listed by the watcher, or its path exists (a link made
    // by a udev rule or by socat, which no list of serial devices holds).
    bool Present(const QString &target) const;
    void OnDevicesChanged();
    void Reconnect();
    void OnLinkReady(const QString &configureError);
    void OnLinkOpenFailed(const QString &reason);
    void AwaitBridge(int pauseMs);
    void CallBridge();
    void Reconnected(const QString &configureError);
    void EndBridgeWait();

    Connection m_connection; // before the state, which reads it
    SharedState m_state{&m_connection};
    Link m_link;
    LinkDriver m_driver;
    ConnectionSettings m_settings;
    std::shared_ptr<const PortEnumerator> m_enumerator;
    PortWatcher m_returnWatch;
    PortReturn m_return; // the adapter of a lost line, until it comes back
    State m_beforeConnecting = State::Offline;
    QString m_bridge;       // the bridge of a lost line on the network, while it is awaited
    int m_retryPauseMs = 0; // the pause before the next call; 0 while no bridge is awaited
    qint64 m_nextCallAt = 0;
    bool m_calling = false; // a call to the awaited bridge is on its way
    QTimer m_nextCall;
    QTimer m_countdown; // says every second how long the pause still lasts
};
