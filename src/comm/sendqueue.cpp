#include "comm/sendqueue.h"

#include "comm/hexbyte.h"
#include "comm/messages.h"

void SendQueue::QueueValue(int command, int value) {
    Append(Framing::Fold(command, value, 0));
}

void SendQueue::QueueValuePair(int command, int value1, int value2) {
    Append(Framing::Fold(command, value1, value2));
}

void SendQueue::QueueMessage(int byte0, int byte1, int byte2) {
    emit sendLogCleared();
    Append(Framing::Raw(byte0, byte1, byte2));
}

void SendQueue::QueueKeyCode(int code) {
    emit sendLogCleared();
    Append(Framing::Raw(Msg::KeyCode, code & 0x7F, 0));
}

void SendQueue::QueueUrgentMessage(int byte0, int byte1, int byte2) {
    emit sendLogCleared();
    // Only whole waiting messages may give way; the bytes of the message that is already
    // going out stay.
    while (m_length + Msg::MessageBytes > Capacity + UrgentReserve &&
           messages() > (m_headSent > 0 ? 1 : 0)) {
        m_length -= Msg::MessageBytes;
    }
    Store(Framing::Raw(byte0, byte1, byte2));
}

void SendQueue::Append(const Framing::Message &message) {
    if (m_length + Msg::MessageBytes > Capacity) {
        return; // dropped whole
    }
    Store(message);
}

void SendQueue::Store(const Framing::Message &message) {
    m_asks[static_cast<size_t>(messages())] = Framing::AsksOf(message);
    for (uint8_t b : message) {
        m_bytes[static_cast<size_t>(m_length++)] = b;
    }
    emit appended();
}

std::optional<uint8_t> SendQueue::TakeNext() {
    if (m_length == 0) {
        return std::nullopt;
    }
    const uint8_t b = m_bytes[0];
    for (int i = 1; i < m_length; ++i) {
        m_bytes[static_cast<size_t>(i - 1)] = m_bytes[static_cast<size_t>(i)];
    }
    --m_length;
    if (++m_headSent == Msg::MessageBytes) {
        m_headSent = 0;
        for (int i = 1; i < MaxMessages; ++i) {
            m_asks[static_cast<size_t>(i - 1)] = m_asks[static_cast<size_t>(i)];
        }
        m_asks[MaxMessages - 1] = Framing::Asks{};
    }
    return b;
}

QString SendLogLine(uint8_t byte) {
    const QChar shown = byte == 0 ? QChar(u' ') : Windows1252Char(byte);
    return QStringLiteral("'") + shown + QStringLiteral("' $") + HexByteText(byte) +
           QStringLiteral(" b") + BinaryByteText(byte);
}
