#pragma once

#include "platform/filesafety.h"

#include "core/settings/inikeys.h"

#include <QString>
#include <functional>

class IniFile;
class PortMap;
class SharedState;
class BoardImage;
struct StationData;

// The settings the main window keeps in its controls and timers, as plain values. 0 for the port
// or the baud rate means "no button checked".
struct ProgramSettings {
    static constexpr int DefaultComPort = 5;
    // The window's size when the file holds none: the size at which every control of every tab
    // stays reachable.
    static constexpr int DefaultWidth = 1000;
    static constexpr int DefaultHeight = 670;
    static constexpr int DefaultReadSize = 8;
    static constexpr int MaxReadSize = 4000;
    static constexpr int DefaultInterval = 20;
    static constexpr int MaxInterval = 10000;

    int comPort = 0; // form: no port checked
    int readSize = DefaultReadSize;
    int intervalReceive = DefaultInterval;
    int intervalSenden = DefaultInterval;
    QString userLevel;                        // the text as stored
    QString checkedLevel = Ini::LevelJustage; // the "Darstellung" button checked
    int baud = 19200;                         // form: 19200 checked
    int width = DefaultWidth;
    int height = DefaultHeight;
    int top = 10;
    int left = 10;
    bool showExternalTarget = false; // the box is hidden at most user levels: off unless stored
    bool autoReconnect = true;       // reopen the port when its lost adapter comes back
};

// Reads every key in the file's order of keys and applies it; values that would break the program
// are limited to a safe range.
void ReadProgramSettings(const IniFile &ini, ProgramSettings &settings, SharedState &state);
// Writes every key in the same order. "Buffersize" is read but the read size is written as
// "COM-Buffersize".
// A configuration file holds the same keys but those of how this PC reads the line.
enum class SettingsScope { SettingsFile, Configuration };
void WriteProgramSettings(IniFile &ini, const ProgramSettings &settings, const SharedState &state,
                          SettingsScope scope = SettingsScope::SettingsFile);

// The station part of the settings (positions in use, names, offset, switches).
void ReadStationData(const IniFile &ini, StationData &station);
void WriteStationData(IniFile &ini, const StationData &station);

// Mirror cells first..last of one board; missing keys give the cell's default.
void ReadPitCells(const IniFile &ini, BoardImage &pit, int first, int last);
void ReadBridgeCells(const IniFile &ini, BoardImage &bridge, int first, int last);

// COM1..COM9 entries of the Ports section.
void ReadPortMap(const IniFile &ini, PortMap &map);

// The settings file beside the program: its path with the extension replaced by "ini", or with
// ".ini" appended when it has none.
QString SettingsPathFor(const QString &programPath);

// The settings file of a program at programPath: beside the program (SettingsPathFor) when the
// program's folder is writable, as for a program unpacked or built in the user's own folders;
// "pivota.ini" in userConfigFolder when it is not, as for a program installed system-wide.
QString DefaultSettingsPath(
    const QString &programPath, const QString &userConfigFolder,
    const std::function<bool(const QString &)> &isWritable = FileSafety::IsFolderWritable);
