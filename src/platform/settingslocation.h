#pragma once

#include <QString>

// Where the settings file goes when the program's own folder cannot take it (an installed
// program): the user's folder for the program's settings. On Linux ~/.config/pivota (Qt's
// AppConfigLocation); on Windows %APPDATA%\Pivota, the roaming folder of the user's profile that
// follows the user from one PC of a network to the next.
QString UserSettingsFolder();

// The Windows folder, from the value of %APPDATA%: "<APPDATA>/Pivota" with forward slashes, or
// fallback when the variable is empty (a service account without a profile).
QString AppDataSettingsFolder(const QString &appData, const QString &fallback);

// A path as the user's system writes it, for showing it, made absolute: on Windows with
// backslashes ("C:\Users\anna\AppData\Roaming\Pivota\pivota.ini"), on Linux unchanged.
QString ShownPath(const QString &path);
