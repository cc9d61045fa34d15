#pragma once

#include "comm/framing.h"
#include "comm/lineclient.h"

#include <QtGlobal>
#include <optional>

// The way to the boards as the transfers share it: at most one request of all transfers is on
// its way at a time, and its answer (matched by board and cell) or its time-out frees the line for
// the next. Two bridge requests in flight at once would make the pit board, which relays one at a
// time, lose the second.
class RequestLine {
public:
    struct Request {
        Framing::Asks asks;
        LineClient *owner = nullptr;
        qint64 onWireAt = -1; // when its last byte went out; -1 until then
        bool drained = false; // its bytes went into the send log, not onto the line
    };

    bool busy() const { return m_current.has_value(); }
    bool heldBy(const LineClient *owner) const { return m_current && m_current->owner == owner; }
    const std::optional<Request> &current() const { return m_current; }

    // The transfer has queued this message and waits for it.
    void Take(LineClient *owner, const Framing::Asks &asks);
    void Release(const LineClient *owner);

    // The last byte of a message left the transmit queue, on the wire or drained while offline.
    void NoteSent(const Framing::Asks &asks, bool onWire, qint64 nowMs);
    // An answer came (before it is believed): true when it is the one the line waits for, which
    // then frees the line.
    bool NoteArrived(Board board, int cell);

private:
    std::optional<Request> m_current;
};
