#pragma once

#include "sim/simulator.h"

#include <QString>
#include <QStringList>

// Everything pivota-sim takes from its command line.
struct SimCommandLine {
    SimOptions options;
    QString link;         // symbolic link to the device; empty for none
    int lineRate = 19200; // baud the output is paced at
    QString eepromFile;   // empty for none
    bool trace = false;
};

// The result of reading the command line: an error (a usage error, exit code 2), a request for
// help (the text is in helpText, exit code 0), or the settings to run with.
struct SimCommandLineResult {
    enum class Status { Run, Help, Error };
    Status status = Status::Run;
    QString error;    // one line naming the option and what it accepts
    QString helpText; // for Help
    SimCommandLine settings;
};

// Reads arguments (arguments[0] is the program) and checks every numeric value against what the
// simulator can hold: probabilities 0..1, times 0..2147483.647 s (milliseconds in an int), the
// boards' delays in whole milliseconds 0..2147483647, hex bytes 00..ff, DIP bits 04/08/10 only.
SimCommandLineResult ParseSimCommandLine(const QStringList &arguments);

// Limits of the options, for messages and tests.
namespace SimLimits {
constexpr int MinLineRate = 300;
constexpr int MaxLineRate = 4000000;
constexpr double MaxSeconds = 2147483.647; // the largest time in milliseconds that fits an int
constexpr qint64 MaxMilliseconds = 2147483647;
constexpr int DipBits = 0x1C;
} // namespace SimLimits
