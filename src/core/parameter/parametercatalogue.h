#pragma once

#include <QString>
#include <array>
#include <cstdint>

class BoardImage;
struct BoardMirrors;

// The controller's operating parameters as data: which board and cell each entry lives in, its
// range, default, scale, unit and texts. Everything else of the parameter tab reads these tables.
namespace Parameter {

// A cell reference: 256 + n for pit cell n, n for bridge cell n. Bit 8 selects the board.
constexpr int PitBit = 0x100;
constexpr int Pit(int cell) {
    return PitBit + cell;
}
constexpr int Bridge(int cell) {
    return cell;
}
constexpr bool IsPit(int ref) {
    return (ref & PitBit) != 0;
}
constexpr int CellOf(int ref) {
    return ref & 0xFF;
}
BoardImage &ImageOf(BoardMirrors &mirrors, int ref);
const BoardImage &ImageOf(const BoardMirrors &mirrors, int ref);

// The group box that holds a row.
enum class Box { Speed, Time, Parameter, Positions, Versions, None };

// A text of the catalogue (name, hint, unit, option label) in the interface's language.
QString Text(const char *catalogueText);

struct ParameterRow {
    const char *name; // empty: the row is hidden
    const char *hint;
    int cell; // cell reference
    int minimum;
    int maximum;
    int defaultValue;
    float scale;
    const char *unit; // empty: no value label
    Box box;
};

struct OptionGroup {
    int cell; // cell reference
    int defaultValue;
    std::array<const char *, 8> labels; // empty: the bit is not shown
    std::array<const char *, 8> hints;
};

constexpr int RowSlots = 64;  // row slots of the tab
constexpr int GroupSlots = 5; // option group slots of the tab
constexpr int Bits = 8;
constexpr int RowCount = 28;                      // rows that carry edits
constexpr int GroupCount = 3;                     // option groups in use
constexpr int EntryCount = RowCount + GroupCount; // transfer entries: rows, then groups
static_assert(EntryCount <= RowSlots, "transfer entries are capped at 64");

const std::array<ParameterRow, RowCount> &Rows();
const std::array<OptionGroup, GroupCount> &Groups();

// The cell reference of transfer entry i (rows first, then the option groups).
int EntryCell(int entry);
constexpr bool IsGroupEntry(int entry) {
    return entry >= RowCount;
}

// The firmware version cells: major and minor byte of each board.
constexpr int PitVersionRow = 24;
constexpr int PitMinorRow = 25;
constexpr int BridgeVersionRow = 26;
constexpr int BridgeMinorRow = 27;
constexpr bool IsVersionRow(int row) {
    return row >= PitVersionRow && row <= BridgeMinorRow;
}

// "(1.27 s)", "(max.=127)", "(s)"; empty for a row without unit.
QString ValueLabel(const ParameterRow &row, int value);

// "V 0.38", "V 02.05"; a bridge board with both cells erased shows "V 0.1x".
QString VersionText(int major, int minor, bool bridgeBoard);

// The value a row takes when typed: clamped to its range.
int Clamp(const ParameterRow &row, int value);

// A typed text. Surrounding blanks are ignored; a number too large for an integer counts as very
// large (it is clamped like any value above the maximum).
struct TypedText {
    enum Kind { Empty, Sign, Number, Invalid } kind = Empty;
    int value = 0;
};
TypedText ParseTyped(const QString &text);

} // namespace Parameter
