#include "platform/filesafety.h"

#include "platform/filenames.h"
#include "platform/savecopy.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QStorageInfo>
#include <QTemporaryFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace FileSafety {

namespace {
// A path in a message, as the user's system writes it.
QString Shown(const QString &path) {
    return QDir::toNativeSeparators(path);
}

QString TooLarge(const QString &path, qint64 size) {
    return QCoreApplication::translate(
               "FileSafety",
               "%1: Die Datei ist zu groß (%2 MB; höchstens %3 MB): sie ist keine Datei dieses "
               "Programms.")
        .arg(Shown(path), QLocale().toString(double(size) / (1024.0 * 1024.0), 'f', 1))
        .arg(MaxReadBytes / (1024 * 1024));
}

#ifdef Q_OS_UNIX
Kind KindOfMode(mode_t mode) {
    if (S_ISREG(mode)) {
        return Kind::Regular;
    }
    if (S_ISDIR(mode)) {
        return Kind::Folder;
    }
    if (S_ISFIFO(mode)) {
        return Kind::Pipe;
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return Kind::Device;
    }
    if (S_ISSOCK(mode)) {
        return Kind::Socket;
    }
    return Kind::Other;
}

// Reads up to MaxReadBytes + 1 bytes of an open descriptor.
bool ReadDescriptor(int fd, QByteArray *bytes) {
    QByteArray data;
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (n == 0) {
            break;
        }
        data.append(buffer, static_cast<qsizetype>(n));
        if (data.size() > MaxReadBytes) {
            break;
        }
    }
    *bytes = data;
    return true;
}
#endif
} // namespace

Kind KindOf(const QString &path) {
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        return errno == ENOENT || errno == ENOTDIR ? Kind::Missing : Kind::Other;
    }
    return KindOfMode(st.st_mode);
#else
    // A device's name stands for the device in every folder, whatever the folder holds.
    if (FileNames::IsDeviceName(path)) {
        return Kind::Device;
    }
    const QFileInfo info(path);
    if (!info.exists()) {
        return Kind::Missing;
    }
    return info.isDir() ? Kind::Folder : info.isFile() ? Kind::Regular : Kind::Other;
#endif
}

QString KindReason(Kind kind) {
    switch (kind) {
    case Kind::Missing:
    case Kind::Regular:
        return QString();
    case Kind::Folder:
        return QCoreApplication::translate("FileSafety", "ist ein Ordner und keine Datei");
    case Kind::Pipe:
        return QCoreApplication::translate("FileSafety",
                                           "ist eine Pipe (FIFO) und keine gewöhnliche Datei");
    case Kind::Device:
        return QCoreApplication::translate("FileSafety",
                                           "ist ein Gerät und keine gewöhnliche Datei");
    case Kind::Socket:
        return QCoreApplication::translate("FileSafety",
                                           "ist ein Socket und keine gewöhnliche Datei");
    case Kind::Other:
        break;
    }
    return QCoreApplication::translate("FileSafety", "ist keine gewöhnliche Datei");
}

bool ReadWhole(const QString &path, QByteArray *bytes, QString *error) {
    const auto fail = [&](const QString &text) {
        if (error) {
            *error = text;
        }
        return false;
    };
#ifdef Q_OS_UNIX
    // Opened without waiting: a pipe nobody writes to would otherwise hold the open for ever. What
    // was opened is checked, not the name, so a file swapped in between is checked as well.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        return fail(
            QStringLiteral("%1: %2").arg(Shown(path), QString::fromLocal8Bit(::strerror(err))));
    }
    struct stat st {};
    const Kind kind = ::fstat(fd, &st) == 0 ? KindOfMode(st.st_mode) : Kind::Other;
    if (kind != Kind::Regular) {
        ::close(fd);
        return fail(QStringLiteral("%1 %2.").arg(Shown(path), KindReason(kind)));
    }
    if (st.st_size > MaxReadBytes) {
        ::close(fd);
        return fail(TooLarge(path, st.st_size));
    }
    QByteArray data;
    const bool read = ReadDescriptor(fd, &data);
    const int err = errno;
    ::close(fd);
    if (!read) {
        return fail(
            QStringLiteral("%1: %2").arg(Shown(path), QString::fromLocal8Bit(::strerror(err))));
    }
#else
    const Kind kind = KindOf(path);
    if (kind != Kind::Regular && kind != Kind::Missing) {
        return fail(QStringLiteral("%1 %2.").arg(Shown(path), KindReason(kind)));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return fail(QStringLiteral("%1: %2").arg(Shown(path), file.errorString()));
    }
    if (file.size() > MaxReadBytes) {
        return fail(TooLarge(path, file.size()));
    }
    QByteArray data = file.read(MaxReadBytes + 1);
#endif
    // A file that grew while it was read.
    if (data.size() > MaxReadBytes) {
        return fail(TooLarge(path, data.size()));
    }
    *bytes = data;
    return true;
}

