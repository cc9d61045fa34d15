#include "platform/systemports.h"

QString DefaultPortDevice(int number) {
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(number);
#elif defined(Q_OS_MACOS)
    return number <= 4 ? QStringLiteral("/dev/cu.serial%1").arg(number - 1)
                       : QStringLiteral("/dev/cu.usbserial%1").arg(number - 5);
#else
    return number <= 4 ? QStringLiteral("/dev/ttyS%1").arg(number - 1)
                       : QStringLiteral("/dev/ttyUSB%1").arg(number - 5);
#endif
}

bool PortsChangeNotified() {
#ifdef Q_OS_LINUX
    return true;
#else
    // Windows reports a new port only as a message to a window (WM_DEVICECHANGE), and macOS
    // through IOKit; reading Qt's list once a second costs a few milliseconds.
    return false;
#endif
}
