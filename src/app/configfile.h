#pragma once

#include <QString>
#include <QStringList>

class IniFile;
class SharedState;

// A station's configuration file: the settings file's keys, of which a load takes only the
// chosen parts. Loading changes the PC's mirrors and station data only; nothing goes to a board
// until the user writes from the tabs.
namespace ConfigFile {

inline const QString Filter = QStringLiteral("PVT (*.pvt);;TXT (*.txt);;Alle Dateien (*)");
inline const QString DefaultSuffix = QStringLiteral("pvt");

struct Choice {
    bool port = false;
    bool trackDefinition = false;
    bool parameters = false;
    bool addresses = false;
    bool any() const { return port || trackDefinition || parameters || addresses; }
};

// The chosen parts of which the file holds no section at all, by their check box captions. A
// file that holds none of the chosen parts is no configuration file for them: loading it would
// put every default over the user's data.
QStringList MissingParts(const IniFile &ini, const Choice &choice);

// The cells each part loads; no other cell ever comes from a configuration file.
bool IsParameterCell(bool pitBoard, int cell);
bool IsAddressCell(int cell);

// Reads the parts into the mirrors and station data. The cells filled lose their received flags:
// a value from a file is no value a board confirmed. The parameters-loaded and addresses-loaded
// flags are set for the tabs' refresh.
void LoadTrackDefinition(const IniFile &ini, SharedState &state);
void LoadParameters(const IniFile &ini, SharedState &state);
void LoadAddresses(const IniFile &ini, SharedState &state);
// R-Sense, taken on every load, but only when the file holds a usable value.
void LoadRSense(const IniFile &ini, SharedState &state);

} // namespace ConfigFile
