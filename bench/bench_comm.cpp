// Micro-benchmarks of the framing and the transmit queue: what every byte on the line costs.

#include "comm/receiver.h"
#include "comm/sendqueue.h"

#include <QByteArray>
#include <chrono>
#include <cstdio>

namespace {
// One second of input at 19200 baud (1920 bytes): status, position and measurement messages with
// a re-alignment marker every 100 messages, as a busy pit board sends them.
QByteArray OneSecondOfInput() {
    QByteArray bytes;
    int n = 0;
    while (bytes.size() < 1920) {
        if (n % 100 == 0) {
            bytes += "XYZ";
        }
        const char letters[] = {'F', 'L', 'A', 'G'};
        bytes += letters[n % 4];
        bytes += char(n & 0x7F);
        bytes += char((n * 7) & 0xFF);
        ++n;
    }
    return bytes.left(1920);
}

// Fills the queue to its capacity with cell writes and sends it all, byte by byte.
int FillAndDrain(SendQueue &queue) {
    int sum = 0;
    for (int i = 0; i < 16; ++i) {
        queue.QueueValuePair(0xE0, i * 13, 255 - i);
    }
    while (auto b = queue.TakeNext()) {
        sum += *b;
    }
    return sum;
}

int FeedSecond(Receiver &receiver, const QByteArray &input) {
    // Read in pieces of the default read size, as the receive tick does.
    int dumps = 0;
    for (qsizetype i = 0; i < input.size(); i += 8) {
        dumps += receiver.Feed(input.mid(i, 8)).dumped ? 1 : 0;
    }
    return dumps;
}

int LogLines() {
    int length = 0;
    for (int b = 0; b < 256; ++b) {
        length += static_cast<int>(SendLogLine(static_cast<uint8_t>(b)).size());
    }
    return length;
}
} // namespace

#ifdef PIVOTA_GOOGLE_BENCHMARK
#include <benchmark/benchmark.h>

static void BM_QueueFillAndDrain(benchmark::State &state) {
    SendQueue queue;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FillAndDrain(queue));
    }
    state.SetBytesProcessed(state.iterations() * 48);
}
BENCHMARK(BM_QueueFillAndDrain);

static void BM_ReceiveOneSecondAtLineRate(benchmark::State &state) {
    const QByteArray input = OneSecondOfInput();
    Receiver receiver;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FeedSecond(receiver, input));
    }
    state.SetBytesProcessed(state.iterations() * input.size());
}
BENCHMARK(BM_ReceiveOneSecondAtLineRate);

static void BM_SendLogLine(benchmark::State &state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(LogLines());
    }
    state.SetItemsProcessed(state.iterations() * 256);
}
BENCHMARK(BM_SendLogLine);

BENCHMARK_MAIN();
#else
// Without Google Benchmark: a plain timing loop.
template <typename F> static void Time(const char *name, int iterations, int unitsPer, F f) {
    volatile int sink = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < iterations; ++i) {
        sink = sink + f();
    }
    const double ns =
        std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-32s %12.1f ns/iteration %10.2f ns/unit\n", name, ns / iterations,
                ns / iterations / unitsPer);
}

int main() {
    SendQueue queue;
    Time("QueueFillAndDrain", 200000, 48, [&] { return FillAndDrain(queue); });
    const QByteArray input = OneSecondOfInput();
    Receiver receiver;
    Time("ReceiveOneSecondAtLineRate", 2000, 1920, [&] { return FeedSecond(receiver, input); });
    Time("SendLogLine", 2000, 256, [] { return LogLines(); });
    return 0;
}
#endif
