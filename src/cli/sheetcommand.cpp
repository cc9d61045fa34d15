#include "cli/sheetcommand.h"

#include "cli/backupcommand.h"
#include "platform/console.h"
#include "platform/filesafety.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QTemporaryDir>

namespace SheetCommand {

namespace {
void Put(std::FILE *stream, const QString &text) {
    WriteText(stream, text);
}

void PutError(const QString &text) {
    Put(stderr, QCoreApplication::translate("SheetCommand", "pivota: %1\n").arg(text));
}
} // namespace

QString Usage() {
    return WrapLines(QCoreApplication::translate(
        "SheetCommand",
        "Aufruf: pivota sheet [--title NAME] [--lang de|en] DATEI AUSGABE.pdf\n"
        "        pivota sheet --port GERÄT [--baud N] [--settings DATEI] [--title NAME]\n"
        "              [--lang de|en] AUSGABE.pdf\n"
        "Die Optionen dürfen vor und nach dem Befehl stehen, in jeder Reihenfolge.\n"
        "\n"
        "sheet    schreibt das Stationsblatt als PDF-Datei (A4): Positionen und ihre Namen,\n"
        "         das Bild der Drehscheibe, die Zubehör-Adressen, alle Parameter beider\n"
        "         Platinen mit Vorgabe, und woher die Daten stammen. Aus einer\n"
        "         Konfigurations-Datei, Einstellungs-Datei oder Sicherung, oder mit --port\n"
        "         von der Steuerung gelesen wie bei einer Sicherung.\n"
        "\n"
        "--port GERÄT     Gerätepfad (/dev/ttyUSB0), COM1..COM9 wie in der Einstellungs-Datei\n"
        "                 zugeordnet, oder \"simulator\"\n"
        "--baud N         2400, 9600 oder 19200 (Vorgabe: wie in der Einstellungs-Datei)\n"
        "--settings DATEI Einstellungs-Datei (Port-Zuordnung, Positionen und ihre Namen)\n"
        "--title NAME     Titel des Blatts (Vorgabe: der Name der Datei)\n"
        "--lang de|en     Sprache des Blatts und der Meldungen\n"
        "\n"
        "Rückgabewert: 0 geschrieben, 2 Aufruf- oder Dateifehler, 3 Verbindung\n"
        "fehlgeschlagen, 130 mit Strg-C abgebrochen.\n"));
}

bool Parse(const QStringList &arguments, Options *options, QString *error) {
    const auto fail = [&](const QString &text) {
        *error = WrapLines(QCoreApplication::translate("SheetCommand", "pivota: %1\n").arg(text) +
                           QCoreApplication::translate(
                               "SheetCommand", "Aufruf und Optionen: pivota sheet --help\n"));
        return false;
    };
    const int at = BackupCommand::CommandAt(arguments);
    if (at <= 0 || arguments.at(at) != QLatin1String("sheet")) {
        return fail(QCoreApplication::translate("SheetCommand", "Kein Befehl sheet."));
    }
    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption port(QStringLiteral("port"), QString(), QStringLiteral("x"));
    const QCommandLineOption baud(QStringLiteral("baud"), QString(), QStringLiteral("N"));
    const QCommandLineOption settings(QStringLiteral("settings"), QString(), QStringLiteral("x"));
    const QCommandLineOption title(QStringLiteral("title"), QString(), QStringLiteral("x"));
    const QCommandLineOption lang(QStringLiteral("lang"), QString(), QStringLiteral("de|en"));
    parser.addOptions({help, port, baud, settings, title, lang});
    QStringList rest = arguments;
    rest.removeAt(at);
    if (!parser.parse(rest)) {
        return fail(parser.errorText());
    }
    Options o;
    if (parser.isSet(help)) {
        o.help = true;
        *options = o;
        return true;
    }
    o.port = parser.value(port).trimmed();
    o.title = parser.value(title).trimmed();
    // The same words as backup's for the options they share.
    QString wrong;
    if (!BackupCommand::ReadCommonOptions(parser, &o.baud, &o.settingsPath, &o.language, &wrong)) {
        return fail(wrong);
    }
    QStringList files = parser.positionalArguments();
    files.removeAll(QString());
    const qsizetype wanted = o.port.isEmpty() ? 2 : 1;
    if (files.size() != wanted) {
        if (files.size() > wanted) {
            return fail(QCoreApplication::translate("SheetCommand", "Unerwartetes Argument „%1“.")
                            .arg(files.at(wanted)));
        }
        return fail(
            o.port.isEmpty()
                ? QCoreApplication::translate("SheetCommand",
                                              "sheet braucht eine DATEI und die AUSGABE.pdf.")
                : QCoreApplication::translate("SheetCommand", "sheet braucht die AUSGABE.pdf."));
    }
    if (o.port.isEmpty()) {
        o.file = QFileInfo(files.constFirst()).absoluteFilePath();
    }
    o.out = QFileInfo(files.constLast()).absoluteFilePath();
    *options = o;
    return true;
}

int Run(const QStringList &arguments, const QString &defaultSettingsPath, const PdfWriter &write) {
    Options o;
    QString error;
    if (!Parse(arguments, &o, &error)) {
        Put(stderr, error);
        return BackupCommand::UsageError;
    }
    if (o.help) {
        Put(stdout, Usage());
        return BackupCommand::Done;
    }
    const QString settingsPath = o.settingsPath.isEmpty() ? defaultSettingsPath : o.settingsPath;
    if ((!o.file.isEmpty() && FileSafety::SameFile(o.out, o.file)) ||
        FileSafety::SameFile(o.out, settingsPath)) {
        PutError(QCoreApplication::translate("SheetCommand",
                                             "%1 würde die gelesene Datei überschreiben.")
                     .arg(o.out));
        return BackupCommand::UsageError;
    }
    if (!FileSafety::CanReplace(o.out, &error)) {
        PutError(error);
        return BackupCommand::UsageError;
    }

    QString source = o.file;
    QTemporaryDir read;
    if (!o.port.isEmpty()) {
        // The controller is read by a backup into a file of its own, verified cell by cell; the
        // sheet is then made from that file as from any other.
        if (!read.isValid()) {
            PutError(read.errorString());
            return BackupCommand::UsageError;
        }
        source = read.filePath(QStringLiteral("steuerung.pvt"));
        QStringList backup = {arguments.value(0), QStringLiteral("backup"),
                              QStringLiteral("--port"), o.port};
        if (o.baud > 0) {
            backup << QStringLiteral("--baud") << QString::number(o.baud);
        }
        if (!o.settingsPath.isEmpty()) {
            backup << QStringLiteral("--settings") << o.settingsPath;
        }
        backup << source;
        const int code = BackupCommand::Run(backup, defaultSettingsPath);
        // Cells not confirmed still make a sheet: it names them.
        if (code != BackupCommand::Done && code != BackupCommand::Differences) {
            return code;
        }
    }

    StationSheet::Content content;
    const QString title =
        o.title.isEmpty() && !o.port.isEmpty() ? QFileInfo(o.out).completeBaseName() : o.title;
    if (!StationSheet::FromFile(source, title, QDateTime::currentDateTime(),
                                QCoreApplication::applicationVersion(), &content, &error)) {
        PutError(error);
        return BackupCommand::UsageError;
    }
    if (!o.port.isEmpty()) {
        content.source = StationSheet::SourceText({});
    }
    if (!write(o.out, content, &error)) {
        PutError(error);
        return BackupCommand::UsageError;
    }
    Put(stdout, QCoreApplication::translate("SheetCommand", "Stationsblatt in %1 geschrieben.\n")
                    .arg(o.out));
    return BackupCommand::Done;
}

} // namespace SheetCommand
