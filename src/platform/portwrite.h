#pragma once

#include <QString>

class QSerialPort;

// A write to an open serial port that never waits: the line takes what fits now and the caller
// keeps the rest. On Unix the bytes go straight to the device, which Qt opened non-blocking, since
// Qt's own write path takes a full output buffer for a failed line; on Windows Qt's write queues
// them for the port's overlapped writes.
struct PortWrite {
    enum class Fault {
        None,
        Gone,    // the device went away (the adapter was pulled, the far end closed)
        Refused, // the system no longer lets the program write to it
        Other,
    };

    qint64 written = 0; // bytes the line took; -1 when the write failed
    Fault fault = Fault::None;
    QString systemText; // the system's own words for a failure
};

PortWrite WriteWithoutWaiting(QSerialPort &port, const char *data, qint64 count);

// What a system error code of a write means (errno on Unix); Other where the system gives none.
PortWrite::Fault WriteFaultOf(int systemError);
