#pragma once

// Helpers of the fuzz targets that read files and command lines: the program's rules for a file's
// numbers written out once more, plainly, so that a target can check what the program made of a
// value; and command lines cut from the fuzzer's bytes.

#include "fuzzcheck.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace FuzzText {

// The text without the blanks (in Unicode's sense) around it.
inline QString Inner(const QString &text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).isSpace()) {
        ++begin;
    }
    while (end > begin && text.at(end - 1).isSpace()) {
        --end;
    }
    return text.mid(begin, end - begin);
}

// A whole decimal number as the files hold one: blanks around, an optional sign, the ASCII digits
// 0..9 and nothing else. nullopt for anything else, and outside [min, max].
inline std::optional<long long> Decimal(const QString &text, long long min, long long max) {
    const QString t = Inner(text);
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t.at(i) == u'+' || t.at(i) == u'-')) {
        negative = t.at(i) == u'-';
        ++i;
    }
    if (i == t.size()) {
        return std::nullopt;
    }
    long long magnitude = 0;
    for (; i < t.size(); ++i) {
        const char16_t c = t.at(i).unicode();
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > (1LL << 40)) { // far beyond any range asked for: no int holds it either
            return std::nullopt;
        }
    }
    const long long value = negative ? -magnitude : magnitude;
    if (value < min || value > max) {
        return std::nullopt;
    }
    return value;
}

// A cell's value in a file: a whole number 0..255.
inline std::optional<int> Byte(const QString &text) {
    const auto v = Decimal(text, 0, 255);
    return v ? std::optional<int>(static_cast<int>(*v)) : std::nullopt;
}

// ASCII letters compared without case; every other character as it is (the INI file's key and
// section names are compared so).
inline bool SameAscii(const QString &a, const QString &b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a.at(i).unicode();
        char16_t y = b.at(i).unicode();
        if (x >= u'A' && x <= u'Z') {
            x = char16_t(x - u'A' + u'a');
        }
        if (y >= u'A' && y <= u'Z') {
            y = char16_t(y - u'A' + u'a');
        }
        if (x != y) {
            return false;
        }
    }
    return true;
}

// A command line of any bytes: the arguments are the pieces between NUL bytes, as UTF-8, after
// the program's name.
inline QStringList ArgumentsOf(const char *bytes, size_t size, const QString &program) {
    QStringList arguments{program};
    const QByteArray all(bytes, static_cast<qsizetype>(size));
    if (!all.isEmpty()) {
        for (const QByteArray &piece : all.split('\0')) {
            arguments << QString::fromUtf8(piece);
        }
    }
    return arguments;
}

// Blanks of the kinds a user or an editor leaves around a value: none to three of space, tab and
// no-break space.
inline QString Blanks(FuzzInput &in) {
    static const char16_t kinds[] = {u' ', u'\t', u'\u00a0'};
    const uint8_t b = in.byte();
    QString blanks;
    for (int i = 0; i < (b & 3); ++i) {
        blanks += QChar(kinds[((b >> (2 + 2 * i)) & 3) % 3]);
    }
    return blanks;
}

// A short name of ordinary file-name characters, never empty and never starting with '-'.
inline QString Name(FuzzInput &in) {
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789_.-";
    const int length = 1 + in.byte() % 12;
    QString name;
    for (int i = 0; i < length; ++i) {
        name += QLatin1Char(alphabet[in.byte() % (sizeof alphabet - 1)]);
    }
    if (name.startsWith(u'-') || name.startsWith(u'.')) {
        name[0] = u'f';
    }
    return name;
}

} // namespace FuzzText
