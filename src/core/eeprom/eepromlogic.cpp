#include "core/eeprom/eepromlogic.h"

#include "comm/boardimage.h"
#include "comm/hexbyte.h"
#include "comm/sharedstate.h"

#include <QCoreApplication>

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

QString ClearQuestion(Board board) {
    return QCoreApplication::translate("EepromLogic",
                                       "Alle 256 Zellen der %1 im PC auf 00 setzen?\n"
                                       "Die bisherigen Werte gehen verloren und lassen sich nicht "
                                       "zurückholen; an die Platine wird nichts gesendet.")
        .arg(board == Board::Grube ? QCoreApplication::translate("EepromLogic", "Gruben-Platine")
                                   : QCoreApplication::translate("EepromLogic", "Bühnen-Platine"));
}

QString SingleResultText(int cell, int written, bool write, PacedTransfer::Outcome outcome,
                         int value) {
    const QString at = QStringLiteral("0x") + HexByteText(cell);
    switch (outcome) {
    case PacedTransfer::Outcome::Confirmed:
        return QStringLiteral("%1 = %2").arg(at, HexByteText(value));
    case PacedTransfer::Outcome::Verified:
        return QCoreApplication::translate("EepromLogic", "%1 = %2 geschrieben und geprüft")
            .arg(at, HexByteText(value));
    case PacedTransfer::Outcome::Mismatch:
        return QCoreApplication::translate("EepromLogic", "%1: gelesen %2, geschrieben %3")
            .arg(at, HexByteText(value), HexByteText(written));
    case PacedTransfer::Outcome::Unconfirmed:
        return QCoreApplication::translate("EepromLogic", "%1: keine zwei gleichen Antworten")
            .arg(at);
    case PacedTransfer::Outcome::NoAnswer:
        break;
    }
    return write ? QCoreApplication::translate("EepromLogic",
                                               "%1: geschrieben, keine Antwort beim Prüfen")
                       .arg(at)
                 : QCoreApplication::translate("EepromLogic", "%1: keine Antwort").arg(at);
}

Sweeps::Sweeps(SharedState &state) : pit(state), bridge(state), m_state(state) {}

void Sweeps::Toggle(Board board) {
    PacedTransfer::Plan plan;
    if (m_state.transferSettings.byAnswer()) {
        std::vector<PacedTransfer::Request> cells;
        for (int cell = 0; cell < Cells; ++cell) {
            cells.push_back({PacedTransfer::Request::Kind::Read, board, cell, 0, cell});
        }
        plan = PacedTransfer::Plan::ByAnswer(PacedTransfer::Mode::Read, std::move(cells));
    } else {
        const PacedTransfer::Intervals intervals{TickMs, TickMs, TickMs};
        plan = PacedTransfer::Plan::Fixed(PacedTransfer::Mode::Read, Cells, intervals,
                                          [board](int cell) {
                                              PacedTransfer::Step step;
                                              step.kind = PacedTransfer::Step::Kind::Read;
                                              step.board = board;
                                              step.cell = cell;
                                              return step;
                                          });
    }
    PacedTransfer &sweep = of(board);
    if (!sweep.Toggle(std::move(plan))) {
        // Stopped by the user: one at fixed pacing reports now what its requests so far got;
        // one paced by the answers has ended already.
        sweep.End();
    }
}

Sweeps::Progress Sweeps::Tick() {
    Progress progress;
    for (PacedTransfer *sweep : {&pit, &bridge}) {
        if (!sweep->running() || sweep->byAnswer()) {
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
