#include "comm/requestline.h"

void RequestLine::Take(LineClient *owner, const Framing::Asks &asks) {
    m_current = Request{asks, owner, -1, false};
}

void RequestLine::Release(const LineClient *owner) {
    if (heldBy(owner)) {
        m_current.reset();
    }
}

void RequestLine::NoteSent(const Framing::Asks &asks, bool onWire, qint64 nowMs) {
    if (!m_current || m_current->onWireAt >= 0 || m_current->drained ||
        !(asks == m_current->asks)) {
        return;
    }
    if (onWire) {
        m_current->onWireAt = nowMs;
    } else {
        m_current->drained = true;
    }
}

bool RequestLine::NoteArrived(Board board, int cell) {
    if (!m_current || !m_current->asks.isRead() || m_current->onWireAt < 0 ||
        m_current->asks.board != board || m_current->asks.cell != cell) {
        return false;
    }
    return true;
}
