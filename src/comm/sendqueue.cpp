#include "sendqueue.h"

#include "hexbyte.h"
#include "messages.h"

void SendQueue::QueueValue(int command, int value) {
    int cmd = command;
    if (value > 127) {
        cmd |= 0x01;
    }
    Append(cmd, value & 0x7F, 0);
}

void SendQueue::QueueValuePair(int command, int value1, int value2) {
    int cmd = command;
    if (value1 > 127) {
        cmd |= 0x01;
    }
    if (value2 > 127) {
        cmd |= 0x02;
    }
    Append(cmd, value1 & 0x7F, value2 & 0x7F);
}

void SendQueue::QueueMessage(int byte0, int byte1, int byte2) {
    if (onClearLog) {
        onClearLog();
    }
    Append(byte0, byte1, byte2);
}

void SendQueue::QueueKeyCode(int code) {
    if (onClearLog) {
        onClearLog();
    }
    Append(Msg::KeyCode, code & 0x7F, 0);
}

void SendQueue::QueueUrgentMessage(int byte0, int byte1, int byte2) {
    if (onClearLog) {
        onClearLog();
    }
    // Only whole waiting messages may give way; the bytes of the message that is already
    // going out (length % 3 of them) stay.
    while (m_length + 3 > Capacity + UrgentReserve && m_length - 3 >= m_length % 3) {
        m_length -= 3;
    }
    Store(byte0, byte1, byte2);
}

void SendQueue::Append(int b0, int b1, int b2) {
    if (m_length + 3 > Capacity) {
        return; // dropped whole
    }
    Store(b0, b1, b2);
}

void SendQueue::Store(int b0, int b1, int b2) {
    m_bytes[static_cast<size_t>(m_length)] = static_cast<uint8_t>(b0);
    m_bytes[static_cast<size_t>(m_length + 1)] = static_cast<uint8_t>(b1);
    m_bytes[static_cast<size_t>(m_length + 2)] = static_cast<uint8_t>(b2);
    m_length += 3;
    if (onQueued) {
        onQueued();
    }
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
    return b;
}

QString SendLogLine(uint8_t byte) {
    const QChar shown = byte == 0 ? QChar(u' ') : Windows1252Char(byte);
    return QStringLiteral("'") + shown + QStringLiteral("' $") + HexByteText(byte) +
           QStringLiteral(" b") + BinaryByteText(byte);
}
