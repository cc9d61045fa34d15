#include "core/backup/backupplan.h"
#include <QCoreApplication>
#include <QDir>

#include "comm/addresscodes.h"
#include "comm/numbertext.h"
#include "core/parameter/parametercatalogue.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>
#include <optional>

namespace Backup {

namespace {
constexpr int DccSteps = 3;
constexpr int PositionStep = 3;
constexpr int LastStep = 6;

QString ParameterMeaning(Board board, int cell) {
    const auto &rows = Parameter::Rows();
    for (size_t i = 0; i < rows.size(); ++i) {
        const Parameter::ParameterRow &row = rows[i];
        if (Parameter::IsPit(row.cell) != (board == Board::Grube) ||
            Parameter::CellOf(row.cell) != cell) {
            continue;
        }
        const int index = static_cast<int>(i);
        if (Parameter::IsVersionRow(index)) {
            const bool minor =
                index == Parameter::PitMinorRow || index == Parameter::BridgeMinorRow;
            return QCoreApplication::translate("BackupPlan", "Firmware-Version, %1")
                .arg(minor ? QCoreApplication::translate("BackupPlan", "2. Byte")
                           : QCoreApplication::translate("BackupPlan", "1. Byte"));
        }
        return QCoreApplication::translate("BackupPlan", "Parameter „%1“")
            .arg(Parameter::Text(row.name));
    }
    for (const Parameter::OptionGroup &group : Parameter::Groups()) {
        if (Parameter::IsPit(group.cell) != (board == Board::Grube) ||
            Parameter::CellOf(group.cell) != cell) {
            continue;
        }
        QStringList labels;
        for (const char *label : group.labels) {
            if (label && *label) {
                labels << Parameter::Text(label);
            }
        }
        return QCoreApplication::translate("BackupPlan", "Optionen (%1)")
            .arg(labels.join(QStringLiteral(", ")));
    }
    return QString();
}

QString AddressMeaning(int cell) {
    for (int row = 0; row < AddressCodes::Rows; ++row) {
        for (int step = 0; step <= LastStep; ++step) {
            if (AddressCodes::StepCell(row, step) != cell) {
                continue;
            }
            const QString rowText =
                QCoreApplication::translate("BackupPlan", "Adresszeile %1").arg(row + 1);
            if (step < DccSteps) {
                return QCoreApplication::translate("BackupPlan", "%1, DCC-Byte %2")
                    .arg(rowText)
                    .arg(step + 1);
            }
            if (step == PositionStep) {
                if (row < AddressCodes::FirstPositionRow) {
                    continue; // the functions' rows drive to no position
                }
                return QCoreApplication::translate("BackupPlan", "%1, Positionsnummer")
                    .arg(rowText);
            }
            return QCoreApplication::translate("BackupPlan", "%1, Motorola-Byte %2")
                .arg(rowText)
                .arg(step - PositionStep);
        }
    }
    return QString();
}
} // namespace

bool IsFirmwareCell(Board board, int cell) {
    return board == Board::Grube ? cell == 0 || cell == 1 : cell == 126 || cell == 127;
}

QString CellMeaning(Board board, int cell) {
    const QString parameter = ParameterMeaning(board, cell);
    if (!parameter.isEmpty()) {
        return parameter;
    }
    return board == Board::Grube ? AddressMeaning(cell) : QString();
}

QString BoardName(Board board) {
    return board == Board::Grube ? QCoreApplication::translate("BackupPlan", "Grube")
                                 : QCoreApplication::translate("BackupPlan", "Bühne");
}

QString CellText(int cell) {
    return QStringLiteral("%1 (0x%2)").arg(cell).arg(cell, 2, 16, QLatin1Char('0'));
}

QString ValueText(const Cell &cell) {
    switch (cell.state) {
    case Cell::State::Value:
        return CellText(cell.value);
    case Cell::State::Unconfirmed:
        return QCoreApplication::translate("BackupPlan", "unbestätigt");
    case Cell::State::NoAnswer:
        return QCoreApplication::translate("BackupPlan", "keine Antwort");
    case Cell::State::Unreadable:
        return QCoreApplication::translate("BackupPlan", "kein Wert");
    case Cell::State::Absent:
        break;
    }
    return QCoreApplication::translate("BackupPlan", "nicht gelesen");
}

std::vector<std::pair<Board, int>> CellsToRead(const Image &file) {
    std::vector<std::pair<Board, int>> cells;
    for (Board board : {Board::Grube, Board::Buehne}) {
        for (int cell = 0; cell < Cells; ++cell) {
            if (file.of(board)[static_cast<size_t>(cell)].known()) {
                cells.emplace_back(board, cell);
            }
        }
    }
    return cells;
}

std::vector<Difference> Compare(const Image &file, const Image &board) {
    std::vector<Difference> differences;
    for (Board b : {Board::Grube, Board::Buehne}) {
        for (int cell = 0; cell < Cells; ++cell) {
            const Cell &f = file.of(b)[static_cast<size_t>(cell)];
            const Cell &o = board.of(b)[static_cast<size_t>(cell)];
            if (f.known() && !(o.known() && o.value == f.value)) {
                differences.push_back({b, cell, f, o});
            }
        }
    }
    return differences;
}

int CountOf(const std::vector<Difference> &differences, Board board) {
    return static_cast<int>(
        std::count_if(differences.begin(), differences.end(),
                      [board](const Difference &d) { return d.board == board; }));
}

std::vector<Write> RestorePlan(const std::vector<Difference> &differences) {
    std::vector<Write> writes;
    for (const Difference &d : differences) {
        // A cell the board did not tell is not known to differ: it is not written either.
        if (d.file.known() && d.onBoard.known() && !IsFirmwareCell(d.board, d.cell)) {
            writes.push_back({d.board, d.cell, d.file.value});
        }
    }
    return writes;
}

int CountOf(const std::vector<Write> &writes, Board board) {
    return static_cast<int>(std::count_if(writes.begin(), writes.end(),
                                          [board](const Write &w) { return w.board == board; }));
}

int UnknownOnBoard(const std::vector<Difference> &differences) {
    return static_cast<int>(std::count_if(differences.begin(), differences.end(),
                                          [](const Difference &d) { return !d.onBoard.known(); }));
}

int FirmwareDifferences(const std::vector<Difference> &differences) {
    return static_cast<int>(
        std::count_if(differences.begin(), differences.end(),
                      [](const Difference &d) { return IsFirmwareCell(d.board, d.cell); }));
}

namespace {
QString Located(Board board, int cell) {
    const QString meaning = CellMeaning(board, cell);
    QString text = QStringLiteral("%1 %2").arg(BoardName(board), CellText(cell));
    if (!meaning.isEmpty()) {
        text += QStringLiteral(" %1").arg(meaning);
    }
    return text;
}

QString Differences(int n) {
    return n == 0   ? QCoreApplication::translate("BackupPlan", "keine Unterschiede")
           : n == 1 ? QCoreApplication::translate("BackupPlan", "1 Unterschied")
                    : QCoreApplication::translate("BackupPlan", "%1 Unterschiede").arg(n);
}

} // namespace

QString DifferenceLine(const Difference &d) {
    return QCoreApplication::translate("BackupPlan", "%1: Datei %2, Steuerung %3")
        .arg(Located(d.board, d.cell), ValueText(d.file), ValueText(d.onBoard));
}

QString CountLine(const std::vector<Difference> &differences) {
    return QCoreApplication::translate("BackupPlan", "Grube: %1, Bühne: %2")
        .arg(Differences(CountOf(differences, Board::Grube)),
             Differences(CountOf(differences, Board::Buehne)));
}

QStringList CompareLines(const std::vector<Difference> &differences) {
    QStringList lines;
    for (const Difference &d : differences) {
        lines << DifferenceLine(d);
    }
    lines << CountLine(differences);
    return lines;
}

namespace {
// The address row and step of a pit cell, as AddressMeaning finds them.
std::optional<std::pair<int, int>> AddressStepOf(int cell) {
    for (int row = 0; row < AddressCodes::Rows; ++row) {
        for (int step = 0; step <= LastStep; ++step) {
            if (AddressCodes::StepCell(row, step) == cell &&
                (step != PositionStep || row >= AddressCodes::FirstPositionRow)) {
                return std::make_pair(row, step);
            }
        }
    }
    return std::nullopt;
}

// The row as the definition tab names it: its function, or the position it drives to ("P:3"),
// taken from the file where the file holds it.
QString RowName(int row, const Image &file) {
    static const std::array<const char *, AddressCodes::FirstPositionRow> functions = {
        QT_TRANSLATE_NOOP("TFrameDefinition", "Licht"), "Step", "Turn", "DIR"};
    if (row < AddressCodes::FirstPositionRow) {
        return QCoreApplication::translate("TFrameDefinition", functions[static_cast<size_t>(row)]);
    }
    const Cell &position = file.pit[static_cast<size_t>(AddressCodes::StepCell(row, PositionStep))];
    constexpr int MostPositions = 48;
    if (position.known() && position.value < MostPositions) {
        return QStringLiteral("P:%1").arg(position.value + 1);
    }
    return QCoreApplication::translate("AddressRows", "Positionszeile %1")
        .arg(row - AddressCodes::FirstPositionRow + 1);
}

// The address a code's bytes stand for, -a for red: DCC decoded, Motorola found among its
// codes; nullopt for bytes that are no code of either.
std::optional<int> AddressOf(const AddressCodes::Code &code, bool motorola) {
    if (code == AddressCodes::Code{0, 0, 0}) {
        return 0; // no address
    }
    if (!motorola) {
        const int address = AddressCodes::DecodeDcc(code);
        return address == 0 ? std::nullopt : std::optional<int>(address);
    }
    for (int address = 1; address <= AddressCodes::MaxMotorola; ++address) {
        for (const bool green : {false, true}) {
            if (AddressCodes::Motorola(address, green) == code) {
                return green ? address : -address;
            }
        }
    }
    return std::nullopt;
}

// The code of a row's format in an image, if every one of its cells is held as a value there;
// else the first cell that is not, for the text.
struct CodeCells {
    std::optional<AddressCodes::Code> code;
    Cell missing;
};
CodeCells CodeOf(const Image &image, int row, int firstStep) {
    CodeCells found;
    AddressCodes::Code code{};
    for (int i = 0; i < 3; ++i) {
        const Cell &c = image.pit[static_cast<size_t>(AddressCodes::StepCell(row, firstStep + i))];
        if (!c.known()) {
            found.missing = c;
            return found;
        }
        code[static_cast<size_t>(i)] = c.value;
    }
    found.code = code;
    return found;
}

QString AddressText(const CodeCells &cells, bool motorola, bool colour) {
    if (!cells.code) {
        return ValueText(cells.missing);
    }
    const std::optional<int> address = AddressOf(*cells.code, motorola);
    if (!address) {
        return QCoreApplication::translate("BackupPlan", "keine Adresse (%1)")
            .arg(AddressCodes::CodeText(*cells.code));
    }
    QString text = QString::number(std::abs(*address));
    if (colour && *address != 0) {
        text += *address > 0 ? QCoreApplication::translate("BackupPlan", " grün")
                             : QCoreApplication::translate("BackupPlan", " rot");
    }
    return text;
}

QString PositionText(const Cell &cell) {
    if (!cell.known()) {
        return ValueText(cell);
    }
    constexpr int NoPosition = 255;
    return cell.value == NoPosition ? QCoreApplication::translate("BackupPlan", "keine")
                                    : QString::number(cell.value + 1);
}
} // namespace

std::vector<ResultLine> DifferenceLines(const std::vector<Difference> &differences,
                                        const Image &file, const Image &board) {
    std::vector<ResultLine> lines;
    // The line of each row's code already given, by row and first step; its detail grows.
    std::map<std::pair<int, int>, size_t> given;
    for (const Difference &d : differences) {
        const auto step = d.board == Board::Grube ? AddressStepOf(d.cell) : std::nullopt;
        if (!step) {
            lines.push_back({DifferenceLine(d), QString()});
            continue;
        }
        const auto [row, s] = *step;
        if (s == PositionStep) {
            lines.push_back(
                {QCoreApplication::translate("BackupPlan", "%1 Position: Datei %2, Steuerung %3")
                     .arg(RowName(row, file), PositionText(d.file), PositionText(d.onBoard)),
                 DifferenceLine(d)});
            continue;
        }
        const bool motorola = s > PositionStep;
        const int firstStep = motorola ? PositionStep + 1 : 0;
        const auto key = std::make_pair(row, firstStep);
        if (const auto it = given.find(key); it != given.end()) {
            lines[it->second].detail += u'\n' + DifferenceLine(d);
            continue;
        }
        const CodeCells inFile = CodeOf(file, row, firstStep);
        if (!inFile.code) {
            lines.push_back({DifferenceLine(d), QString()}); // the file holds no whole code
            continue;
        }
        const CodeCells onBoard = CodeOf(board, row, firstStep);
        // The colour only where the address alone does not show the difference.
        const auto fileAddress = AddressOf(*inFile.code, motorola);
        const auto boardAddress =
            onBoard.code ? AddressOf(*onBoard.code, motorola) : std::optional<int>();
        const bool colour = fileAddress && boardAddress && *fileAddress == -*boardAddress;
        given[key] = lines.size();
        lines.push_back(
            {(motorola ? QCoreApplication::translate("BackupPlan",
                                                     "%1 Motorola-Adresse: Datei %2, Steuerung %3")
                       : QCoreApplication::translate("BackupPlan",
                                                     "%1 DCC-Adresse: Datei %2, Steuerung %3"))
                 .arg(RowName(row, file), AddressText(inFile, motorola, colour),
                      AddressText(onBoard, motorola, colour)),
             DifferenceLine(d)});
    }
    return lines;
}

std::vector<std::pair<Board, int>> UnconfirmedInFile(const Image &file) {
    std::vector<std::pair<Board, int>> cells;
    for (Board board : {Board::Grube, Board::Buehne}) {
        for (int cell = 0; cell < Cells; ++cell) {
            if (file.of(board)[static_cast<size_t>(cell)].state == Cell::State::Unconfirmed) {
                cells.emplace_back(board, cell);
            }
        }
    }
    return cells;
}

QString UnconfirmedInFileLine(Board board, int cell, bool restore) {
    return (restore ? QCoreApplication::translate("BackupPlan",
                                                  "%1: in der Datei unbestätigt, nicht geschrieben")
                    : QCoreApplication::translate("BackupPlan",
                                                  "%1: in der Datei unbestätigt, nicht verglichen"))
        .arg(Located(board, cell));
}

QString UnreadableInFileLine(const Unreadable &cell, bool restore) {
    return (restore
                ? QCoreApplication::translate("BackupPlan",
                                              "%1: in der Datei „%2“, kein Wert (0 bis 255), nicht "
                                              "geschrieben")
                : QCoreApplication::translate("BackupPlan",
                                              "%1: in der Datei „%2“, kein Wert (0 bis 255), nicht "
                                              "verglichen"))
        .arg(Located(cell.board, cell.cell), cell.text);
}

QString UnreadableList(const UnreadableCells &cells) {
    QStringList named;
    for (size_t i = 0; i < cells.size() && i < static_cast<size_t>(NamedCells); ++i) {
        named << QStringLiteral("%1 %2 „%3“")
                     .arg(BoardName(cells[i].board), CellText(cells[i].cell), cells[i].text);
    }
    QString text = named.join(QStringLiteral(", "));
    if (cells.size() > static_cast<size_t>(NamedCells)) {
        text += QCoreApplication::translate("BackupPlan", " und %1 weitere")
                    .arg(cells.size() - static_cast<size_t>(NamedCells));
    }
    return text;
}

QString FirmwareDiffersLine(int firmwareCells) {
    return QCoreApplication::translate(
               "BackupPlan", "Nichts zu schreiben, aber die Firmware-Version der Steuerung weicht "
                             "von der Datei ab (%1; sie wird nie geschrieben).")
        .arg(CellsText(firmwareCells));
}

QString RestoreQuestion(const std::vector<Write> &writes, int firmwareSkipped, bool fromBackup,
                        const UnreadableCells &unreadable) {
    QString text = QCoreApplication::translate(
                       "BackupPlan", "Wiederherstellen: %1 der Grube und %2 der Bühne werden "
                                     "geschrieben.")
                       .arg(CellsText(CountOf(writes, Board::Grube)),
                            CellsText(CountOf(writes, Board::Buehne)));
    if (firmwareSkipped > 0) {
        text += QCoreApplication::translate("BackupPlan",
                                            " Die Firmware-Version (%1) bleibt, wie sie ist.")
                    .arg(CellsText(firmwareSkipped));
    }
    if (!unreadable.empty()) {
        text += QCoreApplication::translate("BackupPlan",
                                            " Ohne Wert in der Datei, nicht geschrieben: %1.")
                    .arg(UnreadableList(unreadable));
    }
    if (!fromBackup) {
        text += QCoreApplication::translate(
            "BackupPlan",
            " Achtung, keine Prüfsumme: die Datei wurde nicht von einer Sicherung geschrieben.");
    }
    return text + QCoreApplication::translate("BackupPlan", " Fortfahren?");
}

QString FailureLine(const Failure &failure) {
    if (failure.onBoard.state == Cell::State::Unconfirmed) {
        // The read-backs did not agree: the cell may well hold the value written, or not.
        return QCoreApplication::translate("BackupPlan",
                                           "%1: geschrieben, aber nicht bestätigt, soll %2: die "
                                           "Antworten der Steuerung stimmten nicht überein")
            .arg(Located(failure.write.board, failure.write.cell), CellText(failure.write.value));
    }
    return QCoreApplication::translate("BackupPlan", "%1: nicht geschrieben, soll %2, Steuerung %3")
        .arg(Located(failure.write.board, failure.write.cell), CellText(failure.write.value),
             ValueText(failure.onBoard));
}

QStringList BackupLines(const QString &path, const Image &image) {
    QStringList lines;
    for (Board board : {Board::Grube, Board::Buehne}) {
        for (int cell = 0; cell < Cells; ++cell) {
            const Cell &c = image.of(board)[static_cast<size_t>(cell)];
            if (!c.known()) {
                lines << QCoreApplication::translate("BackupPlan", "%1: nicht bestätigt (%2)")
                             .arg(Located(board, cell), ValueText(c));
            }
        }
    }
    lines << QCoreApplication::translate(
                 "BackupPlan", "Gesichert in %1: Grube %2 von %3 Zellen, Bühne %4 von %3 Zellen "
                               "bestätigt")
                 .arg(QDir::toNativeSeparators(path))
                 .arg(image.Known(Board::Grube))
                 .arg(Cells)
                 .arg(image.Known(Board::Buehne));
    return lines;
}

} // namespace Backup
