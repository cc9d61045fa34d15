// The diagnosis recording: what an hour of measurements at the board's rate (one every 200 ms)
// costs in memory, ten minutes at a time, what the recording costs once full (four hours, then a
// fifth: the oldest go), how long one measurement takes to keep, and how long the CSV file of a
// full recording takes to make and how large it is.
//
//   pivota-bench-recording [hours]        (default 1)

#include "core/diagnosis/recording.h"

#include <QElapsedTimer>
#include <QLocale>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

using namespace Diagnosis;

namespace {

// Resident memory of this process in KiB.
long ResidentKiB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

constexpr int PerMinute = 60 * 1000 / Recording::PeriodMs;

Measurement At(int i) {
    Measurement m;
    m.ms = static_cast<uint32_t>(i) * Recording::PeriodMs;
    m.measured = true;
    m.sense = static_cast<uint8_t>(i * 7);
    m.sensor = static_cast<uint8_t>(i * 13);
    m.errorsKnown = true;
    m.errorsPit = 0x04;
    m.driving = (i / 300) % 2 == 1;
    m.left = (i / 600) % 2 == 1;
    m.speed = m.driving ? 40 : 0;
    return m;
}

// Adds minutes of measurements; the mean time of one Add in nanoseconds.
double AddMinutes(Recording &r, int first, int minutes) {
    QElapsedTimer clock;
    clock.start();
    const int count = minutes * PerMinute;
    for (int i = first; i < first + count; ++i) {
        r.Add(At(i));
    }
    return static_cast<double>(clock.nsecsElapsed()) / count;
}

} // namespace

int main(int argc, char **argv) {
    const int hours = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
    Recording r;
    const long start = ResidentKiB();
    std::printf("recording, one measurement every %d ms, %d hour(s)\n", Recording::PeriodMs, hours);
    std::printf("%-10s %12s %12s %14s\n", "minutes", "kept", "added KiB", "ns per Add");
    int added = 0;
    for (int minute = 10; minute <= hours * 60; minute += 10) {
        const double ns = AddMinutes(r, added, 10);
        added += 10 * PerMinute;
        std::printf("%-10d %12lld %12ld %14.1f\n", minute, static_cast<long long>(r.size()),
                    ResidentKiB() - start, ns);
    }

    // Full, then an hour more: the oldest go and memory stays.
    const int toFull = static_cast<int>(r.capacity()) - added;
    AddMinutes(r, added, toFull / PerMinute);
    added += toFull / PerMinute * PerMinute;
    const long full = ResidentKiB();
    const double ns = AddMinutes(r, added, 60);
    std::printf("full (%lld kept): %ld KiB added; an hour more: %ld KiB added, %.1f ns per Add, "
                "%lld dropped\n",
                static_cast<long long>(r.size()), full - start, ResidentKiB() - full, ns,
                static_cast<long long>(r.dropped()));

    // Last: the text's memory, freed, stays with the process and would count above.
    QElapsedTimer clock;
    clock.start();
    const QByteArray csv = CsvBytes(r, 15.0f, QLocale(QLocale::German, QLocale::Germany));
    std::printf("CSV of %lld measurements: %.1f ms, %lld KiB\n", static_cast<long long>(r.size()),
                static_cast<double>(clock.nsecsElapsed()) / 1e6,
                static_cast<long long>(csv.size() / 1024));
    return 0;
}
