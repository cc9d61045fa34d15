#pragma once

#include "comm/framing.h"

#include <QString>
#include <array>
#include <cstdint>

// The PC's mirror of one board's 256 EEPROM cells: last known values, a received flag per cell and
// the default of each cell. Every change counts up a revision, so that each tab can tell by
// itself whether the mirror changed since it last looked.
class BoardImage {
public:
    static constexpr int Cells = 256;
    using Board = ::Board;

    explicit BoardImage(Board board);

    Board board() const { return m_board; }

    // Values 0xFF, received flags 0 (the state at window creation).
    void Reset();

    uint8_t value(int cell) const { return m_values[idx(cell)]; }
    void setValue(int cell, int value) {
        m_values[idx(cell)] = static_cast<uint8_t>(value);
        ++m_revision;
    }
    bool received(int cell) const { return m_received[idx(cell)] != 0; }
    void setReceived(int cell, bool on) { m_received[idx(cell)] = on ? 1 : 0; }
    uint8_t defaultValue(int cell) const { return m_defaults[idx(cell)]; }

    // Stores a value that came from the board and marks it received.
    void Apply(int cell, int value);
    // How many answers of the board this cell has had since the program started. Unlike the
    // received flag, which tabs consume when they show a value, it only grows, so that a transfer
    // can tell afterwards which of its requests were answered.
    uint32_t answerCount(int cell) const { return m_answers[idx(cell)]; }

    // Grows with every value stored or answer applied (received flags alone do not count).
    uint64_t revision() const { return m_revision; }
    // Grows with every answer of the board applied.
    uint64_t answerRevision() const { return m_answerRevision; }

    static uint8_t DefaultFor(Board board, int cell);

private:
    static size_t idx(int cell) { return static_cast<size_t>(cell & 0xFF); }

    Board m_board;
    std::array<uint8_t, Cells + 1> m_values{}; // cell 256 is never used
    std::array<uint8_t, Cells> m_received{};
    std::array<uint8_t, Cells> m_defaults{};
    std::array<uint32_t, Cells> m_answers{};
    uint64_t m_revision = 1;
    uint64_t m_answerRevision = 0;
};
