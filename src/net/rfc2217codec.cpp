#include "net/rfc2217codec.h"

#include <QCoreApplication>

QByteArray Rfc2217Codec::Start(qint32 baud) {
    m_baud = baud;
    m_line = Line::Pending;
    m_refusal.clear();
    SendOption(Will, OptionBinary);
    m_binaryOffered = true;
    SendOption(Do, OptionBinary);
    m_binaryAskedFrom = true;
    SendOption(Will, OptionComPort);
    m_comPortOffered = true;
    return TakeReplies();
}

QByteArray Rfc2217Codec::TakeReplies() {
    QByteArray out;
    out.swap(m_replies);
    return out;
}

QByteArray Rfc2217Codec::TakeBanner() {
    QByteArray out;
    out.swap(m_banner);
    return out;
}

QByteArray Rfc2217Codec::Encode(const QByteArray &data) {
    if (!data.contains(static_cast<char>(Iac))) {
        return data;
    }
    QByteArray out;
    out.reserve(data.size() + 4);
    for (const char c : data) {
        out.append(c);
        if (static_cast<uint8_t>(c) == Iac) {
            out.append(c);
        }
    }
    return out;
}

QByteArray Rfc2217Codec::Decode(const QByteArray &in) {
    QByteArray data;
    for (const char c : in) {
        const auto b = static_cast<uint8_t>(c);
        switch (m_state) {
        case State::Data:
            if (b == Iac) {
                m_state = State::Command;
            } else {
                (m_line == Line::Pending ? m_banner : data).append(c);
            }
            break;
        case State::Command:
            if (b == Iac) {
                // A doubled 0xFF is one byte of the line.
                (m_line == Line::Pending ? m_banner : data).append(c);
                m_state = State::Data;
            } else if (b == Sb) {
                m_sub.clear();
                m_state = State::Sub;
            } else if (b >= Will) {
                m_command = b;
                m_state = State::Option;
            } else {
                m_state = State::Data; // NOP, GA, break and the like mean nothing to the line
            }
            break;
        case State::Option:
            OnOption(m_command, b);
            m_state = State::Data;
            break;
        case State::Sub:
            if (b == Iac) {
                m_state = State::SubIac;
            } else {
                m_sub.append(c);
            }
            break;
        case State::SubIac:
            if (b == Iac) {
                m_sub.append(c);
                m_state = State::Sub;
            } else if (b == Se) {
                OnSubnegotiation();
                m_state = State::Data;
            } else {
                // A command inside a subnegotiation ends it (RFC 855 has no such thing): it is
                // dropped rather than letting the rest of the line vanish into it.
                m_state = State::Data;
            }
            break;
        }
    }
    return data;
}

void Rfc2217Codec::SendOption(uint8_t command, uint8_t option) {
    m_replies.append(static_cast<char>(Iac));
    m_replies.append(static_cast<char>(command));
    m_replies.append(static_cast<char>(option));
}

void Rfc2217Codec::SendComPort(uint8_t command, const QByteArray &value) {
    m_replies.append(static_cast<char>(Iac));
    m_replies.append(static_cast<char>(Sb));
    m_replies.append(static_cast<char>(OptionComPort));
    m_replies.append(static_cast<char>(command));
    m_replies.append(Encode(value));
    m_replies.append(static_cast<char>(Iac));
    m_replies.append(static_cast<char>(Se));
}

void Rfc2217Codec::SendLineSettings() {
    if (m_settingsSent) {
        return;
    }
    m_settingsSent = true;
    const auto baud = static_cast<quint32>(m_baud);
    QByteArray rate;
    rate.append(static_cast<char>(baud >> 24));
    rate.append(static_cast<char>(baud >> 16));
    rate.append(static_cast<char>(baud >> 8));
    rate.append(static_cast<char>(baud));
    SendComPort(SetBaudRate, rate);
    SendComPort(SetDataSize, QByteArray(1, 8));
    SendComPort(SetParity, QByteArray(1, static_cast<char>(ParityNone)));
    SendComPort(SetStopSize, QByteArray(1, static_cast<char>(StopBitsOne)));
    SendComPort(SetControl, QByteArray(1, static_cast<char>(NoFlowControl)));
}

void Rfc2217Codec::OnOption(uint8_t command, uint8_t option) {
    // Each answer goes out once: an option asked for is not asked again when the bridge agrees,
    // so that two sides that both answer every request do not echo for ever (RFC 854).
    switch (command) {
    case Do:
        if (option == OptionBinary) {
            if (!m_binaryOffered) {
                SendOption(Will, OptionBinary);
                m_binaryOffered = true;
            }
        } else if (option == OptionComPort) {
            if (!m_comPortOffered) {
                SendOption(Will, OptionComPort);
                m_comPortOffered = true;
            }
            SendLineSettings();
        } else {
            SendOption(Wont, option);
        }
        break;
    case Dont:
        if (option == OptionComPort && m_line == Line::Pending) {
            m_line = Line::Refused;
            m_refusal = QCoreApplication::translate(
                "Rfc2217Codec", "Die Gegenstelle stellt die Leitung nicht ein (kein RFC 2217).");
        }
        if (option == OptionBinary) {
            m_binaryOffered = false;
        }
        break;
    case Will:
        if (option == OptionBinary) {
            if (!m_binaryAskedFrom) {
                SendOption(Do, OptionBinary);
                m_binaryAskedFrom = true;
            }
        } else {
            // Also the bridge's side of the Com Port option: the client's side sets the line.
            SendOption(Dont, option);
        }
        break;
    case Wont:
        if (option == OptionBinary) {
            m_binaryAskedFrom = false;
        }
        break;
    default:
        break;
    }
}

void Rfc2217Codec::OnSubnegotiation() {
    if (m_sub.size() < 2 || static_cast<uint8_t>(m_sub.at(0)) != OptionComPort) {
        return; // another option's, or the line's state and the modem's: nothing to do
    }
    const auto code = static_cast<uint8_t>(m_sub.at(1));
    if (code != SetBaudRate + ServerOffset || m_line != Line::Pending) {
        return;
    }
    if (m_sub.size() < 6) {
        return;
    }
    quint32 answer = 0;
    for (int i = 2; i < 6; ++i) {
        answer = (answer << 8) | static_cast<uint8_t>(m_sub.at(i));
    }
    if (m_baud == 0 || answer == static_cast<quint32>(m_baud)) {
        m_line = Line::Set;
        return;
    }
    m_line = Line::Refused;
    m_refusal =
        QCoreApplication::translate(
            "Rfc2217Codec", "Die Gegenstelle stellt %1 Baud nicht ein, sie antwortet mit %2 Baud.")
            .arg(m_baud)
            .arg(answer);
}
