#include "platform/portwatcher.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSet>
#include <algorithm>

namespace {

// The folder itself, or the nearest folder above it that exists.
QString NearestFolder(const QString &path) {
    QString folder = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    while (!QFileInfo(folder).isDir()) {
        const QString up = QFileInfo(folder).path();
        if (up == folder) {
            return QString();
        }
        folder = up;
    }
    return folder;
}

QString Parent(const QString &path) {
    return QFileInfo(QDir::cleanPath(QFileInfo(path).absoluteFilePath())).path();
}

QSet<QString> Targets(const QList<FoundPort> &ports) {
    QSet<QString> targets;
    for (const FoundPort &p : ports) {
        targets.insert(p.target);
    }
    return targets;
}

// Sorted, so that the same devices always give the same list of names.
QStringList Without(const QSet<QString> &these, const QSet<QString> &those) {
    QStringList names = QSet<QString>(these).subtract(those).values();
    names.sort();
    return names;
}

} // namespace

PortWatcher::PortWatcher(const PortEnumerator *enumerator, QObject *parent)
    : QObject(parent), m_enumerator(enumerator) {
    m_settle.setSingleShot(true);
    m_settle.setInterval(DefaultSettleMs);
    connect(&m_settle, &QTimer::timeout, this, &PortWatcher::rescan);
    connect(&m_poll, &QTimer::timeout, this, &PortWatcher::rescan);
}

PortWatcher::~PortWatcher() = default;

void PortWatcher::setFolders(const QString &deviceFolder, const QString &byIdFolder) {
    m_deviceFolder = deviceFolder;
    m_byIdFolder = byIdFolder;
    if (m_fs) {
        m_fs->removePaths(m_fs->directories());
        updateWatches();
    }
}

void PortWatcher::setActive(bool active) {
    if (active == isActive()) {
        return;
    }
    m_active = active;
    if (!active) {
        m_settle.stop();
        m_poll.stop();
        m_fs.reset(); // closes the notification handle with all its watches
        return;
    }
    if (m_pollMs > 0) {
        m_poll.start(m_pollMs);
    } else {
        m_fs = std::make_unique<QFileSystemWatcher>();
        connect(m_fs.get(), &QFileSystemWatcher::directoryChanged, this,
                &PortWatcher::onFolderChanged);
        // Watch first, then read: a device that comes in between is seen by both at worst.
        updateWatches();
    }
    m_ports = read();
}

void PortWatcher::setPollInterval(int ms) {
    ms = std::max(ms, 0);
    if (ms == m_pollMs) {
        return;
    }
    const bool active = isActive();
    setActive(false);
    m_pollMs = ms;
    setActive(active);
}

void PortWatcher::watchPath(const QString &path) {
    m_path = path;
    if (m_fs) {
        updateWatches();
    }
}

bool PortWatcher::hasPort(const QString &target) const {
    return std::any_of(m_ports.cbegin(), m_ports.cend(), [&](const FoundPort &p) {
        return p.target == target || p.location == target;
    });
}

QStringList PortWatcher::watchedFolders() const {
    return m_fs ? m_fs->directories() : QStringList();
}

void PortWatcher::onFolderChanged() {
    // The by-id folder may have come or gone with this change.
    updateWatches();
    m_settle.start(); // a burst of events restarts the delay: one rescan at its end
}

void PortWatcher::updateWatches() {
    QSet<QString> wanted;
    const QString devices = m_deviceFolder.isEmpty() ? QString() : NearestFolder(m_deviceFolder);
    if (!devices.isEmpty()) {
        wanted.insert(devices);
    }
    if (!m_byIdFolder.isEmpty()) {
        if (QFileInfo(m_byIdFolder).isDir()) {
            wanted.insert(QDir::cleanPath(QFileInfo(m_byIdFolder).absoluteFilePath()));
        }
        // Where the by-id folder appears (or the nearest folder above that exists).
        const QString above = NearestFolder(Parent(m_byIdFolder));
        if (!above.isEmpty()) {
            wanted.insert(above);
        }
    }
    if (!m_path.isEmpty()) {
        const QString folder = Parent(m_path);
        for (const QString &f : {folder, Parent(folder)}) {
            if (QFileInfo(f).isDir()) {
                wanted.insert(QDir::cleanPath(QFileInfo(f).absoluteFilePath()));
            }
        }
    }
    const QStringList watched = m_fs->directories();
    QStringList stale;
    for (const QString &folder : watched) {
        if (!wanted.contains(folder)) {
            stale.append(folder);
        }
    }
    if (!stale.isEmpty()) {
        m_fs->removePaths(stale);
    }
    QStringList fresh;
    for (const QString &folder : std::as_const(wanted)) {
        if (!watched.contains(folder)) {
            fresh.append(folder);
        }
    }
    if (!fresh.isEmpty()) {
        m_fs->addPaths(fresh);
    }
}

QList<FoundPort> PortWatcher::read() const {
    return m_enumerator ? m_enumerator->Ports() : QList<FoundPort>();
}

void PortWatcher::rescan() {
    m_settle.stop();
    if (!m_path.isEmpty()) {
        emit pathSeen(QFileInfo::exists(m_path));
    }
    QList<FoundPort> now = read();
    if (now.size() == m_ports.size() &&
        std::is_permutation(now.cbegin(), now.cend(), m_ports.cbegin())) {
        return;
    }
    const QSet<QString> before = Targets(m_ports);
    const QSet<QString> after = Targets(now);
    m_ports = std::move(now);
    emit portsChanged(m_ports, Without(after, before), Without(before, after));
}
