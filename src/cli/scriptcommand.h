#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The command line's single settings and files: every parameter of both boards by a name a
// shell can type, read and written one by one, and two configuration files compared.
//
//   pivota list [--json]
//   pivota get  --port DEVICE [--baud N] [--settings FILE] [--json] NAME...
//   pivota set  --port DEVICE [--baud N] [--settings FILE] [--json] [--force] NAME=VALUE...
//   pivota set  --port DEVICE ... --from FILE [PART...]   (positionen, parameter, adressen)
//   pivota diff [--json] FILE_A FILE_B
//   pivota drive --port DEVICE ... [--json] --to N [--left|--right] | --stop | --light on|off
//                [--wait [--timeout S]]
//
// The options stand before or after the command, in any order; --lang de|en as for backup.
// The exit codes are backup's (BackupCommand): 0 done and verified, 1 cells left unconfirmed or
// different, 2 usage or unusable input, 3 no controller, 130 interrupted.
namespace ScriptCommand {

// A full turn of a slow bridge with its start and stop.
constexpr int DefaultTimeoutSeconds = 120;

struct Options {
    enum class Action { List, Get, Set, Diff, Drive };
    Action action = Action::List;
    QString port;
    int baud = 0;
    QString settingsPath;
    QString language;
    bool json = false;
    bool force = false;
    bool help = false;
    // get: the names; set: NAME=VALUE, or with from the parts; diff: the two files.
    QStringList arguments;
    // set: the configuration file whose parts are written, made absolute; empty for none.
    QString from;
    // drive: the position (1-based, as the operation tab counts), the way round, a stop, the
    // light; with wait the seconds until the board must report it done.
    std::optional<int> to;
    int direction = 0; // 0 the shorter way, 1 left, 2 right
    bool stop = false;
    std::optional<bool> light;
    bool wait = false;
    int timeoutSeconds = DefaultTimeoutSeconds;
};

// Reads the command line (arguments[0] is the program); false with the message in error.
bool Parse(const QStringList &arguments, Options *options, QString *error);
QString Usage(Options::Action action);

// Runs the command under a running QCoreApplication and returns the exit code.
int Run(const QStringList &arguments, const QString &defaultSettingsPath);

} // namespace ScriptCommand
