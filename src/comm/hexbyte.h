#pragma once

#include <QString>
#include <cstdint>

// A byte as exactly two lower-case hexadecimal digits, "00".."ff".
QString HexByteText(int value);

// A byte as eight binary digits, most significant first.
QString BinaryByteText(int value);

// Lenient inverse of HexByteText, as the EEPROM and definition tabs use it: takes the first two
// characters (a missing one counts as code 0), adds 9 to the letters a..f/A..F and keeps the low
// four bits of each code. Any text yields some byte; "7g" gives 0x77.
uint8_t ParseHexByte(const QString &text);

// True when the text is one or two hexadecimal digits and nothing else.
bool IsStrictHexByte(const QString &text);
