// The backup file reader for compare and restore: a file of any bytes, loaded as a file read
// loads it, with the cells CellsOf finds in it and CheckFile's verdict; and for some inputs a
// backup written from an image made of the same bytes, read back, and read back once more with
// one cell edited.
//
// Input: the file's bytes. For an input whose length is a multiple of 8, its first bytes also
// choose the edited cell, the kind of edit and the backup's time, and all its bytes, two per cell
// (state, value) and repeated as needed, make the image of the written backup.

#include "comm/sharedstate.h"
#include "core/backup/backupfile.h"
#include "core/settings/inifile.h"
#include "core/settings/inikeys.h"
#include "core/settings/settingsfile.h"
#include "fuzzcheck.h"
#include "fuzztext.h"

#include <QDateTime>

using Backup::Cell;

namespace {
const Board Boards[] = {Board::Grube, Board::Buehne};

const QString &SectionOf(Board board) {
    return board == Board::Grube ? Ini::EeGrube : Ini::EeBuhne;
}

QString KeyOf(Board board, int cell) {
    return board == Board::Grube ? Ini::PitCellKey(cell) : Ini::BridgeCellKey(cell);
}

// The cell a key of a board's section names: "data_<n>_grube" / "data_<n>_buhne" with n 0..255
// written as the program writes it, letters in any case; -1 for any other key.
int CellOfKey(Board board, const QString &key) {
    const QString suffix =
        board == Board::Grube ? QStringLiteral("_grube") : QStringLiteral("_buhne");
    if (key.size() < 5 + 1 + suffix.size() ||
        !FuzzText::SameAscii(key.left(5), QStringLiteral("data_")) ||
        !FuzzText::SameAscii(key.right(suffix.size()), suffix)) {
        return -1;
    }
    const QString number = key.mid(5, key.size() - 5 - suffix.size());
    for (int cell = 0; cell < Backup::Cells; ++cell) {
        if (number == QString::number(cell)) {
            return cell;
        }
    }
    return -1;
}

// What the file holds, found from the keys it has rather than by asking for each cell's key.
Backup::Image ExpectedCells(const IniFile &ini) {
    Backup::Image image;
    for (Board board : Boards) {
        for (const QString &key : ini.keys(SectionOf(board))) {
            const int cell = CellOfKey(board, key);
            if (cell < 0) {
                continue;
            }
            const QString text = ini.readString(SectionOf(board), key, QString());
            const auto value = FuzzText::Byte(text);
            const bool unconfirmed =
                text.trimmed().compare(Backup::UnconfirmedText, Qt::CaseInsensitive) == 0;
            image.of(board)[static_cast<size_t>(cell)] = value ? Cell::Of(*value)
                                                         : unconfirmed
                                                             ? Cell{Cell::State::Unconfirmed, 0}
                                                             : Cell{Cell::State::Unreadable, 0};
        }
    }
    return image;
}

bool HasSection(const IniFile &ini, const QString &name) {
    for (const QString &s : ini.sections()) {
        if (FuzzText::SameAscii(s, name)) {
            return true;
        }
    }
    return false;
}

QString CrcText(uint32_t crc) {
    return QString::number(crc, 16).rightJustified(8, u'0');
}

void CheckAnyFile(const QByteArray &bytes) {
    IniFile ini;
    ini.loadBytes(bytes); // a file that is no text reads as empty, as a file read does
    const Backup::Image cells = Backup::CellsOf(ini);
    const Backup::Image expected = ExpectedCells(ini);
    for (Board board : Boards) {
        for (int cell = 0; cell < Backup::Cells; ++cell) {
            const Cell &c = cells.of(board)[static_cast<size_t>(cell)];
            FUZZ_CHECK(c == expected.of(board)[static_cast<size_t>(cell)]);
            FUZZ_CHECK((c.state != Cell::State::Absent) ==
                       ini.hasKey(SectionOf(board), KeyOf(board, cell)));
        }
    }

    Backup::FileContents contents;
    contents.time = QStringLiteral("untouched");
    QString error;
    const bool ok = Backup::CheckFile(ini, &contents, &error);
    const bool anyCell = expected.Held(Board::Grube) > 0 || expected.Held(Board::Buehne) > 0;
    const bool backup = HasSection(ini, Backup::Section);
    const QString stored =
        FuzzText::Inner(ini.readString(Backup::Section, Backup::KeyCrc, QString())).toLower();
    const bool crcRight = stored == CrcText(Backup::CellsCrc(expected));
    QStringList twice;
    for (const QString &section : {Ini::EeGrube, Ini::EeBuhne, Backup::Section}) {
        twice << ini.conflictingKeys(section);
    }
    FUZZ_CHECK(ok == (anyCell && twice.isEmpty() && (!backup || crcRight)));
    if (!ok) {
        FUZZ_CHECK(!error.isEmpty());
        if (anyCell && !twice.isEmpty()) {
            FUZZ_CHECK(error.contains(twice.constFirst())); // the refusal names one of them
        }
        FUZZ_CHECK(contents.time == QLatin1String("untouched")); // a refused file gives nothing
        return;
    }
    FUZZ_CHECK(error.isEmpty());
    FUZZ_CHECK(contents.backup == backup);
    for (Board board : Boards) {
        FUZZ_CHECK(contents.image.of(board) == expected.of(board));
    }
    if (backup) {
        FUZZ_CHECK(contents.time == ini.readString(Backup::Section, Backup::KeyTime, QString()));
        FUZZ_CHECK(contents.version ==
                   ini.readString(Backup::Section, Backup::KeyVersion, QString()));
    } else {
        FUZZ_CHECK(contents.time.isEmpty() && contents.version.isEmpty());
    }
}

// The written image as a backup holds it: every cell that is no value becomes unconfirmed.
Backup::Image AsWritten(Backup::Image image) {
    for (Board board : Boards) {
        for (Cell &c : image.of(board)) {
            if (!c.known()) {
                c = Cell{Cell::State::Unconfirmed, 0};
            }
        }
    }
    return image;
}

void CheckWrittenBackup(const uint8_t *data, size_t size) {
    static const ProgramSettings settings;
    static const SharedState state;
    FuzzInput in(data, size);
    // The edit first, so that a short input chooses every kind of edit too.
    const Board board = in.byte() & 1 ? Board::Buehne : Board::Grube;
    const int cell = in.byte();
    const uint8_t edit = in.byte();
    const uint8_t other = in.byte();
    const Backup::Stamp stamp{QDateTime::fromSecsSinceEpoch(in.u32(), Qt::UTC),
                              QStringLiteral("0.38")};
    // The image: two bytes a cell, the input's bytes over and over.
    Backup::Image image;
    size_t at = 0;
    for (Board b : Boards) {
        for (Cell &c : image.of(b)) {
            c.state = static_cast<Cell::State>(data[at % size] & 3);
            c.value = data[(at + 1) % size];
            at += 2;
        }
    }
    IniFile written;
    Backup::WriteBackup(written, settings, state, image, stamp);

    IniFile read;
    FUZZ_CHECK(read.loadBytes(written.toBytes()));
    Backup::FileContents contents;
    QString error;
    FUZZ_CHECK(Backup::CheckFile(read, &contents, &error));
    FUZZ_CHECK(contents.backup);
    const Backup::Image expected = AsWritten(image);
    for (Board board : Boards) {
        FUZZ_CHECK(contents.image.of(board) == expected.of(board));
    }
    FUZZ_CHECK(contents.time == stamp.time.toString(Qt::ISODate));
    FUZZ_CHECK(contents.version == stamp.version);
    FUZZ_CHECK(read.readInt(Backup::Section, Backup::KeyPitCells, -1) == image.Known(Board::Grube));
    FUZZ_CHECK(read.readInt(Backup::Section, Backup::KeyBridgeCells, -1) ==
               image.Known(Board::Buehne));

    // One cell edited by hand. A change of what the cell holds breaks the CRC; the same contents
    // written another way do not. A cell written twice with two values is refused whatever the
    // CRC says.
    const Cell before = expected.of(board)[static_cast<size_t>(cell)];
    const QString beforeText = written.readString(SectionOf(board), KeyOf(board, cell), QString());
    QString text;
    QString twice; // a line of the cell put before its own
    enum class Outcome { Accepted, WrongCrc, Twice } outcome = Outcome::WrongCrc;
    bool unreadable = false; // the cell's new text is no value
    switch (edit % 6) {
    case 0: // another value, or a value where none was confirmed
        text = QString::number(before.known() ? (before.value + 1 + other % 255) % 256 : other);
        break;
    case 1: // no value any more
        text = before.known() ? Backup::UnconfirmedText : QString::number(other);
        break;
    case 2: // the same value with blanks, a sign or leading zeros; or other text that is no byte
        outcome = Outcome::Accepted;
        if (before.known()) {
            text = QStringLiteral(" +%1 ").arg(before.value, 1 + other % 4, 10, QLatin1Char('0'));
            if (other & 0x80) {
                text = QStringLiteral("\t%1").arg(before.value, 3, 10, QLatin1Char('0'));
            }
        } else {
            // Held as no value either way (the CRC is the same), but now a text that is no
            // value, which the file's reader names.
            text = other & 1 ? QStringLiteral("256") : QStringLiteral("?");
            unreadable = true;
        }
        break;
    case 3: // the CRC in capitals: still the same number
        outcome = Outcome::Accepted;
        written.writeString(
            Backup::Section, Backup::KeyCrc,
            written.readString(Backup::Section, Backup::KeyCrc, QString()).toUpper());
        break;
    case 4: // the cell twice, the first time with another value
        outcome = Outcome::Twice;
        twice = before.known() ? QString::number((before.value + 1) % 256) : QStringLiteral("0");
        break;
    default: // the cell twice with the same text
        outcome = Outcome::Accepted;
        twice = beforeText;
        break;
    }
    if (!text.isEmpty()) {
        written.writeString(SectionOf(board), KeyOf(board, cell), text);
    }
    QByteArray bytes = written.toBytes();
    if (!twice.isNull()) {
        const QByteArray header = '[' + SectionOf(board).toUtf8() + "]\n";
        const qsizetype at = bytes.indexOf(header);
        FUZZ_CHECK(at >= 0);
        bytes.insert(at + header.size(), (KeyOf(board, cell) + u'=' + twice + u'\n').toUtf8());
    }
    IniFile edited;
    FUZZ_CHECK(edited.loadBytes(bytes));
    Backup::FileContents editedContents;
    error.clear();
    const bool ok = Backup::CheckFile(edited, &editedContents, &error);
    FUZZ_CHECK(ok == (outcome == Outcome::Accepted));
    switch (outcome) {
    case Outcome::Accepted: {
        FUZZ_CHECK(error.isEmpty());
        Backup::BoardCells want = expected.of(board);
        if (unreadable) {
            want[static_cast<size_t>(cell)] = Cell{Cell::State::Unreadable, 0};
        }
        FUZZ_CHECK(editedContents.image.of(board) == want);
        FUZZ_CHECK(editedContents.unreadable.size() == (unreadable ? 1U : 0U));
        if (unreadable) {
            FUZZ_CHECK(editedContents.unreadable.front().board == board);
            FUZZ_CHECK(editedContents.unreadable.front().cell == cell);
            FUZZ_CHECK(editedContents.unreadable.front().text == text);
        }
        break;
    }
    case Outcome::WrongCrc: // the refusal names the CRC of the cells as they are now
        FUZZ_CHECK(error.contains(CrcText(Backup::CellsCrc(Backup::CellsOf(edited)))));
        break;
    case Outcome::Twice: // and this one the cell
        FUZZ_CHECK(error.contains(KeyOf(board, cell)));
        break;
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    CheckAnyFile(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    // Writing and reading back a whole backup takes ten times as long as reading a file, and its
    // outcome depends little on the bytes: one input in eight (by its length) does it.
    if (size > 0 && size % 8 == 0) {
        CheckWrittenBackup(data, size);
    }
    return 0;
}
