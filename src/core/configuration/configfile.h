#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <array>

class IniFile;
class StationState;
struct BoardMirrors;

// A station's configuration file: the settings file's keys, of which a load takes only the
// chosen parts. Loading changes the PC's mirrors and station data only; nothing goes to a board
// until the user writes from the tabs.
namespace ConfigFile {

QString Filter(); // the file dialogs' types, "PVT (*.pvt);;TXT (*.txt);;Alle Dateien (*)"
inline const QString DefaultSuffix = QStringLiteral("pvt");

// The parts a load can take over, in the order they are asked for.
enum class Content { Port, TrackDefinition, Parameters, Addresses };
constexpr std::array<Content, 4> Contents = {Content::Port, Content::TrackDefinition,
                                             Content::Parameters, Content::Addresses};
// The part's check box caption, which the messages name it by ("Com-Port Einstellungen", ...).
QString Caption(Content part);
// The check box's hint.
QString Hint(Content part);
// The question before a part is loaded over the present values.
QString Question(Content part);

// The chosen parts of which the file holds no section at all. A file that holds none of the
// chosen parts is no configuration file for them: loading it would put every default over the
// user's data.
QList<Content> MissingContents(const IniFile &ini, const QList<Content> &chosen);
QStringList Captions(const QList<Content> &parts);

// Why the file at path cannot be loaded at all: it does not exist, or it is a folder; empty when
// it is a file.
// Why a file cannot be loaded because it holds keys of these sections more than once with
// different values (which of them the boards should get is not known); empty when it does not.
QString ConflictText(const IniFile &ini, const QStringList &sections);
QString NotAFileText(const QString &path);

// The port number the file holds for the next Start, 1..9, or 0 for none of them.
int PortOf(const IniFile &ini);

// The cells each part loads; no other cell ever comes from a configuration file.
bool IsParameterCell(bool pitBoard, int cell);
bool IsAddressCell(int cell);

// What a backup writes for a cell whose value the board never confirmed.
inline const QString UnconfirmedText = QStringLiteral("unbestätigt");

// What a file holds for one cell: a whole number 0..255 in decimal (blanks around it allowed),
// "unbestätigt", or a text that is neither (a hand-edited "300" or "xyz"), which is no value
// of the cell and is never taken for one.
struct CellEntry {
    enum class Kind { Missing, Value, Unconfirmed, Unreadable };
    Kind kind = Kind::Missing;
    int value = 0;
    QString text; // as the file holds it
};
CellEntry ReadCell(const IniFile &ini, bool pitBoard, int cell);

// A cell of the chosen parts that the file holds as a text that is no value.
struct UnreadableCell {
    bool pitBoard = true;
    int cell = 0;
    QString text;
};
// Those cells, pit board first, each board in the order of its cells. A load leaves them as
// they are on the PC.
QList<UnreadableCell> UnreadableCells(const IniFile &ini, const QList<Content> &parts);

// Reads the parts into the mirrors and station data. The cells filled lose their received flags:
// a value from a file is no value a board confirmed. The tabs are told which parts were taken
// and mark what changed.
void LoadTrackDefinition(const IniFile &ini, StationState &state);
void LoadParameters(const IniFile &ini, BoardMirrors &mirrors);
void LoadAddresses(const IniFile &ini, BoardMirrors &mirrors);
// R-Sense, taken on every load, but only when the file holds a usable value.
void LoadRSense(const IniFile &ini, StationState &state);

} // namespace ConfigFile
