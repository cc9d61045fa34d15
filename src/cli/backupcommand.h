#pragma once

#include <QString>
#include <QStringList>

class QCommandLineParser;
class Session;
struct ProgramSettings;

// The command line's backup, compare and restore: the same job as on the settings tab, without a
// window and without a display.
//
//   pivota backup  --port DEVICE [--baud N] [--settings FILE] [--lang de|en] [--json] FILE
//   pivota compare --port DEVICE [--baud N] [--settings FILE] [--lang de|en] [--json] FILE
//   pivota restore --port DEVICE [--baud N] [--settings FILE] [--lang de|en] [--json] [--yes] FILE
//
// The options may stand before or after the command, in any order. DEVICE is a device path, a
// name COM1..COM9 as the settings file maps it, or "simulator".
// Progress goes to standard error, the result list to standard output; with --json the result
// is one JSON document there instead, and the list that a restore shows before its question goes
// to standard error with the question.
namespace BackupCommand {

// Exit codes.
constexpr int Done = 0;          // all done and equal
constexpr int Differences = 1;   // differences found, cells not confirmed or not written
constexpr int UsageError = 2;    // a wrong command line, or a file refused or not written
constexpr int LineFailed = 3;    // the port could not be opened, or the line failed
constexpr int Interrupted = 130; // stopped by Ctrl-C or SIGTERM (as a shell counts SIGINT)

// Where the command stands among the arguments: the first one that is neither an option nor an
// option's value; 0 when that is no command (or there is none).
int CommandAt(const QStringList &arguments);
// Whether the arguments name one of the commands (record, list, get, set and diff included).
bool IsCommand(const QStringList &arguments);
// The command the arguments name; empty for none.
QString CommandName(const QStringList &arguments);
// Whether the command is list, get, set or diff, which ScriptCommand runs.
bool IsScriptCommand(const QStringList &arguments);

struct Options {
    enum class Action { Backup, Compare, Restore };
    Action action = Action::Backup;
    QString port;
    int baud = 0; // 0: as the settings file says, as the window uses it
    QString file;
    QString settingsPath; // empty: the program's settings file
    QString language;     // "de", "en", or empty: as the settings file or the system says
    bool yes = false;
    bool json = false;
    bool help = false;
};
// Reads the command line (arguments[0] is the program, arguments[1] the command). False with the
// message and the usage in error.
bool Parse(const QStringList &arguments, Options *options, QString *error);
QString Usage();
// The language and the settings file that the arguments name, read before the translations are
// loaded, so that even the messages about a wrong command line come in the chosen language.
// Whatever else is wrong with them is not looked at here.
Options Peek(const QStringList &arguments);
// Whether the answer to the restore question is yes: j, ja, y or yes in any case, with blanks
// around.
bool IsYes(const QString &answer);

// The options that every command on the line reads alike, --baud, --settings and --lang, from a
// parser that knows them: false with the reason in error when one is wrong. baud stays 0 and
// the others empty where the option is not given.
bool ReadCommonOptions(const QCommandLineParser &parser, int *baud, QString *settingsPath,
                       QString *language, QString *error);
// The one FILE among the positional arguments (an empty name counts as none); false with the
// reason in error for none or more than one.
bool OneFile(const QCommandLineParser &parser, const QString &command, QString *file,
             QString *error);

// Reads the settings file (the port map, the pacing, what a backup holds besides the cells) into
// the session: the one named with --settings (settingsPath), else defaultSettingsPath. False when
// a file named with --settings cannot be read; the default file unread only warns.
bool ReadSettings(const QString &settingsPath, const QString &defaultSettingsPath, Session &session,
                  ProgramSettings &settings);
// A session that offers the simulator as the window does, with the settings file read into
// settings and a rate given with --baud (baud > 0) over the file's; false as ReadSettings.
bool SetUpSession(const QString &settingsPath, int baud, const QString &defaultSettingsPath,
                  Session &session, ProgramSettings &settings);
// Opens the port with the settings' pacing and rate; false, said on standard error, when it
// cannot be opened.
bool OpenLine(const QString &port, Session &session, const ProgramSettings &settings);

// Runs the command under a running QCoreApplication (its event loop is run here) and returns the
// exit code. defaultSettingsPath is the settings file used without --settings.
int Run(const QStringList &arguments, const QString &defaultSettingsPath);

} // namespace BackupCommand
