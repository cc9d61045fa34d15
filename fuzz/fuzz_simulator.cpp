// The controller simulator: options and a session of received bytes, passing time and taken
// output, all from the input.
//
// Input: 16 bytes of options, then operations of one byte each with their arguments: receive up
// to 31 bytes, let up to 5.1 s pass, take the output.

#include "comm/receiver.h"
#include "fuzzcheck.h"
#include "sim/simulator.h"

namespace {
void CheckBridge(const Simulator &sim) {
    const int n = sim.positionCount();
    FUZZ_CHECK(n >= 1 && n <= 48);
    FUZZ_CHECK(sim.position() >= 0 && sim.position() < n);
    if (!sim.endless()) {
        FUZZ_CHECK(sim.target() >= 0 && sim.target() < n);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzInput in(data, size);
    SimOptions o;
    o.seed = in.u32();
    o.dropProbability = in.byte() < 128 ? 0.0 : in.byte() / 255.0;
    o.corruptProbability = in.byte() < 128 ? 0.0 : in.byte() / 255.0;
    const uint8_t flags = in.byte();
    o.silent = flags & 0x01;
    o.blocked = flags & 0x02;
    o.hangUpAfterMs = flags & 0x04 ? int(in.u16()) * 10 : -1;
    o.strayBurstAtMs = flags & 0x08 ? int(in.u16()) * 10 : -1;
    o.strayBurstLength = in.byte() & 0x1F;
    o.pitErrors = in.byte();
    o.bridgeErrors = in.byte();
    o.dipSwitches = in.byte() & 0x1C;
    o.occupancy = static_cast<int8_t>(in.byte());
    const bool clean =
        o.dropProbability == 0.0 && o.corruptProbability == 0.0 && o.strayBurstAtMs < 0;

    Simulator sim(o);
    Receiver pc; // what a program on the line makes of the output
    while (!in.empty()) {
        switch (in.byte() % 3) {
        case 0: {
            size_t n = 0;
            const char *bytes = in.take(in.byte() & 0x1F, &n);
            sim.receive(QByteArray(bytes, static_cast<qsizetype>(n)));
            break;
        }
        case 1:
            sim.advance(in.byte() * 20);
            break;
        default:
            pc.Feed(sim.takeOutput());
            break;
        }
        CheckBridge(sim);
    }
    pc.Feed(sim.takeOutput());
    if (clean) {
        // A clean line carries only whole messages of known letters besides the marker.
        const uint8_t other = pc.table().letter(InfoTable::Other);
        FUZZ_CHECK(other == 0xFF || other == 'X');
        if (pc.table().letter(InfoTable::Positions) == 'L') {
            FUZZ_CHECK(pc.table().data2(InfoTable::Positions) < 48);
        }
    }

    // Left alone, a bridge turning towards a target gets there: at most one round of 48
    // positions, each at most 30 s (speed 1).
    if (sim.turning() && !sim.endless() && !sim.hungUp()) {
        sim.options().silent = true; // nobody listens; keeps the run short
        for (int i = 0; i <= 48 && sim.turning() && !sim.hungUp(); ++i) {
            sim.advance(30000);
            CheckBridge(sim);
        }
        FUZZ_CHECK(!sim.turning() || sim.hungUp());
    }
    return 0;
}
