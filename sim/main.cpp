// pivota-sim: a simulated turntable controller on a pseudo-terminal.

#include "sim/linepump.h"
#include "sim/simcommandline.h"
#include "sim/simulator.h"

#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>

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

    LinePump pump(sim, line.master, args.settings.lineRate, tracing);
    pump.hungUp = [&app] {
        std::fprintf(stderr, "pivota-sim: hanging up\n");
        app.quit();
    };
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
