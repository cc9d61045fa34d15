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

// The character the Windows code page 1252 gives a byte (bytes 0x80..0x9F are the typographic
// characters of that page; the rest is Latin-1; the five bytes it leaves undefined keep their
// C1 control code, as Windows maps them).
QChar Windows1252Char(uint8_t byte);
