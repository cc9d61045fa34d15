#pragma once

#include "comm/pacedtransfer.h"

#include <QString>

class BoardImage;
class SharedState;

// The EEPROM tab's rules, without widgets.
namespace Eeprom {

// 16 lines of 16 cells: "0x00: ffff ffff ffff ffff | ffff ffff ffff ffff ", lines separated by
// CR LF, no line break after the last.
QString DumpText(const BoardImage &image);

// The edits' normalisation: longer than two characters keeps the first two, shorter gets a "0"
// in front ("" becomes "0", "5" becomes "05").
QString NormalizeHexEdit(const QString &text);

// The question before "setze 00" clears the PC's mirror of a board (nothing is sent).
QString ClearQuestion(Board board);

// What a single read or write paced by the answers found: "0x1f = 46", "0x1f = 46 geschrieben und
// geprüft", "0x1f: gelesen 45, geschrieben 46", "0x1f: keine Antwort".
QString SingleResultText(int cell, int written, bool write, PacedTransfer::Outcome outcome,
                         int value);

// The read-all sweeps of both boards: every cell in ascending order. At fixed pacing one request
// per tick of the tab's timer while the transmit queue holds fewer than 2 bytes; paced by the
// answers each sweep runs on its engine's own timer.
class Sweeps {
public:
    static constexpr int Cells = 256;
    static constexpr int TickMs = 300;

    explicit Sweeps(SharedState &state);

    PacedTransfer pit;
    PacedTransfer bridge;
    PacedTransfer &of(Board board) { return board == Board::Grube ? pit : bridge; }

    // A click on "gesamtes EEprom einlesen": stops a running sweep, else starts one at cell 0,
    // paced by the answers unless the settings ask for fixed pacing.
    void Toggle(Board board);

    struct Progress {
        int pit = 0;
        int bridge = 0;
    };
    // One tick of the tab's timer for the sweeps at fixed pacing: each board queues its next read
    // while the queue holds fewer than 2 bytes; the pit board is asked first, so its request holds
    // the bridge sweep back. The position reached by each sweep that sent, 0 for one that did not
    // (and for a sweep paced by the answers, which its engine runs).
    Progress Tick();

private:
    SharedState &m_state;
};

} // namespace Eeprom
