#pragma once

#include "comm/netaddress.h"
#include "comm/portdevice.h"
#include "net/rfc2217codec.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTimer>

// A serial bridge on the network as the port: raw bytes over TCP, or Telnet with RFC 2217, which
// also sets the far line. Opening takes time and never waits: open() starts the connection, and
// ready() follows once it stands (for RFC 2217, once the bridge has answered the baud rate), or
// openFailed() with words a user can act on. Every write goes to the socket at once, without
// Nagle's delay, so that each byte leaves when its tick comes.
class NetworkPortDevice : public PortDevice {
    Q_OBJECT
public:
    // How long a bridge may take to accept the connection and, for RFC 2217, to answer the rate.
    static constexpr int ConnectLimitMs = 5000;
    // A bridge that closes this soon after accepting, having sent only text, refused the client
    // (ser2net's "port already in use"): the text is shown.
    static constexpr int RefusalWindowMs = 2000;

    explicit NetworkPortDevice(const NetAddress &address, QObject *parent = nullptr);
    ~NetworkPortDevice() override;

    bool open(QString *error) override;
    void close() override;
    bool isOpen() const override { return m_state != State::Closed; }
    bool configure(qint32 baud, QString *error) override;
    qint64 read(char *data, qint64 maxBytes, QString *error) override;
    qint64 write(const char *data, qint64 count, QString *error) override;
    qint64 bytesWaiting() const override { return m_input.size(); }
    bool readDcb(PortDcb *dcb, QString *error) const override;
    PortProperties properties() const override { return {}; }
    bool opensLater() const override { return true; }

private:
    enum class State { Closed, Connecting, Negotiating, Open };

    void OnConnected();
    void OnReadyRead();
    void OnError(QAbstractSocket::SocketError error);
    void OnTimeout();
    void FailOpen(const QString &reason);
    void Lose(const QString &reason);
    void BecomeReady(const QString &configureError);
    // The text a refusing bridge sent, as far as it is text; empty otherwise.
    QString RefusalText() const;

    NetAddress m_address;
    QString m_name;
    QTcpSocket *m_socket = nullptr;
    QTimer m_limit;
    QElapsedTimer m_sinceConnected;
    Rfc2217Codec m_codec;
    QByteArray m_input;
    QByteArray m_early; // what came before the line was ready, or in its first moments
    qint32 m_baud = 0;
    State m_state = State::Closed;
};
