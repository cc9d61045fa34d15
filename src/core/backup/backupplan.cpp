#include "core/backup/backupplan.h"
#include <QCoreApplication>

#include "comm/addresscodes.h"
#include "core/parameter/parametercatalogue.h"

#include <algorithm>

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

QString CellsCount(int n) {
    return n == 1 ? QCoreApplication::translate("BackupPlan", "1 Zelle")
                  : QCoreApplication::translate("BackupPlan", "%1 Zellen").arg(n);
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

QString FirmwareDiffersLine(int firmwareCells) {
    return QCoreApplication::translate(
               "BackupPlan", "Nichts zu schreiben, aber die Firmware-Version der Steuerung weicht "
                             "von der Datei ab (%1; sie wird nie geschrieben).")
        .arg(CellsCount(firmwareCells));
}

QString RestoreQuestion(const std::vector<Write> &writes, int firmwareSkipped, bool fromBackup) {
    QString text = QCoreApplication::translate(
                       "BackupPlan", "Wiederherstellen: %1 der Grube und %2 der Bühne werden "
                                     "geschrieben.")
                       .arg(CellsCount(CountOf(writes, Board::Grube)),
                            CellsCount(CountOf(writes, Board::Buehne)));
    if (firmwareSkipped > 0) {
        text += QCoreApplication::translate("BackupPlan",
                                            " Die Firmware-Version (%1) bleibt, wie sie ist.")
                    .arg(CellsCount(firmwareSkipped));
    }
    if (!fromBackup) {
        text += QCoreApplication::translate(
            "BackupPlan",
            " Achtung, keine Prüfsumme: die Datei wurde nicht von einer Sicherung geschrieben.");
    }
    return text + QCoreApplication::translate("BackupPlan", " Fortfahren?");
}

QString FailureLine(const Failure &failure) {
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
                 .arg(path)
                 .arg(image.Known(Board::Grube))
                 .arg(Cells)
                 .arg(image.Known(Board::Buehne));
    return lines;
}

} // namespace Backup
