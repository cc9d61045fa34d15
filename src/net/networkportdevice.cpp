#include "net/networkportdevice.h"

#include <QCoreApplication>
#include <QPointer>
#include <algorithm>
#include <cstring>

namespace {
constexpr qsizetype EarlyTextLimit = 512;
} // namespace

NetworkPortDevice::NetworkPortDevice(const NetAddress &address, QObject *parent)
    : PortDevice(parent), m_address(address), m_name(address.text()) {
    m_limit.setSingleShot(true);
    connect(&m_limit, &QTimer::timeout, this, &NetworkPortDevice::OnTimeout);
}

NetworkPortDevice::~NetworkPortDevice() {
    close();
}

bool NetworkPortDevice::open(QString *) {
    close();
    m_socket = new QTcpSocket(this);
    // Every byte leaves when its tick comes: no waiting to fill a segment.
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(m_socket, &QTcpSocket::connected, this, &NetworkPortDevice::OnConnected);
    connect(m_socket, &QTcpSocket::readyRead, this, &NetworkPortDevice::OnReadyRead);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &NetworkPortDevice::OnError);
    connect(m_socket, &QTcpSocket::disconnected, this,
            [this] { OnError(QAbstractSocket::RemoteHostClosedError); });
    m_input.clear();
    m_early.clear();
    m_sinceConnected.invalidate();
    m_codec = Rfc2217Codec();
    m_state = State::Connecting;
    m_limit.start(ConnectLimitMs);
    // Called from the event loop, not here: a refusal on this machine may come within the call
    // (it does under Windows), before the owner listens for the outcome and has given the rate.
    const QPointer<QTcpSocket> socket = m_socket;
    QMetaObject::invokeMethod(
        this,
        [this, socket] {
            if (socket && socket == m_socket && m_state == State::Connecting) {
                m_socket->connectToHost(m_address.host, m_address.port);
            }
        },
        Qt::QueuedConnection);
    return true;
}

void NetworkPortDevice::close() {
    m_limit.stop();
    m_state = State::Closed;
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
        // close() may run inside the socket's own signal.
        m_socket->deleteLater();
        m_socket = nullptr;
    }
}

bool NetworkPortDevice::configure(qint32 baud, QString *) {
    m_baud = baud;
    return true;
}

bool NetworkPortDevice::readDcb(PortDcb *dcb, QString *) const {
    *dcb = PortDcb{};
    dcb->baudRate = m_baud;
    return true;
}

qint64 NetworkPortDevice::read(char *data, qint64 maxBytes, QString *) {
    const qint64 n = std::min<qint64>(maxBytes, m_input.size());
    if (n > 0) {
        std::memcpy(data, m_input.constData(), static_cast<size_t>(n));
        m_input.remove(0, static_cast<qsizetype>(n));
    }
    return n;
}

qint64 NetworkPortDevice::write(const char *data, qint64 count, QString *error) {
    if (m_state != State::Open || !m_socket) {
        if (error) {
            *error = QCoreApplication::translate("ComPort", "Port ist nicht geöffnet.");
        }
        return -1;
    }
    const QByteArray bytes(data, static_cast<qsizetype>(count));
    const QByteArray out =
        m_address.protocol == NetAddress::Protocol::Rfc2217 ? Rfc2217Codec::Encode(bytes) : bytes;
    if (m_socket->write(out) != out.size()) {
        if (error) {
            *error = PortFailureText(PortFailure::Other, m_name, m_socket->errorString());
        }
        return -1;
    }
    // Handed to the system now, not at the next round of the event loop.
    m_socket->flush();
    return count;
}

void NetworkPortDevice::OnConnected() {
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_sinceConnected.start();
    if (m_address.protocol == NetAddress::Protocol::Raw) {
        BecomeReady(QString());
        return;
    }
    m_state = State::Negotiating;
    m_socket->write(m_codec.Start(m_baud));
    m_socket->flush();
}

