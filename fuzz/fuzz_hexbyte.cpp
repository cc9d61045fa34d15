// The hex helpers: ParseHexByte and IsStrictHexByte on any text, HexByteText and BinaryByteText
// on any integer.
//
// Input: four bytes of an integer, then the text: the rest as UTF-8 and, pairwise, as UTF-16.

#include "comm/hexbyte.h"
#include "fuzzcheck.h"

#include <cstring>

namespace {
void CheckText(const QString &text) {
    const uint8_t lenient = ParseHexByte(text);
    if (IsStrictHexByte(text)) {
        bool ok = false;
        const uint value = text.toUInt(&ok, 16);
        FUZZ_CHECK(ok && value <= 0xFF);
        // One digit is read as the high one: the missing second counts as 0.
        FUZZ_CHECK(lenient == (text.size() == 2 ? value : value * 16));
    }
    // Lenient parsing depends on the first two characters only.
    FUZZ_CHECK(ParseHexByte(text.left(2)) == lenient);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzInput in(data, size);
    const int value = static_cast<int>(in.u32());
    const QString hex = HexByteText(value);
    FUZZ_CHECK(hex.size() == 2);
    FUZZ_CHECK(hex == hex.toLower());
    FUZZ_CHECK(IsStrictHexByte(hex));
    FUZZ_CHECK(ParseHexByte(hex) == (value & 0xFF));
    FUZZ_CHECK(ParseHexByte(hex.toUpper()) == (value & 0xFF));
    const QString binary = BinaryByteText(value);
    FUZZ_CHECK(binary.size() == 8);
    bool ok = false;
    FUZZ_CHECK(binary.toUInt(&ok, 2) == uint(value & 0xFF) && ok);

    size_t n = 0;
    const char *rest = in.take(size, &n);
    CheckText(QString::fromUtf8(rest, static_cast<qsizetype>(n)));
    QString utf16(static_cast<qsizetype>(n / 2), Qt::Uninitialized);
    std::memcpy(utf16.data(), rest, n / 2 * sizeof(QChar)); // the input need not be aligned
    CheckText(utf16);
    CheckText(QString::fromLatin1(rest, static_cast<qsizetype>(n)));
    return 0;
}
