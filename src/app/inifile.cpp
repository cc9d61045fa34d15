#include "inifile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

// UTF-8 is handled by the program; the INI class only sees bytes.
#define SI_NO_CONVERSION
#include <SimpleIni.h>
#include <string>

struct IniFile::Impl {
    // Case-insensitive section and key names, single keys, no multi-line values.
    CSimpleIniA ini{false, false, false};
};

namespace {
std::string Utf8(const QString &s) {
    return s.toUtf8().toStdString();
}

// Code points of Windows-1252 bytes 0x80..0x9F; the rest of the code page is Latin-1. The five
// undefined bytes map to the C1 controls of the same value.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
} // namespace

QString DecodeUtf8OrWindows1252(const QByteArray &bytes, bool *wasWindows1252) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    const bool fallback = utf8.hasError();
    if (fallback) {
        text.clear();
        text.reserve(bytes.size());
        for (char ch : bytes) {
            const auto b = static_cast<unsigned char>(ch);
            text.append(b >= 0x80 && b < 0xA0 ? QChar(Cp1252High[b - 0x80]) : QChar(char16_t(b)));
        }
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

void IniFile::loadBytes(const QByteArray &bytes) {
    d->ini.Reset();
    QString text = DecodeUtf8OrWindows1252(bytes, &m_windows1252);
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    m_crlf = text.contains(QStringLiteral("\r\n"));
    const QByteArray utf8 = text.toUtf8();
    d->ini.LoadData(utf8.constData(), static_cast<size_t>(utf8.size()));
}

bool IniFile::load(const QString &path, QString *error) {
    QFile file(path);
    if (!file.exists()) {
        loadBytes(QByteArray());
        return true;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        loadBytes(QByteArray());
        if (error) {
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        }
        return false;
    }
    loadBytes(file.readAll());
    return true;
}

QByteArray IniFile::toBytes() const {
    std::string out;
    d->ini.Save(out, false);
    QByteArray bytes = QByteArray::fromStdString(out);
    if (m_crlf) {
        bytes.replace("\r\n", "\n");
        bytes.replace("\n", "\r\n");
    }
    return bytes;
}

bool IniFile::save(const QString &path, QString *error) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) {
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        }
        return false;
    }
    const QByteArray bytes = toBytes();
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        if (error) {
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        }
        return false;
    }
    return true;
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
