#pragma once

#include <QString>
#include <QtGlobal>
#include <cstdint>
#include <vector>

class BoardImage;

// Counts how many of the cells a read transfer asked for got an answer, so that a transfer
// against a board that is switched off says so instead of ending like a good one. An answer
// counts when the cell's answer count in the mirror grew after the request; the report waits
// after the last request until every cell answered or the boards' answer time is over.
class TransferTally {
public:
    static constexpr qint64 GraceMs = 2000;

    // A read transfer starts; what an earlier one left unreported is forgotten.
    void Begin();
    // The transfer queued a read of this cell (ignored unless begun).
    void NoteRequest(const BoardImage &board, int cell);
    // The transfer sent its last request or was cancelled.
    void End(qint64 nowMs);

    bool running() const { return m_phase == Phase::Running; }
    bool pending() const { return m_phase != Phase::Idle; }
    int requested() const { return static_cast<int>(m_requests.size()); }
    int answered() const;

    // Once after End, when every requested cell answered or GraceMs passed: the report line.
    // Empty otherwise.
    QString Poll(qint64 nowMs);

    // "112 von 112 Zellen beantwortet"
    static QString ReportText(int answered, int requested);

private:
    struct Request {
        const BoardImage *board;
        int cell;
        uint32_t countAtRequest;
    };
    enum class Phase { Idle, Running, Ended };
    Phase m_phase = Phase::Idle;
    std::vector<Request> m_requests;
    qint64 m_endedAt = 0;
};
