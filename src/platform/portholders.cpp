#include "platform/portholders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
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

// What an open file is, as far as the search is concerned: the file itself (its file system and
// number) and, for a device file, the device.
struct Identity {
    bool device = false; // a character device
    unsigned devMajor = 0;
    unsigned devMinor = 0;
    quint64 inode = 0;
    unsigned major = 0; // the device's number, for a device file
    unsigned minor = 0;
};

// Device numbers of Linux: the device sides of pseudo-terminals, and the master multiplexer.
constexpr unsigned PtyDeviceMajorFirst = 136;
constexpr unsigned PtyDeviceMajors = 8;
constexpr unsigned PtyMasterMajor = 5;
constexpr unsigned PtyMasterMinor = 2;

// What path names, links followed (an fd link of the proc folder gives the open file itself, even
// one that was deleted). Only what the system has at hand is asked for: a file on a network share
// that no longer answers does not hold the search. False with errno when it cannot be looked at.
bool IdentityOf(const char *path, Identity *identity) {
    struct statx st {};
    if (::statx(AT_FDCWD, path, AT_STATX_DONT_SYNC | AT_NO_AUTOMOUNT, STATX_TYPE | STATX_INO,
                &st) != 0) {
        return false;
    }
    identity->device = S_ISCHR(st.stx_mode);
    identity->devMajor = st.stx_dev_major;
    identity->devMinor = st.stx_dev_minor;
    identity->inode = st.stx_ino;
    identity->major = st.stx_rdev_major;
    identity->minor = st.stx_rdev_minor;
    return true;
}

// The device looked for. A device is the same device under every device file of it (a second
// one made with mknod), so an adapter's device is known by its number; a pseudo-terminal opens
// only through its own file, and its numbers repeat in every container's set of them, so it is
// known as that file.
struct Wanted {
    bool known = false;
    Identity identity;
    bool byNumber = false;
    int ptyIndex = -1;   // n of a pseudo-terminal's device side /dev/pts/<n>
    QByteArray lockName; // the device file as the system's list of locks names it

    bool is(const Identity &other) const {
        if (!known) {
            return false;
        }
        if (byNumber) {
            return other.device && other.major == identity.major && other.minor == identity.minor;
        }
        return other.inode == identity.inode && other.devMajor == identity.devMajor &&
               other.devMinor == identity.devMinor;
    }
};

Wanted WantedDevice(const QString &device) {
    Wanted wanted;
    // A link (a by-id name) names the device file it points to.
    QString path = QFileInfo(device).canonicalFilePath();
    if (path.isEmpty()) {
        path = QDir::cleanPath(QFileInfo(device).absoluteFilePath());
    }
    wanted.known = IdentityOf(QFile::encodeName(path).constData(), &wanted.identity);
    if (!wanted.known) {
        return wanted;
    }
    const Identity &id = wanted.identity;
    const bool pty = id.device && id.major >= PtyDeviceMajorFirst &&
                     id.major < PtyDeviceMajorFirst + PtyDeviceMajors;
    wanted.byNumber = id.device && !pty;
    if (pty) {
        wanted.ptyIndex = int((id.major - PtyDeviceMajorFirst) * 256 + id.minor);
    }
    wanted.lockName = QString::asprintf("%02x:%02x:%llu", id.devMajor, id.devMinor,
                                        static_cast<unsigned long long>(id.inode))
                          .toLatin1();
    return wanted;
}

// The processes that hold the program's lock on the device file (<proc>/locks: "1: FLOCK
// ADVISORY WRITE <pid> <major>:<minor>:<inode> 0 EOF"; a waiting lock's line has "->").
QList<QByteArray> LockHolders(const QString &procFolder, const Wanted &wanted) {
    QList<QByteArray> pids;
    QFile locks(QDir(procFolder).filePath(QStringLiteral("locks")));
    if (wanted.lockName.isEmpty() || !locks.open(QIODevice::ReadOnly)) {
        return pids;
    }
    for (const QByteArray &line : locks.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 6 && fields.at(1) == "FLOCK" && fields.at(5) == wanted.lockName) {
            pids.append(fields.at(4));
        }
    }
    return pids;
}

// The pseudo-terminal whose master side an open file is ("tty-index" of its fdinfo); -1 for any
// other file.
int PtyIndexOfMaster(const QByteArray &fdinfo) {
    QFile info(QFile::decodeName(fdinfo));
    if (!info.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray &line : info.readAll().split('\n')) {
        if (line.startsWith("tty-index:")) {
            bool ok = false;
            const int index = line.mid(10).trimmed().toInt(&ok);
            return ok ? index : -1;
        }
    }
    return -1;
}

// How a process stands to the device.
struct Use {
    bool holds = false;   // one of its open files is the device
    bool farEnd = false;  // it holds the master side of the device's pseudo-terminal
    bool readable = true; // its files could be looked at
};

Use UseOf(const QByteArray &processFolder, const Wanted &wanted, int ignoredFd) {
    Use use;
    const QByteArray fdFolder = processFolder + "/fd";
    QList<QByteArray> fds;
    if (!ListFolder(fdFolder, &fds)) {
        use.readable = Vanished(errno);
        return use;
    }
    for (const QByteArray &fd : fds) {
        if (ignoredFd >= 0 && fd == QByteArray::number(ignoredFd)) {
            continue;
        }
        Identity open;
        if (!IdentityOf((fdFolder + '/' + fd).constData(), &open)) {
            if (!Vanished(errno)) { // a file closed meanwhile is no loss
                use.readable = false;
            }
            continue;
        }
        if (wanted.is(open)) {
            use.holds = true;
        } else if (wanted.ptyIndex >= 0 && open.device && open.major == PtyMasterMajor &&
                   open.minor == PtyMasterMinor &&
                   PtyIndexOfMaster(processFolder + "/fdinfo/" + fd) == wanted.ptyIndex) {
            use.farEnd = true;
        }
    }
    return use;
}
#endif

} // namespace

PortHolders::PortHolders(QString procFolder) : m_procFolder(std::move(procFolder)) {}

PortHolderSearch PortHolders::find(const QString &device, int ownDescriptor) const {
    PortHolderSearch search;
#ifdef Q_OS_LINUX
    const Wanted wanted = WantedDevice(device);
    const QByteArray proc = QFile::encodeName(m_procFolder);
    const QByteArray self = QByteArray::number(qint64(::getpid()));
    QList<QByteArray> entries;
    if (!ListFolder(proc, &entries)) {
        return search;
    }
    const QList<QByteArray> lockHolders = LockHolders(m_procFolder, wanted);
    // A proc folder mounted to hide other users' processes does not even list them; the first
    // process is always there for whoever may see it.
    search.complete = entries.contains(QByteArray("1"));
    for (const QByteArray &entry : entries) {
        if (!IsProcessId(entry.constData())) {
            continue;
        }
        const Use use = UseOf(proc + '/' + entry, wanted, entry == self ? ownDescriptor : -1);
        // The far end holds the device too when it uses the line as this program does (with its
        // lock), as a test that plays both ends does; this program is never a line's far end.
        if (use.holds && (!use.farEnd || entry == self || lockHolders.contains(entry))) {
            search.holders.append(PortHolder{entry.toLongLong(), ProgramName(m_procFolder, entry)});
        }
        if (!use.readable) {
            search.complete = false;
        }
    }
    std::sort(search.holders.begin(), search.holders.end(),
              [](const PortHolder &a, const PortHolder &b) { return a.pid < b.pid; });
#else
    Q_UNUSED(device);
    Q_UNUSED(ownDescriptor);
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
