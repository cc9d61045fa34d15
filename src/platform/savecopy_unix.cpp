#include "platform/savecopy.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SaveCopy {

namespace {
// The access time that marks a copy being written: a moment long past, which no reading of a
// file gives it (a read sets the time to now).
constexpr time_t MarkSeconds = 1000000000;
// The save file's copy is named after the file, a point and six random letters (or digits).
constexpr int RandomLength = 6;

bool IsMarked(const struct stat &st) {
    return st.st_atime == MarkSeconds;
}

bool IsCopyName(const QByteArray &name, const QByteArray &fileName) {
    if (name.size() != fileName.size() + 1 + RandomLength || !name.startsWith(fileName) ||
        name.at(fileName.size()) != '.') {
        return false;
    }
    for (qsizetype i = fileName.size() + 1; i < name.size(); ++i) {
        const char c = name.at(i);
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) {
            return false;
        }
    }
    return true;
}

// Removes one copy when it is a left-over: a regular file of the file's owner that bears the mark
// and whose lock nobody holds, checked on what was opened, so that nothing else is removed.
bool RemoveIfLeftOver(int folder, const char *name, unsigned owner) {
    const int fd = ::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat opened {};
    struct stat named {};
    // The lock is held by a save that is still writing this copy.
    const bool leftOver = ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
                          opened.st_uid == owner && opened.st_nlink == 1 && IsMarked(opened) &&
                          ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
                          ::fstatat(folder, name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
                          named.st_dev == opened.st_dev && named.st_ino == opened.st_ino;
    const bool removed = leftOver && ::unlinkat(folder, name, 0) == 0;
    ::close(fd);
    return removed;
}
} // namespace

Original Inspect(const QString &path) {
    Original original;
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode)) {
        original.exists = true;
        original.mode = st.st_mode & 07777;
        original.owner = st.st_uid;
        original.group = st.st_gid;
    }
    return original;
}

bool WritableByNobody(const QString &path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode) &&
           (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

void Prepare(int fd, const Original &original) {
    if (fd < 0) {
        return;
    }
    if (original.exists) {
        // Owner and group first: a change of owner may clear bits that the rights then set.
        // Only the superuser may give a file away; anybody may keep a group of their own.
        if (::geteuid() == 0) {
            [[maybe_unused]] const int r = ::fchown(fd, original.owner, original.group);
        } else {
            [[maybe_unused]] const int r = ::fchown(fd, uid_t(-1), original.group);
        }
        ::fchmod(fd, original.mode);
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        return; // unmarked: a copy that nothing can tell from a user's file is never removed
    }
    const struct timespec times[2] = {{MarkSeconds, 0}, {0, UTIME_OMIT}};
    ::futimens(fd, times);
}

void Finish(int fd) {
    if (fd < 0) {
        return;
    }
    const struct timespec times[2] = {{0, UTIME_NOW}, {0, UTIME_OMIT}};
    ::futimens(fd, times);
}

int RemoveLeftOvers(const QString &path) {
    const QFileInfo info(path);
    const QByteArray fileName = QFile::encodeName(info.fileName());
    const int folder = ::open(QFile::encodeName(info.absolutePath()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        return 0;
    }
    // A missing file has no owner yet: its copies are those of whoever saves it now.
    const Original original = Inspect(path);
    const unsigned owner = original.exists ? original.owner : unsigned(::geteuid());
    DIR *dir = ::fdopendir(::dup(folder));
    int removed = 0;
    if (dir) {
        QList<QByteArray> names;
        while (const dirent *entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (IsCopyName(name, fileName)) {
                names.append(name);
            }
        }
        ::closedir(dir);
        for (const QByteArray &name : names) {
            removed += RemoveIfLeftOver(folder, name.constData(), owner) ? 1 : 0;
        }
    }
    ::close(folder);
    return removed;
}

} // namespace SaveCopy
