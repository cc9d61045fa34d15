#pragma once

#include <QString>
#include <QStringList>

// The command line's diagnosis recording: the measurements the diagnosis tab records, taken for a
// given time without a window and written as the tab's CSV file.
//
//   pivota record --port DEVICE --seconds N [--baud N] [--settings FILE] [--lang de|en] FILE
//
// The exit codes are those of backup, compare and restore (BackupCommand).
namespace RecordCommand {

struct Options {
    QString port;
    int seconds = 0;
    int baud = 0; // 0: as the settings file says
    QString file;
    QString settingsPath;
    QString language;
    bool help = false;
};

// The longest recording: what the recording keeps.
int MaxSeconds();

// Reads the command line (arguments[0] is the program); the command may stand anywhere among the
// options. False with the message and where the usage is in error.
bool Parse(const QStringList &arguments, Options *options, QString *error);
QString Usage();

// Runs the recording under a running QCoreApplication and returns the exit code.
int Run(const QStringList &arguments, const QString &defaultSettingsPath);

} // namespace RecordCommand
