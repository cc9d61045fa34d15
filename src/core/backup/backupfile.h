#pragma once

#include "comm/framing.h"
#include "core/configuration/configfile.h"

#include <QDateTime>
#include <QString>
#include <array>
#include <cstdint>

class IniFile;
class SharedState;
struct ProgramSettings;

// A backup of the whole controller: every cell of both boards as a configuration file holds them
// (sections EE_GRUBE and EE_BUHNE, loadable with "laden"), and a section [Sicherung] that says
// when and by which version it was taken, how many cells of each board were confirmed, and a
// CRC-32 over the cells by which a damaged or edited file is recognised. A cell that could not be
// confirmed is written as "unbestätigt" instead of a value, which "laden" reads as the cell's
// default and a restore never writes. The file opens with a comment that says so.
namespace Backup {

constexpr int Cells = 256;

// What is known of one cell, in a file or on a board.
struct Cell {
    enum class State : uint8_t {
        Absent,      // not in the file, or not read
        Unconfirmed, // answers came, but no two agreed; in a file: held as unconfirmed
        NoAnswer,    // the board never answered (boards only)
        Value,
        Unreadable, // in a file: a text that is no value ("300", "xyz"); never compared or written
    };
    State state = State::Absent;
    uint8_t value = 0;

    static Cell Of(int value) { return {State::Value, static_cast<uint8_t>(value)}; }
    bool known() const { return state == State::Value; }
    bool operator==(const Cell &other) const = default;
};
using BoardCells = std::array<Cell, Cells>;

// The cells of both boards.
struct Image {
    BoardCells pit{};
    BoardCells bridge{};
    BoardCells &of(Board board) { return board == Board::Grube ? pit : bridge; }
    const BoardCells &of(Board board) const { return board == Board::Grube ? pit : bridge; }
    // Cells of a board held as a value.
    int Known(Board board) const;
    // Cells of a board held at all (a value or unconfirmed).
    int Held(Board board) const;
};

inline const QString Section = QStringLiteral("Sicherung");
inline const QString KeyTime = QStringLiteral("Zeitpunkt");
inline const QString KeyVersion = QStringLiteral("Programm-Version");
inline const QString KeyPitCells = QStringLiteral("Zellen_Grube");
inline const QString KeyBridgeCells = QStringLiteral("Zellen_Buehne");
inline const QString KeyCrc = QStringLiteral("CRC32");
inline const QString UnconfirmedText = ConfigFile::UnconfirmedText;

// A cell a file holds as a text that is no value, with the text.
struct Unreadable {
    Board board = Board::Grube;
    int cell = 0;
    QString text;
};
using UnreadableCells = std::vector<Unreadable>;

// CRC-32 as zip and PNG compute it (reflected polynomial 0xEDB88320).
uint32_t Crc32(const QByteArray &bytes);
// The CRC of a backup: over the cells of the pit board, then of the bridge board, cell 0..255,
// two bytes each: 01 and the value for a value, 00 00 for an unconfirmed cell (or one whose text
// is no value), 02 00 for a cell the file does not hold.
uint32_t CellsCrc(const Image &image);

// Where the backup's own facts come from (the clock and the version are given, for tests).
struct Stamp {
    QDateTime time;
    QString version;
};

// The configuration file of a backup: settings, station data and the mirrors as "speichern"
// writes them, the cells replaced by the backup's, and the [Sicherung] section.
void WriteBackup(IniFile &ini, const ProgramSettings &settings, const SharedState &state,
                 const Image &image, const Stamp &stamp);
// The comment that opens a backup file: what it is, by which program and when, and what
// "unbestätigt" means; each line starts with "; ".
QString HeaderComment(const Stamp &stamp);
// The whole file as SaveBackup writes it: the comment, then the configuration file.
QByteArray BackupBytes(const ProgramSettings &settings, const SharedState &state,
                       const Image &image, const Stamp &stamp);
// Writes it to path atomically: the file appears whole or not at all.
bool SaveBackup(const QString &path, const ProgramSettings &settings, const SharedState &state,
                const Image &image, const Stamp &stamp, QString *error);

// A file read for compare and restore: a backup (with its [Sicherung]) or any configuration file.
struct FileContents {
    Image image;
    bool backup = false; // holds a [Sicherung] section
    QString time;        // of a backup, as written
    QString version;
    UnreadableCells unreadable; // cells whose text is no value
};
// The cells a file holds: a whole number 0..255 is a value, "unbestätigt" unconfirmed, any
// other text unreadable (and listed in unreadable with the text). Keys not in the file stay
// absent.
Image CellsOf(const IniFile &ini, UnreadableCells *unreadable = nullptr);
// Reads and checks the file. False with the reason for the user when it cannot be read, holds no
// cell of either board, holds texts but no value for any cell, or is a backup whose CRC does not
// match its cells (the reason then names what can be seen to differ from what the backup wrote:
// texts that are no value, missing cells, the counts of cells read against the backup's own).
bool ReadFile(const QString &path, FileContents *contents, QString *error);
// The same for a file already in memory.
bool CheckFile(const IniFile &ini, FileContents *contents, QString *error);

} // namespace Backup
