#include "comm/link.h"

#include "comm/hexbyte.h"
#include "comm/logging.h"
#include "comm/sharedstate.h"

#include <algorithm>

#include <QCoreApplication>

Link::Link(SharedState &state, QObject *parent)
    : QObject(parent), m_shared(state), m_readBuffer(MaxReadSize) {
    connect(&m_port, &ComPort::lineLost, this,
            [this](const QString &reason) { Fail(Failure::Receive, reason); });
    connect(&m_port, &ComPort::readyRead, this, &Link::dataWaiting);
    connect(&m_port, &ComPort::ready, this, [this](const QString &configureError) {
        if (!m_opening) {
            return;
        }
        m_opening = false;
        if (!configureError.isEmpty()) {
            qCWarning(lcLink) << "line settings of" << m_portName << "not set:" << configureError;
        }
        Hold(m_openBaud);
        emit ready(configureError);
    });
    connect(&m_port, &ComPort::openFailed, this, [this](const QString &reason) {
        if (!m_opening) {
            return;
        }
        m_opening = false;
        qCDebug(lcLink) << "open" << m_portName << "failed:" << reason;
        m_port.Close();
        emit openFailed(reason);
    });
}

Link::~Link() = default;

bool Link::Probe(const QString &name, QString *reason) {
    const bool ok = m_port.Probe(name, reason);
    qCDebug(lcLink) << "probe" << name << (ok ? "ok" : qPrintable(reason ? *reason : QString()));
    return ok;
}

bool Link::Open(const QString &name, int baud, QString *reason, QString *configureError) {
    m_portName = name;
    m_opening = false;
    if (!m_port.OpenPort(name, reason)) {
        qCDebug(lcLink) << "open" << name << "failed:" << (reason ? *reason : QString());
        return false;
    }
    if (m_port.device()->opensLater()) {
        // The rate is kept for the line the device opens; the answer comes with ready().
        m_opening = true;
        m_holding = false;
        m_openBaud = baud;
        m_port.ConfigurePort(baud, nullptr);
        if (configureError) {
            configureError->clear();
        }
        qCDebug(lcLink) << "opening" << name;
        return true;
    }
    if (!m_port.ConfigurePort(baud, configureError)) {
        qCWarning(lcLink) << "line settings of" << name
                          << "not set:" << (configureError ? *configureError : QString());
    } else if (configureError) {
        configureError->clear();
    }
    Hold(baud);
    return true;
}

void Link::Hold(int baud) {
    const QString &name = m_portName;
    m_holding = true;
    m_stopping = false;
    m_manualPending.clear();
    // Reports of an earlier connection are no news of this one: the panels stay unknown until the
    // board reports, and the board gets its time to say something.
    m_shared.infoTable().Reset();
    m_health.Start(m_shared.now());
    qCDebug(lcLink) << "opened" << name << "at" << baud << "baud";
    emit opened();
}

void Link::Stop() {
    m_health.Stop();
    if (m_opening) {
        m_opening = false;
        m_port.Close();
        qCDebug(lcLink) << "open of" << m_portName << "given up after Stop";
        emit stopped();
        return;
    }
    m_stopping = m_port.isOpen();
}

bool Link::hasBytesToSend() const {
    return !m_shared.sendQueue.isEmpty() || !m_manualPending.isEmpty();
}

qint64 Link::Read(char *data, qint64 maxBytes) {
    QString reason;
    const qint64 n = m_port.ReadPort(data, maxBytes, &reason);
    if (n < 0) {
        Fail(Failure::Receive, reason);
    }
    return n;
}

qint64 Link::Write(const char *data, qint64 count) {
    QString reason;
    const qint64 n = m_port.WritePort(data, count, &reason);
    if (n < 0) {
        Fail(Failure::Send, reason);
    }
    return n;
}

void Link::Fail(Failure failure, const QString &reason) {
    if (!m_holding) {
        return; // this loss was reported already, or the line was let go before
    }
    m_holding = false;
    qCWarning(lcLink) << (failure == Failure::Receive ? "receive" : "send") << "failed:" << reason;
    // Closed before anybody hears of it: a box that waits for the user while the timers run must
    // not let a further byte go to a dead line.
    m_port.Close();
    m_manualPending.clear();
    m_stopping = false;
    m_health.Stop();
    // Nothing reaches the board any more: a running direct drive ends here without a message.
    m_shared.directDrive.Abandon();
    emit failed(failure, reason);
}

