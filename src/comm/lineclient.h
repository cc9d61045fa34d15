#pragma once

#include "comm/framing.h"

#include <QString>
#include <optional>

// A transfer that shares the way to the boards (RequestLine) with the others: the line and the
// receiver tell it what became of its requests, and wake it when it can go on.
class LineClient {
public:
    // The report of a transfer that has ended: one line for the status bar, and every cell that
    // failed in full.
    struct Report {
        QString line;
        QString details;
    };

    // The answer to its request in flight came (before it is believed).
    virtual void OnArrived(Board board, int cell) = 0;
    // An answer the stream confirmed; true when the client takes it instead of the mirror.
    virtual bool OnBelieved(Board board, int cell, int value) = 0;
    // An answer that came out of step: what it held is not known.
    virtual void OnDiscarded(Board board, int cell) = 0;
    // It can go on: the line came free, or its request went out.
    virtual void Wake() = 0;
    // The line went away: a running transfer ends, saying so.
    virtual void OnInterrupted() = 0;
    // The report of a transfer that has just ended, given once.
    virtual std::optional<Report> TakeReport() = 0;

protected:
    LineClient() = default;
    ~LineClient() = default;
    LineClient(const LineClient &) = delete;
    LineClient &operator=(const LineClient &) = delete;
};
