#pragma once

#include "platform/portenumerator.h"
#include "platform/systemports.h"

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <memory>

class QFileSystemWatcher;

// Tells when serial devices come and go while the program runs. It watches the device folder and
// the by-id folder (and the by-id folder's parent, since udev makes the by-id folder only for the
// first USB serial adapter) through the system's file notifications, never by polling; a change
// starts a short settling delay, after which one rescan through the enumerator takes in the whole
// burst of events that plugging an adapter makes. Where the system tells nothing of ports coming
// and going (Windows), it reads the list again once a second instead (the poll interval), and
// reports a change the same way. Switched off it holds no watches and no timer.
class PortWatcher : public QObject {
    Q_OBJECT
public:
    // Long enough for udev to make a new device's by-id link after the device itself.
    static constexpr int DefaultSettleMs = 300;

    // The enumerator is not owned and must outlive the watcher or be replaced first.
    explicit PortWatcher(const PortEnumerator *enumerator, QObject *parent = nullptr);
    ~PortWatcher() override;

    void setEnumerator(const PortEnumerator *enumerator) { m_enumerator = enumerator; }
    // The folders to watch; changing them while active watches the new ones at once.
    void setFolders(const QString &deviceFolder, const QString &byIdFolder);
    QString deviceFolder() const { return m_deviceFolder; }
    QString byIdFolder() const { return m_byIdFolder; }
    void setSettleDelay(int ms) { m_settle.setInterval(ms); }
    int settleDelay() const { return m_settle.interval(); }
    // 0: the system's file notifications; above 0: the list is read again every ms milliseconds.
    // Changing it while active takes effect at once.
    void setPollInterval(int ms);
    int pollInterval() const { return m_pollMs; }

    // Switching on watches the folders and reads the devices at once, silently: ports() is then
    // current, and portsChanged tells each later change. Switching off drops the watches and a
    // rescan that was due.
    void setActive(bool active);
    bool isActive() const { return m_active; }

    // The devices as last read.
    const QList<FoundPort> &ports() const { return m_ports; }
    // Whether a device of that target (stable name or device path) was there at the last read.
    bool hasPort(const QString &target) const;
    // The folders watched now (empty while off or polling).
    QStringList watchedFolders() const;
    // A change was seen and its rescan is due.
    bool isSettling() const { return m_settle.isActive(); }

    // A path of its own besides the devices (a link that a udev rule or socat makes, which no
    // list of serial devices holds): its folder and that folder's parent are watched too (a
    // folder that goes with its last entry, as udev's by-id folder does, comes back there), and
    // pathSeen tells after each change near it whether it is there. Empty: none.
    void watchPath(const QString &path);
    const QString &watchedPath() const { return m_path; }

public slots:
    // Reads the devices now and reports a change, as the settling delay's end does.
    void rescan();

signals:
    // The devices differ from the last read (in any field, order aside). appeared and gone are
    // the targets that came and went.
    void portsChanged(const QList<FoundPort> &ports, const QStringList &appeared,
                      const QStringList &gone);
    // The watched path was looked at after a change near it (or at a poll): a link removed and
    // made again meanwhile is there again.
    void pathSeen(bool exists);

private:
    void onFolderChanged();
    void updateWatches();
    QList<FoundPort> read() const;

    const PortEnumerator *m_enumerator;
    QString m_deviceFolder = PortFolders::Devices;
    QString m_byIdFolder = PortFolders::SerialById;
    std::unique_ptr<QFileSystemWatcher> m_fs;
    QTimer m_settle;
    QTimer m_poll;
    int m_pollMs = PortsChangeNotified() ? 0 : PortPollMs;
    bool m_active = false;
    QList<FoundPort> m_ports;
    QString m_path;
};
