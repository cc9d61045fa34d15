#include "cli/backupcommand.h"

#include "comm/portmap.h"
#include "core/backup/backupjob.h"
#include "core/session/session.h"
#include "core/settings/inifile.h"
#include "core/settings/settingsfile.h"
#include "core/settings/settingsstore.h"
#include "platform/console.h"
#include "platform/interrupts.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <cstdio>
#include <memory>

namespace BackupCommand {

namespace {
const QStringList Commands = {QStringLiteral("backup"), QStringLiteral("compare"),
                              QStringLiteral("restore")};
// Plain progress lines (no terminal) are written every tenth of the way.
constexpr int PlainSteps = 10;

void Put(std::FILE *stream, const QString &text) {
    WriteText(stream, text);
}

} // namespace

bool IsYes(const QString &answer) {
    const QString a = answer.trimmed().toLower();
    return a == QLatin1String("j") || a == QLatin1String("ja") || a == QLatin1String("y") ||
           a == QLatin1String("yes");
}

namespace {
enum class Answer { Yes, No, Interrupted };

// Asks on the terminal; yes only for an explicit yes.
Answer AskTerminal(const QString &question, const InterruptWatcher &interrupts) {
    Put(stderr, QStringLiteral("%1 [j/N] ").arg(question));
    if (!interrupts.WaitForInput()) {
        Put(stderr, QStringLiteral("\n"));
        return Answer::Interrupted;
    }
    char line[64] = {};
    if (!std::fgets(line, sizeof line, stdin)) {
        // A Windows console ends the read when Ctrl-C is pressed during it.
        return interrupts.Pending() ? Answer::Interrupted : Answer::No;
    }
    return IsYes(QString::fromLocal8Bit(line)) ? Answer::Yes : Answer::No;
}

int ExitCode(BackupJob::Result result) {
    switch (result) {
    case BackupJob::Result::Equal:
        return Done;
    case BackupJob::Result::Differences:
        return Differences;
    case BackupJob::Result::FileError:
        return UsageError;
    case BackupJob::Result::LineFailed:
    case BackupJob::Result::Stopped:
        break;
    }
    return LineFailed;
}
} // namespace

bool IsCommand(const QStringList &arguments) {
    return arguments.size() > 1 && Commands.contains(arguments.at(1));
}

QString Usage() {
    return QCoreApplication::translate(
        "BackupCommand",
        "Aufruf: pivota backup  --port GERÄT [--baud N] [--settings DATEI] DATEI\n"
        "        pivota compare --port GERÄT [--baud N] [--settings DATEI] DATEI\n"
        "        pivota restore --port GERÄT [--baud N] [--settings DATEI] [--yes] DATEI\n"
        "\n"
        "backup   liest alle Zellen beider Platinen (jede zweimal) und schreibt sie als\n"
        "         Sicherung in DATEI (ladbar mit \"laden\").\n"
        "compare  liest DATEI und beide Platinen und listet jeden Unterschied.\n"
        "restore  vergleicht, fragt nach und schreibt nur die abweichenden Zellen\n"
        "         (nie die Firmware-Version), jede zurückgelesen.\n"
        "\n"
        "--port GERÄT     Gerätepfad (/dev/ttyUSB0), COM1..COM9 wie in der Einstellungs-Datei\n"
        "                 zugeordnet, oder \"simulator\"\n"
        "--baud N         2400, 9600 oder 19200 (Vorgabe 19200)\n"
        "--settings DATEI Einstellungs-Datei (Port-Zuordnung, Antwort-Timeout)\n"
        "--yes            restore ohne Rückfrage\n"
        "\n"
        "Fortschritt auf der Standard-Fehlerausgabe, Ergebnis auf der Standard-Ausgabe.\n"
        "Rückgabewert: 0 alles erledigt und gleich, 1 Unterschiede oder Zellen nicht\n"
        "bestätigt/geschrieben, 2 Aufruf- oder Dateifehler, 3 Verbindung fehlgeschlagen,\n"
        "130 mit Strg-C abgebrochen (eine Sicherung schreibt dann keine Datei).\n");
}

bool Parse(const QStringList &arguments, Options *options, QString *error) {
    const auto fail = [&](const QString &text) {
        *error =
            QCoreApplication::translate("BackupCommand", "pivota: %1\n\n%2").arg(text, Usage());
        return false;
    };
    if (!IsCommand(arguments)) {
        return fail(QCoreApplication::translate("BackupCommand",
                                                "Kein Befehl (backup, compare, restore)."));
    }
    const QString command = arguments.at(1);
    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption port(QStringLiteral("port"), QString(),
                                  QCoreApplication::translate("BackupCommand", "GERÄT"));
    const QCommandLineOption baud(QStringLiteral("baud"), QString(), QStringLiteral("N"));
    const QCommandLineOption settings(QStringLiteral("settings"), QString(),
                                      QCoreApplication::translate("BackupCommand", "DATEI"));
    const QCommandLineOption yes(QStringLiteral("yes"), QString());
    parser.addOptions({help, port, baud, settings, yes});
    QStringList rest = arguments;
    rest.removeAt(1); // the command
    if (!parser.parse(rest)) {
        return fail(parser.errorText());
    }
    Options o;
    o.action = command == Commands.at(0)   ? Options::Action::Backup
               : command == Commands.at(1) ? Options::Action::Compare
                                           : Options::Action::Restore;
    if (parser.isSet(help)) {
        o.help = true;
        *options = o;
        return true;
    }
    if (parser.isSet(yes) && o.action != Options::Action::Restore) {
        return fail(QCoreApplication::translate("BackupCommand", "--yes gilt nur für restore."));
    }
    o.yes = parser.isSet(yes);
    o.port = parser.value(port).trimmed();
    if (o.port.isEmpty()) {
        return fail(
            QCoreApplication::translate("BackupCommand", "%1 braucht --port GERÄT.").arg(command));
    }
    if (parser.isSet(baud)) {
        bool ok = false;
        o.baud = parser.value(baud).toInt(&ok);
        if (!ok || (o.baud != 2400 && o.baud != 9600 && o.baud != 19200)) {
            return fail(
                QCoreApplication::translate(
                    "BackupCommand", "--baud %1: die Steuerung spricht 2400, 9600 oder 19200.")
                    .arg(parser.value(baud)));
        }
    }
    if (parser.isSet(settings)) {
        o.settingsPath = QFileInfo(parser.value(settings)).absoluteFilePath();
    }
    QStringList files = parser.positionalArguments();
    // An empty name ("") names no file: it is missing, not a file in no folder.
    files.removeAll(QString());
    if (files.size() != 1) {
        return fail(
            files.isEmpty()
                ? QCoreApplication::translate("BackupCommand", "%1 braucht eine DATEI.")
                      .arg(command)
                : QCoreApplication::translate("BackupCommand", "Unerwartetes Argument „%1“.")
                      .arg(files.at(1)));
    }
    o.file = files.constFirst();
    *options = o;
    return true;
}

namespace {
// Reads the settings file (the port map, the pacing, what a backup holds besides the cells) into
// the session; false when a file named with --settings cannot be read.
bool ReadSettings(const Options &o, const QString &defaultSettingsPath, Session &session,
                  ProgramSettings &settings) {
    const QString path = o.settingsPath.isEmpty() ? defaultSettingsPath : o.settingsPath;
    SettingsStore store(path);
    QString reason;
    if (store.Read(settings, session.state(), session.link().port().portMap(), &reason)) {
        return true;
    }
    if (!o.settingsPath.isEmpty()) {
        Put(stderr, QCoreApplication::translate("BackupCommand", "pivota: %1: %2\n")
                        .arg(o.settingsPath, reason));
        return false;
    }
    Put(stderr, QCoreApplication::translate("BackupCommand",
                                            "pivota: Einstellungs-Datei %1 nicht lesbar (%2), es "
                                            "gelten die Vorgabewerte.\n")
                    .arg(path, reason));
    return true;
}

BackupJob::Action ActionOf(const Options &o) {
    switch (o.action) {
    case Options::Action::Backup:
        return BackupJob::Action::Backup;
    case Options::Action::Compare:
        return BackupJob::Action::Compare;
    case Options::Action::Restore:
        break;
    }
    return BackupJob::Action::Restore;
}

// The job's progress on standard error: one updating line on a terminal, a line every tenth of
// the way otherwise.
void ShowProgress(BackupJob &job, bool *lineOpen) {
    const bool terminal = IsTerminal(stderr);
    auto plainShown = std::make_shared<int>(-1);
    QObject::connect(&job, &BackupJob::progressed, &job, [&job, lineOpen, terminal, plainShown] {
        if (terminal) {
            Put(stderr,
                QStringLiteral("\r%1%2").arg(job.ProgressText(), QLatin1String(ClearToLineEnd)));
            *lineOpen = true;
            return;
        }
        const int step = job.total() > 0 ? job.progress() * PlainSteps / job.total() : 0;
        if (step != *plainShown) {
            *plainShown = step;
            Put(stderr, job.ProgressText() + QLatin1Char('\n'));
        }
    });
}

// Runs the prepared job on the open session to its end; the exit status.
int RunJob(const Options &o, Session &session, BackupJob &job) {
    // Ctrl-C and SIGTERM stop the run cleanly: a backup writes no file, a restore stops between
    // two cells.
    InterruptWatcher interrupts;
    bool signalled = false;
    QObject::connect(&interrupts, &InterruptWatcher::interrupted, &job, [&] {
        signalled = true;
        job.Abort();
    });
    job.confirm = [&o, &signalled, &interrupts](const QString &question) {
        if (o.yes) {
            Put(stderr, question + QCoreApplication::translate("BackupCommand", " (--yes)\n"));
            return true;
        }
        const Answer answer = AskTerminal(question, interrupts);
        // Ctrl-C at the question ends the run before anything is written.
        signalled = signalled || answer == Answer::Interrupted;
        return answer == Answer::Yes;
    };
    QString lineError;
    QObject::connect(&session, &Session::lost, &job,
                     [&lineError](Link::Failure, const QString &why) { lineError = why; });
    bool lineOpen = false;
    ShowProgress(job, &lineOpen);

    QEventLoop loop;
    QObject::connect(&job, &BackupJob::finished, &loop, &QEventLoop::quit);
    if (job.Start()) {
        loop.exec();
    }
    if (lineOpen) {
        Put(stderr, QStringLiteral("\n"));
    }
    session.Stop();

    const int code = signalled ? Interrupted : ExitCode(job.result());
    std::FILE *out =
        code == UsageError || code == LineFailed || code == Interrupted ? stderr : stdout;
    if (!lineError.isEmpty()) {
        Put(stderr, QCoreApplication::translate("BackupCommand", "pivota: %1\n").arg(lineError));
    }
    for (const QString &line : job.lines()) {
        Put(out, line + QLatin1Char('\n'));
    }
    return code;
}
} // namespace

int Run(const QStringList &arguments, const QString &defaultSettingsPath) {
    Options o;
    QString error;
    if (!Parse(arguments, &o, &error)) {
        Put(stderr, error);
        return UsageError;
    }
    if (o.help) {
        Put(stdout, Usage());
        return Done;
    }
    if (o.action == Options::Action::Restore && !o.yes && !IsTerminal(stdin)) {
        Put(stderr,
            QCoreApplication::translate(
                "BackupCommand", "pivota: restore fragt vor dem Schreiben nach; ohne Terminal "
                                 "nur mit --yes. Nichts wurde gesendet.\n"));
        return UsageError;
    }

    Session session;
    ProgramSettings settings;
    if (!ReadSettings(o, defaultSettingsPath, session, settings)) {
        return UsageError;
    }
    settings.baud = o.baud;

    // A file that cannot be used is refused before the port is opened, and a file to compare
    // with is read here, once.
    BackupJob job(session.state());
    job.version = QCoreApplication::applicationVersion();
    job.settings = [&settings] { return settings; };
    if (!job.Prepare(ActionOf(o), QFileInfo(o.file).absoluteFilePath())) {
        Put(stderr, QCoreApplication::translate("BackupCommand", "pivota: %1\n")
                        .arg(job.lines().join(QLatin1Char('\n'))));
        return UsageError;
    }

    session.setTiming(session.state().transferSettings.byteIntervalMs, settings.intervalReceive,
                      settings.readSize);
    QString reason;
    QString configureError;
    if (!session.Start({o.port, o.baud, false}, &reason, &configureError)) {
        Put(stderr, QCoreApplication::translate("BackupCommand", "pivota: %1\n").arg(reason));
        return LineFailed;
    }
    if (!configureError.isEmpty()) {
        Put(stderr,
            QCoreApplication::translate("BackupCommand", "pivota: %1\n").arg(configureError));
    }
    return RunJob(o, session, job);
}

} // namespace BackupCommand
