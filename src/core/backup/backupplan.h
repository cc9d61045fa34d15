#pragma once

#include "core/backup/backupfile.h"

#include <QString>
#include <QStringList>
#include <vector>

// What a compare found and what a restore writes, and how both are told.
namespace Backup {

// The firmware version cells: written by the board's own software, never by a restore.
bool IsFirmwareCell(Board board, int cell);

// What the program knows a cell to mean: the parameter's name, the address row and field, the
// firmware version; empty where it knows nothing.
QString CellMeaning(Board board, int cell);

// How many cells a list in one line names before it ends with "…".
constexpr int NamedCells = 5;

// "Grube", "Bühne".
QString BoardName(Board board);
// "52 (0x34)".
QString CellText(int cell);
// "12 (0x0c)", "unbestätigt", "keine Antwort", "nicht gelesen".
QString ValueText(const Cell &cell);

// A cell whose value in the file is not what the board holds (or the board did not say).
struct Difference {
    Board board = Board::Grube;
    int cell = 0;
    Cell file;
    Cell onBoard;
};

// The cells of both boards that a read for a file asks: every cell the file holds as a value.
std::vector<std::pair<Board, int>> CellsToRead(const Image &file);

// Every cell the file holds as a value that the board does not hold so, board by board in the
// order of the cells. Cells held as unconfirmed in the file are not compared.
std::vector<Difference> Compare(const Image &file, const Image &board);
int CountOf(const std::vector<Difference> &differences, Board board);

// A cell a restore writes.
struct Write {
    Board board = Board::Grube;
    int cell = 0;
    int value = 0;
};
// The cells a restore writes: the differences whose value on the board is known, but the firmware
// cells, each with the file's value.
std::vector<Write> RestorePlan(const std::vector<Difference> &differences);
int CountOf(const std::vector<Write> &writes, Board board);

// One line of the result list: "Grube 52 (0x34) Adresszeile 13, DCC-Byte 1: Datei 12 (0x0c),
// Steuerung 13 (0x0d)".
QString DifferenceLine(const Difference &difference);

// A line of a result list as the window shows it: the text, and the cells behind it in detail
// (empty where the text names the cell itself).
struct ResultLine {
    QString text;
    QString detail;
};
// The differences as the user knows the cells: the cells of an address row's code in one line
// that names the row as the definition tab does and gives the address on both sides
// ("P:3 DCC-Adresse: Datei 230, Steuerung 250"), with the cells in the detail; a position number
// as the tab counts positions; every other cell as DifferenceLine names it. file and board are
// the images compared: the other cells of a row's code come from them.
std::vector<ResultLine> DifferenceLines(const std::vector<Difference> &differences,
                                        const Image &file, const Image &board);
// The list of a compare, closed by the count per board.
QStringList CompareLines(const std::vector<Difference> &differences);
// "Grube: 2 Unterschiede, Bühne: keine Unterschiede".
QString CountLine(const std::vector<Difference> &differences);

// The one question before a restore writes. A file that is no backup carries no checksum, so
// nothing shows whether it was changed since it was written: the question says so.
// Cells whose text in the file is no value are named: nothing is written for them.
QString RestoreQuestion(const std::vector<Write> &writes, int firmwareSkipped,
                        bool fromBackup = true, const UnreadableCells &unreadable = {});
// The cells the file holds as unconfirmed, which are neither compared nor written.
std::vector<std::pair<Board, int>> UnconfirmedInFile(const Image &file);
// "Grube 52 (0x34) ...: in der Datei unbestätigt, nicht geschrieben" (or "nicht verglichen").
QString UnconfirmedInFileLine(Board board, int cell, bool restore);
// "Grube 7 (0x07) ...: in der Datei „300“, kein Wert (0 bis 255), nicht geschrieben" (or "nicht
// verglichen").
QString UnreadableInFileLine(const Unreadable &cell, bool restore);
// "Grube 7 (0x07) „300“, Bühne 9 (0x09) „xyz“", the first NamedCells and then "und 3 weitere".
QString UnreadableList(const UnreadableCells &cells);
// The closing line of a restore that found only the firmware version to differ.
QString FirmwareDiffersLine(int firmwareCells);
// The differences whose value on the board is not known (no answer, no two alike), which a
// restore does not write.
int UnknownOnBoard(const std::vector<Difference> &differences);
// The firmware cells among the differences, which a restore leaves alone.
int FirmwareDifferences(const std::vector<Difference> &differences);

// A cell a restore could not write: what the board held after the last read-back (a value its
// answers agreed on, no answer), or unconfirmed where its answers did not agree, which says
// nothing about whether the write took.
struct Failure {
    Write write;
    Cell onBoard;
};
QString FailureLine(const Failure &failure);

// The lines that close a backup: where it went, the count per board, and every cell not confirmed.
QStringList BackupLines(const QString &path, const Image &image);

} // namespace Backup
