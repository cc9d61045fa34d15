#include "sim/linepump.h"

#include <QDateTime>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace {
// After a write failed for another reason than a full line, the pump tries again this much later.
constexpr int RetryAfterErrorMs = 100;

void Trace(bool on, const char *direction, const QByteArray &bytes) {
    if (!on || bytes.isEmpty()) {
        return;
    }
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss.zzz"));
    std::fprintf(stderr, "%s %s %s\n", qPrintable(stamp), direction, bytes.toHex(' ').constData());
}

void TraceLost(bool on, int count, const char *why) {
    if (!on || count <= 0) {
        return;
    }
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss.zzz"));
    std::fprintf(stderr, "%s -- %d request%s lost: %s\n", qPrintable(stamp), count,
                 count == 1 ? "" : "s", why);
}
} // namespace

LinePump::LinePump(Simulator &sim, int master, int lineRate, bool tracing, QObject *parent)
    : QObject(parent), m_sim(sim), m_master(master), m_pacer(sim, lineRate), m_tracing(tracing),
      m_reader(master, QSocketNotifier::Read), m_room(master, QSocketNotifier::Write) {
    // Woken when the simulator has something to send or do, or when the line rate lets the
    // next bytes go, rather than on a fixed beat.
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &LinePump::Send);
    connect(&m_reader, &QSocketNotifier::activated, this, &LinePump::Receive);
    m_room.setEnabled(false);
    connect(&m_room, &QSocketNotifier::activated, this, [this] {
        m_room.setEnabled(false);
        m_waitingForRoom = false;
        Send();
    });
    Schedule();
}

void LinePump::Stop() {
    m_reader.setEnabled(false);
    m_room.setEnabled(false);
    m_timer.stop();
}

void LinePump::Schedule() {
    m_timer.start(m_pacer.wakeInMs(!m_waitingForRoom));
}

void LinePump::Send() {
    if (m_done) {
        return;
    }
    ++m_sendWakeUps;
    m_pacer.CatchUp();
    const QByteArray ready = m_pacer.ready();
    if (!ready.isEmpty() && !m_waitingForRoom) {
        const ssize_t n = ::write(m_master, ready.constData(), static_cast<size_t>(ready.size()));
        if (n > 0) {
            Trace(m_tracing, "->", ready.left(static_cast<qsizetype>(n)));
            m_pacer.Sent(static_cast<qsizetype>(n));
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // The line is full: the next bytes go when it has room, the simulator's own events
            // still run meanwhile.
            m_waitingForRoom = true;
            m_room.setEnabled(true);
        } else {
            m_timer.start(RetryAfterErrorMs);
            return;
        }
    }
    if (m_sim.hungUp()) {
        m_done = true;
        Stop();
        if (hungUp) {
            hungUp();
        }
        return;
    }
    Schedule();
}

void LinePump::Receive() {
    char buf[256];
    const ssize_t n = ::read(m_master, buf, sizeof buf);
    if (n > 0) {
        const QByteArray bytes(buf, static_cast<int>(n));
        Trace(m_tracing, "<-", bytes);
        const int relaying = m_sim.lostWhileRelaying();
        const int writing = m_sim.lostWhileWriting();
        m_pacer.Receive(bytes);
        TraceLost(m_tracing, m_sim.lostWhileRelaying() - relaying,
                  "a bridge request was still being relayed");
        TraceLost(m_tracing, m_sim.lostWhileWriting() - writing, "the board was writing");
        Schedule(); // an answer may be due soon
    }
}
