#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class CSimpleIniTempl_Wrapper;

// An INI file held in memory: section and key names case-insensitive, unknown keys, their order
// and comments kept (also those after the last key). Read as UTF-8, or line by line as
// Windows-1252 where a line is not valid UTF-8 (files of the Windows version, or a byte an editor
// added); written as UTF-8 through a save file, so a crash never leaves half a file. Files that
// came with CR LF line ends are written back with them.
class IniFile {
public:
    IniFile();
    ~IniFile();
    IniFile(const IniFile &) = delete;
    IniFile &operator=(const IniFile &) = delete;

    // A missing file reads as empty and is no error; one that cannot be read or understood is
    // an error and reads as empty. UTF-8, Windows-1252 and UTF-16 with a byte order mark are read.
    bool load(const QString &path, QString *error = nullptr);
    bool save(const QString &path, QString *error = nullptr) const;
    // The whole text as it would be saved.
    QByteArray toBytes() const;
    // False (and empty) when the bytes are no text an INI file can hold: a NUL, or broken UTF-16.
    bool loadBytes(const QByteArray &bytes);

    // Whether a line of the file was read as Windows-1252.
    bool wasWindows1252() const { return m_windows1252; }

    // Keys of a section that the loaded file holds more than once with different values (the
    // last one is the one read), in the order of the file.
    QStringList conflictingKeys(const QString &section) const;

    bool hasKey(const QString &section, const QString &key) const;
    QStringList keys(const QString &section) const;
    QStringList sections() const;

    // Integers in decimal; text that is no number gives the default.
    int readInt(const QString &section, const QString &key, int defaultValue) const;
    // 0 is false, any other integer true; no number gives the default.
    bool readBool(const QString &section, const QString &key, bool defaultValue) const;
    // Read with a point or a comma.
    float readFloat(const QString &section, const QString &key, float defaultValue) const;
    QString readString(const QString &section, const QString &key,
                       const QString &defaultValue) const;

    void writeInt(const QString &section, const QString &key, int value);
    void writeBool(const QString &section, const QString &key, bool value);
    // Written with a point.
    void writeFloat(const QString &section, const QString &key, float value);
    void writeString(const QString &section, const QString &key, const QString &value);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    bool m_windows1252 = false;
    bool m_crlf = false;
};

// Decodes bytes as UTF-8 when they are valid UTF-8, otherwise line by line: UTF-8 where a line is
// valid UTF-8, Windows-1252 where it is not. wasWindows1252 tells whether a line was.
QString DecodeUtf8OrWindows1252(const QByteArray &bytes, bool *wasWindows1252 = nullptr);
