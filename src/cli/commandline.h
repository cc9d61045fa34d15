#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

// What the command line asks for. The window system is not needed to decide it, so that --help
// and --version work on any console.
struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    // The settings file given with --settings, made absolute; empty for the default.
    QString settingsPath;
    // The file given with --log that records the session, made absolute; empty for none.
    QString logPath;
    // The interface language given with --lang ("de" or "en"); empty when not given.
    QString language;
    // A file given without an option (a configuration file opened from the file manager), made
    // absolute; the window offers to load it. Empty for none.
    QString openFile;
    // Help or version text for standard output, or the error and the usage for standard error.
    QString output;

    // Exit codes: 0 for help and version, 2 for a wrong command line.
    static constexpr int UsageError = 2;
    // Exit code when no display can be opened.
    static constexpr int NoDisplay = 1;
};

// arguments as QCoreApplication::arguments() gives them (the program first). Qt's own options
// (-platform, -style, ...) are accepted and left to Qt.
CommandLine ParseCommandLine(const QStringList &arguments);

// The one line shown when the window system cannot be started, from the environment that
// chose it.
QString NoDisplayLine(const QString &platform, const QString &display, const QString &wayland);
