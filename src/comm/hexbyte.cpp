#include "comm/hexbyte.h"

namespace {
const char HexDigits[] = "0123456789abcdef";

int Nibble(int code) {
    if ((code >= 'a' && code <= 'f') || (code >= 'A' && code <= 'F')) {
        code += 9;
    }
    return code & 0x0F;
}
} // namespace

QString HexByteText(int value) {
    const int b = value & 0xFF;
    QString text(2, QChar(u'0'));
    text[0] = QLatin1Char(HexDigits[b / 16]);
    text[1] = QLatin1Char(HexDigits[b % 16]);
    return text;
}

QString BinaryByteText(int value) {
    QString text(8, QChar(u'0'));
    for (int bit = 0; bit < 8; ++bit) {
        if (value & (0x80 >> bit)) {
            text[bit] = QChar(u'1');
        }
    }
    return text;
}

uint8_t ParseHexByte(const QString &text) {
    const int c1 = text.size() > 0 ? text.at(0).unicode() : 0;
    const int c2 = text.size() > 1 ? text.at(1).unicode() : 0;
    return static_cast<uint8_t>(Nibble(c1) * 16 + Nibble(c2));
}

bool IsStrictHexByte(const QString &text) {
    if (text.isEmpty() || text.size() > 2) {
        return false;
    }
    for (QChar c : text) {
        const char16_t u = c.unicode();
        const bool hex =
            (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
        if (!hex) {
            return false;
        }
    }
    return true;
}

namespace {
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
} // namespace

QChar Windows1252Char(uint8_t byte) {
    return byte >= 0x80 && byte < 0xA0 ? QChar(Cp1252High[byte - 0x80]) : QChar(char16_t(byte));
}
