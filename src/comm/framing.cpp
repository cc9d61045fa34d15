#include "comm/framing.h"

#include "comm/messages.h"

namespace Framing {

Message Fold(int command, int value1, int value2) {
    int cmd = command;
    if (value1 > 127) {
        cmd |= 0x01;
    }
    if (value2 > 127) {
        cmd |= 0x02;
    }
    return Raw(cmd, value1 & 0x7F, value2 & 0x7F);
}

Message Raw(int byte0, int byte1, int byte2) {
    return {static_cast<uint8_t>(byte0), static_cast<uint8_t>(byte1), static_cast<uint8_t>(byte2)};
}

Command Unfold(const Message &m) {
    Command c;
    c.command = m[0] & 0xFC;
    c.value1 = m[1] | ((m[0] & 0x01) ? 0x80 : 0);
    c.value2 = m[2] | ((m[0] & 0x02) ? 0x80 : 0);
    return c;
}

int ReadCommand(Board board) {
    return board == Board::Grube ? Msg::ReadPitCell : Msg::ReadBridgeCell;
}

int WriteCommand(Board board) {
    return board == Board::Grube ? Msg::WritePitCell : Msg::WriteBridgeCell;
}

std::optional<Board> BoardOfAnswer(uint8_t letter) {
    if (letter == Msg::LetterPitCell) {
        return Board::Grube;
    }
    if (letter == Msg::LetterBridgeCell) {
        return Board::Buehne;
    }
    return std::nullopt;
}

Asks AsksOf(const Message &m) {
    const Command c = Unfold(m);
    Asks a;
    a.cell = c.value1;
    a.value = c.value2;
    switch (c.command) {
    case Msg::ReadPitCell:
    case Msg::ReadBridgeCell:
        a.kind = Asks::Kind::Read;
        a.board = c.command == Msg::ReadPitCell ? Board::Grube : Board::Buehne;
        a.value = 0;
        break;
    case Msg::WritePitCell:
    case Msg::WriteBridgeCell:
        a.kind = Asks::Kind::Write;
        a.board = c.command == Msg::WritePitCell ? Board::Grube : Board::Buehne;
        break;
    default:
        return Asks{};
    }
    return a;
}

std::optional<Message> CommandAssembler::Feed(uint8_t byte) {
    if (byte & 0x80) {
        m_message[0] = byte;
        m_have = 1;
        return std::nullopt;
    }
    if (m_have == 0) {
        return std::nullopt;
    }
    m_message[static_cast<size_t>(m_have++)] = byte;
    if (m_have < 3) {
        return std::nullopt;
    }
    m_have = 0;
    return m_message;
}

AnswerAssembler::Result AnswerAssembler::Feed(uint8_t c) {
    Result result;
    if (c == Msg::Marker[2] && m_previous == Msg::Marker[1] && m_beforePrevious == Msg::Marker[0]) {
        // In step, "X" and "Y" are the first two bytes of a message and this byte completes it.
        // Otherwise a byte was lost or added before the marker, and the message completed just
        // before it was cut out of the wrong bytes (for example an answer that took the "X" as
        // its value).
        result.realigned = m_counter != 2;
        m_counter = 2;
        result.marker = true;
    }
    ++m_counter;
    if (m_counter > 2) {
        m_counter = 0;
        result.message = Message{m_beforePrevious, m_previous, c};
    }
    m_beforePrevious = m_previous;
    m_previous = c;
    return result;
}

} // namespace Framing
