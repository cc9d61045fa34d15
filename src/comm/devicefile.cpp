#include "devicefile.h"

#ifdef Q_OS_UNIX

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

bool MayUseDevice(const QString &path) {
    // By the effective ids, as the open itself is judged.
    return ::geteuid() == 0 ||
           ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), R_OK | W_OK, AT_EACCESS) == 0;
}

#else

// Windows refuses a port that another program has open as "access denied"; there are no rights
// on a port that a user could lack.
bool MayUseDevice(const QString &) {
    return true;
}

#endif
