// The settings reader: a settings file of any bytes, loaded into an IniFile and read with
// ReadProgramSettings; then written back and read again.
//
// Input: the file's bytes.

#include "comm/sharedstate.h"
#include "core/settings/inifile.h"
#include "core/settings/settingsfile.h"
#include "fuzzcheck.h"

#include <cmath>

namespace {
bool SameFloat(float a, float b) {
    if (std::isnan(a) || std::isnan(b)) {
        return std::isnan(a) && std::isnan(b);
    }
    return a == b || std::fabs(a - b) <= 1e-6f * std::fmax(std::fabs(a), std::fabs(b));
}

void CheckRanges(const ProgramSettings &s, const SharedState &state) {
    FUZZ_CHECK(s.comPort == 0 || (s.comPort >= 1 && s.comPort <= 9));
    FUZZ_CHECK(s.readSize >= 1 && s.readSize <= ProgramSettings::MaxReadSize);
    FUZZ_CHECK(s.intervalReceive >= 1 && s.intervalReceive <= ProgramSettings::MaxInterval);
    FUZZ_CHECK(s.intervalSenden >= 1 && s.intervalSenden <= ProgramSettings::MaxInterval);
    FUZZ_CHECK(s.baud == 2400 || s.baud == 9600 || s.baud == 19200);
    FUZZ_CHECK(state.PositionCount >= 1 && state.PositionCount <= StationData::MaxPositions);
    FUZZ_CHECK(state.ActualPosition >= 0 && state.ActualPosition <= StationData::MaxPositions);
    FUZZ_CHECK(state.TargetPosition >= 0 && state.TargetPosition <= StationData::MaxPositions);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    IniFile ini;
    ini.loadBytes(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    ProgramSettings s;
    SharedState state;
    ReadProgramSettings(ini, s, state);
    CheckRanges(s, state);

    // What was read survives being written and read again ("Ende", then the next start).
    WriteProgramSettings(ini, s, state);
    IniFile again;
    again.loadBytes(ini.toBytes());
    ProgramSettings s2;
    SharedState state2;
    ReadProgramSettings(again, s2, state2);
    CheckRanges(s2, state2);
    FUZZ_CHECK(s2.comPort == s.comPort || s.comPort == 0);
    FUZZ_CHECK(s2.intervalReceive == s.intervalReceive);
    FUZZ_CHECK(s2.intervalSenden == s.intervalSenden);
    FUZZ_CHECK(s2.checkedLevel == s.checkedLevel);
    FUZZ_CHECK(s2.baud == s.baud);
    FUZZ_CHECK(s2.width == s.width && s2.height == s.height);
    FUZZ_CHECK(s2.top == s.top && s2.left == s.left);
    FUZZ_CHECK(s2.showExternalTarget == s.showExternalTarget);
    FUZZ_CHECK(state2.ActualPosition == state.ActualPosition);
    FUZZ_CHECK(state2.TargetPosition == state.TargetPosition);
    FUZZ_CHECK(state2.PositionCount == state.PositionCount);
    FUZZ_CHECK(SameFloat(state2.station.RSense, state.station.RSense));
    for (int i = 1; i <= StationData::MaxPositions; ++i) {
        const auto k = static_cast<size_t>(i);
        FUZZ_CHECK(state2.station.PositionUsed[k] == state.station.PositionUsed[k]);
        FUZZ_CHECK(state2.station.PositionName[k] == state.station.PositionName[k]);
    }
    FUZZ_CHECK(state2.station.ZeroOffset == state.station.ZeroOffset);
    FUZZ_CHECK(state2.station.ReverseCounting == state.station.ReverseCounting);
    FUZZ_CHECK(state2.station.ShowSwitchLine == state.station.ShowSwitchLine);
    FUZZ_CHECK(state2.station.UseMotorola == state.station.UseMotorola);
    for (int i = 0; i < BoardImage::Cells; ++i) {
        FUZZ_CHECK(state2.pit.value(i) == state.pit.value(i));
        FUZZ_CHECK(state2.bridge.value(i) == state.bridge.value(i));
    }
    return 0;
}
