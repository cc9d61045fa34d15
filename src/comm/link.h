#pragma once

#include "comm/comport.h"
#include "comm/framing.h"
#include "comm/linkhealth.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <vector>

class SharedState;

// The line to the pit board: the port device, the health of the line, what a manual send could
// not yet put on the line, and the read buffer. The session's timers drive it (a transmit tick
// writes one queued byte, a receive tick reads what waits); it tells facts by signals (opened,
// bytes sent, silence, failure, closed after Stop) and never calls back. The connection's state
// is the session's alone: the link knows only whether its port is open and being closed.
class Link : public QObject {
    Q_OBJECT
public:
    enum class Failure { Receive, Send };
    static constexpr int MaxReadSize = 4000;

    explicit Link(SharedState &state, QObject *parent = nullptr);
    ~Link() override;

    ComPort &port() { return m_port; }
    const ComPort &port() const { return m_port; }
    // The name of the port last opened ("COM1".."COM9" or a device); empty at first.
    const QString &portName() const { return m_portName; }

    // Does the named port exist, and is it free? It is closed again at once.
    bool Probe(const QString &name, QString *reason);
    // Opens the named port and keeps it, 8N1 at baud (0 keeps the driver's rate). A port whose
    // line settings could not be set stays open: configureError tells why. The board gets
    // LinkHealth::SilenceMs to say something.
    bool Open(const QString &name, int baud, QString *reason, QString *configureError);
    // A port that takes time to open (on the network) is still on its way after Open: ready() or
    // openFailed() follows.
    bool opening() const { return m_opening; }
    // Nothing more goes on the wire; the next receive tick closes the port (stopped()). A port
    // still on its way is closed at once.
    void Stop();

    // The transmit tick: the rest of a manual send first, else one byte of the transmit queue
    // (drained into the send log without reaching the wire while not online).
    void TransmitTick();
    bool hasBytesToSend() const;
    // The receive tick: takes what waits in reads of readSize bytes, cuts it into messages, and
    // watches whether the board still talks.
    void ReceiveTick(int readSize);
    // Whether the board has gone silent or come back (also without bytes to read).
    void CheckHealth();
    // How long the next byte of the transmit queue must still wait so that the board never gets
    // two bytes closer together than interval: 0 when the line has been idle long enough.
    qint64 WaitBeforeNextByte(int interval) const;
    // A manual send: written at once as far as the line takes it; the rest follows with the
    // transmit ticks, in order. Returns the bytes written now.
    qint64 SendRaw(const QByteArray &bytes);
    // Ends a running direct drive: its stop goes into the queue, which is written out at once as
    // far as the line takes it without waiting. True when a drive ran.
    bool EndDirectDrive();

signals:
    // The port was opened; the board gets LinkHealth::SilenceMs to say something.
    void opened();
    // A port that took time to open is open (configureError as for Open), or could not be opened.
    void ready(const QString &configureError);
    void openFailed(const QString &reason);
    // The line failed; the port is closed already, and nothing more is sent. Once per loss.
    void failed(Link::Failure failure, const QString &reason);
    // A byte of the transmit queue was written, or drained while offline.
    void byteSent(uint8_t byte);
    // The info dump at a marker from the board.
    void dumped(const QStringList &lines);
    // The board went silent or came back.
    void silenceChanged(bool silent);
    // Bytes waiting in the input queue after a receive tick.
    void fillLevel(qint64 waiting);
    // The port closed after Stop.
    void stopped();
    // Bytes wait to go out: the transmit tick is needed.
    void wantsToSend();
    // Bytes have arrived: the receive tick can take them.
    void dataWaiting();

private:
    // Open and not being closed: bytes go on the wire (else the transmit tick only drains the
    // queue into the send log).
    bool Writing() const { return m_holding && m_port.isOpen() && !m_stopping; }
    // -1 (reported) on failure.
    qint64 Read(char *data, qint64 maxBytes);
    qint64 Write(const char *data, qint64 count);
    void Fail(Failure failure, const QString &reason);
    // The port is open: bytes may go on the wire.
    void Hold(int baud);

    SharedState &m_shared;
    ComPort m_port;
    LinkHealth m_health;
    QString m_portName;
    bool m_holding = false;  // a line opened and neither lost nor closed after Stop
    bool m_stopping = false; // the port closes at the next receive tick
    bool m_opening = false;  // opened, but the device is still on its way
    int m_openBaud = 0;
    bool m_messageOffWire = false; // a byte of the queue's first message was drained offline
    QByteArray m_manualPending;    // bytes of a manual send that the line has not taken yet
    qint64 m_lastByteAt = -1;      // when the last byte went on the wire
    std::vector<char> m_readBuffer;
};
