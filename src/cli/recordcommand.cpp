#include "cli/recordcommand.h"

#include "cli/backupcommand.h"
#include "core/diagnosis/recording.h"
#include "core/session/session.h"
#include "core/settings/settingsfile.h"
#include "net/networkports.h"
#include "platform/console.h"
#include "platform/filesafety.h"
#include "platform/interrupts.h"
#include "sim/simport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>

namespace RecordCommand {

namespace {
void Put(std::FILE *stream, const QString &text) {
    WriteText(stream, text);
}

void PutError(const QString &text) {
    Put(stderr, QCoreApplication::translate("RecordCommand", "pivota: %1\n").arg(text));
}
} // namespace

int MaxSeconds() {
    return static_cast<int>(Diagnosis::Recording::Capacity * Diagnosis::Recording::PeriodMs / 1000);
}

QString Usage() {
    return WrapLines(
        QCoreApplication::translate(
            "RecordCommand",
            "Aufruf: pivota record --port GERÄT --seconds N [--baud N] [--settings DATEI]\n"
            "              [--lang de|en] DATEI.csv\n"
            "Die Optionen dürfen vor und nach dem Befehl stehen, in jeder Reihenfolge.\n"
            "\n"
            "record   zeichnet N Sekunden lang die Messwerte der Diagnose auf (Sense-Strom und\n"
            "         Sensor-Spannung roh und umgerechnet, Direct Drive, Fehler-Flags; alle\n"
            "         200 ms) und schreibt sie als CSV-Datei wie \"Aufzeichnung speichern ...\".\n"
            "\n"
            "--port GERÄT     Gerätepfad (/dev/ttyUSB0), COM1..COM9 wie in der Einstellungs-Datei\n"
            "                 zugeordnet, oder \"simulator\"\n"
            "--seconds N      Dauer in Sekunden, 1 bis %1\n"
            "--baud N         2400, 9600 oder 19200 (Vorgabe: wie in der Einstellungs-Datei)\n"
            "--settings DATEI Einstellungs-Datei (Port-Zuordnung, Baud, R-Sense)\n"
            "--lang de|en     Sprache der Meldungen und der CSV-Datei (Dezimalkomma oder -punkt)\n"
            "\n"
            "Rückgabewert: 0 aufgezeichnet, 2 Aufruf- oder Dateifehler, 3 Verbindung\n"
            "fehlgeschlagen oder keine Messwerte, 130 mit Strg-C abgebrochen (das bis dahin\n"
            "Aufgezeichnete wird geschrieben).\n")
            .arg(MaxSeconds()));
}

bool Parse(const QStringList &arguments, Options *options, QString *error) {
    const auto fail = [&](const QString &text) {
        *error = WrapLines(QCoreApplication::translate("RecordCommand", "pivota: %1\n").arg(text) +
                           QCoreApplication::translate(
                               "RecordCommand", "Aufruf und Optionen: pivota record --help\n"));
        return false;
    };
    const int at = BackupCommand::CommandAt(arguments);
    if (at <= 0 || arguments.at(at) != QLatin1String("record")) {
        return fail(QCoreApplication::translate("RecordCommand", "Kein Befehl record."));
    }
    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption port(QStringLiteral("port"), QString(),
                                  QCoreApplication::translate("RecordCommand", "GERÄT"));
    const QCommandLineOption seconds(QStringLiteral("seconds"), QString(), QStringLiteral("N"));
    const QCommandLineOption baud(QStringLiteral("baud"), QString(), QStringLiteral("N"));
    const QCommandLineOption settings(QStringLiteral("settings"), QString(),
                                      QCoreApplication::translate("RecordCommand", "DATEI"));
    const QCommandLineOption lang(QStringLiteral("lang"), QString(), QStringLiteral("de|en"));
    parser.addOptions({help, port, seconds, baud, settings, lang});
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
    if (o.port.isEmpty()) {
        return fail(QCoreApplication::translate("RecordCommand", "record braucht --port GERÄT."));
    }
    bool ok = false;
    o.seconds = parser.value(seconds).toInt(&ok);
    if (!parser.isSet(seconds) || !ok || o.seconds < 1 || o.seconds > MaxSeconds()) {
        return fail(QCoreApplication::translate("RecordCommand",
                                                "record braucht --seconds N mit N von 1 bis %1.")
                        .arg(MaxSeconds()));
    }
    QString wrong;
    if (!BackupCommand::ReadCommonOptions(parser, &o.baud, &o.settingsPath, &o.language, &wrong) ||
        !BackupCommand::OneFile(parser, QStringLiteral("record"), &o.file, &wrong)) {
        return fail(wrong);
    }
    o.file = QFileInfo(o.file).absoluteFilePath();
    *options = o;
    return true;
}

int Run(const QStringList &arguments, const QString &defaultSettingsPath) {
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
    // The file is checked before the port is opened: an hour's recording must not end in a file
    // that cannot be written.
    if (FileSafety::SameFile(o.file,
                             o.settingsPath.isEmpty() ? defaultSettingsPath : o.settingsPath)) {
        PutError(QCoreApplication::translate(
                     "RecordCommand",
                     "%1 ist die Einstellungs-Datei; die Aufzeichnung würde sie überschreiben. "
                     "Nichts wurde gesendet.")
                     .arg(o.file));
        return BackupCommand::UsageError;
    }
    if (!FileSafety::CanReplace(o.file, &error)) {
        PutError(error);
        return BackupCommand::UsageError;
    }

    Session session;
    ProgramSettings settings;
    if (!BackupCommand::SetUpSession(o.settingsPath, o.baud, defaultSettingsPath, session,
                                     settings)) {
        return BackupCommand::UsageError;
    }
    if (!BackupCommand::OpenLine(o.port, session, settings)) {
        return BackupCommand::LineFailed;
    }

    Diagnosis::Recording recording;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&session.driver(), &LinkDriver::housekeeping, &session, [&] {
        recording.Add(
            Diagnosis::TakeMeasurement(session.state(), static_cast<uint32_t>(clock.elapsed())));
    });
    QEventLoop loop;
    QTimer end;
    end.setSingleShot(true);
    QObject::connect(&end, &QTimer::timeout, &loop, &QEventLoop::quit);
    InterruptWatcher interrupts;
    bool signalled = false;
    QObject::connect(&interrupts, &InterruptWatcher::interrupted, &loop, [&] {
        signalled = true;
        loop.quit();
    });
    QString lineError;
    QObject::connect(&session, &Session::lost, &loop, [&](Link::Failure, const QString &why) {
        lineError = why;
        loop.quit();
    });
    Put(stderr, QCoreApplication::translate(
                    "RecordCommand", "Aufzeichnung über %1 s läuft, Strg-C beendet sie vorher.\n")
                    .arg(o.seconds));
    end.start(o.seconds * 1000);
    loop.exec();
    session.Stop();

