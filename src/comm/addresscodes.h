#pragma once

#include <array>
#include <cstdint>

// How the pit board stores accessory addresses: not the numbers, but the bytes of the DCC and the
// Motorola accessory command for each of the 28 address rows.
namespace AddressCodes {

using Code = std::array<uint8_t, 3>;

constexpr int Rows = 28;
constexpr int MaxDcc = 2044;
constexpr int MaxMotorola = 320;

// DCC command bytes of address 1..2044 and its output (0 red, 1 green); address 0 gives 00 00 00.
Code Dcc(int address, bool green);
// Motorola command bytes of address 1..320; address 0 gives 00 00 00.
Code Motorola(int address, bool green);

// First pit cell of an address row: rows 0..11 at row + 4, rows 12..27 at row + 52. The DCC bytes
// sit at base, base + 16, base + 32; the Motorola bytes 128 cells higher; base + 48 holds the
// position number of the row.
int CellBase(int row);

// Address of the DCC bytes: -a for address a red, a for green, 0 when nothing matches.
int DecodeDcc(const Code &bytes);

} // namespace AddressCodes