void Link::TransmitTick() {
    if (Writing() && !m_manualPending.isEmpty()) {
        // The rest of a manual send that the line could not take at once goes first.
        const qint64 n = Write(m_manualPending.constData(), m_manualPending.size());
        if (n > 0) {
            m_lastByteAt = m_shared.now();
            qCDebug(lcLinkBytes) << "sent" << m_manualPending.left(n).toHex(' ');
            m_manualPending.remove(0, static_cast<qsizetype>(n));
        }
        if (!m_manualPending.isEmpty()) {
            return;
        }
    }
    SendQueue &queue = m_shared.sendQueue;
    if (queue.isEmpty()) {
        return;
    }
    const char byte = static_cast<char>(queue.at(0));
    const bool last = queue.headIsLastByte();
    const Framing::Asks asks = queue.headAsks();
    const bool onWire = Writing();
    if (onWire && Write(&byte, 1) == 0 && Writing()) {
        return; // the line's buffer is full: the byte stays first in the queue for the next tick
    }
    const bool reached = onWire && Writing();
    if (reached) {
        m_lastByteAt = m_shared.now();
        qCDebug(lcLinkBytes) << "sent" << HexByteText(static_cast<uint8_t>(byte));
    }
    emit byteSent(static_cast<uint8_t>(byte));
    queue.TakeNext();
    m_messageOffWire = m_messageOffWire || !reached;
    if (last) {
        // A request counts once all of it went out: only then can a board answer it.
        m_shared.NoteSent(asks, !m_messageOffWire);
        m_messageOffWire = false;
    }
}

void Link::ReceiveTick(int readSize) {
    const qint64 size = std::clamp<qint64>(readSize, 1, MaxReadSize);
    QByteArray received;
    qint64 n = 0;
    // Drain what waits, in reads of the read size: a read that filled the whole read size may
    // have left more behind. Reading only once a tick would cap the intake below the line's rate
    // and let the input back up without end. A tick takes at most about the read buffer's 4000
    // bytes, some hundred times what a serial line brings in a tick, so that a device that never
    // runs dry cannot hold the window; what is left shows on the fill bar.
    do {
        n = m_port.isOpen() ? Read(m_readBuffer.data(), size) : 0;
        if (n > 0) {
            received.append(m_readBuffer.data(), n);
        }
    } while (n == size && received.size() < MaxReadSize && m_port.isOpen());

    emit fillLevel(m_port.QueryPortStatus());

    if (!received.isEmpty()) {
        qCDebug(lcLinkBytes) << "received" << received.toHex(' ');
        const Receiver::Result result = m_shared.Receive(received);
        if (result.dumped) {
            QStringList lines = result.dumpLines;
            if (m_shared.answers.dropped() > 0) {
                lines << QCoreApplication::translate("Link", "verworfen (nicht angefragt): %1")
                             .arg(m_shared.answers.dropped());
            }
            emit dumped(lines);
        }
        m_health.NoteBytes(m_shared.now());
    }
    CheckHealth();
    if (m_stopping) {
        m_stopping = false;
        m_holding = false;
        m_port.Close();
        m_manualPending.clear();
        qCDebug(lcLink) << "closed after Stop";
        emit stopped();
    }
}

void Link::CheckHealth() {
    switch (m_health.Check(m_shared.now())) {
    case LinkHealth::Change::WentSilent:
        qCInfo(lcLink) << "the pit board has said nothing for" << LinkHealth::SilenceMs << "ms";
        emit silenceChanged(true);
        break;
    case LinkHealth::Change::CameBack:
        qCInfo(lcLink) << "the pit board talks again";
        emit silenceChanged(false);
        break;
    case LinkHealth::Change::None:
        break;
    }
}

qint64 Link::WaitBeforeNextByte(int interval) const {
    if (m_lastByteAt < 0) {
        return 0;
    }
    return std::max<qint64>(0, m_lastByteAt + interval - m_shared.now());
}

qint64 Link::SendRaw(const QByteArray &bytes) {
    qint64 written = 0;
    if (!Writing()) {
        return 0;
    }
    if (m_manualPending.isEmpty()) {
        written = std::max<qint64>(Write(bytes.constData(), bytes.size()), 0);
        if (written > 0) {
            m_lastByteAt = m_shared.now();
            qCDebug(lcLinkBytes) << "sent" << bytes.left(written).toHex(' ');
        }
    }
    // What the line cannot take now follows with the next transmit ticks, in order.
    if (Writing()) {
        m_manualPending.append(bytes.mid(static_cast<qsizetype>(written)));
        if (!m_manualPending.isEmpty()) {
            emit wantsToSend();
        }
    }
    return written;
}

bool Link::EndDirectDrive() {
    // A motor the program started must not run on after the program let go of the line: the stop
    // goes out now, because once offline the transmit tick only drains the queue into the log.
    const std::optional<Diagnosis::DriveMessage> stop = m_shared.directDrive.End();
    if (!stop) {
        return false;
    }
    qCDebug(lcLink) << "direct drive stopped";
    m_shared.sendQueue.QueueUrgentMessage(stop->command, stop->speed, stop->flags);
    // Without waiting: what a full line does not take now stays queued, as with every byte.
    while (Writing() && m_port.isOpen() && hasBytesToSend()) {
        const qsizetype before = m_shared.sendQueue.length() + m_manualPending.size();
        TransmitTick();
        if (m_shared.sendQueue.length() + m_manualPending.size() >= before) {
            break;
        }
    }
    return true;
}
