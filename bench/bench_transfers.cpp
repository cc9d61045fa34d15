// The tabs' transfers against pivota-sim, each timed from the click to its end and set against its
// floor, the least time that the line and the boards allow: a request's three bytes go
// "Interval_Senden" (I) apart, and the next request's first byte comes no sooner than one interval
// after its last one and, for a read, no sooner than the answer is in (the board's delay); for a
// write, its first read-back's last byte no sooner than the board has written the cell (every
// written cell is read back twice). That is 2I + max(I, answer) per request. Each run is reported
// as measured over floor: at 1.00x a transfer loses nothing to its own pacing. Not a test: run by
// bench/run.sh, figures depend on the machine.
//
//   pivota-bench-transfers PIVOTA_SIM [INTERVAL_SENDEN...]      (default: 20 2)

#include "comm/addresscodes.h"
#include "comm/pacedtransfer.h"
#include "core/parameter/parametercatalogue.h"
#include "gui/definition/tframedefinition.h"
#include "gui/eeprom/tframeeeprom.h"
#include "gui/parameter/tframeparameter.h"
#include "gui/window/qtdialogs.h"
#include "gui/window/tfrmmain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {
// pivota-sim's defaults (sim/simulator.h, sim/simcommandline.h).
// The delay is all an answer costs: pivota-sim paces its output at the line rate with the line
// time it saved while idle (up to 64 bytes' worth), so a short answer after a quiet gap leaves at
// once.
constexpr double PitDelayMs = 5;
constexpr double BridgeDelayMs = 40;

bool RunUntil(const std::function<bool()> &done, int timeoutMs) {
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done()) {
            loop.quit();
        }
    });
    check.start(1);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

// One request: its three bytes, then the later of one interval and what the next request must
// wait for after its last byte.
double Request(double interval, double wait) {
    return 2 * interval + std::max(interval, wait);
}

double ReadRequest(Board board, int interval) {
    return Request(interval, (board == Board::Grube ? PitDelayMs : BridgeDelayMs));
}

// A read of cells twice each.
double ReadFloor(int pitCells, int bridgeCells, int interval) {
    return 2 * (pitCells * ReadRequest(Board::Grube, interval) +
                bridgeCells * ReadRequest(Board::Buehne, interval));
}

// A write of cells, each read back twice in a row: the first read-back's last byte comes no sooner
// than the board has written the cell (for a bridge cell, relayed it first).
double WriteFloor(int pitCells, int bridgeCells, int interval) {
    const auto cell = [interval](Board board) {
        const double settle = double(PacedTransfer::WriteSettleMs(board));
        return Request(interval, settle - 2 * interval) + 2 * ReadRequest(board, interval);
    };
    return pitCells * cell(Board::Grube) + bridgeCells * cell(Board::Buehne);
}

struct Result {
    QString name;
    double ms;
    double floor;
    QString status;
};