void NetworkPortDevice::OnReadyRead() {
    if (!m_socket) {
        return;
    }
    const QByteArray in = m_socket->readAll();
    QByteArray data = in;
    QByteArray early;
    if (m_address.protocol == NetAddress::Protocol::Rfc2217) {
        data = m_codec.Decode(in);
        early = m_codec.TakeBanner();
        const QByteArray replies = m_codec.TakeReplies();
        if (!replies.isEmpty()) {
            m_socket->write(replies);
            m_socket->flush();
        }
    }
    if (m_sinceConnected.isValid() && m_sinceConnected.elapsed() < RefusalWindowMs) {
        early.append(data);
    }
    if (m_early.size() < EarlyTextLimit) {
        m_early.append(early.left(EarlyTextLimit - m_early.size()));
    }
    if (m_state == State::Negotiating) {
        switch (m_codec.line()) {
        case Rfc2217Codec::Line::Pending:
            return;
        case Rfc2217Codec::Line::Set:
            BecomeReady(QString());
            break;
        case Rfc2217Codec::Line::Refused:
            BecomeReady(QStringLiteral("%1: %2").arg(m_name, m_codec.refusal()));
            break;
        }
    }
    // The line's bytes that came with the rate's answer are the board's already.
    if (m_state == State::Open && !data.isEmpty()) {
        m_input.append(data);
        emit readyRead();
    }
}

void NetworkPortDevice::BecomeReady(const QString &configureError) {
    m_limit.stop();
    m_state = State::Open;
    emit ready(configureError);
}

QString NetworkPortDevice::RefusalText() const {
    const QString text = QString::fromLatin1(m_early).trimmed();
    if (text.isEmpty()) {
        return QString();
    }
    const bool printable = std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        return c == u'\r' || c == u'\n' || c == u'\t' ||
               (c.unicode() >= 0x20 && c.unicode() < 0x7f);
    });
    return printable ? text.simplified() : QString();
}

void NetworkPortDevice::OnError(QAbstractSocket::SocketError error) {
    if (m_state == State::Closed) {
        return;
    }
    const QString systemText = m_socket ? m_socket->errorString() : QString();
    if (m_state == State::Open) {
        const bool closedAtOnce = error == QAbstractSocket::RemoteHostClosedError &&
                                  m_sinceConnected.elapsed() < RefusalWindowMs;
        const QString text = closedAtOnce ? RefusalText() : QString();
        Lose(text.isEmpty()
                 ? PortFailureText(PortFailure::Removed, m_name, systemText)
                 : QCoreApplication::translate(
                       "NetworkPortDevice",
                       "%1: Die Gegenstelle hat die Verbindung geschlossen: \u201E%2\u201C")
                       .arg(m_name, text));
        return;
    }
    switch (error) {
    case QAbstractSocket::HostNotFoundError:
        FailOpen(QCoreApplication::translate(
                     "NetworkPortDevice",
                     "%1: Der Rechner %2 ist nicht bekannt (der Name lässt sich nicht auflösen).")
                     .arg(m_name, m_address.host));
        return;
    case QAbstractSocket::ConnectionRefusedError:
        FailOpen(QCoreApplication::translate(
                     "NetworkPortDevice",
                     "%1: %2 weist die Verbindung ab: an Port %3 wartet kein Dienst.")
                     .arg(m_name, m_address.host)
                     .arg(m_address.port));
        return;
    case QAbstractSocket::RemoteHostClosedError: {
        const QString text = RefusalText();
        FailOpen(text.isEmpty()
                     ? QCoreApplication::translate(
                           "NetworkPortDevice",
                           "%1: Die Gegenstelle hat die Verbindung gleich wieder geschlossen.")
                           .arg(m_name)
                     : QCoreApplication::translate(
                           "NetworkPortDevice",
                           "%1: Die Gegenstelle hat die Verbindung geschlossen: \u201E%2\u201C")
                           .arg(m_name, text));
        return;
    }
    default:
        FailOpen(PortFailureText(PortFailure::Other, m_name, systemText));
        return;
    }
}

void NetworkPortDevice::OnTimeout() {
    if (m_state == State::Connecting) {
        FailOpen(QCoreApplication::translate("NetworkPortDevice",
                                             "%1: %2 antwortet nicht innerhalb von %3 s.")
                     .arg(m_name, m_address.host)
                     .arg(ConnectLimitMs / 1000));
    } else if (m_state == State::Negotiating) {
        FailOpen(QCoreApplication::translate(
                     "NetworkPortDevice",
                     "%1: Die Gegenstelle hat die Verbindung angenommen, stellt die Leitung aber "
                     "nicht innerhalb von %2 s ein.")
                     .arg(m_name)
                     .arg(ConnectLimitMs / 1000));
    }
}

void NetworkPortDevice::FailOpen(const QString &reason) {
    close();
    emit openFailed(reason);
}

void NetworkPortDevice::Lose(const QString &reason) {
    close();
    emit lineLost(reason);
}