bool CanReplace(const QString &path, QString *error) {
    const Kind kind = KindOf(path);
    if (kind == Kind::Missing || kind == Kind::Regular) {
        // The superuser may write any file: one that grants writing to nobody is read-only for
        // the superuser as well.
        if (kind == Kind::Regular &&
            (!QFileInfo(path).isWritable() || SaveCopy::WritableByNobody(path))) {
            if (error) {
                *error =
                    QCoreApplication::translate("FileSafety", "%1: Die Datei ist schreibgeschützt.")
                        .arg(Shown(path));
            }
            return false;
        }
        return true;
    }
    if (error) {
        *error = QStringLiteral("%1 %2.").arg(Shown(path), KindReason(kind));
    }
    return false;
}

bool IsFolderWritable(const QString &folder) {
    const QFileInfo info(folder);
    if (!info.isDir()) {
        return false;
    }
    // Decided by making a file there: the permission bits or Windows' read-only mark do not tell
    // (Windows' folder rights are not asked by QFileInfo, so a program in Program Files seemed
    // free to write beside itself), and the superuser's access() answers yes on a file system that
    // takes no new file all the same. The file is gone again at once.
    QTemporaryFile probe(
        QDir(info.absoluteFilePath()).filePath(QStringLiteral(".pivota-probe-XXXXXX")));
    return probe.open();
}

bool SyncFolder(const QString &folder) {
#ifdef Q_OS_UNIX
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
#else
    (void)folder;
    return false; // the system makes a rename durable by itself
#endif
}

QString SaveFailureReason(const QString &path, const QString &systemText, qint64 bytesNeeded,
                          qint64 bytesFree) {
    if (bytesFree >= 0 && bytesFree < bytesNeeded + 4096) {
        return QCoreApplication::translate("IniFile",
                                           "%1: Auf dem Datenträger ist nicht genug Platz frei.")
            .arg(Shown(path));
    }
    if (systemText.isEmpty() || systemText == QLatin1String("Unknown error")) {
        return QCoreApplication::translate("IniFile",
                                           "%1: Die Datei konnte nicht geschrieben werden.")
            .arg(Shown(path));
    }
    return QStringLiteral("%1: %2").arg(Shown(path), systemText);
}

bool WriteWhole(const QString &path, const QByteArray &bytes, QString *error) {
    if (!CanReplace(path, error)) {
        return false;
    }
    // Copies that saves cut short (killed) left beside the file go before a new one is written.
    SaveCopy::RemoveLeftOvers(path);
    // The copy takes the file's rights, owner and group, whoever saves it.
    const SaveCopy::Original original = SaveCopy::Inspect(path);
    // Unbuffered, so that a short write fails at once: a buffered one is only flushed on commit,
    // whose close would not tell the save file of the failure and would replace the old file with
    // the cut one.
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    QString systemText = ok ? QString() : file.errorString();
    if (ok) {
        SaveCopy::Prepare(file.handle(), original);
        ok = file.write(bytes) == bytes.size();
        if (!ok) {
            systemText = file.errorString(); // before the cancel replaces it
            file.cancelWriting();
        }
        SaveCopy::Finish(file.handle());
        // commit() removes the unfinished copy when anything failed and keeps the old file.
        const bool committed = file.commit();
        if (!committed && systemText.isEmpty()) {
            systemText = file.errorString();
        }
        ok = ok && committed;
    }
    if (!ok) {
        if (error) {
            const QStorageInfo volume(QFileInfo(path).absolutePath());
            *error = SaveFailureReason(path, systemText, bytes.size(),
                                       volume.isValid() ? volume.bytesAvailable() : -1);
        }
        return false;
    }
    // The new file's data was synced before the rename; the rename itself lives in the folder.
    SyncFolder(QFileInfo(QFileInfo(path).absoluteFilePath()).absolutePath());
    return true;
}

namespace {
// Where a save to path would write: the file itself when there is one, through every link;
// otherwise the file of that name in its folder as the folder resolves (a link that points at
// nothing yet writes where it points).
QString SaveTarget(const QString &path, int links = 0) {
    const QFileInfo info(path);
    if (info.exists()) {
        return info.canonicalFilePath();
    }
    if (info.isSymLink() && links < 16) {
        return SaveTarget(info.symLinkTarget(), links + 1);
    }
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? info.absoluteFilePath() : QDir(folder).filePath(info.fileName());
}
} // namespace

bool SameFile(const QString &a, const QString &b) {
#ifdef Q_OS_UNIX
    struct stat sa {};
    struct stat sb {};
    if (::stat(QFile::encodeName(a).constData(), &sa) == 0 &&
        ::stat(QFile::encodeName(b).constData(), &sb) == 0) {
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    }
    return SaveTarget(a) == SaveTarget(b);
#else
    return SaveTarget(a).compare(SaveTarget(b), Qt::CaseInsensitive) == 0;
#endif
}

} // namespace FileSafety
