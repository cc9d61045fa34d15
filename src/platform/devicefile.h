#pragma once

#include "platform/filesafety.h"

#include <QString>

class QSerialPort;

// A serial device as a file of the system: its own name, the user's rights on it and the
// program's lock on it. On Unix the device is a file under /dev that links may name as well; on
// Windows a port is its name COMn, which the system hands to one program at a time, and none of
// this applies.

// The name to open the device by: on Unix the device file itself, links resolved (a by-id name
// gives /dev/ttyUSB0), so that whatever locks by name (Qt's lock file LCK..name) sees one device
// under one name. A name that names no file is kept as it is.
QString DevicePath(const QString &device);

// What lies at the device's path, looked at without opening it: a file or a folder is no serial
// line. On Windows a port's name is always a device.
FileSafety::Kind DeviceKind(const QString &path);

// Whether the user may read and write the device: always for the superuser, and where the system
// keeps no such rights.
bool MayUseDevice(const QString &path);

// The driver's exclusive mode on an open device: a later open of it fails, except the superuser's.
// Nothing where the system has no such mode.
void KeepOthersOut(QSerialPort &port);

// The program's hold on a device: an advisory lock on the device file itself, not on a name, so
// that a second open of the same device under any name is refused, in this program or another,
// also for the superuser, whom the driver's exclusive mode does not stop. It is taken on a
// descriptor of its own before the port is opened: the port's open sets the line (speed,
// framing) and its close sets it back, which would upset the line of the program that holds it.
class DeviceLock {
public:
    enum class Outcome {
        Taken,
        Held,       // another open of the device has it
        NoTerminal, // the device opened but is no serial line (/dev/null, for example)
        Failed,     // none: the device did not open or takes no lock; the port's own open decides
    };

    DeviceLock() = default;
    ~DeviceLock() { release(); }
    DeviceLock(const DeviceLock &) = delete;
    DeviceLock &operator=(const DeviceLock &) = delete;

    Outcome take(const QString &path);
    void release();
    // The lock's own open of the device while it is taken, otherwise -1.
    int descriptor() const { return m_fd; }

private:
    int m_fd = -1; // the lock's own descriptor (Unix)
};
