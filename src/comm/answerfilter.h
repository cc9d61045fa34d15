#pragma once

#include "comm/framing.h"

#include <QtGlobal>
#include <array>
#include <cstdint>

// Tells real answers of the boards from line noise. A "G" or "H" is believed only for a cell
// whose read request went out on the wire shortly before: any three bytes starting with 0x47 or
// 0x48 (a lost byte inside another report, a flipped bit) would otherwise rewrite a mirror cell
// that nobody asked for. The boards answer within about 30 ms.
class AnswerFilter {
public:
    static constexpr qint64 AnswerWindowMs = 2000;
    using Board = ::Board;

    // A message whose last byte has just gone out on the wire (requests drained while offline
    // never reach a board and are not noted).
    void NoteOnWire(const Framing::Asks &asks, qint64 nowMs);
    // Marks a read of the cell as sent now.
    void NoteRequest(Board board, int cell, qint64 nowMs);

    // True when the cell's answer is expected now; one request is then used up (a cell asked
    // twice takes two answers). A false answer is counted as dropped.
    bool Accept(Board board, int cell, qint64 nowMs);
    int dropped() const { return m_dropped; }

private:
    struct Asked {
        qint64 last = 0; // when the latest request went out
        int open = 0;    // requests not yet answered
    };
    std::array<Asked, 256> &asked(Board board) { return board == Board::Grube ? m_pit : m_bridge; }

    std::array<Asked, 256> m_pit{};
    std::array<Asked, 256> m_bridge{};
    int m_dropped = 0;
};
