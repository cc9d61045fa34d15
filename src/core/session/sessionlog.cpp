#include "core/session/sessionlog.h"

#include <QDateTime>
#include <QFile>
#include <QLoggingCategory>
#include <QTextStream>
#include <memory>

namespace {
std::unique_ptr<QFile> g_file;
QtMessageHandler g_previous = nullptr;

void Write(QtMsgType type, const QMessageLogContext &context, const QString &message) {
    const QLatin1String category(context.category ? context.category : "");
    if (g_file && category.startsWith(QLatin1String("pivota."))) {
        QTextStream out(g_file.get());
        out << QDateTime::currentDateTime().toString(Qt::ISODateWithMs) << ' ' << category << ": "
            << message << '\n';
        out.flush();
        return; // the program's own record goes to the file only
    }
    if (g_previous) {
        g_previous(type, context, message);
    }
}
} // namespace

namespace SessionLog {

bool Start(const QString &path, QString *error) {
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        if (error) {
            *error = file->errorString();
        }
        return false;
    }
    g_file = std::move(file);
    g_previous = qInstallMessageHandler(Write);
    QLoggingCategory::setFilterRules(QStringLiteral("pivota.*=true"));
    return true;
}

void Stop() {
    if (!g_file) {
        return;
    }
    qInstallMessageHandler(g_previous);
    g_previous = nullptr;
    QLoggingCategory::setFilterRules(QString());
    g_file.reset();
}

} // namespace SessionLog
