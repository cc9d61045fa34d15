#pragma once

#include <QString>

// File names as the system stores them. Windows drops the dots and blanks that end a name
// ("x.pvt." is written as "x.pvt"), keeps the names of its devices for the devices in every folder
// and with any extension ("con.pvt", "NUL", "COM3.pvt" are no files), and refuses a few
// characters. A name the user gives is cleaned and checked by these rules before anything is
// read from the controller for it, and the name that is really written is the one the user is
// told. The rules of both systems are plain functions, so that each is tested everywhere.
namespace FileNames {

enum class System { Unix, Windows };
#ifdef Q_OS_WIN
inline constexpr System Native = System::Windows;
#else
inline constexpr System Native = System::Unix;
#endif

// The path with its last part as the system stores it: on Windows without the dots and blanks at
// its end; unchanged on Unix.
QString Cleaned(const QString &path, System system = Native);

// Whether the last part of path names one of Windows' devices (CON, PRN, AUX, NUL, COM1..COM9,
// LPT1..LPT9, CONIN$, CONOUT$), in any case and with any extension. Always false on Unix.
bool IsDeviceName(const QString &path, System system = Native);

// Why the last part of path cannot name a file of its own on the system; empty when it can: a
// device's name, a character Windows does not take in a name, or nothing left after cleaning.
QString Problem(const QString &path, System system = Native);

// The file a save dialog's answer names, for a dialog that adds ".suffix" to a name without one:
// on Windows a name that ended with a dot or a blank is cleaned rather than given a second
// suffix ("Anlage.pvt." gives "Anlage.pvt", not "Anlage.pvt..pvt"); unchanged on Unix.
QString SavedName(const QString &chosen, const QString &suffix, System system = Native);

} // namespace FileNames
