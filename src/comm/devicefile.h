#pragma once

#include <QString>

// A serial device as a file of the system. On Unix the device is a file under /dev; on Windows a
// port is its name COMn, which the system hands to one program at a time, and none of this
// applies.

// Whether the user may read and write the device: always for the superuser, and where the system
// keeps no such rights.
bool MayUseDevice(const QString &path);
