// The send log on the settings tab: what 20,000 logged bytes (its cap) cost in memory, and what
// one transmit tick's line costs with the log shown and hidden. Each append is followed by the
// event processing that a tick gives the window (the repaint of a shown log included).
//
//   pivota-bench-sendlog [lines]        (run offscreen: QT_QPA_PLATFORM=offscreen)
//
// Each case runs in a process of its own, so that memory freed by one is not reused by the next.

#include "gui/settings/sendlogview.h"
#include "gui/settings/tframesettings.h"
#include "gui/window/qtdialogs.h"
#include "gui/window/tfrmmain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <unistd.h>
#include <vector>

namespace {

// Resident memory of this process in KiB.
long ResidentKiB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

struct Figures {
    double meanMs = 0;
    double medianMs = 0;
    double p95Ms = 0;
    long addedKiB = 0;
    double repaintMs = 0; // one repaint of the shown log with a new line in it
};

Figures Run(bool shown, int lines) {
    QTemporaryDir dir;
    QtDialogs dialogs;
    TfrmMain w(dir.filePath(QStringLiteral("pivota.ini")), dialogs);
    w.show();
    if (!QTest::qWaitForWindowExposed(&w)) {
        std::fprintf(stderr, "window not exposed\n");
    }
    auto *pages = w.findChild<QTabWidget *>(QStringLiteral("PageControl1"));
    pages->setCurrentIndex(shown ? 5 : 0);
    QApplication::processEvents();
    QApplication::processEvents();
    const long before = ResidentKiB();
    std::vector<double> ticks;
    ticks.reserve(static_cast<size_t>(lines));
    QElapsedTimer clock;
    for (int i = 0; i < lines; ++i) {
        clock.start();
        w.frameSettings()->AppendSendLog(static_cast<uint8_t>(i * 37));
        QApplication::processEvents();
        ticks.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    Figures f;
    f.addedKiB = ResidentKiB() - before;
    double sum = 0;
    for (double t : ticks) {
        sum += t;
    }
    f.meanMs = sum / static_cast<double>(ticks.size());
    // The last quarter: the log is full there, as it is after a long session.
    std::vector<double> late(ticks.end() - static_cast<long>(ticks.size() / 4), ticks.end());
    std::sort(late.begin(), late.end());
    f.medianMs = late[late.size() / 2];
    f.p95Ms = late[late.size() * 95 / 100];
    if (auto *view = w.findChild<SendLogView *>(QStringLiteral("Memo2")); view && shown) {
        constexpr int Repaints = 200;
        clock.start();
        for (int i = 0; i < Repaints; ++i) {
            w.frameSettings()->AppendSendLog(static_cast<uint8_t>(i));
            view->catchUp();
            view->viewport()->repaint();
        }
        f.repaintMs = static_cast<double>(clock.nsecsElapsed()) / 1e6 / Repaints;
    }
    return f;
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int lines = args.size() > 1 ? std::max(1, args.at(1).toInt()) : 20000;
    if (args.size() > 2) {
        const Figures f = Run(args.at(2) == QLatin1String("shown"), lines);
        std::printf("%-8s %10.4f %12.4f %10.4f %12ld %11.4f\n", qPrintable(args.at(2)), f.meanMs,
                    f.medianMs, f.p95Ms, f.addedKiB, f.repaintMs);
        return 0;
    }
    std::printf("send log, %d lines, one append and its event processing per tick\n", lines);
    std::printf("%-8s %10s %12s %10s %12s %11s\n", "log", "mean ms", "median ms*", "p95 ms*",
                "added KiB", "repaint ms");
    std::fflush(stdout);
    for (const char *mode : {"hidden", "shown"}) {
        QProcess::execute(app.applicationFilePath(),
                          {QString::number(lines), QString::fromLatin1(mode)});
    }
    std::printf("* of the last quarter of the lines; a shown log repaints at most every %d ms\n",
                SendLogView::RepaintMs);
    return 0;
}
