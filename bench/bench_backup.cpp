// Backup, compare and restore of the whole controller against pivota-sim at the default settings,
// the link driven without a window as on the command line, each timed and set against its floor,
// the least time that the line and the boards allow: 2I + max(I, answer) per request, its three
// bytes "Interval_Senden" (I) apart, then the later of one interval and the answer (the board's
// delay), or for a write, the board's time to write the cell before its first read-back's last
// byte. A backup and a compare read every cell twice; a restore of 10 changed cells reads each
// back twice and is timed from the answer to its question to its end (its compare before it is
// timed as a compare). Not a test: run by bench/run.sh, figures depend on the machine.
//
//   pivota-bench-backup PIVOTA_SIM

#include "comm/pacedtransfer.h"
#include "core/backup/backupjob.h"
#include "core/session/session.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {
// pivota-sim's defaults (sim/simulator.h) and the program's (settings file without keys).
// The delay is all an answer costs: pivota-sim paces its output at the line rate with the line
// time it saved while idle (up to 64 bytes' worth), so a short answer after a quiet gap leaves at
// once.
constexpr double PitDelayMs = 5;
constexpr double BridgeDelayMs = 40;
constexpr int IntervalSenden = 20;
constexpr int IntervalReceive = 20;
constexpr int ReadSize = 8;
constexpr int ChangedCells = 10;

// One request: its three bytes, then the later of one interval and what the next request must
// wait for after its last byte.
double Request(double wait) {
    return 2.0 * IntervalSenden + std::max(double(IntervalSenden), wait);
}

double ReadRequest(Board board) {
    return Request(board == Board::Grube ? PitDelayMs : BridgeDelayMs);
}

// One read of every cell of both boards.
double OnePass() {
    return 256 * ReadRequest(Board::Grube) + 256 * ReadRequest(Board::Buehne);
}

// Writes of cells, each read back twice in a row once the board has written it.
double WriteFloor(int pitCells, int bridgeCells) {
    const auto cell = [](Board board) {
        const double settle = double(PacedTransfer::WriteSettleMs(board));
        return Request(settle - 2.0 * IntervalSenden) + 2 * ReadRequest(board);
    };
    return pitCells * cell(Board::Grube) + bridgeCells * cell(Board::Buehne);
}

void Print(const char *name, double ms, double floor, const QString &status) {
    std::printf("%-40s %8.1f s  floor %8.1f s  %5.2fx  %s\n", name, ms / 1000, floor / 1000,
                ms / floor, qPrintable(status));
    std::fflush(stdout);
}

bool WriteSimFile(const QString &path, int changed) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        return false;
    }
    for (char board : {'P', 'B'}) {
        for (int cell = 0; cell < 256; ++cell) {
            int value = (cell * (board == 'P' ? 7 : 13) + 3) & 0xFF;
            // The changed cells: half on each board, none of them a firmware cell.
            if ((board == 'P' && cell >= 100 && cell < 100 + changed / 2) ||
                (board == 'B' && cell >= 40 && cell < 40 + changed - changed / 2)) {
                value ^= 0x55;
            }
            f.write(QStringLiteral("%1 %2 %3\n")
                        .arg(QLatin1Char(board))
                        .arg(cell, 2, 16, QLatin1Char('0'))
                        .arg(value, 2, 16, QLatin1Char('0'))
                        .toLatin1());
        }
    }
    return true;
}

// The session to the simulator and the job, as the command line runs them.
struct BenchRun {
    explicit BenchRun(const QString &device) {
        session.setTiming({IntervalSenden, IntervalReceive, ReadSize});
        QString reason;
        QString configure;
        opened = session.Start({device, 19200, false}, &reason, &configure);
        job.ownerAsk = [this](const QString &) {
            writing.start();
            job.Answer(true);
        };
    }
    double Run(BackupJob::Action action, const QString &file) {
        QEventLoop loop;
        QObject::connect(&job, &BackupJob::finished, &loop, &QEventLoop::quit);
        QElapsedTimer clock;
        clock.start();
        if (job.Start(action, file)) {
            loop.exec();
        }
        return double(clock.elapsed());
    }
    Session session;
    BackupJob job{session.state()};
    QElapsedTimer writing; // from the answer to the restore question
    bool opened = false;
};

bool StartSim(QProcess &sim, const QString &program, const QString &link, const QString &file) {
    sim.start(program, {QStringLiteral("--link"), link, QStringLiteral("--eeprom"), file});
    return sim.waitForStarted() && sim.waitForReadyRead(5000);
}
} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: pivota-bench-backup PIVOTA_SIM\n");
        return 2;
    }
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("turntable"));
    const QString simFile = dir.filePath(QStringLiteral("eeprom.txt"));
    const QString backup = dir.filePath(QStringLiteral("backup.pvt"));
    if (!WriteSimFile(simFile, 0)) {
        return 1;
    }
    {
        QProcess sim;
        if (!StartSim(sim, args.at(1), link, simFile)) {
            std::fprintf(stderr, "pivota-sim did not start\n");
            return 1;
        }
        BenchRun s(link);
        if (!s.opened) {
            std::fprintf(stderr, "no connection\n");
            return 1;
        }
        double ms = s.Run(BackupJob::Action::Backup, backup);
        Print("backup, both boards, every cell twice", ms, 2 * OnePass(), s.job.lines().last());
        ms = s.Run(BackupJob::Action::Compare, backup);
        Print("compare, both boards, all equal", ms, 2 * OnePass(), s.job.lines().last());
        sim.terminate();
        sim.waitForFinished(5000);
    }
    // Ten cells change behind the program's back.
    if (!WriteSimFile(simFile, ChangedCells)) {
        return 1;
    }
    QProcess sim;
    if (!StartSim(sim, args.at(1), link, simFile)) {
        return 1;
    }
    BenchRun s(link);
    const double total = s.Run(BackupJob::Action::Restore, backup);
    const double compare = total - double(s.writing.elapsed());
    Print("restore: its compare, 10 cells differ", compare, 2 * OnePass(), QString());
    Print("restore: 10 cells written and verified", double(s.writing.elapsed()),
          WriteFloor(ChangedCells / 2, ChangedCells - ChangedCells / 2), s.job.lines().last());
    sim.terminate();
    sim.waitForFinished(5000);
    return 0;
}
