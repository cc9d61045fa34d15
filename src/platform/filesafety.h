#pragma once

#include <QByteArray>
#include <QString>

// Reading and writing the program's files (settings, configurations, backups) so that nothing is
// lost and nothing hangs: only regular files are read or replaced, a file is read whole only up to
// a sane size, and a file is replaced only once its successor is complete on the disk.
namespace FileSafety {

// A backup is about 12 KB and a settings file a few KB; nothing the program reads comes close.
constexpr qint64 MaxReadBytes = 4 * 1024 * 1024;

// What lies at a path, as far as reading and writing it is concerned.
enum class Kind { Missing, Regular, Folder, Pipe, Device, Socket, Other };
Kind KindOf(const QString &path);

// "ist ein Ordner", "ist eine Pipe (FIFO) und keine Datei", ...: why a path that is not a regular
// file cannot be used; empty for a regular file or a missing one.
QString KindReason(Kind kind);

// Reads a regular file whole. A pipe, a device or a folder is refused without opening it for long
// (no open waits for a writer), and so is a file larger than MaxReadBytes, before it is read.
// False with the reason for the user (the path included).
bool ReadWhole(const QString &path, QByteArray *bytes, QString *error);

// Whether path can take a new file: a regular file or nothing yet. Never a device, a pipe or a
// folder, which a save file would replace by a regular file or could not replace at all.
bool CanReplace(const QString &path, QString *error);

// Writes bytes to path through a save file: the old file stays whole until the new one is
// complete; a short write (a full disk) fails and removes the unfinished copy. After the new file
// took the old one's place, its folder is synced so that the rename survives a power cut.
bool WriteWhole(const QString &path, const QByteArray &bytes, QString *error);

// Whether the program may create and replace files in folder: whether a file can be made there
// (and is removed again), for any user on any system and file system.
bool IsFolderWritable(const QString &folder);

// Syncs a folder's entries to the disk; false where the system cannot.
bool SyncFolder(const QString &folder);

// Whether two paths name the same file: the same file under two names (a symbolic or a hard link)
// as well. A path that names nothing yet is compared as the file a save would create there.
bool SameFile(const QString &a, const QString &b);

// The reason a failed save gives to the user: a full disk says so, and a system text that says
// nothing is replaced by one that does. bytesFree < 0 when the free space is not known.
QString SaveFailureReason(const QString &path, const QString &systemText, qint64 bytesNeeded,
                          qint64 bytesFree);

} // namespace FileSafety
