// The rules of a whole-controller backup without a board: the file's format and CRC, what a file
// is refused for, which cells a compare lists and a restore writes, and how the cells are named.

#include "comm/addresscodes.h"
#include "comm/sharedstate.h"
#include "core/backup/backupfile.h"
#include "core/backup/backupplan.h"
#include "core/settings/inifile.h"
#include "core/settings/inikeys.h"
#include "core/settings/settingsfile.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using Backup::Cell;
using State = Backup::Cell::State;

namespace {
// Every cell of both boards held as a value: pit cell n holds n, bridge cell n holds 255 - n.
Backup::Image FullImage() {
    Backup::Image image;
    for (int cell = 0; cell < Backup::Cells; ++cell) {
        image.pit[static_cast<size_t>(cell)] = Cell::Of(cell);
        image.bridge[static_cast<size_t>(cell)] = Cell::Of(255 - cell);
    }
    return image;
}

const Backup::Stamp TheStamp{QDateTime(QDate(2026, 12, 9), QTime(7, 15, 30)),
                             QStringLiteral("0.38")};

QByteArray BackupBytes(const Backup::Image &image) {
    IniFile ini;
    SharedState state;
    Backup::WriteBackup(ini, ProgramSettings(), state, image, TheStamp);
    return ini.toBytes();
}

bool Check(const QByteArray &bytes, Backup::FileContents *contents, QString *error) {
    IniFile ini;
    if (!ini.loadBytes(bytes)) {
        return false;
    }
    return Backup::CheckFile(ini, contents, error);
}
} // namespace

class TestBackupFile : public QObject {
    Q_OBJECT
private slots:
    void crcIsTheZipCrc() {
        QCOMPARE(Backup::Crc32("123456789"), 0xCBF43926u);
        QCOMPARE(Backup::Crc32(QByteArray()), 0u);
        // Every state of a cell counts: a value, another value, unconfirmed, absent.
        Backup::Image image = FullImage();
        const uint32_t full = Backup::CellsCrc(image);
        image.bridge[7] = Cell::Of(image.bridge[7].value ^ 1);
        const uint32_t changed = Backup::CellsCrc(image);
        image.bridge[7] = Cell{State::Unconfirmed, 0};
        const uint32_t unconfirmed = Backup::CellsCrc(image);
        image.bridge[7] = Cell{};
        const uint32_t absent = Backup::CellsCrc(image);
        QCOMPARE(QSet<uint32_t>({full, changed, unconfirmed, absent}).size(), 4);
    }

    void backupWrittenAndReadBack() {
        Backup::Image image = FullImage();
        image.pit[17] = Cell{State::NoAnswer, 0};
        image.bridge[200] = Cell{State::Unconfirmed, 0};
        const QByteArray bytes = BackupBytes(image);
        const QString text = QString::fromUtf8(bytes);
        QVERIFY(text.contains(QStringLiteral("[Sicherung]")));
        QVERIFY(text.contains(QStringLiteral("Zeitpunkt=2026-12-09T07:15:30")));
        QVERIFY(text.contains(QStringLiteral("Programm-Version=0.38")));
        QVERIFY(text.contains(QStringLiteral("Zellen_Grube=255")));
        QVERIFY(text.contains(QStringLiteral("Zellen_Buehne=255")));
        QVERIFY(text.contains(QStringLiteral("data_17_grube=unbestätigt")));
        QVERIFY(text.contains(QStringLiteral("data_200_buhne=unbestätigt")));
        QVERIFY(text.contains(QStringLiteral("data_18_grube=18")));

        Backup::FileContents contents;
        QString error;
        QVERIFY2(Check(bytes, &contents, &error), qPrintable(error));
        QVERIFY(contents.backup);
        QCOMPARE(contents.version, QStringLiteral("0.38"));
        // A cell without an answer is held as unconfirmed: no value of it is in the file.
        Backup::Image expected = image;
        expected.pit[17] = Cell{State::Unconfirmed, 0};
        QVERIFY(contents.image.pit == expected.pit);
        QVERIFY(contents.image.bridge == expected.bridge);
    }

