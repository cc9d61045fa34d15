#pragma once

#include <QString>

// A record of a session for a bug report: switches on every logging category of the program
// (pivota.link, pivota.link.bytes, pivota.transfer) and writes their messages, with the time of
// day to the millisecond, to a file. Other messages keep going where they went before.
namespace SessionLog {

// False, with the reason, when the file cannot be opened for appending.
bool Start(const QString &path, QString *error);
// Closes the file and switches the categories off again.
void Stop();

} // namespace SessionLog