    if (!lineError.isEmpty()) {
        PutError(lineError);
    }
    qsizetype measured = 0;
    for (qsizetype i = 0; i < recording.size(); ++i) {
        measured += recording.at(i).measured ? 1 : 0;
    }
    if (measured == 0) {
        if (lineError.isEmpty() && !signalled) {
            PutError(QCoreApplication::translate(
                "RecordCommand",
                "Die Steuerung hat keine Messwerte gemeldet. Keine Datei geschrieben."));
        }
        return signalled ? BackupCommand::Interrupted : BackupCommand::LineFailed;
    }
    // R-Sense and the decimal separator as the window would save them.
    if (!FileSafety::WriteWhole(
            o.file, Diagnosis::CsvBytes(recording, session.state().station.RSense, QLocale()),
            &error)) {
        PutError(error);
        return BackupCommand::UsageError;
    }
    Put(stdout, QCoreApplication::translate("RecordCommand",
                                            "%1 Messungen (%2 mit Messwerten) in %3 geschrieben.\n")
                    .arg(recording.size())
                    .arg(measured)
                    .arg(o.file));
    if (signalled) {
        return BackupCommand::Interrupted;
    }
    return lineError.isEmpty() ? BackupCommand::Done : BackupCommand::LineFailed;
}

} // namespace RecordCommand
