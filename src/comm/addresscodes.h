#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

class BoardImage;

// How the pit board stores accessory addresses: not the numbers, but the bytes of the DCC and the
// Motorola accessory command for each of the 28 address rows. Every address has two outputs, red
// and green; the number the user types is the same for both formats, 0 meaning "no address".
namespace AddressCodes {

using Code = std::array<uint8_t, 3>;

constexpr int Rows = 28;
constexpr int PositionRows = 24; // rows 4..27 each drive to one position
constexpr int FirstPositionRow = 4;
constexpr int MaxDcc = 2044;
constexpr int MaxMotorola = 320;

// Offsets of a row's cells from its base cell.
constexpr int CellStride = 16;      // the three bytes of one code lie 16 cells apart
constexpr int MotorolaOffset = 128; // the Motorola bytes lie 128 cells above the DCC bytes
constexpr int PositionOffset = 48;  // the row's position number

// DCC command bytes of address 1..2044 and its output: address byte A, instruction byte I and
// their xor E of the basic accessory packet, stored as E, I shifted left, A shifted left twice with
// a closing 1 bit. Address 0 and addresses out of range give 00 00 00.
Code Dcc(int address, bool green);
// Motorola command bytes of address 1..320: the decoder's four ternary digits as bit pairs (00, 11,
// 10) in a 16-bit word, then the port byte. Address 0 and addresses out of range give 00 00 00.
Code Motorola(int address, bool green);

// A code as six upper-case hexadecimal digits, "79F005".
QString CodeText(const Code &code);

// The result of encoding a row: the bytes, or the message for an address out of the format's range.
struct Encoded {
    std::optional<Code> code;
    QString error;
    bool ok() const { return code.has_value(); }
};
Encoded EncodeDcc(int address, bool green);
Encoded EncodeMotorola(int address, bool green);

// First pit cell of an address row: rows 0..11 at row + 4, rows 12..27 at row + 52. The DCC bytes
// sit at base, base + 16, base + 32; the Motorola bytes 128 cells higher; base + 48 holds the
// position number of the row.
int CellBase(int row);
// Pit cell of step 0..6 of a row: the three DCC cells, the position cell, the three Motorola cells.
int StepCell(int row, int step);

// Address of the DCC bytes: -a for address a red, a for green, 0 when they are no valid code
// (00 00 00 and never-written FF FF FF among them).
int DecodeDcc(const Code &bytes);
// The same for the DCC cells of a row's base in the pit board's mirror.
int DecodeDcc(const BoardImage &pit, int base);

} // namespace AddressCodes