void Print(const Result &r, int interval) {
    std::printf("%-36s Interval_Senden=%-3d %8.1f s  floor %8.1f s  %5.2fx  %s\n",
                qPrintable(r.name), interval, r.ms / 1000, r.floor / 1000, r.ms / r.floor,
                qPrintable(r.status));
    std::fflush(stdout);
}
} // namespace

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: pivota-bench-transfers PIVOTA_SIM [INTERVAL_SENDEN...]\n");
        return 2;
    }
    QList<int> intervals;
    for (int i = 2; i < args.size(); ++i) {
        intervals << args.at(i).toInt();
    }
    if (intervals.isEmpty()) {
        intervals = {20, 2};
    }

    // Cells of the parameter transfer by board.
    int paramPit = 0;
    int paramBridge = 0;
    for (int entry = 0; entry < Parameter::EntryCount; ++entry) {
        (Parameter::IsPit(Parameter::EntryCell(entry)) ? paramPit : paramBridge)++;
    }
    int paramWritePit = 0;
    int paramWriteBridge = 0;

    for (int interval : intervals) {
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("turntable"));
        QProcess sim;
        sim.start(args.at(1), {QStringLiteral("--link"), link});
        if (!sim.waitForStarted() || !sim.waitForReadyRead(5000)) {
            std::fprintf(stderr, "pivota-sim did not start\n");
            return 1;
        }
        QFile ini(dir.filePath(QStringLiteral("pivota.ini")));
        ini.open(QIODevice::WriteOnly);
        ini.write(QStringLiteral("[SETTINGS]\nCOM-Port=3\nBenutzer=Debug\nInterval_Senden=%1\n"
                                 "[Ports]\nCOM3=%2\n")
                      .arg(interval)
                      .arg(link)
                      .toUtf8());
        ini.close();
        QtDialogs dialogs;
        TfrmMain w(dir.filePath(QStringLiteral("pivota.ini")), dialogs);
        w.btnStartClick();
        if (!w.state().connection().online()) {
            std::fprintf(stderr, "no connection\n");
            return 1;
        }
        const auto time = [&](const QString &name, const std::function<void()> &start,
                              const std::function<bool()> &running, double floor) {
            RunUntil([] { return false; }, 300); // the line settles
            QElapsedTimer clock;
            clock.start();
            start();
            RunUntil([&] { return !running(); }, 600000);
            const double ms = double(clock.elapsed());
            RunUntil([] { return false; }, 300); // the report line comes with the next tick
            Print({name, ms, floor, w.statusText()}, interval);
        };

        TFrameEEprom *eeprom = w.frameEEprom();
        time(
            QStringLiteral("EEPROM, pit board, 256 cells"),
            [&] { eeprom->btn_get_all_EEDataClick(); },
            [&] { return eeprom->sweeps().pit.running(); }, ReadFloor(256, 0, interval));
        time(
            QStringLiteral("EEPROM, bridge board, 256 cells"),
            [&] { eeprom->btn_get_all_EEData_BuhneClick(); },
            [&] { return eeprom->sweeps().bridge.running(); }, ReadFloor(0, 256, interval));

        TFrameParameter *parameter = w.frameParameter();
        time(
            QStringLiteral("parameters, read"), [&] { parameter->btn_read_valuesClick(); },
            [&] { return parameter->transfer().Running(); },
            ReadFloor(paramPit, paramBridge, interval));
        parameter->btn_alle_gelbClick();
        paramWritePit = paramWriteBridge = 0;
        for (int entry = 0; entry < Parameter::EntryCount; ++entry) {
            if (parameter->model().EntryChanged(entry)) {
                (Parameter::IsPit(Parameter::EntryCell(entry)) ? paramWritePit
                                                               : paramWriteBridge)++;
            }
        }
        time(
            QStringLiteral("parameters, write and verify"),
            [&] { parameter->btn_write_valuesClick(); },
            [&] { return parameter->transfer().Running(); },
            WriteFloor(paramWritePit, paramWriteBridge, interval));

        TFrameDefinition *definition = w.frameDefinition();
        time(
            QStringLiteral("addresses, read"), [&] { definition->btn_read_adrClick(); },
            [&] { return definition->rows().Running(); },
            ReadFloor(AddressRows::Rows * AddressRows::ReadCellsPerRow, 0, interval));
        definition->rows().ApplyPreset(5); // every row changed
        definition->rows().ApplyPreset(0);
        for (int k = 0; k < AddressRows::Rows; ++k) {
            definition->rows().RowState[size_t(k)] = AddressRows::Changed;
        }
        const int cellsPerRow = w.state().station.UseMotorola ? 7 : 4;
        time(
            QStringLiteral("addresses, write and verify"),
            [&] { definition->btn_write_adrClick(); }, [&] { return definition->rows().Running(); },
            WriteFloor(AddressRows::Rows * cellsPerRow, 0, interval));

        w.btnStopClick();
        w.Timer_ReceiveTimer();
        sim.terminate();
        sim.waitForFinished(5000);
    }
    return 0;
}
