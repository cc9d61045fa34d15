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
    const SimOptions &options = args.settings.options;
    const int lineRate = args.settings.lineRate;
    const bool tracing = args.settings.trace;

    Simulator sim(options);
    const QString eepromFile = args.settings.eepromFile;
    if (!eepromFile.isEmpty() && QFile::exists(eepromFile)) {
        QString error;
        if (!sim.loadEeprom(eepromFile, &error)) {
            std::fprintf(stderr, "pivota-sim: %s: %s\n", qPrintable(eepromFile), qPrintable(error));
            return 1;
        }
    }

    int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::perror("pivota-sim: pseudo-terminal");
        return 1;
    }
    const QString device = QString::fromLocal8Bit(ptsname(master));
    // Hold the device side open ourselves, in raw mode: the line neither echoes nor reports
    // errors while no program has it open.
    const int holder = ::open(ptsname(master), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (holder >= 0) {
        termios t{};
        if (tcgetattr(holder, &t) == 0) {
            cfmakeraw(&t);
            tcsetattr(holder, TCSANOW, &t);
        }
    }
    const QString linkPath = args.settings.link;
    if (!linkPath.isEmpty()) {
        QFile::remove(linkPath);
        if (!QFile::link(device, linkPath)) {
            std::fprintf(stderr, "pivota-sim: cannot create link %s\n", qPrintable(linkPath));
            return 1;
        }
    }
    std::printf("%s\n", qPrintable(device));
    std::fflush(stdout);

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) == 0) {
        std::signal(SIGINT, OnSignal);
        std::signal(SIGTERM, OnSignal);
    }
    QSocketNotifier signalNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);

    // Real time, with the output paced at the line rate (10 bits a byte).
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    double budget = 0.0;
    QByteArray outgoing;
    auto catchUp = [&] {
        const qint64 now = clock.elapsed();
        // A tick late by more than an int of milliseconds (a suspended process) moves at most that.
        sim.advance(static_cast<int>(std::min<qint64>(now - last, INT_MAX)));
        budget = std::min(budget + double(now - last) * lineRate / 10000.0, 64.0);
        last = now;
        outgoing += sim.takeOutput();
    };

    // Woken when the simulator has something to send or do, or when the line rate lets the next
    // bytes go, rather than on a fixed beat.
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    const auto schedule = [&] {
        qint64 wait = sim.nextEventAt() - sim.now();
        if (!outgoing.isEmpty()) {
            // The next byte may go once the budget has a whole byte again.
            wait = std::min<qint64>(wait, budget >= 1.0 ? 0 : 1);
        }
        timer.start(static_cast<int>(std::clamp<qint64>(wait, 0, 200)));
    };
    QObject::connect(&timer, &QTimer::timeout, &app, [&] {
        catchUp();
        if (outgoing.size() > 4096) {
            // Nobody reads the line: keep only the latest output, as a full driver queue would.
            outgoing.remove(0, outgoing.size() - 4096);
        }
        const int allowed = std::min<int>(static_cast<int>(budget), outgoing.size());
        if (allowed > 0) {
            const ssize_t n = ::write(master, outgoing.constData(), static_cast<size_t>(allowed));
            if (n > 0) {
                Trace(tracing, "->", outgoing.left(static_cast<int>(n)));
                outgoing.remove(0, static_cast<int>(n));
                budget -= double(n);
            }
        }
        if (sim.hungUp()) {
            std::fprintf(stderr, "pivota-sim: hanging up\n");
            app.quit();
            return;
        }
        schedule();
    });
    schedule();

    QSocketNotifier reader(master, QSocketNotifier::Read);
    QObject::connect(&reader, &QSocketNotifier::activated, &app, [&] {
        char buf[256];
        const ssize_t n = ::read(master, buf, sizeof buf);
        if (n > 0) {
            const QByteArray bytes(buf, static_cast<int>(n));
            Trace(tracing, "<-", bytes);
            // The boards judge the pacing by when a request arrives, not by the last tick.
            catchUp();
            const int relaying = sim.lostWhileRelaying();
            const int writing = sim.lostWhileWriting();
            sim.receive(bytes);
            TraceLost(tracing, sim.lostWhileRelaying() - relaying,
                      "a bridge request was still being relayed");
            TraceLost(tracing, sim.lostWhileWriting() - writing, "the board was writing");
            schedule(); // an answer may be due soon
        }
    });

    const int rc = app.exec();

    if (tracing) {
        std::fprintf(stderr,
                     "pivota-sim: requests lost while a bridge request was relayed: %d, while a "
                     "board was writing: %d\n",
                     sim.lostWhileRelaying(), sim.lostWhileWriting());
    }

    reader.setEnabled(false);
    ::close(master);
    if (holder >= 0) {
        ::close(holder);
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
