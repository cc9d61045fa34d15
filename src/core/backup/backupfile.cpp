#include "core/backup/backupfile.h"
#include <QCoreApplication>

#include "comm/sharedstate.h"
#include "core/configuration/configfile.h"
#include "core/settings/inifile.h"
#include "core/settings/inikeys.h"
#include "core/settings/settingsfile.h"

#include <QFileInfo>

namespace Backup {

namespace {
constexpr uint32_t CrcPolynomial = 0xEDB88320u;
constexpr uint8_t CrcValue = 0x01;
constexpr uint8_t CrcUnconfirmed = 0x00;
constexpr uint8_t CrcAbsent = 0x02;

const QString &SectionOf(Board board) {
    return board == Board::Grube ? Ini::EeGrube : Ini::EeBuhne;
}

QString KeyOf(Board board, int cell) {
    return board == Board::Grube ? Ini::PitCellKey(cell) : Ini::BridgeCellKey(cell);
}

QString CrcText(uint32_t crc) {
    return QStringLiteral("%1").arg(crc, 8, 16, QLatin1Char('0'));
}

// A whole number 0..255 in decimal, nothing around it but blanks.
std::optional<int> ByteOf(const QString &text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok || value < 0 || value > 0xFF) {
        return std::nullopt;
    }
    return value;
}
} // namespace

int Image::Known(Board board) const {
    const BoardCells &cells = of(board);
    return static_cast<int>(
        std::count_if(cells.begin(), cells.end(), [](const Cell &c) { return c.known(); }));
}

int Image::Held(Board board) const {
    const BoardCells &cells = of(board);
    return static_cast<int>(std::count_if(cells.begin(), cells.end(), [](const Cell &c) {
        return c.state == Cell::State::Value || c.state == Cell::State::Unconfirmed;
    }));
}

uint32_t Crc32(const QByteArray &bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= static_cast<uint8_t>(c);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ ((crc & 1u) ? CrcPolynomial : 0u);
        }
    }
    return ~crc;
}

uint32_t CellsCrc(const Image &image) {
    QByteArray bytes;
    bytes.reserve(4 * Cells);
    for (Board board : {Board::Grube, Board::Buehne}) {
        for (const Cell &cell : image.of(board)) {
            switch (cell.state) {
            case Cell::State::Value:
                bytes.append(static_cast<char>(CrcValue));
                bytes.append(static_cast<char>(cell.value));
                break;
            case Cell::State::Absent:
                bytes.append(static_cast<char>(CrcAbsent));
                bytes.append('\0');
                break;
            default: // unconfirmed, or no answer: no value is held
                bytes.append(static_cast<char>(CrcUnconfirmed));
                bytes.append('\0');
                break;
            }
        }
    }
    return Crc32(bytes);
}

void WriteBackup(IniFile &ini, const ProgramSettings &settings, const SharedState &state,
                 const Image &image, const Stamp &stamp) {
    WriteProgramSettings(ini, settings, state, SettingsScope::Configuration);
    Image written = image;
    for (Board board : {Board::Grube, Board::Buehne}) {
        for (int cell = 0; cell < Cells; ++cell) {
            Cell &c = written.of(board)[static_cast<size_t>(cell)];
            if (c.known()) {
                ini.writeInt(SectionOf(board), KeyOf(board, cell), c.value);
            } else {
                c.state = Cell::State::Unconfirmed; // a backup holds every cell, one way or other
                ini.writeString(SectionOf(board), KeyOf(board, cell), UnconfirmedText);
            }
        }
    }
    ini.writeString(Section, KeyTime, stamp.time.toString(Qt::ISODate));
    ini.writeString(Section, KeyVersion, stamp.version);
    ini.writeInt(Section, KeyPitCells, written.Known(Board::Grube));
    ini.writeInt(Section, KeyBridgeCells, written.Known(Board::Buehne));
    ini.writeString(Section, KeyCrc, CrcText(CellsCrc(written)));
}

bool SaveBackup(const QString &path, const ProgramSettings &settings, const SharedState &state,
                const Image &image, const Stamp &stamp, QString *error) {
    IniFile ini; // a backup replaces the file whole: nothing of an older file stays in it
    WriteBackup(ini, settings, state, image, stamp);
    return ini.save(path, error);
}

Image CellsOf(const IniFile &ini) {
    Image image;
    for (Board board : {Board::Grube, Board::Buehne}) {
        for (int cell = 0; cell < Cells; ++cell) {
            const QString &section = SectionOf(board);
            const QString key = KeyOf(board, cell);
            if (!ini.hasKey(section, key)) {
                continue;
            }
            const std::optional<int> value = ByteOf(ini.readString(section, key, QString()));
            image.of(board)[static_cast<size_t>(cell)] =
                value ? Cell::Of(*value) : Cell{Cell::State::Unconfirmed, 0};
        }
    }
    return image;
}

bool CheckFile(const IniFile &ini, FileContents *contents, QString *error) {
    FileContents read;
    read.image = CellsOf(ini);
    const auto fail = [error](const QString &text) {
        if (error) {
            *error = text;
        }
        return false;
    };
    if (read.image.Held(Board::Grube) == 0 && read.image.Held(Board::Buehne) == 0) {
        return fail(QCoreApplication::translate(
                        "BackupFile", "Die Datei enthält keine Zellen der Steuerung (keine "
                                      "Abschnitte [%1] und [%2]).")
                        .arg(Ini::EeGrube, Ini::EeBuhne));
    }
    // A cell written twice with two values: which one the boards should hold is not known.
    if (const QString twice = ConfigFile::ConflictText(ini, {Ini::EeGrube, Ini::EeBuhne, Section});
        !twice.isEmpty()) {
        return fail(twice);
    }
    read.backup = ini.sections().contains(Section, Qt::CaseInsensitive);
    if (read.backup) {
        const QString stored = ini.readString(Section, KeyCrc, QString()).trimmed().toLower();
        const QString computed = CrcText(CellsCrc(read.image));
        if (stored.isEmpty()) {
            return fail(QCoreApplication::translate(
                            "BackupFile", "Die Sicherung enthält keine Prüfsumme (%1): sie ist "
                                          "unvollständig.")
                            .arg(KeyCrc));
        }
        if (stored != computed) {
            return fail(QCoreApplication::translate(
                            "BackupFile", "Die Prüfsumme der Sicherung stimmt nicht (in der Datei "
                                          "%1, aus den Zellen berechnet %2): die Datei ist "
                                          "beschädigt oder wurde verändert.")
                            .arg(stored, computed));
        }
        read.time = ini.readString(Section, KeyTime, QString());
        read.version = ini.readString(Section, KeyVersion, QString());
    }
    if (contents) {
        *contents = read;
    }
    return true;
}

bool ReadFile(const QString &path, FileContents *contents, QString *error) {
    if (!QFileInfo::exists(path)) {
        if (error) {
            *error = QCoreApplication::translate("BackupFile", "Die Datei %1 ist nicht vorhanden.")
                         .arg(path);
        }
        return false;
    }
    IniFile ini;
    QString reason;
    if (!ini.load(path, &reason)) {
        if (error) {
            *error = QCoreApplication::translate("BackupFile",
                                                 "Die Datei %1 kann nicht gelesen werden: %2")
                         .arg(path, reason);
        }
        return false;
    }
    return CheckFile(ini, contents, error);
}

} // namespace Backup
