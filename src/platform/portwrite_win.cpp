#include "platform/portwrite.h"

#include <QSerialPort>
#include <windows.h>

PortWrite WriteWithoutWaiting(QSerialPort &port, const char *data, qint64 count) {
    PortWrite result;
    // Qt takes the bytes into its write buffer and hands them to the driver without blocking; a
    // port that went away shows up as the error signal, which closes the line.
    result.written = port.write(data, count);
    if (result.written < 0) {
        result.fault = port.error() == QSerialPort::ResourceError ? PortWrite::Fault::Gone
                                                                  : PortWrite::Fault::Other;
        result.systemText = port.errorString();
    }
    return result;
}

PortWrite::Fault WriteFaultOf(int systemError) {
    switch (systemError) {
    case ERROR_DEVICE_REMOVED:
    case ERROR_BAD_COMMAND:
    case ERROR_GEN_FAILURE:
    case ERROR_OPERATION_ABORTED:
        return PortWrite::Fault::Gone;
    case ERROR_ACCESS_DENIED:
        return PortWrite::Fault::Refused;
    default:
        break;
    }
    return PortWrite::Fault::Other;
}
