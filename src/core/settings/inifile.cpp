#include "core/settings/inifile.h"

#include "comm/hexbyte.h"
#include "platform/filesafety.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QVarLengthArray>

// UTF-8 is handled by the program; the INI class only sees bytes. The class's member definitions
// are compiled here, from the header, so that no built library of the target system is needed.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>
#include <algorithm>
#include <memory>
#include <string>

struct IniFile::Impl {
    // Case-insensitive section and key names, single keys, no multi-line values.
    CSimpleIniA ini{false, false, false};
    // The text as loaded, for the look at keys that it holds twice.
    std::string loaded;
    // The same text with every occurrence of a key kept, read at the first such look.
    std::unique_ptr<CSimpleIniA> everyKey;
    // The comment lines after the last key or section, which the INI class keeps only where a
    // key or a section follows them; with a blank line before them when the file had one.
    QByteArray trailingComment;
};

namespace {
// A text in UTF-8 for the INI class, as QString::toUtf8 makes it. Section and key names, and most
// values, are short ASCII: those are copied on the stack, so that a look-up allocates nothing (a
// settings file takes a few thousand of them on every load and save).
class Utf8 {
public:
    explicit Utf8(const QString &text) {
        const char16_t *chars = reinterpret_cast<const char16_t *>(text.utf16());
        const qsizetype n = text.size();
        if (std::all_of(chars, chars + n, [](char16_t c) { return c < 0x80; })) {
            m_ascii.resize(n + 1);
            std::transform(chars, chars + n, m_ascii.data(),
                           [](char16_t c) { return static_cast<char>(c); });
            m_ascii[n] = '\0';
            m_text = m_ascii.constData();
        } else {
            m_other = text.toUtf8();
            m_text = m_other.constData();
        }
    }
    Utf8(const Utf8 &) = delete;
    Utf8 &operator=(const Utf8 &) = delete;
    const char *c_str() const { return m_text; }

private:
    QVarLengthArray<char, 64> m_ascii;
    QByteArray m_other;
    const char *m_text = nullptr;
};

bool IsCommentLine(QStringView line) {
    const QStringView text = line.trimmed();
    return text.startsWith(u';') || text.startsWith(u'#');
}

// The comment lines at the end of a text, after its last line that is neither blank nor a comment
// (none in a text of comments alone: that is the file's own comment, which the class keeps).
QByteArray TrailingComment(const QString &text) {
    const QList<QStringView> lines = QStringView(text).split(u'\n');
    qsizetype end = lines.size();
    while (end > 0 && lines.at(end - 1).trimmed().isEmpty()) {
        --end;
    }
    qsizetype start = end;
    while (start > 0 &&
           (IsCommentLine(lines.at(start - 1)) || lines.at(start - 1).trimmed().isEmpty())) {
        --start;
    }
    if (start == 0 || start == end) {
        return QByteArray();
    }
    QByteArray comment;
    if (lines.at(start).trimmed().isEmpty()) {
        comment += '\n'; // kept apart from the keys, as it was
    }
    while (lines.at(start).trimmed().isEmpty()) {
        ++start;
    }
    for (qsizetype i = start; i < end; ++i) {
        QStringView line = lines.at(i);
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
        comment += line.toUtf8() + '\n';
    }
    return comment;
}

} // namespace

QString DecodeUtf8OrWindows1252(const QByteArray &bytes, bool *wasWindows1252) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    const bool fallback = utf8.hasError();
    if (fallback) {
        // Line by line: a file of this program that an editor gave one Windows-1252 byte keeps
        // every other line, and every name on it, as it was written.
        text.clear();
        text.reserve(bytes.size());
        for (const QByteArray &line : bytes.split('\n')) {
            QStringDecoder lineUtf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            const QString decoded = lineUtf8.decode(line);
            if (!lineUtf8.hasError()) {
                text += decoded;
            } else {
                for (char ch : line) {
                    text += Windows1252Char(static_cast<unsigned char>(ch));
                }
            }
            text += u'\n';
        }
        text.chop(1); // the split's last piece ended no line
    }
    if (wasWindows1252) {
        *wasWindows1252 = fallback;
    }
    return text;
}

IniFile::IniFile() : d(std::make_unique<Impl>()) {
    d->ini.SetSpaces(false); // key=value, as the Windows version writes it
}
IniFile::~IniFile() = default;

bool IniFile::loadBytes(const QByteArray &bytes) {
    d->ini.Reset();
    d->loaded.clear();
    d->everyKey.reset();
    d->trailingComment.clear();
    m_windows1252 = false;
    QString text;
    // A Windows editor's "Unicode" is UTF-16 with a byte order mark.
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                          : QStringDecoder::Utf16BE,
                             QStringDecoder::Flag::Stateless);
        text = utf16.decode(bytes.mid(2));
        if (utf16.hasError() || bytes.size() % 2 != 0 || !text.isValidUtf16()) {
            return false;
        }
    } else {
        text = DecodeUtf8OrWindows1252(bytes, &m_windows1252);
    }
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    // No settings file holds a NUL: such a file is damaged or no text at all, and reading it
    // would silently lose everything behind the first one.
    if (text.contains(QChar(0))) {
        return false;
    }
    m_crlf = text.contains(QStringLiteral("\r\n"));
    const QByteArray utf8 = text.toUtf8();
    d->loaded = utf8.toStdString();
    d->trailingComment = TrailingComment(text);
    return d->ini.LoadData(utf8.constData(), static_cast<size_t>(utf8.size())) >= 0;
}

