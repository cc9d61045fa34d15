#pragma once

#include <QString>

// The copy a save writes before it takes the file's place (QSaveFile's): what it keeps of the file
// it replaces, and what it does about copies that a save cut short left behind.
//
// A save that is killed while it writes leaves its copy beside the file, named as the save file
// names it ("pivota.ini.AbCdEf"). Such a copy is removed by the next save of the same file, but
// only when it is certainly one: the save marks its copy (an access time that no reading gives a
// file) and holds a lock on it while it writes; the mark goes before the copy takes the file's
// place. A copy that still bears the mark and whose lock nobody holds was left by a save that did
// not end. A user's own file of that name bears no mark and is left alone.
namespace SaveCopy {

// The rights, owner and group of a file to be replaced, for its successor.
struct Original {
    bool exists = false;
    unsigned mode = 0;
    unsigned owner = 0;
    unsigned group = 0;
};
Original Inspect(const QString &path);

// Whether a file grants writing to nobody (0444): a read-only file, which the program replaces no
// more for the superuser, whom the system lets write it, than for anybody else.
bool WritableByNobody(const QString &path);

// Right after the save file opened, on its descriptor: gives the copy the original's rights (the
// save file would give the superuser's copy the right to write that the original lacks), and its
// owner and group where the program may; locks and marks it. Where the system takes no lock, the
// copy is not marked.
void Prepare(int descriptor, const Original &original);
// Before the commit: the mark goes, so that the file never bears it.
void Finish(int descriptor);

// Removes the copies that cut-short saves of path left beside it; the number removed.
int RemoveLeftOvers(const QString &path);

} // namespace SaveCopy
