#include "answerfilter.h"

void AnswerFilter::NoteOnWire(const Framing::Asks &asks, qint64 nowMs) {
    if (asks.isRead()) {
        NoteRequest(asks.board, asks.cell, nowMs);
    }
}

void AnswerFilter::NoteRequest(Board board, int cell, qint64 nowMs) {
    asked(board)[static_cast<size_t>(cell & 0xFF)] = nowMs;
}

bool AnswerFilter::Accept(Board board, int cell, qint64 nowMs) {
    qint64 &when = asked(board)[static_cast<size_t>(cell & 0xFF)];
    if (when == Never || nowMs - when > AnswerWindowMs || nowMs < when) {
        ++m_dropped;
        return false;
    }
    when = Never;
    return true;
}
