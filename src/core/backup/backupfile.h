#pragma once

#include "comm/framing.h"

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
// default and a restore never writes.
namespace Backup {

constexpr int Cells = 256;

// What is known of one cell, in a file or on a board.
struct Cell {
    enum class State : uint8_t {
        Absent,      // not in the file, or not read
        Unconfirmed, // answers came, but no two agreed; in a file: held as unconfirmed
        NoAnswer,    // the board never answered (boards only)
        Value,
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
inline const QString UnconfirmedText = QStringLiteral("unbestätigt");

// CRC-32 as zip and PNG compute it (reflected polynomial 0xEDB88320).
uint32_t Crc32(const QByteArray &bytes);
// The CRC of a backup: over the cells of the pit board, then of the bridge board, cell 0..255,
// two bytes each: 01 and the value for a value, 00 00 for an unconfirmed cell, 02 00 for a cell
// the file does not hold.
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
// Writes it to path atomically: the file appears whole or not at all.
bool SaveBackup(const QString &path, const ProgramSettings &settings, const SharedState &state,
                const Image &image, const Stamp &stamp, QString *error);

// A file read for compare and restore: a backup (with its [Sicherung]) or any configuration file.
struct FileContents {
    Image image;
    bool backup = false; // holds a [Sicherung] section
    QString time;        // of a backup, as written
    QString version;
};
// The cells a file holds: a whole number 0..255 is a value; "unbestätigt", or anything else that
// is no byte, is held as unconfirmed. Keys not in the file stay absent.
Image CellsOf(const IniFile &ini);
// Reads and checks the file. False with the reason for the user when it cannot be read, holds no
// cell of either board, or is a backup whose CRC does not match its cells.
bool ReadFile(const QString &path, FileContents *contents, QString *error);
// The same for a file already in memory.
bool CheckFile(const IniFile &ini, FileContents *contents, QString *error);

} // namespace Backup
