#pragma once

#include "core/backup/backupplan.h"

#include <QString>
#include <optional>
#include <utility>
#include <vector>

struct StationData;

// Every setting of a controller by a name that a shell can type, for the command line's get, set,
// list and diff: the parameters of both boards by a key made from the catalogue's name
// ("geschwindigkeit-links-schnell"), their option bits, the firmware versions, single cells
// ("grube:52", "buehne:7"), the address rows ("licht", "step", "turn", "dir", "P:3" for the row
// that drives to position 3, "zeile:5" for the fifth position row), and the station data that the
// settings file keeps: positions in use ("gleis:3") and their names ("name:3").
//
// Values are written in the row's own terms: the number the parameter tab shows, or a value with
// the row's unit ("1.27s", "3,33 V"); "ja"/"nein" for an option; "dcc:230/gruen" or "mm:12/rot"
// for an address row (an address in the DCC format, or in both the DCC and the Motorola format as
// the definition tab writes a row with "Motorola verwenden"). A value outside the row's range is
// refused with the reason, before anything is sent.
namespace Scripting {

enum class Kind {
    Parameter,    // a numeric row of the parameter catalogue: one cell
    Option,       // one bit of an option byte
    Version,      // a board's firmware version: two cells, read only
    Cell,         // one cell of a board
    AddressRow,   // the accessory address of an address row
    PositionUsed, // settings file: whether a position is in use
    PositionName, // settings file: a position's name
};

struct Setting {
    Kind kind = Kind::Parameter;
    // The name as the program writes it: "geschwindigkeit-links-schnell", "grube:52", "P:3".
    QString name;
    // Parameter and Version: the row of Parameter::Rows(); Option: group * 8 + bit; AddressRow:
    // the row 0..27, or -1 for a row found by the position it drives to; PositionUsed and
    // PositionName: the position 1..48.
    int index = 0;
    int position = 0; // AddressRow found by position: the position 1..48 ("P:3")
    Board board = Board::Grube;
    int cell = 0; // Cell
    // Whether the value lives on the controller (else in the settings file).
    bool onBoard() const { return kind != Kind::PositionUsed && kind != Kind::PositionName; }
    bool operator==(const Setting &) const = default;
};

// The key of a catalogue text: lower case, umlauts spelt out, every other run of characters that
// is no letter or digit one hyphen. "Zeit: Länge Horn bei Start" -> "zeit-laenge-horn-bei-start".
QString KeyOf(const QString &text);

// The setting a name stands for, in any case; nullopt with the reason in error.
std::optional<Setting> Find(const QString &name, QString *error);
// Every setting with a fixed name, in the order of the tabs: parameters, option bits, versions,
// the address rows of the functions.
std::vector<Setting> Named();
// The names with a number in them, as "list" shows them: "grube:N", "P:N", ...
struct Pattern {
    QString name;
    QString title;
    int first = 0;
    int last = 0;
};
std::vector<Pattern> Patterns();
// What the setting is, in the interface's language: the catalogue's name ("Geschwindigkeit Links
// schnell"), "Grube 52 (0x34) Adresszeile 13, DCC-Byte 1", "Adresse für Position 3", ...
QString Title(const Setting &setting);
// "s", "V" for a row with a unit to compute with; empty for others.
QString Unit(const Setting &setting);
// Whether set may change the setting (not a firmware version or its cells).
bool Writable(const Setting &setting);

// A value as the user writes it, or as a board or a file holds it.
struct Value {
    int number = 0;        // Parameter, Cell: the cell's value as the tab shows it
    bool flag = false;     // Option, PositionUsed
    QString text;          // PositionName; Version: "V 0.38"
    int address = 0;       // AddressRow: 0 for none
    bool green = true;     // AddressRow: the green output (else the red one)
    bool motorola = false; // AddressRow: the Motorola cells hold the same address
    bool operator==(const Value &) const = default;
};

// The value typed for a setting; nullopt with the reason in error ("... liegt außerhalb von 1 bis
// 127").
std::optional<Value> ParseValue(const Setting &setting, const QString &text, QString *error);
// The value as set takes it back: "20", "ja", "dcc:230/gruen", the name.
QString ValueText(const Setting &setting, const Value &value);
// The value as the tab shows it: "20 (1.27 s)", "126 (max.=127)"; else as ValueText.
QString ShownText(const Setting &setting, const Value &value);
// The value in the row's unit (20 -> 1.275 s), for a row with one.
std::optional<double> UnitValue(const Setting &setting, const Value &value);

// "ja" and "nein", "gruen" and "rot" in the interface's language; both languages are read.
QString YesText(bool yes);
QString ColourText(bool green);
// A yes or no as typed: ja/nein, yes/no, an/aus, on/off, j/n, y/n, 1/0, true/false.
std::optional<bool> ParseYesNo(const QString &text);

// What a board or a file holds for a setting.
struct Reading {
    enum class State {
        Confirmed,   // every cell read and confirmed (from a file: held as a value)
        Unconfirmed, // answers came, but not two alike (a file: held as unconfirmed)
        Unreadable,  // no answer (a file: a text that is no value), or no such row
        Absent,      // not read (a file: not held)
    };
    State state = State::Absent;
    std::optional<Value> value;
    int row = -1;    // AddressRow: the row that was found
    QString problem; // why there is no value where the cells alone do not say it
};
// The cells the setting needs next that known does not hold (state Absent): a row found by its
// position needs the position cells first, and then its own.
std::vector<std::pair<Board, int>> CellsNeeded(const Setting &setting, const Backup::Image &known);
// The cells the setting stands on, as far as known tells them.
std::vector<std::pair<Board, int>> CellsOf(const Setting &setting, const Backup::Image &known);
// The setting as the cells and the station data hold it.
Reading Read(const Setting &setting, const Backup::Image &cells, const StationData &station);

// The cells that make the setting hold value, on a board that holds board: only those that differ
// (or whose value is not known) unless force. An option bit needs its byte confirmed; a row
// found by its position needs that position found. Empty problem when it can be done.
struct Plan {
    std::vector<Backup::Write> writes;
    QString problem;
};
Plan PlanWrite(const Setting &setting, const Value &value, const Backup::Image &board, bool force);

// "Grube", "Bühne" as the program names the boards; "grube", "buehne" as names and JSON name them.
QString BoardKey(Board board);

} // namespace Scripting
