#include "cli/backupcommand.h"

#include "comm/netaddress.h"
#include "comm/portmap.h"
#include "core/backup/backupjob.h"
#include "core/session/session.h"
#include "core/settings/inifile.h"
#include "core/settings/settingsfile.h"
#include "core/settings/settingsstore.h"
#include "net/networkports.h"
#include "platform/console.h"
#include "platform/filesafety.h"
#include "platform/interrupts.h"
#include "platform/terminalline.h"
#include "sim/simport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <cstdio>
#include <memory>
#include <optional>

namespace BackupCommand {

namespace {
// Every command that runs on the console; record has a module of its own (RecordCommand).
const QStringList Commands = {QStringLiteral("backup"), QStringLiteral("compare"),
                              QStringLiteral("restore"), QStringLiteral("record")};
// The commands of single settings and files, which ScriptCommand runs: the same options.
const QStringList ScriptCommands = {QStringLiteral("list"), QStringLiteral("get"),
                                    QStringLiteral("set"), QStringLiteral("diff"),
                                    QStringLiteral("drive")};
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

namespace {
// The options, of the commands and of the window, that take the next argument as their value.
const QStringList ValueOptions = {QStringLiteral("--port"),     QStringLiteral("--baud"),
                                  QStringLiteral("--settings"), QStringLiteral("--lang"),
                                  QStringLiteral("--log"),      QStringLiteral("--seconds"),
                                  QStringLiteral("--from"),     QStringLiteral("--to"),
                                  QStringLiteral("--light"),    QStringLiteral("--timeout")};

// The value of a long option wherever it stands, "--name value" or "--name=value"; the last one
// given counts, as for the parser.
std::optional<QString> ValueOf(const QStringList &arguments, const QString &name) {
    std::optional<QString> value;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        if (a == QLatin1String("--")) {
            break;
        }
        if (a == name && i + 1 < arguments.size()) {
            value = arguments.at(++i);
        } else if (a.startsWith(name + u'=')) {
            value = a.mid(name.size() + 1);
        }
    }
    return value;
}
} // namespace

int CommandAt(const QStringList &arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        if (ValueOptions.contains(a)) {
            ++i; // its value
            continue;
        }
        if (a.startsWith(u'-') && a != QLatin1String("-")) {
            if (a == QLatin1String("--")) {
                return 0;
            }
            continue;
        }
        return Commands.contains(a) || ScriptCommands.contains(a) ? static_cast<int>(i) : 0;
    }
    return 0;
}

bool IsCommand(const QStringList &arguments) {
    return CommandAt(arguments) > 0;
}

QString CommandName(const QStringList &arguments) {
    const int at = CommandAt(arguments);
    return at > 0 ? arguments.at(at) : QString();
}

bool IsScriptCommand(const QStringList &arguments) {
    const int at = CommandAt(arguments);
    return at > 0 && ScriptCommands.contains(arguments.at(at));
}

Options Peek(const QStringList &arguments) {
    Options o;
    if (const auto language = ValueOf(arguments, QStringLiteral("--lang"))) {
        const QString code = language->trimmed().toLower();
        if (code == QLatin1String("de") || code == QLatin1String("en")) {
            o.language = code;
        }
    }
    if (const auto settings = ValueOf(arguments, QStringLiteral("--settings"));
        settings && !settings->isEmpty()) {
        o.settingsPath = QFileInfo(*settings).absoluteFilePath();
    }
    return o;
}

QString Usage() {
    return WrapLines(QCoreApplication::translate(
        "BackupCommand",
        "Aufruf: pivota backup  --port GERÄT [--baud N] [--settings DATEI] [--lang de|en] DATEI\n"
        "        pivota compare --port GERÄT [--baud N] [--settings DATEI] [--lang de|en] DATEI\n"
        "        pivota restore --port GERÄT [--baud N] [--settings DATEI] [--lang de|en] [--yes]\n"
        "               DATEI\n"
        "Die Optionen dürfen vor und nach dem Befehl stehen, in jeder Reihenfolge.\n"
        "\n"
        "backup   liest alle Zellen beider Platinen (jede zweimal) und schreibt sie als\n"
        "         Sicherung in DATEI (ladbar mit \"laden\").\n"
        "compare  liest DATEI und beide Platinen und listet jeden Unterschied.\n"
        "restore  vergleicht, fragt nach und schreibt nur die abweichenden Zellen\n"
        "         (nie die Firmware-Version), jede zurückgelesen.\n"
        "\n"
        "--port GERÄT     Gerätepfad (/dev/ttyUSB0), COM1..COM9 wie in der Einstellungs-Datei\n"
        "                 zugeordnet, oder \"simulator\"\n"
        "--baud N         2400, 9600 oder 19200 (Vorgabe: wie in der Einstellungs-Datei)\n"
        "--settings DATEI Einstellungs-Datei (Port-Zuordnung, Baud, Antwort-Timeout)\n"
        "--lang de|en     Sprache der Meldungen\n"
        "--yes            restore ohne Rückfrage\n"
        "\n"
        "Fortschritt auf der Standard-Fehlerausgabe, Ergebnis auf der Standard-Ausgabe.\n"
        "Rückgabewert: 0 alles erledigt und gleich, 1 Unterschiede oder Zellen nicht\n"
        "bestätigt/geschrieben, 2 Aufruf- oder Dateifehler, 3 Verbindung fehlgeschlagen,\n"
        "130 mit Strg-C abgebrochen (eine Sicherung schreibt dann keine Datei).\n"));
}

