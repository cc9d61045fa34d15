#pragma once

#include "comm/messages.h"

#include <array>
#include <cstdint>
#include <optional>

// Which board a cell belongs to: the pit board on the serial line, or the bridge board behind it.
enum class Board { Grube, Buehne };

// The three-byte messages on the line, in both directions. Commands from the PC have bit 7 set;
// the folded forms carry bit 7 of their two values in bits 0 and 1 of the command, so that data
// bytes always stay below 128. The boards answer with a letter and two data bytes; nothing marks
// the start of an answer, so the receiver counts bytes and the marker "X","Y","Z" re-aligns it.
namespace Framing {

using Message = std::array<uint8_t, Msg::MessageBytes>;

// command | bit 7 of value1 in bit 0 | bit 7 of value2 in bit 1, then both values & 0x7F.
Message Fold(int command, int value1, int value2);
// The three bytes unchanged.
Message Raw(int byte0, int byte1, int byte2);

// A PC message read back: the command with its two folding bits cleared, and both values with
// their high bits restored.
struct Command {
    int command = 0;
    int value1 = 0;
    int value2 = 0;
};
Command Unfold(const Message &message);

// What a message from the PC asks a board for: a cell to read, a cell to write, or neither.
struct Asks {
    enum class Kind { Nothing, Read, Write };
    Kind kind = Kind::Nothing;
    Board board = Board::Grube;
    int cell = 0;
    int value = 0; // the value written

    bool isRead() const { return kind == Kind::Read; }
    bool isWrite() const { return kind == Kind::Write; }
    bool operator==(const Asks &) const = default;
};
Asks AsksOf(const Message &message);

// The read or write command of a board's cell.
int ReadCommand(Board board);
int WriteCommand(Board board);
// The board whose cells an answer letter carries, if it is one ("G" pit, "H" bridge).
std::optional<Board> BoardOfAnswer(uint8_t letter);

// Cuts the PC's byte stream into messages, as the pit board does: a byte with bit 7 set starts a
// message, the next two complete it; data bytes without a command are ignored.
class CommandAssembler {
public:
    std::optional<Message> Feed(uint8_t byte);

private:
    Message m_message{};
    int m_have = 0; // bytes of the current message, 0 when none started
};

// Cuts the boards' byte stream into three-byte messages by counting. The count and the two bytes
// before the current one survive between reads; "X","Y","Z" re-aligns the count, so the marker
// itself comes out as one message.
class AnswerAssembler {
public:
    struct Result {
        std::optional<Message> message;
        bool marker = false;    // this byte completed "X","Y","Z"
        bool realigned = false; // ... and the count was out of step before it
    };
    Result Feed(uint8_t byte);
    // Position of the last byte within its message, 0..2.
    int counter() const { return m_counter; }

private:
    int m_counter = 0;
    uint8_t m_previous = 0;
    uint8_t m_beforePrevious = 0;
};

} // namespace Framing
