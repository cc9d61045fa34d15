#include "platform/devicefile.h"

#ifdef Q_OS_UNIX

#include <QFile>
#include <QFileInfo>
#include <QSerialPort>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

QString DevicePath(const QString &device) {
    const QString path = QFileInfo(device).canonicalFilePath();
    return path.isEmpty() ? device : path;
}

FileSafety::Kind DeviceKind(const QString &path) {
    return FileSafety::KindOf(path);
}

bool MayUseDevice(const QString &path) {
    // By the effective ids, as the open itself is judged.
    return ::geteuid() == 0 ||
           ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), R_OK | W_OK, AT_EACCESS) == 0;
}

void KeepOthersOut(QSerialPort &port) {
#ifdef TIOCEXCL
    ::ioctl(port.handle(), TIOCEXCL);
#else
    Q_UNUSED(port);
#endif
}

DeviceLock::Outcome DeviceLock::take(const QString &path) {
    release();
    // As the port opens it: not as the controlling terminal, and without waiting for a carrier.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return Outcome::Failed;
    }
    if (!::isatty(fd)) {
        ::close(fd);
        return Outcome::NoTerminal;
    }
    // The lock belongs to this open of the device: another open, even in this program, is refused.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(fd);
        return held ? Outcome::Held : Outcome::Failed;
    }
    m_fd = fd;
    return Outcome::Taken;
}

void DeviceLock::release() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

#else

QString DevicePath(const QString &device) {
    return device;
}

FileSafety::Kind DeviceKind(const QString &) {
    return FileSafety::Kind::Device;
}

// Windows refuses a port that another program has open as "access denied"; there are no rights
// on a port that a user could lack.
bool MayUseDevice(const QString &) {
    return true;
}

void KeepOthersOut(QSerialPort &) {}

DeviceLock::Outcome DeviceLock::take(const QString &) {
    return Outcome::Taken;
}

void DeviceLock::release() {}

#endif
