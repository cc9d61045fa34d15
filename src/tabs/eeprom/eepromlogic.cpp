#include "eepromlogic.h"

#include "boardimage.h"
#include "hexbyte.h"
#include "sharedstate.h"

namespace Eeprom {

QString DumpText(const BoardImage &image) {
    QString text;
    text.reserve(16 * 60);
    for (int r = 0; r < 16; ++r) {
        if (r > 0) {
            text += QStringLiteral("\r\n");
        }
        text += QStringLiteral("0x") + HexByteText(r * 16) + QStringLiteral(": ");
        for (int j = 0; j < 16; ++j) {
            text += HexByteText(image.value(r * 16 + j));
            if (j == 7) {
                text += QStringLiteral(" | ");
            } else if (j % 2 == 1) {
                text += QLatin1Char(' ');
            }
        }
    }
    return text;
}

QString NormalizeHexEdit(const QString &text) {
    if (text.size() > 2) {
        return text.left(2);
    }
    if (text.size() < 2) {
        return QStringLiteral("0") + text;
    }
    return text;
}

Sweeps::Sweeps(SharedState &state) : pit(state), bridge(state) {}

void Sweeps::Toggle(Board board) {
    PacedTransfer &sweep = of(board);
    const PacedTransfer::Pacing pacing{TickMs, TickMs, TickMs};
    const auto steps = [board](int cell) {
        PacedTransfer::Step step;
        step.kind = PacedTransfer::Step::Kind::Read;
        step.board = board;
        step.cell = cell;
        return step;
    };
    if (!sweep.Toggle(PacedTransfer::Mode::Read, Cells, pacing, steps)) {
        sweep.End(); // stopped by the user: report what the requests so far got
    }
}

Sweeps::Progress Sweeps::Tick() {
    Progress progress;
    for (PacedTransfer *sweep : {&pit, &bridge}) {
        if (!sweep->running()) {
            continue;
        }
        if (sweep->Tick().step) {
            (sweep == &pit ? progress.pit : progress.bridge) = sweep->position();
            if (!sweep->running()) {
                sweep->End(); // its last request is out: the sweep is done
            }
        }
    }
    return progress;
}

} // namespace Eeprom
