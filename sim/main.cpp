// pivota-sim: a simulated turntable controller on a pseudo-terminal.

#include "simulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
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
} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pivota-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated turntable controller (pit board with bridge board) on a pseudo-terminal.\n"
        "Prints the device path as the first line of standard output; point a COM port of\n"
        "Pivota at it (settings file, section [Ports], for example COM3=/tmp/turntable)."));
    parser.addHelpOption();
    const QCommandLineOption link(QStringLiteral("link"),
                                  QStringLiteral("Create a symbolic link <path> to the device."),
                                  QStringLiteral("path"));
    const QCommandLineOption baud(QStringLiteral("baud"),
                                  QStringLiteral("Pace the output at this line rate (default "
                                                 "19200)."),
                                  QStringLiteral("n"), QStringLiteral("19200"));
    const QCommandLineOption seed(QStringLiteral("seed"),
                                  QStringLiteral("Seed of every random choice (default 1)."),
                                  QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption drop(QStringLiteral("drop"),
                                  QStringLiteral("Drop each sent byte with probability p."),
                                  QStringLiteral("p"), QStringLiteral("0"));
    const QCommandLineOption corrupt(QStringLiteral("corrupt"),
                                     QStringLiteral("Flip a bit of each sent byte with "
                                                    "probability p."),
                                     QStringLiteral("p"), QStringLiteral("0"));
    const QCommandLineOption silent(QStringLiteral("silent"),
                                    QStringLiteral("Send nothing at all (a dead controller)."));
    const QCommandLineOption hangUp(QStringLiteral("hang-up-after"),
                                    QStringLiteral("Hang up the line after this many seconds."),
                                    QStringLiteral("seconds"));
    const QCommandLineOption eeprom(
        QStringLiteral("eeprom"),
        QStringLiteral("Load both EEPROMs from <file> at start and save them there at exit."),
        QStringLiteral("file"));
    const QCommandLineOption trace(QStringLiteral("trace"),
                                   QStringLiteral("Log every byte both ways in hex on standard "
                                                  "error."));
    const QCommandLineOption blocked(QStringLiteral("blocked"),
                                     QStringLiteral("The bridge is jammed and cannot turn."));
    const QCommandLineOption errors(QStringLiteral("errors"),
                                    QStringLiteral("Report these error bits, as pit,bridge in "
                                                   "hex (for example 01,02)."),
                                    QStringLiteral("pit,bridge"));
    const QCommandLineOption dip(QStringLiteral("dip"),
                                 QStringLiteral("DIP switch bits in hex: 04 DIP1, 08 DIP2, 10 "
                                                "DIP3."),
                                 QStringLiteral("bits"), QStringLiteral("0"));
    const QCommandLineOption stray(QStringLiteral("stray-burst-at"),
                                   QStringLiteral("Send a burst of stray bytes after this many "
                                                  "seconds."),
                                   QStringLiteral("seconds"));
    parser.addOptions({link, baud, seed, drop, corrupt, silent, hangUp, eeprom, trace, blocked,
                       errors, dip, stray});
    parser.process(app);

    SimOptions options;
    options.seed = parser.value(seed).toUInt();
    options.dropProbability = parser.value(drop).toDouble();
    options.corruptProbability = parser.value(corrupt).toDouble();
    options.silent = parser.isSet(silent);
    options.blocked = parser.isSet(blocked);
    options.dipSwitches = static_cast<uint8_t>(parser.value(dip).toInt(nullptr, 16) & 0x1C);
    if (parser.isSet(hangUp)) {
        options.hangUpAfterMs = static_cast<int>(parser.value(hangUp).toDouble() * 1000);
    }
    if (parser.isSet(stray)) {
        options.strayBurstAtMs = static_cast<int>(parser.value(stray).toDouble() * 1000);
    }
    if (parser.isSet(errors)) {
        const QStringList parts = parser.value(errors).split(u',');
        options.pitErrors = static_cast<uint8_t>(parts.value(0).toInt(nullptr, 16));
        options.bridgeErrors = static_cast<uint8_t>(parts.value(1).toInt(nullptr, 16));
    }
    const int lineRate = std::max(parser.value(baud).toInt(), 300);
    const bool tracing = parser.isSet(trace);

    Simulator sim(options);
    const QString eepromFile = parser.value(eeprom);
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
    const QString linkPath = parser.value(link);
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

    QSocketNotifier reader(master, QSocketNotifier::Read);
    QObject::connect(&reader, &QSocketNotifier::activated, &app, [&] {
        char buf[256];
        const ssize_t n = ::read(master, buf, sizeof buf);
        if (n > 0) {
            const QByteArray bytes(buf, static_cast<int>(n));
            Trace(tracing, "<-", bytes);
            sim.receive(bytes);
        }
    });

    // Real time, with the output paced at the line rate (10 bits a byte).
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    double budget = 0.0;
    QByteArray outgoing;
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, &app, [&] {
        const qint64 now = clock.elapsed();
        sim.advance(static_cast<int>(now - last));
        budget = std::min(budget + double(now - last) * lineRate / 10000.0, 64.0);
        last = now;
        outgoing += sim.takeOutput();
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
        }
    });
    timer.start();

    const int rc = app.exec();

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
