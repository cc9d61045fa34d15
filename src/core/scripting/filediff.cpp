#include "core/scripting/filediff.h"

#include "comm/addresscodes.h"
#include "comm/stationstate.h"

#include <QCoreApplication>
#include <set>

namespace Scripting {

namespace {
bool Same(const Reading &a, const Reading &b) {
    return a.state == b.state && a.value == b.value && a.problem == b.problem;
}

// The settings that cover the cells: the named ones, then every position row, named by the
// position it drives to where both files agree on that position.
std::vector<Setting> Covering(const Backup::Image &a, const Backup::Image &b) {
    std::vector<Setting> all = Named();
    for (int n = 1; n <= AddressCodes::PositionRows; ++n) {
        QString error;
        std::optional<Setting> row = Find(QStringLiteral("zeile:%1").arg(n), &error);
        if (!row) {
            continue;
        }
        const int cell = AddressCodes::StepCell(row->index, 3);
        const Backup::Cell &ca = a.pit[static_cast<size_t>(cell)];
        if (ca.known() && ca == b.pit[static_cast<size_t>(cell)]) {
            row->name = QStringLiteral("P:%1").arg(ca.value + 1);
        }
        all.push_back(*row);
    }
    return all;
}
} // namespace

std::vector<FileDifference> DiffFiles(const Backup::Image &a, const Backup::Image &b) {
    const StationData none;
    std::vector<FileDifference> found;
    std::set<std::pair<Board, int>> explained;
    for (const Setting &s : Covering(a, b)) {
        const Reading ra = Read(s, a, none);
        const Reading rb = Read(s, b, none);
        if (Same(ra, rb)) {
            continue;
        }
        found.push_back({s, ra, rb});
        for (const auto &cell : CellsOf(s, a)) {
            explained.insert(cell);
        }
    }
    // What no named setting shows: a bit no option names, a cell the program knows nothing of.
    for (Board board : {Board::Grube, Board::Buehne}) {
        for (int cell = 0; cell < Backup::Cells; ++cell) {
            const size_t i = static_cast<size_t>(cell);
            if (a.of(board)[i] == b.of(board)[i] || explained.count({board, cell})) {
                continue;
            }
            Setting s;
            s.kind = Kind::Cell;
            s.board = board;
            s.cell = cell;
            s.name = QStringLiteral("%1:%2").arg(BoardKey(board)).arg(cell);
            found.push_back({s, Read(s, a, none), Read(s, b, none)});
        }
    }
    return found;
}

QString ReadingText(const Setting &setting, const Reading &reading, bool fromFile) {
    if (reading.state == Reading::State::Confirmed && reading.value) {
        return ShownText(setting, *reading.value);
    }
    if (!reading.problem.isEmpty()) {
        return reading.problem;
    }
    switch (reading.state) {
    case Reading::State::Unconfirmed:
        return QCoreApplication::translate("Scripting", "unbestätigt");
    case Reading::State::Unreadable:
        return fromFile ? QCoreApplication::translate("Scripting", "kein Wert")
                        : QCoreApplication::translate("Scripting", "keine Antwort");
    case Reading::State::Absent:
    case Reading::State::Confirmed:
        break;
    }
    return fromFile ? QCoreApplication::translate("Scripting", "fehlt")
                    : QCoreApplication::translate("Scripting", "nicht gelesen");
}

} // namespace Scripting
