#include "cli/backupcommand.h"

#include "cli/jsonoutput.h"

#include "comm/addresscodes.h"
#include "comm/netaddress.h"
#include "comm/portmap.h"
#include "core/backup/backupjob.h"
#include "core/scripting/filediff.h"
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
#include <QJsonArray>
#include <QJsonObject>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>

namespace BackupCommand {

namespace {
// Every command that runs on the console; record and sheet have modules of their own
// (RecordCommand, SheetCommand).
const QStringList Commands = {QStringLiteral("backup"), QStringLiteral("compare"),
                              QStringLiteral("restore"), QStringLiteral("record"),
                              QStringLiteral("sheet")};
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
const QStringList ValueOptions = {
    QStringLiteral("--port"),    QStringLiteral("--baud"), QStringLiteral("--settings"),
    QStringLiteral("--lang"),    QStringLiteral("--log"),  QStringLiteral("--seconds"),
    QStringLiteral("--from"),    QStringLiteral("--to"),   QStringLiteral("--light"),
    QStringLiteral("--timeout"), QStringLiteral("--title")};

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
        "Aufruf: pivota backup  --port GERÄT [--baud N] [--settings DATEI] [--lang de|en]\n"
        "               [--json] DATEI\n"
        "        pivota compare --port GERÄT [--baud N] [--settings DATEI] [--lang de|en]\n"
        "               [--json] DATEI\n"
        "        pivota restore --port GERÄT [--baud N] [--settings DATEI] [--lang de|en]\n"
        "               [--json] [--yes] DATEI\n"
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
        "--json           das Ergebnis als ein JSON-Dokument (Zellen, Namen, Zustände,\n"
        "                 Anzahlen); die Rückfrage von restore auf der\n"
        "                 Standard-Fehlerausgabe\n"
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
    const QCommandLineOption json(QStringLiteral("json"), QString());
    parser.addOptions({help, port, baud, settings, yes, lang, json});
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
    o.json = parser.isSet(json);
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
    QString wrong;
    if (!ReadCommonOptions(parser, &o.baud, &o.settingsPath, &o.language, &wrong) ||
        !OneFile(parser, command, &o.file, &wrong)) {
        return fail(wrong);
    }
    *options = o;
    return true;
}

bool ReadCommonOptions(const QCommandLineParser &parser, int *baud, QString *settingsPath,
                       QString *language, QString *error) {
    if (parser.isSet(QStringLiteral("baud"))) {
        const QString typed = parser.value(QStringLiteral("baud"));
        bool ok = false;
        *baud = typed.toInt(&ok);
        if (!ok || (*baud != 2400 && *baud != 9600 && *baud != 19200)) {
            *error = QCoreApplication::translate(
                         "BackupCommand", "--baud %1: die Steuerung spricht 2400, 9600 oder 19200.")
                         .arg(typed);
            return false;
        }
    }
    if (parser.isSet(QStringLiteral("settings"))) {
        *settingsPath = QFileInfo(parser.value(QStringLiteral("settings"))).absoluteFilePath();
    }
    if (parser.isSet(QStringLiteral("lang"))) {
        *language = parser.value(QStringLiteral("lang")).trimmed().toLower();
        if (*language != QLatin1String("de") && *language != QLatin1String("en")) {
            *error = QCoreApplication::translate("BackupCommand", "--lang braucht de oder en.");
            return false;
        }
    }
    return true;
}

bool OneFile(const QCommandLineParser &parser, const QString &command, QString *file,
             QString *error) {
    QStringList files = parser.positionalArguments();
    // An empty name ("") names no file: it is missing, not a file in no folder.
    files.removeAll(QString());
    if (files.size() == 1) {
        *file = files.constFirst();
        return true;
    }
    *error =
        files.isEmpty()
            ? QCoreApplication::translate("BackupCommand", "%1 braucht eine DATEI.").arg(command)
            : QCoreApplication::translate("BackupCommand", "Unerwartetes Argument „%1“.")
                  .arg(files.at(1));
    return false;
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

bool SetUpSession(const QString &settingsPath, int baud, const QString &defaultSettingsPath,
                  Session &session, ProgramSettings &settings) {
    // "--port simulator" as in the window, and bridges on the network.
    session.setDeviceFactory(WithNetworkPorts(DevicesWithSimulator()));
    if (!ReadSettings(settingsPath, defaultSettingsPath, session, settings)) {
        return false;
    }
    if (baud > 0) {
        settings.baud = baud;
    }
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

QString ResultKey(BackupJob::Result result) {
    switch (result) {
    case BackupJob::Result::Equal:
        return QStringLiteral("done");
    case BackupJob::Result::Differences:
        return QStringLiteral("differences");
    case BackupJob::Result::FileError:
        return QStringLiteral("fileError");
    case BackupJob::Result::LineFailed:
        return QStringLiteral("lineFailed");
    case BackupJob::Result::Stopped:
        break;
    }
    return QStringLiteral("stopped");
}

// Every cell of both boards as the backup read it, and how many of each state per board.
void AddBackupJson(const BackupJob &job, QJsonObject &document) {
    QJsonArray cells;
    QJsonObject counts;
    for (Board board : {Board::Grube, Board::Buehne}) {
        QJsonObject count{{JsonOutput::StateKey(Scripting::Reading::State::Confirmed), 0},
                          {JsonOutput::StateKey(Scripting::Reading::State::Unconfirmed), 0},
                          {JsonOutput::StateKey(Scripting::Reading::State::Unreadable), 0}};
        for (int cell = 0; cell < Backup::Cells; ++cell) {
            const Backup::Cell &held = job.boardCells().of(board)[static_cast<size_t>(cell)];
            const QString state = JsonOutput::StateKey(held);
            count.insert(state, count.value(state).toInt() + 1);
            cells.append(JsonOutput::HeldCellJson(board, cell, held));
        }
        counts.insert(Scripting::BoardKey(board), count);
    }
    document.insert(QStringLiteral("cells"), cells);
    document.insert(QStringLiteral("counts"), counts);
}

// A position row's position cell by the row's name as the compare's list gives it: "P:8" for the
// row that drives to position 8 in the file; empty for any other setting.
QString PositionRowName(const Scripting::Setting &s, const Backup::Image &file) {
    if (s.kind != Scripting::Kind::Cell || s.board != Board::Grube) {
        return QString();
    }
    for (int n = 1; n <= AddressCodes::PositionRows; ++n) {
        QString error;
        const auto row = Scripting::Find(QStringLiteral("zeile:%1").arg(n), &error);
        if (!row || AddressCodes::StepCell(row->index, 3) != s.cell) {
            continue;
        }
        constexpr int NoPosition = 255;
        const Backup::Cell &position = file.pit[static_cast<size_t>(s.cell)];
        return position.known() && position.value != NoPosition
                   ? QStringLiteral("P:%1").arg(position.value + 1)
                   : row->name;
    }
    return QString();
}

// What a compare found: the settings that differ, named as get and set name them, and the cells
// behind them with the file's and the board's side; for a restore also what it wrote.
void AddCompareJson(const BackupJob &job, QJsonObject &document) {
    // Only the cells the compare found to differ count: the board's side of every other cell is
    // taken as the file's, so that a cell the file holds as unconfirmed names no setting.
    Backup::Image board = job.fileCells();
    QJsonArray cells;
    for (const Backup::Difference &d : job.differences()) {
        board.of(d.board)[static_cast<size_t>(d.cell)] = d.onBoard;
        cells.append(QJsonObject{
            {QStringLiteral("board"), Scripting::BoardKey(d.board)},
            {QStringLiteral("cell"), d.cell},
            {QStringLiteral("file"), JsonOutput::HeldCellJson(d.board, d.cell, d.file)},
            {QStringLiteral("controller"), JsonOutput::HeldCellJson(d.board, d.cell, d.onBoard)}});
    }
    QJsonArray named;
    for (const Scripting::FileDifference &d : Scripting::DiffFiles(job.fileCells(), board)) {
        QJsonObject j = JsonOutput::SettingJson(d.setting);
        if (const QString row = PositionRowName(d.setting, job.fileCells()); !row.isEmpty()) {
            j.insert(QStringLiteral("name"), row);
        }
        j.insert(QStringLiteral("file"), JsonOutput::ReadingJson(d.setting, d.a, true));
        j.insert(QStringLiteral("controller"), JsonOutput::ReadingJson(d.setting, d.b, false));
        named.append(j);
    }
    document.insert(QStringLiteral("same"), job.differences().empty());
    document.insert(QStringLiteral("count"), static_cast<int>(job.differences().size()));
    document.insert(QStringLiteral("counts"),
                    QJsonObject{{Scripting::BoardKey(Board::Grube),
                                 Backup::CountOf(job.differences(), Board::Grube)},
                                {Scripting::BoardKey(Board::Buehne),
                                 Backup::CountOf(job.differences(), Board::Buehne)}});
    document.insert(QStringLiteral("differences"), named);
    document.insert(QStringLiteral("cells"), cells);
    if (job.action() != BackupJob::Action::Restore) {
        return;
    }
    QJsonArray writes;
    QJsonArray failures;
    if (job.wrote()) {
        for (const Backup::Write &w : job.plan()) {
            const bool failed =
                std::any_of(job.failures().begin(), job.failures().end(), [&w](const auto &f) {
                    return f.write.board == w.board && f.write.cell == w.cell;
                });
            if (!failed) {
                writes.append(JsonOutput::CellJson(w.board, w.cell, w.value));
            }
        }
        for (const Backup::Failure &f : job.failures()) {
            QJsonObject j = JsonOutput::CellJson(f.write.board, f.write.cell, f.write.value);
            j.insert(QStringLiteral("onBoard"), Backup::ValueText(f.onBoard));
            j.insert(QStringLiteral("state"), JsonOutput::StateKey(f.onBoard));
            failures.append(j);
        }
    }
    document.insert(QStringLiteral("writes"), writes);
    document.insert(QStringLiteral("failures"), failures);
}

// The whole result as one document: what the text says, in fields a script reads.
void PutJobJson(const Options &o, const BackupJob &job, bool signalled, int code) {
    static const QStringList names = {QStringLiteral("backup"), QStringLiteral("compare"),
                                      QStringLiteral("restore")};
    const QString result = signalled ? QStringLiteral("stopped") : ResultKey(job.result());
    QJsonObject document{{QStringLiteral("command"), names.at(static_cast<int>(o.action))},
                         {QStringLiteral("file"), o.file},
                         {QStringLiteral("result"), result},
                         {QStringLiteral("exitCode"), code},
                         {QStringLiteral("messages"), QJsonArray::fromStringList(job.lines())}};
    // After a lost line or a stop the cells are not all read: the messages say what happened.
    const bool complete = !signalled && (job.result() == BackupJob::Result::Equal ||
                                         job.result() == BackupJob::Result::Differences);
    if (complete || job.wrote()) {
        if (o.action == Options::Action::Backup) {
            AddBackupJson(job, document);
        } else {
            AddCompareJson(job, document);
        }
    }
    JsonOutput::PutJson(document);
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
        // With --json standard output holds the document alone.
        PutLines(o.json ? stderr : stdout, job, &printed);
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
    if (o.json) {
        PutJobJson(o, job, signalled, code);
    } else {
        PutLines(out, job, &printed);
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
    ProgramSettings settings;
    if (!SetUpSession(o.settingsPath, o.baud, defaultSettingsPath, session, settings)) {
        return UsageError;
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
