#pragma once

#include "comm/stationstate.h"
#include "core/backup/backupfile.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

class SharedState;
struct ProgramSettings;

// The station sheet's content: what a technician hands over on paper. Everything is text in the
// interface's language, ready to be laid out; the values are read with the command line's
// settings (names, values, units and why a value is missing), so that the sheet, get and diff
// always say the same.
namespace StationSheet {

struct Position {
    int number = 0;
    QString name; // empty when the position has no name of its own
};

struct AddressLine {
    QString name;      // "Licht", "P:3", or "Positionszeile 5" while its position is not known
    QString format;    // "DCC", "DCC + Motorola"
    QString address;   // "230", or why there is none
    QString output;    // "grün", "rot"
    QString positions; // the positions the row drives to: "3"
};

struct ParameterLine {
    QString board;        // "Grube", "Bühne"
    QString name;         // as the parameter tab names the row or option
    QString value;        // "20 (1.27 s)", "ja", or why there is none ("unbestätigt")
    QString unitValue;    // "1.275 s"; empty for a row without a unit
    QString defaultValue; // the same way as value
    bool differs = false; // a known value that is not the default
};

struct Content {
    QString title;
    QDateTime time;
    QString programVersion;
    QString pitFirmware; // "V 0.38", or why it is not known
    QString bridgeFirmware;
    StationData station;
    int positionCount = StationData::MaxPositions;
    std::vector<Position> positions; // the positions in use
    std::vector<AddressLine> addresses;
    std::vector<ParameterLine> parameters;
    QStringList
        doubtful;   // cells held as unconfirmed or unreadable: "Grube 52 (0x34) ...: unbestätigt"
    QString source; // where the data came from
};

// Where the cells came from.
struct Origin {
    QString path;        // empty: read from the controller
    bool backup = false; // a backup whose checksum was checked
    QString backupTime;  // of a backup, as written
};

Content Build(const Backup::Image &cells, const StationData &station, int positionCount,
              const Origin &origin, const QString &title, const QDateTime &time,
              const QString &programVersion);

// The content of a configuration file, settings file or backup, as compare and restore read it:
// false with the reason when the file cannot be used (not there, no cells, a backup whose
// checksum does not match). An empty title gives the file's name.
bool FromFile(const QString &path, const QString &title, const QDateTime &time,
              const QString &programVersion, Content *content, QString *error);

// The content of what the program holds now, as "speichern" would write it.
Content FromProgram(const ProgramSettings &settings, const SharedState &state, const QString &title,
                    const QDateTime &time, const QString &programVersion);

// "von der Steuerung gelesen" and the like, as the sheet says where its data came from.
QString SourceText(const Origin &origin);

} // namespace StationSheet
