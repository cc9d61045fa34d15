// pivota-sim: a simulated turntable controller on a pseudo-terminal.

#include "sim/simcommandline.h"
#include "sim/simulator.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <stdlib.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace {
int g_signalPipe[2] = {-1, -1};

void OnSignal(int) {
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(g_signalPipe[1], &c, 1);
}

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
// The pseudo-terminal the simulator answers on.
struct Line {
    int master = -1;
    int holder = -1; // the device side, held open by the simulator itself
    QString device;
};

// Opens the pseudo-terminal; false, after saying why, when there is none.
bool OpenLine(Line &line) {
    line.master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (line.master < 0 || grantpt(line.master) != 0 || unlockpt(line.master) != 0) {
        std::perror("pivota-sim: pseudo-terminal");
        return false;
    }
    line.device = QString::fromLocal8Bit(ptsname(line.master));
    // Hold the device side open ourselves, in raw mode: the line neither echoes nor reports
    // errors while no program has it open.
    line.holder = ::open(ptsname(line.master), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (line.holder >= 0) {
        termios t{};
        if (tcgetattr(line.holder, &t) == 0) {
            cfmakeraw(&t);
            tcsetattr(line.holder, TCSANOW, &t);
        }
    }
    return true;
}

// Moves the simulator on in real time and carries its bytes to and from the line, the output
// paced at the line rate (10 bits a byte).
class Pump {
public:
    Pump(QCoreApplication &app, Simulator &sim, int master, int lineRate, bool tracing)
        : m_app(app), m_sim(sim), m_master(master), m_lineRate(lineRate), m_tracing(tracing) {
        m_clock.start();
        // Woken when the simulator has something to send or do, or when the line rate lets the
        // next bytes go, rather than on a fixed beat.
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, &app, [this] { Send(); });
        Schedule();
        m_reader = std::make_unique<QSocketNotifier>(master, QSocketNotifier::Read);
        QObject::connect(m_reader.get(), &QSocketNotifier::activated, &app, [this] { Receive(); });
    }

    // Reads no more from the line, which is about to close.
    void Stop() { m_reader->setEnabled(false); }

private:
    void CatchUp() {
        const qint64 now = m_clock.elapsed();
        // A tick late by more than an int of milliseconds (a suspended process) moves at most that.
        m_sim.advance(static_cast<int>(std::min<qint64>(now - m_last, INT_MAX)));
        m_budget = std::min(m_budget + double(now - m_last) * m_lineRate / 10000.0, 64.0);
        m_last = now;
        m_outgoing += m_sim.takeOutput();
    }

    void Schedule() {
        qint64 wait = m_sim.nextEventAt() - m_sim.now();
        if (!m_outgoing.isEmpty()) {
            // The next byte may go once the budget has a whole byte again.
            wait = std::min<qint64>(wait, m_budget >= 1.0 ? 0 : 1);
        }
        m_timer.start(static_cast<int>(std::clamp<qint64>(wait, 0, 200)));
    }

    void Send() {
        CatchUp();
        if (m_outgoing.size() > 4096) {
            // Nobody reads the line: keep only the latest output, as a full driver queue would.
            m_outgoing.remove(0, m_outgoing.size() - 4096);
        }
        const int allowed = std::min<int>(static_cast<int>(m_budget), m_outgoing.size());
        if (allowed > 0) {
            const ssize_t n =
                ::write(m_master, m_outgoing.constData(), static_cast<size_t>(allowed));
            if (n > 0) {
                Trace(m_tracing, "->", m_outgoing.left(static_cast<int>(n)));
                m_outgoing.remove(0, static_cast<int>(n));
                m_budget -= double(n);
            }
        }
        if (m_sim.hungUp()) {
            std::fprintf(stderr, "pivota-sim: hanging up\n");
            m_app.quit();
            return;
        }
        Schedule();
    }

    void Receive() {
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

    QCoreApplication &m_app;
    Simulator &m_sim;
    const int m_master;
    const int m_lineRate;
    const bool m_tracing;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    double m_budget = 0.0;
    QByteArray m_outgoing;
    QTimer m_timer;
    std::unique_ptr<QSocketNotifier> m_reader;
};
} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pivota-sim"));

    const SimCommandLineResult args = ParseSimCommandLine(QCoreApplication::arguments());
    switch (args.status) {
    case SimCommandLineResult::Status::Help:
        std::fputs(qPrintable(args.helpText), stdout);
        return 0;
    case SimCommandLineResult::Status::Error:
        std::fprintf(stderr, "pivota-sim: %s\nTry 'pivota-sim --help'.\n", qPrintable(args.error));
        return 2;
    case SimCommandLineResult::Status::Run:
        break;
    }
    const bool tracing = args.settings.trace;

    Simulator sim(args.settings.options);
    const QString eepromFile = args.settings.eepromFile;
    if (!eepromFile.isEmpty() && QFile::exists(eepromFile)) {
        QString error;
        if (!sim.loadEeprom(eepromFile, &error)) {
            std::fprintf(stderr, "pivota-sim: %s: %s\n", qPrintable(eepromFile), qPrintable(error));
            return 1;
        }
    }

    Line line;
    if (!OpenLine(line)) {
        return 1;
    }
    const QString linkPath = args.settings.link;
    if (!linkPath.isEmpty()) {
        QFile::remove(linkPath);
        if (!QFile::link(line.device, linkPath)) {
            std::fprintf(stderr, "pivota-sim: cannot create link %s\n", qPrintable(linkPath));
            return 1;
        }
    }
    std::printf("%s\n", qPrintable(line.device));
    std::fflush(stdout);

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) == 0) {
        std::signal(SIGINT, OnSignal);
        std::signal(SIGTERM, OnSignal);
    }
    QSocketNotifier signalNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);

    Pump pump(app, sim, line.master, args.settings.lineRate, tracing);
    const int rc = app.exec();

    if (tracing) {
        std::fprintf(stderr,
                     "pivota-sim: requests lost while a bridge request was relayed: %d, while a "
                     "board was writing: %d\n",
                     sim.lostWhileRelaying(), sim.lostWhileWriting());
    }

    pump.Stop();
    ::close(line.master);
    if (line.holder >= 0) {
        ::close(line.holder);
    }
    if (!linkPath.isEmpty()) {
        QFile::remove(linkPath);
    }
    if (!eepromFile.isEmpty()) {
        QString error;
        if (!sim.saveEeprom(eepromFile, &error)) {
            std::fprintf(stderr, "pivota-sim: %s: %s\n", qPrintable(eepromFile), qPrintable(error));
            return 1;
        }
    }
    return rc;
}
