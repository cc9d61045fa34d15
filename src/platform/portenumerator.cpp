#include "platform/portenumerator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>

QString FoundPort::displayText() const {
    QString text = QFileInfo(location).fileName();
    if (text.isEmpty()) {
        text = target;
    }
    QString about = description;
    if (!manufacturer.isEmpty() && !about.contains(manufacturer)) {
        about = about.isEmpty() ? manufacturer : QStringLiteral("%1 (%2)").arg(about, manufacturer);
    }
    if (!about.isEmpty()) {
        text = QStringLiteral("%1 – %2").arg(text, about);
    }
    if (latencyMs) {
        text += QCoreApplication::translate("PortEnumerator", ", Latenz %1 ms").arg(*latencyMs);
    }
    return text;
}

QString StableDeviceName(const QString &location, const QString &byIdFolder) {
    const QString device = QFileInfo(location).canonicalFilePath();
    if (device.isEmpty() || byIdFolder.isEmpty()) {
        return location;
    }
    const QDir dir(byIdFolder);
    const QStringList names =
        dir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &name : names) {
        const QString path = dir.filePath(name);
        if (QFileInfo(path).canonicalFilePath() == device) {
            return path;
        }
    }
    return location;
}

QString KernelDeviceName(const QString &device) {
    const QString canonical = QFileInfo(device).canonicalFilePath();
    return QFileInfo(canonical.isEmpty() ? device : canonical).fileName();
}

std::optional<int> ReadLatencyTimer(const QString &device, const QString &usbSerialFolder) {
    const QString name = KernelDeviceName(device);
    if (name.isEmpty() || usbSerialFolder.isEmpty()) {
        return std::nullopt;
    }
    QFile file(QDir(usbSerialFolder).filePath(name + QStringLiteral("/latency_timer")));
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    // The driver writes the milliseconds as a decimal number and a line end.
    bool ok = false;
    const int ms = file.read(16).trimmed().toInt(&ok);
    if (!ok || ms < 0) {
        return std::nullopt;
    }
    return ms;
}

SystemPortEnumerator::SystemPortEnumerator(QString byIdFolder, QString usbSerialFolder)
    : m_byIdFolder(std::move(byIdFolder)), m_usbSerialFolder(std::move(usbSerialFolder)) {}

QList<FoundPort> SystemPortEnumerator::Ports() const {
    QList<FoundPort> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        FoundPort p;
        p.location = info.systemLocation();
        p.target = StableDeviceName(p.location, m_byIdFolder);
        p.description = info.description();
        p.manufacturer = info.manufacturer();
        p.latencyMs = ReadLatencyTimer(p.location, m_usbSerialFolder);
        ports.append(p);
    }
    return ports;
}

namespace {
// "COM12" for a Windows port's name as typed ("com12", "\\.\COM12"), else empty.
QString WindowsPortName(const QString &typed) {
    QString name = typed.trimmed();
    if (name.startsWith(QLatin1String("\\\\.\\"))) {
        name = name.mid(4);
    }
    if (name.size() < 4 || !name.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)) {
        return QString();
    }
    bool ok = false;
    const int number = name.mid(3).toInt(&ok);
    if (!ok || number < 1 || name.at(3) == u'0' || !name.at(3).isDigit()) {
        return QString();
    }
    return QStringLiteral("COM%1").arg(number);
}

// The next run of digits or of other characters in text from at on.
QStringView Run(QStringView text, qsizetype at) {
    const bool digits = text.at(at).isDigit();
    qsizetype end = at;
    while (end < text.size() && text.at(end).isDigit() == digits) {
        ++end;
    }
    return text.mid(at, end - at);
}
} // namespace

QString DevicePathProblem(const QString &path, FileNames::System system) {
    if (path.trimmed().isEmpty()) {
        return QCoreApplication::translate("PortEnumerator", "Kein Pfad angegeben.");
    }
    if (system == FileNames::System::Windows) {
        if (!WindowsPortName(path).isEmpty() ||
            (path.trimmed().startsWith(QLatin1String("\\\\.\\")) && path.trimmed().size() > 4)) {
            return QString();
        }
        return QCoreApplication::translate(
                   "PortEnumerator",
                   "„%1“ ist kein Port-Name. Windows nennt die seriellen Ports COM1, COM2, "
                   "COM3 ... (auch \\\\.\\COM12).")
            .arg(path.trimmed());
    }
    const QFileInfo info(path);
    if (!info.exists()) {
        return QCoreApplication::translate("PortEnumerator", "Das Gerät %1 gibt es nicht.")
            .arg(path);
    }
    if (info.isDir()) {
        return QCoreApplication::translate("PortEnumerator", "%1 ist ein Ordner, kein Gerät.")
            .arg(path);
    }
    return QString();
}

QString TypedDevice(const QString &typed, FileNames::System system) {
    if (system == FileNames::System::Windows) {
        if (const QString port = WindowsPortName(typed); !port.isEmpty()) {
            return port;
        }
    }
    return typed.trimmed();
}

QString TypedDeviceStart(FileNames::System system) {
    return system == FileNames::System::Windows ? QStringLiteral("COM") : QStringLiteral("/dev/");
}

bool NaturalLess(const QString &a, const QString &b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        const QStringView x = Run(a, i);
        const QStringView y = Run(b, j);
        const bool xDigits = x.front().isDigit();
        const bool yDigits = y.front().isDigit();
        if (xDigits && yDigits) {
            // By value: leading zeros left out, then the longer number is the larger one.
            QStringView xs = x;
            QStringView ys = y;
            while (xs.size() > 1 && xs.front() == u'0') {
                xs = xs.mid(1);
            }
            while (ys.size() > 1 && ys.front() == u'0') {
                ys = ys.mid(1);
            }
            if (xs.size() != ys.size()) {
                return xs.size() < ys.size();
            }
            if (const int c = xs.compare(ys); c != 0) {
                return c < 0;
            }
        } else if (xDigits != yDigits) {
            return xDigits; // a number before letters, as "2" before "a"
        } else if (const int c = x.compare(y, Qt::CaseInsensitive); c != 0) {
            return c < 0;
        }
        i += x.size();
        j += y.size();
    }
    if ((i < a.size()) != (j < b.size())) {
        return j < b.size(); // the shorter one first
    }
    return a < b; // equal but for case or leading zeros: still one order
}

QList<FoundPort> SortedForShowing(QList<FoundPort> ports) {
    std::stable_sort(ports.begin(), ports.end(), [](const FoundPort &x, const FoundPort &y) {
        return NaturalLess(x.location, y.location);
    });
    return ports;
}