QStringList IniFile::conflictingKeys(const QString &section) const {
    // Read once more with every occurrence of a key kept (the file as used keeps only the last),
    // once for all the sections asked about.
    QStringList conflicting;
    if (d->loaded.empty()) {
        return conflicting;
    }
    if (!d->everyKey) {
        d->everyKey = std::make_unique<CSimpleIniA>(false, true, false);
        d->everyKey->LoadData(d->loaded.data(), d->loaded.size());
    }
    const CSimpleIniA &all = *d->everyKey;
    const Utf8 name(section);
    CSimpleIniA::TNamesDepend keys;
    all.GetAllKeys(name.c_str(), keys);
    keys.sort(CSimpleIniA::Entry::LoadOrder());
    for (const auto &key : keys) {
        CSimpleIniA::TNamesDepend values;
        all.GetAllValues(name.c_str(), key.pItem, values);
        QStringList distinct;
        for (const auto &value : values) {
            const QString v = QString::fromUtf8(value.pItem).trimmed();
            if (!distinct.contains(v)) {
                distinct << v;
            }
        }
        if (distinct.size() > 1) {
            conflicting << QString::fromUtf8(key.pItem);
        }
    }
    return conflicting;
}

bool IniFile::load(const QString &path, QString *error) {
    if (FileSafety::KindOf(path) == FileSafety::Kind::Missing) {
        loadBytes(QByteArray());
        return true;
    }
    QByteArray bytes;
    if (!FileSafety::ReadWhole(path, &bytes, error)) {
        loadBytes(QByteArray());
        return false;
    }
    if (!loadBytes(bytes)) {
        loadBytes(QByteArray());
        if (error) {
            *error =
                QCoreApplication::translate(
                    "IniFile", "%1: Der Inhalt ist keine lesbare Einstellungsdatei (beschädigt "
                               "oder in einer unbekannten Kodierung).")
                    .arg(QDir::toNativeSeparators(path));
        }
        return false;
    }
    return true;
}

QByteArray IniFile::toBytes() const {
    std::string out;
    d->ini.Save(out, false);
    QByteArray bytes = QByteArray::fromStdString(out);
    bytes += d->trailingComment;
    // The INI class ends lines as the system it was built for does (CR LF on Windows); the file
    // keeps the line ends it came with, on every system, and a new one gets LF.
    bytes.replace("\r\n", "\n");
    if (m_crlf) {
        bytes.replace("\n", "\r\n");
    }
    return bytes;
}

bool IniFile::save(const QString &path, QString *error) const {
    return FileSafety::WriteWhole(path, toBytes(), error);
}

bool IniFile::hasKey(const QString &section, const QString &key) const {
    return d->ini.GetValue(Utf8(section).c_str(), Utf8(key).c_str(), nullptr) != nullptr;
}

QStringList IniFile::keys(const QString &section) const {
    CSimpleIniA::TNamesDepend names;
    d->ini.GetAllKeys(Utf8(section).c_str(), names);
    names.sort(CSimpleIniA::Entry::LoadOrder());
    QStringList result;
    for (const auto &entry : names) {
        result << QString::fromUtf8(entry.pItem);
    }
    return result;
}

QStringList IniFile::sections() const {
    CSimpleIniA::TNamesDepend names;
    d->ini.GetAllSections(names);
    names.sort(CSimpleIniA::Entry::LoadOrder());
    QStringList result;
    for (const auto &entry : names) {
        result << QString::fromUtf8(entry.pItem);
    }
    return result;
}

QString IniFile::readString(const QString &section, const QString &key,
                            const QString &defaultValue) const {
    const char *value = d->ini.GetValue(Utf8(section).c_str(), Utf8(key).c_str(), nullptr);
    return value ? QString::fromUtf8(value) : defaultValue;
}

int IniFile::readInt(const QString &section, const QString &key, int defaultValue) const {
    const QString text = readString(section, key, QString()).trimmed();
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : defaultValue;
}

bool IniFile::readBool(const QString &section, const QString &key, bool defaultValue) const {
    const QString text = readString(section, key, QString()).trimmed();
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value != 0 : defaultValue;
}

float IniFile::readFloat(const QString &section, const QString &key, float defaultValue) const {
    QString text = readString(section, key, QString()).trimmed();
    text.replace(u',', u'.');
    bool ok = false;
    const float value = text.toFloat(&ok);
    return ok ? value : defaultValue;
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value) {
    d->ini.SetValue(Utf8(section).c_str(), Utf8(key).c_str(), Utf8(value).c_str());
}

void IniFile::writeInt(const QString &section, const QString &key, int value) {
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString &section, const QString &key, bool value) {
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::writeFloat(const QString &section, const QString &key, float value) {
    writeString(section, key, QString::number(static_cast<double>(value), 'g', 7));
}
