#pragma once

#include <QString>

class BoardImage;
class SendQueue;

// The EEPROM tab's rules, without widgets.
namespace Eeprom {

// 16 lines of 16 cells: "0x00: ffff ffff ffff ffff | ffff ffff ffff ffff ", lines separated by
// CR LF, no line break after the last.
QString DumpText(const BoardImage &image);

// The edits' normalisation: longer than two characters keeps the first two, shorter gets a "0"
// in front ("" becomes "0", "5" becomes "05").
QString NormalizeHexEdit(const QString &text);

// The read-all sweeps of both boards. A position of 256 or more means no sweep runs.
struct Sweeps {
    static constexpr int Idle = 1000;
    static constexpr int Stopped = 500;
    static constexpr int Cells = 256;

    int PitReadIndex = Idle;
    int BridgeReadIndex = Idle;

    // A click on "gesamtes EEprom einlesen": stops a running sweep, else starts one at cell 0.
    static void Toggle(int &index);
    static bool Running(int index) { return index < Cells; }

    struct Progress {
        int pit = 0;
        int bridge = 0;
    };
    // One tick: each board queues its next read while the queue holds fewer than 2 bytes; the
    // pit board is asked first, so its request holds the bridge sweep back.
    Progress Tick(SendQueue &queue);
};

} // namespace Eeprom
