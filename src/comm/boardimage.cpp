#include "comm/boardimage.h"

namespace {
// Bridge board defaults of cells 0..31; every later cell defaults to 0.
constexpr std::array<uint8_t, 32> BridgeDefaults = {
    0, 126, 126, 170, 150, 10, 24, 255, 135, 255, 255, 255, 65,  56,  20,  255,
    0, 88,  88,  2,   20,  21, 22, 55,  6,   25,  128, 255, 255, 255, 255, 255};

constexpr int PitCellPositionCount = 48;
constexpr int PitCell50 = 50;
} // namespace

BoardImage::BoardImage(Board board) : m_board(board) {
    for (int cell = 0; cell < Cells; ++cell) {
        m_defaults[idx(cell)] = DefaultFor(board, cell);
    }
    Reset();
}

void BoardImage::Reset() {
    m_values.fill(0xFF);
    m_received.fill(0);
    ++m_revision;
}

void BoardImage::Apply(int cell, int value) {
    setValue(cell, value);
    setReceived(cell, true);
    ++m_answers[idx(cell)];
    ++m_answerRevision;
}

uint8_t BoardImage::DefaultFor(Board board, int cell) {
    if (board == Board::Grube) {
        if (cell == PitCellPositionCount) {
            return 24;
        }
        if (cell == PitCell50) {
            return 1;
        }
        return 0;
    }
    if (cell >= 0 && cell < static_cast<int>(BridgeDefaults.size())) {
        return BridgeDefaults[static_cast<size_t>(cell)];
    }
    return 0;
}
