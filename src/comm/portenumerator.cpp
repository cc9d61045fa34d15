#include "portenumerator.h"

#include <QDir>
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
    return about.isEmpty() ? text : QStringLiteral("%1 – %2").arg(text, about);
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

SystemPortEnumerator::SystemPortEnumerator(QString byIdFolder)
    : m_byIdFolder(std::move(byIdFolder)) {}

QList<FoundPort> SystemPortEnumerator::Ports() const {
    QList<FoundPort> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        FoundPort p;
        p.location = info.systemLocation();
        p.target = StableDeviceName(p.location, m_byIdFolder);
        p.description = info.description();
        p.manufacturer = info.manufacturer();
        ports.append(p);
    }
    return ports;
}
