#include "comm/answerfilter.h"

void AnswerFilter::NoteOnWire(const Framing::Asks &asks, qint64 nowMs) {
    if (asks.isRead()) {
        NoteRequest(asks.board, asks.cell, nowMs);
    }
}

void AnswerFilter::NoteRequest(Board board, int cell, qint64 nowMs) {
    Asked &a = asked(board)[static_cast<size_t>(cell & 0xFF)];
    // Requests answered long ago or never are forgotten: only the recent ones count.
    if (nowMs - a.last > AnswerWindowMs || nowMs < a.last) {
        a.open = 0;
    }
    a.last = nowMs;
    ++a.open;
}

bool AnswerFilter::Accept(Board board, int cell, qint64 nowMs) {
    Asked &a = asked(board)[static_cast<size_t>(cell & 0xFF)];
    if (a.open == 0 || nowMs - a.last > AnswerWindowMs || nowMs < a.last) {
        ++m_dropped;
        return false;
    }
    --a.open;
    return true;
}
