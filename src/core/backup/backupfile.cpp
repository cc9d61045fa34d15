#include "core/backup/backupfile.h"
#include <QCoreApplication>

#include "core/backup/backupplan.h"

#include "comm/sharedstate.h"
#include "core/configuration/configfile.h"
#include "core/settings/inifile.h"
#include "core/settings/inikeys.h"
#include "core/settings/settingsfile.h"

#include "platform/filesafety.h"

#include <QDir>
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

// The cells of a board a backup holds, a value or unconfirmed (a backup holds every cell).
int Listed(const Image &image, Board board) {
    return image.Held(board) +
           static_cast<int>(
               std::count_if(image.of(board).begin(), image.of(board).end(),
                             [](const Cell &c) { return c.state == Cell::State::Unreadable; }));
}

// What the cells of a backup whose CRC does not match show of the change: the texts that no
// backup writes, the cells it lacks, and the cells read against the counts it recorded.
QString MismatchDetail(const IniFile &ini, const FileContents &read) {
    QStringList parts;
    if (!read.unreadable.empty()) {
        parts << QCoreApplication::translate("BackupFile", "Kein Wert: %1.")
                     .arg(UnreadableList(read.unreadable));
    }
    QStringList missing;
    int missingCount = 0;
    for (Board board : {Board::Grube, Board::Buehne}) {
        for (int cell = 0; cell < Cells; ++cell) {
            if (read.image.of(board)[static_cast<size_t>(cell)].state == Cell::State::Absent) {
                if (++missingCount <= NamedCells) {
                    missing << QStringLiteral("%1 %2").arg(BoardName(board), CellText(cell));
                }
            }
        }
    }
    if (missingCount > 0) {
        if (missingCount > NamedCells) {
            missing << QStringLiteral("…");
        }
        parts << QCoreApplication::translate("BackupFile", "Es fehlen %1 von %2 Zellen: %3.")
                     .arg(missingCount)
                     .arg(2 * Cells)
                     .arg(missing.join(QStringLiteral(", ")));
    }
    const int recordedPit = ini.readInt(Section, KeyPitCells, -1);
    const int recordedBridge = ini.readInt(Section, KeyBridgeCells, -1);
    const int knownPit = read.image.Known(Board::Grube);
    const int knownBridge = read.image.Known(Board::Buehne);
    parts << QCoreApplication::translate("BackupFile",
                                         "Gelesen: Grube %1 Zellen (%2 mit Wert), Bühne %3 Zellen "
                                         "(%4 mit Wert); die Sicherung nennt %5 und %6 "
                                         "bestätigte Zellen.")
                 .arg(Listed(read.image, Board::Grube))
                 .arg(knownPit)
                 .arg(Listed(read.image, Board::Buehne))
                 .arg(knownBridge)
                 .arg(ini.readString(Section, KeyPitCells, QStringLiteral("?")).trimmed(),
                      ini.readString(Section, KeyBridgeCells, QStringLiteral("?")).trimmed());
    if (read.unreadable.empty() && missingCount == 0 && recordedPit == knownPit &&
        recordedBridge == knownBridge) {
        parts << QCoreApplication::translate("BackupFile",
                                             "Welche Zelle geändert wurde, lässt sich daraus "
                                             "nicht sagen.");
    }
    return parts.join(u' ');
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

QString HeaderComment(const Stamp &stamp) {
    const QStringList lines = {
        QCoreApplication::translate("BackupFile",
                                    "Sicherung der Drehscheiben-Steuerung: jede Zelle der "
                                    "Gruben- und der Bühnen-Platine (EE_GRUBE, EE_BUHNE)."),
        QCoreApplication::translate("BackupFile", "Geschrieben von Pivota %1 am %2.")
            .arg(stamp.version, stamp.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))),
        QCoreApplication::translate("BackupFile",
                                    "„unbestätigt“: die Platine gab für die Zelle keine zwei "
                                    "gleichen Antworten, ihr Wert ist nicht bekannt;"),
        QCoreApplication::translate("BackupFile",
                                    "Wiederherstellen schreibt eine solche Zelle nie, „laden“ "
                                    "setzt den Vorgabewert der Zelle."),
        QCoreApplication::translate("BackupFile",
                                    "Die Prüfsumme CRC32 in [Sicherung] erkennt eine Datei, die "
                                    "seitdem verändert wurde."),
    };
    QString text;
    for (const QString &line : lines) {
        text += QStringLiteral("; ") + line + QLatin1Char('\n');
    }
    return text;
}

QByteArray BackupBytes(const ProgramSettings &settings, const SharedState &state,
                       const Image &image, const Stamp &stamp) {
    IniFile ini; // a backup replaces the file whole: nothing of an older file stays in it
    WriteBackup(ini, settings, state, image, stamp);
    return HeaderComment(stamp).toUtf8() + '\n' + ini.toBytes();
}

bool SaveBackup(const QString &path, const ProgramSettings &settings, const SharedState &state,
                const Image &image, const Stamp &stamp, QString *error) {
    return FileSafety::WriteWhole(path, BackupBytes(settings, state, image, stamp), error);
}

Image CellsOf(const IniFile &ini, UnreadableCells *unreadable) {
    Image image;
    for (Board board : {Board::Grube, Board::Buehne}) {
        for (int cell = 0; cell < Cells; ++cell) {
            const ConfigFile::CellEntry entry =
                ConfigFile::ReadCell(ini, board == Board::Grube, cell);
            Cell &c = image.of(board)[static_cast<size_t>(cell)];
            switch (entry.kind) {
            case ConfigFile::CellEntry::Kind::Missing:
                break;
            case ConfigFile::CellEntry::Kind::Value:
                c = Cell::Of(entry.value);
                break;
            case ConfigFile::CellEntry::Kind::Unconfirmed:
                c = Cell{Cell::State::Unconfirmed, 0};
                break;
            case ConfigFile::CellEntry::Kind::Unreadable:
                c = Cell{Cell::State::Unreadable, 0};
                if (unreadable) {
                    unreadable->push_back({board, cell, entry.text});
                }
                break;
            }
        }
    }
    return image;
}

bool CheckFile(const IniFile &ini, FileContents *contents, QString *error) {
    FileContents read;
    read.image = CellsOf(ini, &read.unreadable);
    const auto fail = [error](const QString &text) {
        if (error) {
            *error = text;
        }
        return false;
    };
    if (read.image.Held(Board::Grube) == 0 && read.image.Held(Board::Buehne) == 0 &&
        !read.unreadable.empty()) {
        return fail(QCoreApplication::translate(
                        "BackupFile", "Die Datei enthält keinen Wert einer Zelle, nur Text, der "
                                      "keiner ist (0 bis 255): %1.")
                        .arg(UnreadableList(read.unreadable)));
    }
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
                                          "beschädigt oder wurde verändert. %3")
                            .arg(stored, computed, MismatchDetail(ini, read)));
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
                         .arg(QDir::toNativeSeparators(path));
        }
        return false;
    }
    IniFile ini;
    QString reason;
    if (!ini.load(path, &reason)) {
        if (error) {
            *error = QCoreApplication::translate("BackupFile",
                                                 "Die Datei %1 kann nicht gelesen werden: %2")
                         .arg(QDir::toNativeSeparators(path), reason);
        }
        return false;
    }
    return CheckFile(ini, contents, error);
}

} // namespace Backup
