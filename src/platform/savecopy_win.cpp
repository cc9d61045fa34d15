#include "platform/savecopy.h"

#include <QFileInfo>

// Windows keeps a file's read-only attribute for every user, and the save file's copy of a file
// takes the rights of the folder: nothing to keep. A copy that a save left behind stays, as
// nothing marks it as one.
namespace SaveCopy {

Original Inspect(const QString &path) {
    Original original;
    original.exists = QFileInfo(path).isFile();
    return original;
}

bool WritableByNobody(const QString &) {
    return false;
}

void Prepare(int, const Original &) {}

void Finish(int) {}

int RemoveLeftOvers(const QString &) {
    return 0;
}

} // namespace SaveCopy
