#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Telnet (RFC 854/855/856) with the Com Port Control option (RFC 2217) between the program and a
// serial bridge, without a socket: bytes from the bridge go in, the line's bytes and the answers
// for the bridge come out. The codec asks for BINARY both ways and for the Com Port option, sets
// the far line to the baud rate, 8 data bits, no parity, one stop bit and no flow control, and
// waits for nothing but the baud rate's answer: a bridge may leave the other settings unanswered.
class Rfc2217Codec {
public:
    // Telnet's bytes.
    static constexpr uint8_t Iac = 255;
    static constexpr uint8_t Dont = 254;
    static constexpr uint8_t Do = 253;
    static constexpr uint8_t Wont = 252;
    static constexpr uint8_t Will = 251;
    static constexpr uint8_t Sb = 250;
    static constexpr uint8_t Se = 240;
    static constexpr uint8_t OptionBinary = 0;
    static constexpr uint8_t OptionComPort = 44;
    // The client's Com Port commands; the server answers each with the command plus 100.
    static constexpr uint8_t SetBaudRate = 1;
    static constexpr uint8_t SetDataSize = 2;
    static constexpr uint8_t SetParity = 3;
    static constexpr uint8_t SetStopSize = 4;
    static constexpr uint8_t SetControl = 5;
    static constexpr uint8_t ServerOffset = 100;
    static constexpr uint8_t ParityNone = 1;
    static constexpr uint8_t StopBitsOne = 1;
    static constexpr uint8_t NoFlowControl = 1;

    enum class Line {
        Pending, // the bridge has not answered the baud rate yet
        Set,     // the far line runs at the rate asked for
        Refused, // the bridge refused the option or the rate: refusal() says how
    };

    // The opening requests; baud 0 asks for the rate the bridge has.
    QByteArray Start(qint32 baud);
    // The line's bytes in what the bridge sent (Telnet's commands taken out, 0xFF 0xFF made one
    // 0xFF); what the codec answers waits in TakeReplies(). What came before the bridge answered
    // the rate is its banner, not the board's bytes: it waits in TakeBanner().
    QByteArray Decode(const QByteArray &in);
    QByteArray TakeReplies();
    QByteArray TakeBanner();
    // The line's bytes for the bridge: every 0xFF doubled.
    static QByteArray Encode(const QByteArray &data);

    Line line() const { return m_line; }
    const QString &refusal() const { return m_refusal; }

private:
    enum class State { Data, Command, Option, Sub, SubIac };

    void OnOption(uint8_t command, uint8_t option);
    void OnSubnegotiation();
    void SendOption(uint8_t command, uint8_t option);
    void SendComPort(uint8_t command, const QByteArray &value);
    void SendLineSettings();

    State m_state = State::Data;
    uint8_t m_command = 0;
    QByteArray m_sub;
    QByteArray m_replies;
    QByteArray m_banner;
    qint32 m_baud = 0;
    bool m_settingsSent = false;
    bool m_binaryAskedFrom = false; // DO BINARY sent
    bool m_binaryOffered = false;   // WILL BINARY sent
    bool m_comPortOffered = false;  // WILL COM-PORT-OPTION sent
    Line m_line = Line::Pending;
    QString m_refusal;
};
