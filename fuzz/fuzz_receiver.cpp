// The receive side: bytes from the line cut into receive ticks, each followed by the housekeeping
// tick that moves "G"/"H" into the mirrors and takes the positions of "L".
//
// Input: one flags byte (bit 0: online), then ticks: a length byte (low six bits) and that many
// received bytes.

#include "fuzzcheck.h"
#include "messages.h"
#include "sharedstate.h"

#include <array>

namespace {
std::array<uint8_t, BoardImage::Cells> Values(const BoardImage &image) {
    std::array<uint8_t, BoardImage::Cells> values{};
    for (int i = 0; i < BoardImage::Cells; ++i) {
        values[static_cast<size_t>(i)] = image.value(i);
    }
    return values;
}

// Only the cell a message names may change, and only to the value it carries.
void CheckOnlyNamedCell(const std::array<uint8_t, BoardImage::Cells> &before,
                        const BoardImage &after, bool hadMessage, int cell, int value) {
    for (int i = 0; i < BoardImage::Cells; ++i) {
        const uint8_t old = before[static_cast<size_t>(i)];
        if (hadMessage && i == cell) {
            FUZZ_CHECK(after.value(i) == old || after.value(i) == value);
        } else {
            FUZZ_CHECK(after.value(i) == old);
        }
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzInput in(data, size);
    SharedState state;
    state.Online = in.byte() & 1;
    const int actualBefore = state.ActualPosition;
    const int targetBefore = state.DigitalTarget;
    QByteArray all;

    while (!in.empty()) {
        size_t n = 0;
        const char *bytes = in.take(in.byte() & 0x3F, &n);
        const QByteArray tick(bytes, static_cast<qsizetype>(n));
        all += tick;
        const Receiver::Result result = state.receiver.Feed(tick);
        FUZZ_CHECK(state.receiver.counter() >= 0 && state.receiver.counter() <= 2);
        if (result.dumped) {
            FUZZ_CHECK(result.dumpLines.size() == InfoTable::Entries - 1);
            FUZZ_CHECK(result.dumpLines.last().endsWith(QLatin1String("ff ff ff")));
        }

        const InfoTable &table = state.infoTable();
        const bool hadG = table.letter(InfoTable::PitCell) == Msg::LetterPitCell;
        const bool hadH = table.letter(InfoTable::BridgeCell) == Msg::LetterBridgeCell;
        const int gCell = table.data1(InfoTable::PitCell);
        const int gValue = table.data2(InfoTable::PitCell);
        const int hCell = table.data1(InfoTable::BridgeCell);
        const int hValue = table.data2(InfoTable::BridgeCell);
        const auto pitBefore = Values(state.pit);
        const auto bridgeBefore = Values(state.bridge);
        state.ApplyBoardValues();
        CheckOnlyNamedCell(pitBefore, state.pit, hadG, gCell, gValue);
        CheckOnlyNamedCell(bridgeBefore, state.bridge, hadH, hCell, hValue);
        // A message is moved at most once.
        FUZZ_CHECK(table.letter(InfoTable::PitCell) != Msg::LetterPitCell);
        FUZZ_CHECK(table.letter(InfoTable::BridgeCell) != Msg::LetterBridgeCell);

        state.TakePositions();
        if (!state.Online) {
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
