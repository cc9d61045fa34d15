#include "comm/transfertally.h"

#include "comm/boardimage.h"
#include "comm/numbertext.h"

#include <QCoreApplication>

void TransferTally::Begin() {
    m_requests.clear();
    m_phase = Phase::Running;
}

void TransferTally::NoteRequest(const BoardImage &board, int cell) {
    if (m_phase != Phase::Running) {
        return;
    }
    m_requests.push_back({&board, cell, board.answerCount(cell)});
}

void TransferTally::End(qint64 nowMs) {
    if (m_phase != Phase::Running) {
        return;
    }
    m_phase = Phase::Ended;
    m_endedAt = nowMs;
}

int TransferTally::answered() const {
    int n = 0;
    for (const Request &r : m_requests) {
        if (r.board->answerCount(r.cell) != r.countAtRequest) {
            ++n;
        }
    }
    return n;
}

QString TransferTally::Poll(qint64 nowMs) {
    if (m_phase != Phase::Ended) {
        return {};
    }
    const int got = answered();
    if (got < requested() && nowMs - m_endedAt < GraceMs) {
        return {};
    }
    m_phase = Phase::Idle;
    return ReportText(got, requested());
}

QString TransferTally::ReportText(int answered, int requested) {
    return QCoreApplication::translate("TransferTally", "%1 beantwortet")
        .arg(CellsOfText(answered, requested));
}
