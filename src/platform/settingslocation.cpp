#include "platform/settingslocation.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString AppDataSettingsFolder(const QString &appData, const QString &fallback) {
    // A Windows path on every system, so that it is read alike wherever it is tested.
    QString folder = appData.trimmed();
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (folder.isEmpty()) {
        return fallback;
    }
    return QDir::cleanPath(folder + QStringLiteral("/Pivota"));
}

QString UserSettingsFolder() {
#ifdef Q_OS_WIN
    // Qt's AppConfigLocation on Windows is the local, not the roaming, part of the profile.
    return AppDataSettingsFolder(
        qEnvironmentVariable("APPDATA"),
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
#else
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
#endif
}

QString ShownPath(const QString &path) {
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
}
