#include "sim/linepump.h"

#include <QDateTime>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <unistd.h>

namespace {
// The longest the pump sleeps, whatever the simulator has planned.
constexpr int LongestWaitMs = 200;
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
    : QObject(parent), m_sim(sim), m_master(master), m_lineRate(lineRate), m_tracing(tracing),
      m_reader(master, QSocketNotifier::Read), m_room(master, QSocketNotifier::Write) {
    m_clock.start();
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

void LinePump::CatchUp() {
    const qint64 now = m_clock.elapsed();
    // A tick late by more than an int of milliseconds (a suspended process) moves at most that.
    m_sim.advance(static_cast<int>(std::min<qint64>(now - m_last, INT_MAX)));
    m_budget = std::min(m_budget + double(now - m_last) * m_lineRate / 10000.0, 64.0);
    m_last = now;
    m_outgoing += m_sim.takeOutput();
    if (m_outgoing.size() > MaxOutgoing) {
        // Nobody reads the line: keep only the latest output.
        m_outgoing.remove(0, m_outgoing.size() - MaxOutgoing);
    }
}

void LinePump::Schedule() {
    qint64 wait = m_sim.nextEventAt() - m_sim.now();
    if (!m_outgoing.isEmpty() && !m_waitingForRoom) {
        // The next byte may go once the budget has a whole byte again.
        wait = std::min<qint64>(wait, m_budget >= 1.0 ? 0 : 1);
    }
    m_timer.start(static_cast<int>(std::clamp<qint64>(wait, 0, LongestWaitMs)));
}

void LinePump::Send() {
    if (m_done) {
        return;
    }
    ++m_sendWakeUps;
    CatchUp();
    const int allowed = std::min<int>(static_cast<int>(m_budget), m_outgoing.size());
    if (allowed > 0 && !m_waitingForRoom) {
        const ssize_t n = ::write(m_master, m_outgoing.constData(), static_cast<size_t>(allowed));
        if (n > 0) {
            Trace(m_tracing, "->", m_outgoing.left(static_cast<int>(n)));
            m_outgoing.remove(0, static_cast<int>(n));
            m_budget -= double(n);
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
        // The boards judge the pacing by when a request arrives, not by the last tick.
        CatchUp();
        const int relaying = m_sim.lostWhileRelaying();
        const int writing = m_sim.lostWhileWriting();
        m_sim.receive(bytes);
        TraceLost(m_tracing, m_sim.lostWhileRelaying() - relaying,
                  "a bridge request was still being relayed");
        TraceLost(m_tracing, m_sim.lostWhileWriting() - writing, "the board was writing");
        Schedule(); // an answer may be due soon
    }
}
