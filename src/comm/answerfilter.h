#pragma once

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
    enum class Board { Grube, Buehne };

    // Every byte the transmit tick takes from the queue, in order; onWire is false for bytes
    // drained while offline. Messages are recognised by their command byte (bit 7 set).
    void NoteSent(uint8_t byte, bool onWire, qint64 nowMs);
    // Marks a read of the cell as sent now (for tests and for callers that bypass the queue).
    void NoteRequest(Board board, int cell, qint64 nowMs);

    // True when the cell's answer is expected now; the request is then used up. A false answer
    // is counted as dropped.
    bool Accept(Board board, int cell, qint64 nowMs);
    int dropped() const { return m_dropped; }

private:
    static constexpr qint64 Never = -1;
    std::array<qint64, 256> &asked(Board board) { return board == Board::Grube ? m_pit : m_bridge; }

    std::array<qint64, 256> m_pit = Fresh();
    std::array<qint64, 256> m_bridge = Fresh();
    std::array<uint8_t, 3> m_message{};
    int m_fill = 0;
    bool m_messageOnWire = true;
    int m_dropped = 0;

    static std::array<qint64, 256> Fresh() {
        std::array<qint64, 256> a{};
        a.fill(Never);
        return a;
    }
};
