// The receive side: bytes from the line cut into receive ticks; the answers "G"/"H" that the
// stream confirms go into the mirrors, and the housekeeping tick takes the positions of "L".
//
// Input: one flags byte (bit 0: online), then ticks: a length byte (low six bits) and that many
// received bytes.

#include "comm/connection.h"
#include "comm/messages.h"
#include "comm/sharedstate.h"
#include "fuzzcheck.h"

#include <array>

namespace {
std::array<uint8_t, BoardImage::Cells> Values(const BoardImage &image) {
    std::array<uint8_t, BoardImage::Cells> values{};
    for (int i = 0; i < BoardImage::Cells; ++i) {
        values[static_cast<size_t>(i)] = image.value(i);
    }
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzInput in(data, size);
    const Connection connection((in.byte() & 1) != 0 ? Connection::State::Online
                                                     : Connection::State::Offline);
    SharedState state(&connection);
    const int actualBefore = state.ActualPosition;
    const int targetBefore = state.DigitalTarget;
    QByteArray all;

    while (!in.empty()) {
        size_t n = 0;
        const char *bytes = in.take(in.byte() & 0x3F, &n);
        const QByteArray tick(bytes, static_cast<qsizetype>(n));
        all += tick;
        const auto pitBefore = Values(state.pit);
        const auto bridgeBefore = Values(state.bridge);
        const Receiver::Result result = state.Receive(tick);
        FUZZ_CHECK(state.receiver.counter() >= 0 && state.receiver.counter() <= 2);
        if (result.dumped) {
            FUZZ_CHECK(result.dumpLines.size() == InfoTable::Entries - 1);
            FUZZ_CHECK(result.dumpLines.last().endsWith(QLatin1String("ff ff ff")));
        }
        // Nobody asked for a cell: no answer may land, however it looks.
        FUZZ_CHECK(Values(state.pit) == pitBefore);
        FUZZ_CHECK(Values(state.bridge) == bridgeBefore);
        // Every answer believed or refused was one that came.
        FUZZ_CHECK(result.believed.size() + result.discarded.size() <= result.arrived.size() + 1);

        state.TakePositions();
        if (!connection.online()) {
            FUZZ_CHECK(state.ActualPosition == actualBefore);
            FUZZ_CHECK(state.DigitalTarget == targetBefore);
        }
        FUZZ_CHECK(state.ActualPosition >= 0 && state.ActualPosition <= 255);
    }

    // However the stream is cut into ticks, the receiver ends in the same state as with all bytes
    // in one tick.
    Receiver whole;
    whole.Feed(all);
    FUZZ_CHECK(whole.counter() == state.receiver.counter());
    for (int k = 0; k < InfoTable::Entries; ++k) {
        const bool moved = k == InfoTable::PitCell || k == InfoTable::BridgeCell;
        if (!moved) { // the housekeeping tick clears the letter of what it moved
            FUZZ_CHECK(whole.table().letter(k) == state.infoTable().letter(k));
        }
        FUZZ_CHECK(whole.table().data1(k) == state.infoTable().data1(k));
        FUZZ_CHECK(whole.table().data2(k) == state.infoTable().data2(k));
    }
    return 0;
}