bool Parse(const QStringList &arguments, Options *options, QString *error) {
    // What is wrong, and where the usage is: the whole usage would push the error out of view.
    const auto fail = [&](const QString &text) {
        *error = WrapLines(QCoreApplication::translate("BackupCommand", "pivota: %1\n").arg(text) +
                           QCoreApplication::translate(
                               "BackupCommand", "Aufruf und Optionen: pivota backup --help\n"));
        return false;
    };
    if (!IsCommand(arguments) || IsScriptCommand(arguments)) {
        return fail(QCoreApplication::translate("BackupCommand",
                                                "Kein Befehl (backup, compare, restore)."));
    }
    const int at = CommandAt(arguments);
    const QString command = arguments.at(at);
    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption port(QStringLiteral("port"), QString(),
                                  QCoreApplication::translate("BackupCommand", "GERÄT"));
    const QCommandLineOption baud(QStringLiteral("baud"), QString(), QStringLiteral("N"));
    const QCommandLineOption settings(QStringLiteral("settings"), QString(),
                                      QCoreApplication::translate("BackupCommand", "DATEI"));
    const QCommandLineOption yes(QStringLiteral("yes"), QString());
    const QCommandLineOption lang(QStringLiteral("lang"), QString(), QStringLiteral("de|en"));
    parser.addOptions({help, port, baud, settings, yes, lang});
    QStringList rest = arguments;
    rest.removeAt(at); // the command
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
    if (NetAddress::IsNetworkName(o.port) && !NetAddress::Parse(o.port)) {
        return fail(QCoreApplication::translate(
                        "BackupCommand",
                        "--port %1: eine Netzwerk-Schnittstelle heißt tcp://RECHNER:PORT oder "
                        "rfc2217://RECHNER:PORT (eine IPv6-Adresse in [ ]).")
                        .arg(o.port));
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
    if (parser.isSet(lang)) {
        o.language = parser.value(lang).trimmed().toLower();
        if (o.language != QLatin1String("de") && o.language != QLatin1String("en")) {
            return fail(QCoreApplication::translate("BackupCommand", "--lang braucht de oder en."));
        }
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

bool ReadSettings(const QString &settingsPath, const QString &defaultSettingsPath, Session &session,
                  ProgramSettings &settings) {
    const QString path = settingsPath.isEmpty() ? defaultSettingsPath : settingsPath;
    SettingsStore store(path);
    QString reason;
    if (store.Read(settings, session.state(), session.link().port().portMap(), &reason)) {
        return true;
    }
    // The reason names the file itself.
    if (!settingsPath.isEmpty()) {
        Put(stderr, QCoreApplication::translate("BackupCommand", "pivota: %1\n").arg(reason));
        return false;
    }
    Put(stderr, QCoreApplication::translate(
                    "BackupCommand",
                    "pivota: Einstellungs-Datei nicht lesbar, es gelten die Vorgabewerte: %1\n")
                    .arg(reason));
    return true;
}

bool OpenLine(const QString &port, Session &session, const ProgramSettings &settings) {
    session.setTiming({settings.intervalSenden, settings.intervalReceive, settings.readSize});
    QString reason;
    QString configureError;
    if (!session.Start({port, settings.baud, false}, &reason, &configureError)) {
        Put(stderr, QCoreApplication::translate("BackupCommand", "pivota: %1\n").arg(reason));
        return false;
    }
    if (session.connectionState() == Connection::State::Connecting) {
        // A port on the network answers later; its device has a time limit of its own.
        bool ok = false;
        QEventLoop wait;
        QObject::connect(&session, &Session::started, &wait, [&](const QString &error) {
            ok = true;
            configureError = error;
            wait.quit();
        });
        QObject::connect(&session, &Session::startFailed, &wait, [&](const QString &error) {
            reason = error;
            wait.quit();
        });
        wait.exec();
        if (!ok) {
            Put(stderr, QCoreApplication::translate("BackupCommand", "pivota: %1\n").arg(reason));
            return false;
        }
    }
    if (!configureError.isEmpty()) {
        Put(stderr,
            QCoreApplication::translate("BackupCommand", "pivota: %1\n").arg(configureError));
    }
    return true;
}

namespace {
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

// The job's lines from the first not yet printed on, each with its detail indented below it.
void PutLines(std::FILE *out, const BackupJob &job, int *printed) {
    for (; *printed < job.lines().size(); ++*printed) {
        QString text = job.lines().at(*printed) + u'\n';
        const QString detail = job.detail(*printed);
        if (!detail.isEmpty()) {
            for (const QString &line : detail.split(u'\n')) {
                text += QStringLiteral("    %1\n").arg(line);
            }
        }
        Put(out, text);
    }
}

// Runs the prepared job on the open session to its end; the exit status.
int RunJob(const Options &o, Session &session, BackupJob &job) {
    // Ctrl-C and SIGTERM stop the run cleanly: a backup writes no file, a restore stops between
    // two cells.
    InterruptWatcher interrupts;
    bool signalled = false;
    QObject::connect(&interrupts, &InterruptWatcher::interrupted, &job, [&] {
        signalled = true;
        if (job.awaitingAnswer()) {
            Put(stderr, QStringLiteral("\n")); // Ctrl-C at the question: nothing is written
        }
        job.Abort();
    });
    // The restore question waits for the user's line while the session goes on; yes only for an
    // explicit yes.
    TerminalLine answer;
    QObject::connect(&answer, &TerminalLine::lineRead, &job,
                     [&job](const QString &line) { job.Answer(IsYes(line)); });
    QObject::connect(&answer, &TerminalLine::ended, &job, [&job] { job.Answer(false); });
    bool lineOpen = false;
    int printed = 0;
    // The question stands on its own line, after the list of what differs and is to be written.
    job.ownerAsk = [&o, &job, &answer, &lineOpen, &printed](const QString &question) {
        if (lineOpen) {
            Put(stderr, QStringLiteral("\n"));
            lineOpen = false;
        }
        PutLines(stdout, job, &printed);
        if (o.yes) {
            Put(stderr, question + QCoreApplication::translate("BackupCommand", " (--yes)\n"));
            job.Answer(true);
            return;
        }
        Put(stderr, QCoreApplication::translate("BackupCommand", "%1 [j/N] ").arg(question));
        answer.Start();
    };
    QString lineError;
    QObject::connect(&session, &Session::lost, &job,
                     [&lineError](Link::Failure, const QString &why) { lineError = why; });
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
    PutLines(out, job, &printed);
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
                "BackupCommand",
                "pivota: restore fragt vor dem Schreiben nach, doch die Eingabe ist umgeleitet "
                "und kommt nicht von der Tastatur: dann nur mit --yes. Nichts wurde gesendet.\n"));
        return UsageError;
    }

    // A backup into the settings file would replace the settings with the cells.
    if (const QString file = QFileInfo(o.file).absoluteFilePath();
        o.action == Options::Action::Backup &&
        FileSafety::SameFile(file,
                             o.settingsPath.isEmpty() ? defaultSettingsPath : o.settingsPath)) {
        Put(stderr, QCoreApplication::translate("BackupCommand",
                                                "pivota: %1 ist die Einstellungs-Datei; die "
                                                "Sicherung würde sie überschreiben. Nichts wurde "
                                                "gesendet.\n")
                        .arg(file));
        return UsageError;
    }

    Session session;
    session.setDeviceFactory(
        WithNetworkPorts(DevicesWithSimulator())); // "--port simulator" as in the window
    ProgramSettings settings;
    if (!ReadSettings(o.settingsPath, defaultSettingsPath, session, settings)) {
        return UsageError;
    }
    if (o.baud > 0) {
        settings.baud = o.baud;
    }

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

    if (!OpenLine(o.port, session, settings)) {
        return LineFailed;
    }
    return RunJob(o, session, job);
}

} // namespace BackupCommand
