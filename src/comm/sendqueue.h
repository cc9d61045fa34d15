#pragma once

#include "comm/framing.h"

#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

// The paced transmit queue: at most 50 bytes, first in, first out. A message that does not fit is
// dropped whole. The transmit tick takes one byte at a time (TakeNext). Every message is kept with
// what it asks a board for, so that the answers can be matched to the requests that went out.
class SendQueue : public QObject {
    Q_OBJECT
public:
    static constexpr int Capacity = 50;
    // Room beyond the capacity that only messages which must never be lost may use (a stop).
    static constexpr int UrgentReserve = 12;

    // Appends command (bit 0 set when value > 127), value & 0x7F, 0.
    void QueueValue(int command, int value);
    // Appends command (bit 0 for value1 > 127, bit 1 for value2 > 127), both values & 0x7F.
    void QueueValuePair(int command, int value1, int value2);
    // Appends the three bytes unchanged; clears the send log first.
    void QueueMessage(int byte0, int byte1, int byte2);
    // Appends 0xC4, code & 0x7F, 0; clears the send log first.
    void QueueKeyCode(int code);
    // Like QueueMessage, for a message that must reach the wire whatever is queued (a stop): it
    // goes behind everything already waiting, so that no earlier drive command can undo it, and
    // uses the reserve beyond the capacity when the queue is full. When even the reserve is
    // taken, the newest waiting messages make room for it.
    void QueueUrgentMessage(int byte0, int byte1, int byte2);

    int length() const { return m_length; }
    bool isEmpty() const { return m_length == 0; }
    uint8_t at(int index) const { return m_bytes[static_cast<size_t>(index)]; }

    // What the message of byte 0 asks for, and whether byte 0 is its last byte.
    Framing::Asks headAsks() const { return m_asks[0]; }
    bool headIsLastByte() const { return m_length > 0 && m_headSent == Msg::MessageBytes - 1; }

    // Removes and returns byte 0, or nothing when the queue is empty.
    std::optional<uint8_t> TakeNext();

signals:
    // QueueMessage, QueueKeyCode and QueueUrgentMessage clear the send log before they append.
    void sendLogCleared();
    // Bytes were appended: the transmit tick, asleep while nothing waits, is needed.
    void appended();

private:
    // A partly sent first message leaves room for one more whole one.
    static constexpr int MaxMessages = (Capacity + UrgentReserve) / Msg::MessageBytes + 1;

    void Append(const Framing::Message &message);
    void Store(const Framing::Message &message);
    int messages() const { return (m_length + m_headSent) / Msg::MessageBytes; }

    std::array<uint8_t, Capacity + UrgentReserve> m_bytes{};
    std::array<Framing::Asks, MaxMessages> m_asks{};
    int m_length = 0;
    int m_headSent = 0; // bytes of the first message already taken
};

// One send-log line for a byte written (or drained while offline): "'%c' $%s b%s".
QString SendLogLine(uint8_t byte);
