#include "platform/portwrite.h"

#include <QSerialPort>
#include <cerrno>
#include <cstring>
#include <unistd.h>

PortWrite WriteWithoutWaiting(QSerialPort &port, const char *data, qint64 count) {
    PortWrite result;
    while (result.written < count) {
        const ssize_t n =
            ::write(port.handle(), data + result.written, size_t(count - result.written));
        if (n > 0) {
            result.written += n;
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            const int code = errno;
            result.written = -1;
            result.fault = WriteFaultOf(code);
            result.systemText = QString::fromLocal8Bit(std::strerror(code));
            return result;
        }
        break; // the line's buffer is full for now
    }
    return result;
}

PortWrite::Fault WriteFaultOf(int systemError) {
    switch (systemError) {
    case EIO:
    case ENXIO:
    case ENODEV:
    case EPIPE:
        return PortWrite::Fault::Gone;
    case EACCES:
    case EPERM:
        return PortWrite::Fault::Refused;
    default:
        break;
    }
    return PortWrite::Fault::Other;
}
