#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/, replays each target's seed corpus and
# then fuzzes each target for SECONDS (default 60; 0 replays only), one after the other: with all
# eleven targets the fuzzing takes eleven times SECONDS (CI gives each 30 s).
#   tools/fuzz.sh [SECONDS] [TARGET...]      targets (default: all):
#     fuzz_receiver fuzz_hexbyte fuzz_settings fuzz_simulator fuzz_backupfile fuzz_configfile
#     fuzz_portmap fuzz_commandline fuzz_backupcommand fuzz_simcommandline fuzz_eeprom
# Replay runs every input of fuzz/corpus/<target> once: the inputs of earlier findings stay fixed.
# Fuzzing starts from that corpus (left untouched); what it finds new is kept in
# build-fuzz/corpus/<target> for the next run. An input that crashes a target, breaks one of its
# checks or takes longer than FUZZ_TIMEOUT seconds (default 20) is saved in build-fuzz/artifacts/,
# printed in base64 (CI keeps no files), and the script ends with exit code 1; rerun one with:
#   build-fuzz/fuzz/<target> build-fuzz/artifacts/<file>
# Once fixed, the input goes into fuzz/corpus/<target>, so that every later replay runs it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-"$root/build-fuzz"}
seconds=${1:-60}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(fuzz_receiver fuzz_hexbyte fuzz_settings fuzz_simulator fuzz_backupfile
        fuzz_configfile fuzz_portmap fuzz_commandline fuzz_backupcommand fuzz_simcommandline
        fuzz_eeprom)
fi
timeout=${FUZZ_TIMEOUT:-20}
if ! [[ $seconds =~ ^[0-9]+$ ]]; then
    echo "usage: tools/fuzz.sh [SECONDS] [TARGET...]" >&2
    exit 2
fi
cxx=${FUZZ_CXX:-clang++}
if ! command -v "$cxx" >/dev/null; then
    echo "The fuzz targets need clang++ with libFuzzer (Debian: apt-get install clang libclang-rt-dev)." >&2
    exit 1
fi

echo "==> Building the fuzz targets in $build (clang, AddressSanitizer, UndefinedBehaviorSanitizer)"
mkdir -p "$build"
if ! cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPIVOTA_FUZZ=ON -DBUILD_TESTING=OFF >"$build/fuzz-configure.log" 2>&1 ||
    ! grep -q 'libFuzzer: fuzz targets are built' "$build/fuzz-configure.log"; then
    cat "$build/fuzz-configure.log"
    echo "$cxx cannot build libFuzzer targets (Debian: apt-get install libclang-rt-dev)." >&2
    exit 1
fi
if ! cmake --build "$build" -j"$(nproc)" --target "${targets[@]}" >"$build/fuzz-build.log" 2>&1; then
    tail -n 60 "$build/fuzz-build.log"
    exit 1
fi

# A smaller quarantine keeps the settings target, which allocates a lot, fast and small.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:quarantine_size_mb=16}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

mkdir -p "$build/artifacts"
failed=()
# Shows what went wrong and the inputs that did it.
report() {
    local t=$1 log=$2 a
    failed+=("$t")
    # In a replay, the input is the one libFuzzer ran last.
    grep '^Running: ' "$log" | tail -n 1 || true
    grep -E -A30 '^==[0-9]+==ERROR|runtime error|check failed|ALARM|Test unit written' "$log" |
        head -n 60 || tail -n 40 "$log"
    for a in "$build/artifacts/$t-"*; do
        [ -f "$a" ] || continue
        echo "   input $(basename "$a") ($(stat -c %s "$a") bytes), base64:"
        base64 -w 100 "$a" | head -c 20000 | sed 's/^/     /'
        echo
    done
}

for t in "${targets[@]}"; do
    bin="$build/fuzz/$t"
    seeds="$root/fuzz/corpus/$t"
    rm -f "$build/artifacts/$t-"*
    mapfile -t inputs < <(find "$seeds" -maxdepth 1 -type f 2>/dev/null | sort)
    echo "== $t: replaying ${#inputs[@]} inputs of fuzz/corpus/$t"
    if [ ${#inputs[@]} -gt 0 ] &&
        ! "$bin" -timeout="$timeout" -artifact_prefix="$build/artifacts/$t-" "${inputs[@]}" \
            >"$build/$t-replay.log" 2>&1; then
        report "$t" "$build/$t-replay.log"
        continue
    fi
    [ "$seconds" -gt 0 ] || continue

    mkdir -p "$build/corpus/$t"
    # Words of the input's format, where a target has them (fuzz/<target>.dict), go into inputs
    # that the mutations alone would take long to find.
    dict=()
    if [ -f "$root/fuzz/$t.dict" ]; then
        dict=(-dict="$root/fuzz/$t.dict")
    fi
    echo "== $t: fuzzing for ${seconds} s"
    if ! "$bin" -max_total_time="$seconds" -timeout="$timeout" -print_final_stats=1 "${dict[@]}" \
        -artifact_prefix="$build/artifacts/$t-" "$build/corpus/$t" "$seeds" \
        >"$build/$t.log" 2>&1; then
        report "$t" "$build/$t.log"
        continue
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/$t.log")
    rss=$(sed -n 's/^stat::peak_rss_mb: *//p' "$build/$t.log")
    echo "   ${runs:-?} inputs, $((${runs:-0} / seconds)) per second, peak ${rss:-?} MB"
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "Findings in: ${failed[*]} (inputs in $build/artifacts, logs in $build/<target>.log)"
    exit 1
fi
echo "No findings."