    void backupLoadsWithLaden() {
        // "laden" takes the values; an unconfirmed cell becomes its default, never some value.
        Backup::Image image = FullImage();
        image.bridge[1] = Cell{State::Unconfirmed, 0};
        IniFile ini;
        QVERIFY(ini.loadBytes(BackupBytes(image)));
        SharedState state;
        ReadPitCells(ini, state.pit, 0, 255);
        ReadBridgeCells(ini, state.bridge, 0, 255);
        for (int cell = 0; cell < 256; ++cell) {
            QCOMPARE(int(state.pit.value(cell)), cell);
        }
        QCOMPARE(int(state.bridge.value(2)), 253);
        QCOMPARE(state.bridge.value(1), BoardImage::DefaultFor(Board::Buehne, 1));
    }

    void damagedFilesAreRefused_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("reason");
        QTest::newRow("value changed") << "data_100_grube=100"
                                       << "data_100_grube=101"
                                       << "Prüfsumme";
        QTest::newRow("cell removed") << "data_100_grube=100\n"
                                      << "\n"
                                      << "Prüfsumme";
        QTest::newRow("unconfirmed made a value") << "data_5_buhne=unbestätigt"
                                                  << "data_5_buhne=250"
                                                  << "Prüfsumme";
        QTest::newRow("crc edited") << "CRC32="
                                    << "CRC32=0"
                                    << "Prüfsumme";
        QTest::newRow("crc removed") << "CRC32="
                                     << "CRC33="
                                     << "keine Prüfsumme";
    }
    void damagedFilesAreRefused() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, reason);
        Backup::Image image = FullImage();
        image.bridge[5] = Cell{State::Unconfirmed, 0};
        QString text = QString::fromUtf8(BackupBytes(image));
        QVERIFY(text.contains(from));
        text.replace(text.indexOf(from), from.size(), to);
        QString error;
        QVERIFY(!Check(text.toUtf8(), nullptr, &error));
        QVERIFY2(error.contains(reason), qPrintable(error));
    }

    void configurationFilesAndEmptyFiles() {
        // A configuration file without [Sicherung] needs no CRC: its cells are taken as they are.
        Backup::FileContents contents;
        QString error;
        QVERIFY(Check("[EE_GRUBE]\ndata_3_grube=7\ndata_4_grube=x\ndata_6_grube= Unbestätigt \n"
                      "[EE_BUHNE]\ndata_9_buhne=300\n",
                      &contents, &error));
        QVERIFY(!contents.backup);
        QVERIFY(contents.image.pit[3] == Cell::Of(7));
        // No byte: not a value, and not unconfirmed either; the text is kept for the lists.
        QCOMPARE(contents.image.pit[4].state, State::Unreadable);
        QCOMPARE(contents.image.bridge[9].state, State::Unreadable);
        QCOMPARE(contents.image.pit[6].state, State::Unconfirmed);
        QCOMPARE(contents.unreadable.size(), size_t(2));
        QCOMPARE(contents.unreadable[0].board, Board::Grube);
        QCOMPARE(contents.unreadable[0].cell, 4);
        QCOMPARE(contents.unreadable[0].text, QStringLiteral("x"));
        QCOMPARE(contents.unreadable[1].board, Board::Buehne);
        QCOMPARE(contents.unreadable[1].text, QStringLiteral("300"));
        QCOMPARE(contents.image.pit[5].state, State::Absent);
        QCOMPARE(contents.image.Known(Board::Grube), 1);

        QVERIFY(!Check("[SETTINGS]\nCOM-Port=3\n", nullptr, &error));
        QVERIFY2(error.contains(QStringLiteral("keine Zellen")), qPrintable(error));

        QTemporaryDir dir;
        QVERIFY(!Backup::ReadFile(dir.filePath(QStringLiteral("none.pvt")), nullptr, &error));
        QVERIFY(error.contains(QStringLiteral("nicht vorhanden")));
    }

    void saveReplacesTheFileWhole() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("b.pvt"));
        QVERIFY(TestUtilWrite(path, "[Alt]\nkey=1\n"));
        SharedState state;
        QString error;
        QVERIFY2(Backup::SaveBackup(path, ProgramSettings(), state, FullImage(), TheStamp, &error),
                 qPrintable(error));
        Backup::FileContents contents;
        QVERIFY2(Backup::ReadFile(path, &contents, &error), qPrintable(error));
        QVERIFY(contents.image.pit == FullImage().pit);
        IniFile ini;
        QVERIFY(ini.load(path));
        QVERIFY(!ini.sections().contains(QStringLiteral("Alt")));
        QVERIFY(ini.sections().contains(Ini::Settings));
        // Saving where no file can be written fails with the reason and leaves nothing behind.
        QVERIFY(!Backup::SaveBackup(dir.filePath(QStringLiteral("no/such/folder/b.pvt")),
                                    ProgramSettings(), state, FullImage(), TheStamp, &error));
        QVERIFY(!error.isEmpty());
    }

    void compareListsExactlyTheDifferingCells() {
        Backup::Image file = FullImage();
        file.bridge[50] = Cell{State::Unconfirmed, 0}; // not compared
        file.pit[200] = Cell{};                        // not in the file: not compared
        Backup::Image board = FullImage();
        board.pit[10] = Cell::Of(99);
        board.pit[200] = Cell::Of(1);
        board.bridge[50] = Cell::Of(1);
        board.bridge[60] = Cell{State::NoAnswer, 0};
        board.bridge[126] = Cell::Of(7); // firmware
        const auto differences = Backup::Compare(file, board);
        QCOMPARE(differences.size(), size_t(3));
        QCOMPARE(differences[0].board, Board::Grube);
        QCOMPARE(differences[0].cell, 10);
        QVERIFY(differences[0].file == Cell::Of(10));
        QVERIFY(differences[0].onBoard == Cell::Of(99));
        QCOMPARE(differences[1].cell, 60);
        QCOMPARE(differences[2].cell, 126);
        QCOMPARE(Backup::CountOf(differences, Board::Grube), 1);
        QCOMPARE(Backup::CountOf(differences, Board::Buehne), 2);

        // A restore writes the file's values where the board is known to differ, but never the
        // firmware version.
        auto plan = Backup::RestorePlan(differences);
        QCOMPARE(plan.size(), size_t(1));
        QCOMPARE(plan[0].cell, 10);
        QCOMPARE(plan[0].value, 10);
        QCOMPARE(Backup::FirmwareDifferences(differences), 1);
        QCOMPARE(Backup::UnknownOnBoard(differences), 1);
        board.bridge[60] = Cell::Of(0);
        plan = Backup::RestorePlan(Backup::Compare(file, board));
        QCOMPARE(plan.size(), size_t(2));
        QCOMPARE(plan[1].board, Board::Buehne);
        QCOMPARE(plan[1].cell, 60);
        QCOMPARE(plan[1].value, 255 - 60);

        // Only the cells the file holds as values are read.
        const auto toRead = Backup::CellsToRead(file);
        QCOMPARE(toRead.size(), size_t(512 - 2));

        const QStringList lines = Backup::CompareLines(differences);
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0], QStringLiteral("Grube 10 (0x0a) Adresszeile 7, DCC-Byte 1: Datei 10 "
                                          "(0x0a), Steuerung 99 (0x63)"));
        QVERIFY2(lines[1].endsWith(QStringLiteral("Steuerung keine Antwort")),
                 qPrintable(lines[1]));
        QCOMPARE(lines[3], QStringLiteral("Grube: 1 Unterschied, Bühne: 2 Unterschiede"));
        const QString question = Backup::RestoreQuestion(plan, 1);
        QVERIFY2(question.contains(QStringLiteral("1 Zelle der Grube und 1 Zelle der Bühne")),
                 qPrintable(question));
        QVERIFY(question.contains(QStringLiteral("Firmware")));
    }

    void textsThatAreNoValuesAreNamedAndNeverWritten() {
        Backup::FileContents contents;
        QString error;
        QVERIFY(Check("[EE_GRUBE]\ndata_7_grube=300\ndata_48_grube=20\n"
                      "[EE_BUHNE]\ndata_9_buhne=xyz\n",
                      &contents, &error));
        Backup::Image board = FullImage();
        const auto differences = Backup::Compare(contents.image, board);
        QCOMPARE(differences.size(), size_t(1)); // cell 48 alone: 20 against 48
        QCOMPARE(differences[0].cell, 48);
        const auto plan = Backup::RestorePlan(differences);
        QCOMPARE(plan.size(), size_t(1));
        QCOMPARE(plan[0].cell, 48);
        QCOMPARE(Backup::CellsToRead(contents.image).size(), size_t(1));
        QCOMPARE(Backup::UnreadableInFileLine(contents.unreadable[0], false),
                 QStringLiteral("Grube 7 (0x07) Adresszeile 4, DCC-Byte 1: in der Datei „300“, "
                                "kein Wert (0 bis 255), nicht verglichen"));
        QVERIFY(Backup::UnreadableInFileLine(contents.unreadable[1], true)
                    .startsWith(QStringLiteral("Bühne 9 (0x09)")));
        const QString question = Backup::RestoreQuestion(plan, 0, false, contents.unreadable);
        QVERIFY2(question.contains(QStringLiteral("nicht geschrieben: Grube 7 (0x07) „300“, "
                                                  "Bühne 9 (0x09) „xyz“.")),
                 qPrintable(question));

        // Many are named up to a count.
        Backup::UnreadableCells many;
        for (int cell = 0; cell < 8; ++cell) {
            many.push_back({Board::Buehne, cell, QStringLiteral("-1")});
        }
        const QString list = Backup::UnreadableList(many);
        QCOMPARE(list.count(QStringLiteral("„-1“")), Backup::NamedCells);
        QVERIFY2(list.endsWith(QStringLiteral(" und 3 weitere")), qPrintable(list));

        // Texts alone and no value: nothing is usable, the file is refused with the cells.
        QVERIFY(!Check("[EE_GRUBE]\ndata_7_grube=300\n[EE_BUHNE]\ndata_9_buhne=xyz\n", nullptr,
                       &error));
        QVERIFY2(error.contains(QStringLiteral("Grube 7 (0x07) „300“")), qPrintable(error));
    }

    void aBackupWhoseCrcFailsSaysWhatItCanSee() {
        Backup::Image image = FullImage();
        image.bridge[5] = Cell{State::Unconfirmed, 0};
        const QString text = QString::fromUtf8(BackupBytes(image));
        QString error;
        // A text no backup writes, and a removed cell, are named.
        QString edited = text;
        edited.replace(QStringLiteral("data_30_grube=30\n"), QStringLiteral("data_30_grube=3O\n"));
        edited.replace(QStringLiteral("data_100_buhne=155\n"), QString());
        QVERIFY(!Check(edited.toUtf8(), nullptr, &error));
        QVERIFY2(error.contains(QStringLiteral("Kein Wert: Grube 30 (0x1e) „3O“.")),
                 qPrintable(error));
        QVERIFY2(error.contains(QStringLiteral("Es fehlen 1 von 512 Zellen: Bühne 100 (0x64).")),
                 qPrintable(error));
        QVERIFY2(error.contains(QStringLiteral("Gelesen: Grube 256 Zellen (255 mit Wert), Bühne "
                                               "255 Zellen (254 mit Wert); die Sicherung nennt "
                                               "256 und 255 bestätigte Zellen.")),
                 qPrintable(error));
        // An unconfirmed cell made a value: the counts show it.
        edited = text;
        edited.replace(QStringLiteral("data_5_buhne=unbestätigt"),
                       QStringLiteral("data_5_buhne=1"));
        QVERIFY(!Check(edited.toUtf8(), nullptr, &error));
        QVERIFY2(error.contains(QStringLiteral("Bühne 256 Zellen (256 mit Wert); die Sicherung "
                                               "nennt 256 und 255")),
                 qPrintable(error));
        QVERIFY(!error.contains(QStringLiteral("lässt sich daraus nicht sagen")));
        // One value changed for another: only that something changed can be said.
        edited = text;
        edited.replace(QStringLiteral("data_30_grube=30\n"), QStringLiteral("data_30_grube=31\n"));
        QVERIFY(!Check(edited.toUtf8(), nullptr, &error));
        QVERIFY2(error.contains(QStringLiteral("Grube 256 Zellen (256 mit Wert)")) &&
                     error.contains(QStringLiteral("lässt sich daraus nicht sagen")),
                 qPrintable(error));
    }

    void addressCellsAreNamedAsTheDefinitionTabNamesTheRow() {
        // Row 7 drives to position 3 (position number 2): its DCC code 230 in the file, 250 on the
        // board; its Motorola code differs in the colour alone.
        Backup::Image file;
        Backup::Image board;
        const int row = 6;
        const auto put = [&](Backup::Image &image, int firstStep, const AddressCodes::Code &code) {
            for (int i = 0; i < 3; ++i) {
                image.pit[size_t(AddressCodes::StepCell(row, firstStep + i))] =
                    Cell::Of(code[size_t(i)]);
            }
        };
        put(file, 0, AddressCodes::Dcc(230, true));
        put(board, 0, AddressCodes::Dcc(250, true));
        put(file, 4, AddressCodes::Motorola(77, false));
        put(board, 4, AddressCodes::Motorola(77, true));
        file.pit[size_t(AddressCodes::StepCell(row, 3))] = Cell::Of(2);
        board.pit[size_t(AddressCodes::StepCell(row, 3))] = Cell::Of(5);
        // The function row "Turn" without an answer for one byte of its code.
        const int turn = 2;
        for (int i = 0; i < 3; ++i) {
            file.pit[size_t(AddressCodes::StepCell(turn, i))] =
                Cell::Of(AddressCodes::Dcc(12, false)[size_t(i)]);
            board.pit[size_t(AddressCodes::StepCell(turn, i))] = Cell::Of(0);
        }
        board.pit[size_t(AddressCodes::StepCell(turn, 1))] = Cell{State::NoAnswer, 0};
        const auto differences = Backup::Compare(file, board);
        const auto lines = Backup::DifferenceLines(differences, file, board);
        QStringList texts;
        for (const auto &line : lines) {
            texts << line.text;
        }
        QVERIFY2(texts.contains(QStringLiteral("P:3 DCC-Adresse: Datei 230, Steuerung 250")),
                 qPrintable(texts.join(u'\n')));
        QVERIFY(texts.contains(
            QStringLiteral("P:3 Motorola-Adresse: Datei 77 rot, Steuerung 77 grün")));
        QVERIFY(texts.contains(QStringLiteral("P:3 Position: Datei 3, Steuerung 6")));
        QVERIFY(
            texts.contains(QStringLiteral("Turn DCC-Adresse: Datei 12, Steuerung keine Antwort")));
        // One line per code, its cells in the detail.
        QCOMPARE(texts.count(QStringLiteral("P:3 DCC-Adresse: Datei 230, Steuerung 250")), 1);
        const auto dcc = std::find_if(lines.begin(), lines.end(), [](const Backup::ResultLine &l) {
            return l.text.startsWith(QStringLiteral("P:3 DCC"));
        });
        int differing = 0;
        for (int i = 0; i < 3; ++i) {
            const int cell = AddressCodes::StepCell(row, i);
            differing += file.pit[size_t(cell)] == board.pit[size_t(cell)] ? 0 : 1;
            QCOMPARE(dcc->detail.contains(QStringLiteral("Grube %1 ").arg(cell)),
                     !(file.pit[size_t(cell)] == board.pit[size_t(cell)]));
        }
        QVERIFY(differing > 0);
        QVERIFY(dcc->detail.contains(QStringLiteral("Adresszeile 7, DCC-Byte")));
        // Without the position in the file the row is named by its place; a parameter stays.
        file.pit[size_t(AddressCodes::StepCell(row, 3))] = Cell{};
        file.bridge[1] = Cell::Of(100);
        board.bridge[1] = Cell::Of(126);
        const auto unnamed = Backup::DifferenceLines(Backup::Compare(file, board), file, board);
        QStringList unnamedTexts;
        for (const auto &line : unnamed) {
            unnamedTexts << line.text;
        }
        QVERIFY2(unnamedTexts.contains(
                     QStringLiteral("Positionszeile 3 DCC-Adresse: Datei 230, Steuerung 250")),
                 qPrintable(unnamedTexts.join(u'\n')));
        QCOMPARE(unnamed.back().text,
                 QStringLiteral("Bühne 1 (0x01) Parameter „Geschwindigkeit Links schnell“: Datei "
                                "100 (0x64), Steuerung 126 (0x7e)"));
        QVERIFY(unnamed.back().detail.isEmpty());
    }

    void theFileSaysWhatItIs() {
        const QByteArray bytes =
            Backup::BackupBytes(ProgramSettings(), SharedState(), FullImage(), TheStamp);
        const QStringList lines = QString::fromUtf8(bytes).split(u'\n');
        QVERIFY(lines[0].startsWith(QStringLiteral("; Sicherung der Drehscheiben-Steuerung")));
        QCOMPARE(lines[1], QStringLiteral("; Geschrieben von Pivota 0.38 am 2026-12-09 07:15:30."));
        QVERIFY(lines[2].startsWith(QStringLiteral("; „unbestätigt“: ")));
        // The comment changes nothing of what is read.
        Backup::FileContents contents;
        QString error;
        QVERIFY2(Check(bytes, &contents, &error), qPrintable(error));
        QVERIFY(contents.image.pit == FullImage().pit);
        QVERIFY(contents.backup);
    }

    void firmwareCells() {
        for (int cell = 0; cell < 256; ++cell) {
            QCOMPARE(Backup::IsFirmwareCell(Board::Grube, cell), cell <= 1);
            QCOMPARE(Backup::IsFirmwareCell(Board::Buehne, cell), cell == 126 || cell == 127);
        }
    }

    void cellMeanings_data() {
        QTest::addColumn<bool>("pit");
        QTest::addColumn<int>("cell");
        QTest::addColumn<QString>("meaning");
        QTest::newRow("pit firmware") << true << 0 << "Firmware-Version, 1. Byte";
        QTest::newRow("bridge firmware") << false << 127 << "Firmware-Version, 2. Byte";
        QTest::newRow("speed") << false << 1 << "Parameter „Geschwindigkeit Links schnell“";
        QTest::newRow("pit count") << true << 48 << "Parameter „Alternative Positionsanzahl Grube“";
        QTest::newRow("options") << true << 50
                                 << "Optionen (Kehrschleifenrelais verwenden, TURN, wenn "
                                    "START=ZIEL)";
        QTest::newRow("first row") << true << 4 << "Adresszeile 1, DCC-Byte 1";
        QTest::newRow("third byte") << true << 36 << "Adresszeile 1, DCC-Byte 3";
        QTest::newRow("position") << true << 56 << "Adresszeile 5, Positionsnummer";
        QTest::newRow("last position") << true << 127 << "Adresszeile 28, Positionsnummer";
        QTest::newRow("motorola") << true << 132 << "Adresszeile 1, Motorola-Byte 1";
        QTest::newRow("last motorola") << true << 239 << "Adresszeile 28, Motorola-Byte 3";
        QTest::newRow("function row has no position") << true << 52 << "";
        QTest::newRow("unknown pit") << true << 250 << "";
        QTest::newRow("unknown bridge") << false << 200 << "";
    }
    void cellMeanings() {
        QFETCH(bool, pit);
        QFETCH(int, cell);
        QFETCH(QString, meaning);
        QCOMPARE(Backup::CellMeaning(pit ? Board::Grube : Board::Buehne, cell), meaning);
    }

    void backupLinesNameTheUnconfirmedCells() {
        Backup::Image image = FullImage();
        image.bridge[1] = Cell{State::NoAnswer, 0};
        const QStringList lines = Backup::BackupLines(QStringLiteral("/tmp/x.pvt"), image);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], QStringLiteral("Bühne 1 (0x01) Parameter „Geschwindigkeit Links "
                                          "schnell“: nicht bestätigt (keine Antwort)"));
        QVERIFY(lines[1].contains(QStringLiteral("Grube 256 von 256 Zellen, Bühne 255 von 256")));
        // The file as the system writes its paths ("C:\\b.pvt" on Windows).
        QVERIFY2(
            lines[1].startsWith(QStringLiteral("Gesichert in %1:")
                                    .arg(QDir::toNativeSeparators(QStringLiteral("/tmp/x.pvt")))),
            qPrintable(lines[1]));
    }

private:
    static bool TestUtilWrite(const QString &path, const QByteArray &bytes) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }
};

QTEST_GUILESS_MAIN(TestBackupFile)
#include "tst_backupfile.moc"
