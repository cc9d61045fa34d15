#include "platform/portenumerator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>

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

QString DevicePathProblem(const QString &path) {
    if (path.trimmed().isEmpty()) {
        return QCoreApplication::translate("PortEnumerator", "Kein Pfad angegeben.");
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
