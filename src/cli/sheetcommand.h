#pragma once

#include "core/sheet/stationsheet.h"

#include <QString>
#include <QStringList>
#include <functional>

// The station sheet as a PDF file without a window: from a configuration file, settings file or
// backup, or from the controller itself, read as a backup reads it.
//
//   pivota sheet [--title NAME] [--lang de|en] FILE OUT.pdf
//   pivota sheet --port DEVICE [--baud N] [--settings FILE] [--title NAME] [--lang de|en] OUT.pdf
//
// The exit codes are those of backup, compare and restore (BackupCommand).
namespace SheetCommand {

struct Options {
    QString port;
    int baud = 0;
    QString file; // empty with a port
    QString out;
    QString title;
    QString settingsPath;
    QString language;
    bool help = false;
};

bool Parse(const QStringList &arguments, Options *options, QString *error);
QString Usage();

// What paints the sheet into a PDF file: given by the program, which has the painting.
using PdfWriter =
    std::function<bool(const QString &path, const StationSheet::Content &content, QString *error)>;

// Runs the command under a running application that can paint, and returns the exit code.
int Run(const QStringList &arguments, const QString &defaultSettingsPath, const PdfWriter &write);

} // namespace SheetCommand
