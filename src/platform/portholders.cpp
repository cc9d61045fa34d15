#include "platform/portholders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <dirent.h>
#include <limits.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_LINUX
bool IsProcessId(const char *name) {
    if (*name == '\0') {
        return false;
    }
    for (const char *c = name; *c; ++c) {
        if (*c < '0' || *c > '9') {
            return false;
        }
    }
    return true;
}

// A process that ended during the search has simply gone; any other failure means the system
// would not let us look.
bool Vanished(int error) {
    return error == ENOENT || error == ESRCH;
}

// Names of a folder's entries; false when it cannot be read (errno tells why).
bool ListFolder(const QByteArray &folder, QList<QByteArray> *names) {
    DIR *dir = opendir(folder.constData());
    if (!dir) {
        return false;
    }
    while (const dirent *entry = readdir(dir)) {
        if (qstrcmp(entry->d_name, ".") != 0 && qstrcmp(entry->d_name, "..") != 0) {
            names->append(QByteArray(entry->d_name));
        }
    }
    closedir(dir);
    return true;
}

QString ProgramName(const QString &procFolder, const QByteArray &pid) {
    QFile comm(QDir(procFolder).filePath(QString::fromLatin1(pid) + QStringLiteral("/comm")));
    if (!comm.open(QIODevice::ReadOnly)) {
        return QString();
    }
    return QString::fromLocal8Bit(comm.read(64)).trimmed();
}

// Whether one of the process's open files is the device; *readable false when its files could
// not be looked at.
bool HoldsDevice(const QByteArray &fdFolder, const QByteArray &device, bool *readable) {
    *readable = true;
    QList<QByteArray> fds;
    if (!ListFolder(fdFolder, &fds)) {
        *readable = Vanished(errno);
        return false;
    }
    char target[PATH_MAX];
    for (const QByteArray &fd : fds) {
        const QByteArray link = fdFolder + '/' + fd;
        const ssize_t n = readlink(link.constData(), target, sizeof target);
        if (n < 0) {
            if (!Vanished(errno)) { // a file closed meanwhile is no loss
                *readable = false;
            }
            continue;
        }
        if (QByteArray(target, n) == device) {
            return true;
        }
    }
    return false;
}
#endif

} // namespace

PortHolders::PortHolders(QString procFolder) : m_procFolder(std::move(procFolder)) {}

PortHolderSearch PortHolders::find(const QString &device) const {
    PortHolderSearch search;
#ifdef Q_OS_LINUX
    // The links name the device itself, never a by-id link to it.
    QString path = QFileInfo(device).canonicalFilePath();
    if (path.isEmpty()) {
        path = QDir::cleanPath(QFileInfo(device).absoluteFilePath());
    }
    const QByteArray wanted = QFile::encodeName(path);
    const QByteArray proc = QFile::encodeName(m_procFolder);
    QList<QByteArray> entries;
    if (!ListFolder(proc, &entries)) {
        return search;
    }
    // A proc folder mounted to hide other users' processes does not even list them; the first
    // process is always there for whoever may see it.
    search.complete = entries.contains(QByteArray("1"));
    for (const QByteArray &entry : entries) {
        if (!IsProcessId(entry.constData())) {
            continue;
        }
        bool readable = true;
        if (HoldsDevice(proc + '/' + entry + "/fd", wanted, &readable)) {
            search.holders.append(PortHolder{entry.toLongLong(), ProgramName(m_procFolder, entry)});
        }
        if (!readable) {
            search.complete = false;
        }
    }
    std::sort(search.holders.begin(), search.holders.end(),
              [](const PortHolder &a, const PortHolder &b) { return a.pid < b.pid; });
#else
    Q_UNUSED(device);
#endif
    return search;
}

QString UnknownHolderSentence() {
#ifdef Q_OS_WIN
    return QCoreApplication::translate("PortHolders",
                                       " Welches Programm es ist, sagt Windows nicht.");
#else
    return QCoreApplication::translate("PortHolders",
                                       " Welches Programm es ist, ließ sich nicht feststellen.");
#endif
}
