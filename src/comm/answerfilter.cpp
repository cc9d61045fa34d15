#include "answerfilter.h"

#include "messages.h"

void AnswerFilter::NoteSent(uint8_t byte, bool onWire, qint64 nowMs) {
    if (byte & 0x80) {
        m_fill = 0; // only command bytes have bit 7 set: a new message starts here
        m_messageOnWire = true;
    }
    if (m_fill >= 3) {
        return; // stray data byte without a command: nothing to learn from it
    }
    m_message[static_cast<size_t>(m_fill++)] = byte;
    m_messageOnWire = m_messageOnWire && onWire;
    if (m_fill < 3 || !m_messageOnWire) {
        return;
    }
    // Folded read commands carry bit 7 of the cell number in bit 0 of the command.
    const int command = m_message[0] & 0xFE;
    const int cell = m_message[1] | ((m_message[0] & 0x01) << 7);
    if (command == Msg::ReadPitCell) {
        NoteRequest(Board::Grube, cell, nowMs);
    } else if (command == Msg::ReadBridgeCell) {
        NoteRequest(Board::Buehne, cell, nowMs);
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
