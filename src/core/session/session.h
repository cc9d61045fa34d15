#pragma once

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
class QFileSystemWatcher;

// What the user chose to connect to: the port (COM1..COM9 as the settings file's [Ports] maps
// them, a device path, or "simulator"; empty: the port last opened), the line's baud rate (0: the
// driver's rate stays), and whether a lost adapter is awaited to come back.
struct ConnectionSettings {
    QString port;
    int baud = 19200;
    bool autoReconnect = true;

    bool operator==(const ConnectionSettings &) const = default;
};

// One connection to the controller and everything that belongs to it: the line traffic and the
// boards' mirrors (SharedState), the link to the port, the timers that move its bytes, and the
// wait for a lost adapter to come back. It has one state, from which "online" follows; nobody
// sets that by hand. The window shows it, the command line runs it without a window.
class Session : public QObject {
    Q_OBJECT
public:
    enum class State {
        Offline, // never started, or stopped
        Online,  // the port is open and the board talks
        Silent,  // the port is open, but the board has said nothing for a while
        Lost,    // the line failed; the port is closed, the failure reported once
        Waiting, // the line failed and the adapter is awaited to come back
    };

    explicit Session(QObject *parent = nullptr);
    ~Session() override;

    SharedState &state() { return m_state; }
    const SharedState &state() const { return m_state; }
    Link &link() { return m_link; }
    const Link &link() const { return m_link; }
    LinkDriver &driver() { return m_driver; }
    const LinkDriver &driver() const { return m_driver; }

    // The pace of the line: the gap between bytes ("Interval_Senden"), the receive tick
    // ("Interval_Receive") and the bytes taken per read ("COM-Buffersize").
    void setTiming(int byteIntervalMs, int receiveMs, int readSize);

    // The user's latest choice: taken by the next Start and by a reconnect. A wait for a lost
    // adapter ends when the choice no longer wants it.
    void Choose(const ConnectionSettings &settings);
    const ConnectionSettings &settings() const { return m_settings; }
    // The port that Start opens: the chosen one, or the one last opened.
    QString portToOpen() const;

    // Does the named port exist, and is it free? It is closed again at once.
    bool Probe(const QString &name, QString *reason) { return m_link.Probe(name, reason); }
    // Opens the chosen port and starts moving bytes; false, and offline, with the reason when the
    // port cannot be opened. configureError says why the line's settings could not be set on a
    // port that is open all the same.
    bool Start(QString *reason, QString *configureError);
    bool Start(const ConnectionSettings &settings, QString *reason, QString *configureError);
    // Ends the connection: a running direct drive stops, nothing more goes on the wire, the next
    // receive tick closes the port, every transfer paced by the answers ends.
    void Stop();

    State connectionState() const { return m_connection; }
    bool online() const { return m_connection == State::Online || m_connection == State::Silent; }

    // Where the serial devices of this machine come from (tests offer their own). The wait for
    // the adapter of a lost line follows them through its own watcher.
    void setPortEnumerator(std::shared_ptr<const PortEnumerator> enumerator);
    const PortEnumerator *portEnumerator() const { return m_enumerator.get(); }
    PortWatcher &returnWatcher() { return m_returnWatch; }
    bool waitingForDevice() const { return m_return.armed(); }
    // The device awaited: the stable name or the path the port is mapped to.
    const QString &awaitedDevice() const { return m_return.target(); }
    // The user decided otherwise: nothing is awaited any more.
    void StopWaiting();

    // The device behind a port's target: the built-in simulator for "simulator", the serial port
    // otherwise.
    static std::unique_ptr<PortDevice> OpenDevice(const QString &target);

signals:
    void stateChanged(Session::State state);
    // The line failed: said once, with the reason for the user.
    void lost(Link::Failure failure, const QString &reason);
    // The awaited adapter came back and is open again; configureError as for Start.
    void reconnected(const QString &configureError);
    // The awaited adapter came back but could not be opened; the next change tries again.
    void reconnectFailed(const QString &name);
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
    void WatchAwaitedPath(bool on);
    void Reconnect();

    SharedState m_state;
    Link m_link;
    LinkDriver m_driver;
    ConnectionSettings m_settings;
    State m_connection = State::Offline;
    std::shared_ptr<const PortEnumerator> m_enumerator;
    PortWatcher m_returnWatch;
    // The awaited path's folder (and the path itself), watched besides the serial devices.
    std::unique_ptr<QFileSystemWatcher> m_pathWatch;
    QTimer m_pathSettle;
    PortReturn m_return; // the adapter of a lost line, until it comes back
};
