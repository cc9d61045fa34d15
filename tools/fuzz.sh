#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for SECONDS (default 60).
#   tools/fuzz.sh [SECONDS] [TARGET...]      targets: fuzz_receiver fuzz_hexbyte fuzz_settings
#                                                     fuzz_simulator (default: all)
# Each target starts from its seed corpus in fuzz/corpus/<target> (left untouched); what it finds
# new is kept in build-fuzz/corpus/<target> for the next run. An input that crashes a target or
# breaks one of its checks is saved in build-fuzz/artifacts/ and the script ends with exit code 1;
# rerun one with: build-fuzz/fuzz/<target> build-fuzz/artifacts/<file>
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-"$root/build-fuzz"}
seconds=${1:-60}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(fuzz_receiver fuzz_hexbyte fuzz_settings fuzz_simulator)
fi
cxx=${FUZZ_CXX:-clang++}
if ! command -v "$cxx" >/dev/null; then
    echo "The fuzz targets need clang++ with libFuzzer (Debian: apt-get install clang)." >&2
    exit 1
fi

cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPIVOTA_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
if ! cmake --build "$build" -j"$(nproc)" --target "${targets[@]}" >"$build/fuzz-build.log" 2>&1; then
    cat "$build/fuzz-build.log"
    exit 1
fi

mkdir -p "$build/artifacts"
failed=()
for t in "${targets[@]}"; do
    mkdir -p "$build/corpus/$t"
    echo "== $t: ${seconds} s"
    # A smaller quarantine keeps the settings target, which allocates a lot, fast and small.
    if ! ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:quarantine_size_mb=16} \
        UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
        "$build/fuzz/$t" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/$t-" "$build/corpus/$t" "$root/fuzz/corpus/$t" \
        2>"$build/$t.log"; then
        failed+=("$t")
        tail -n 40 "$build/$t.log"
    fi
    grep -E '^stat::(number_of_executed_units|peak_rss_mb)|^Done' "$build/$t.log" || true
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "Findings in: ${failed[*]} (inputs in $build/artifacts, logs in $build/<target>.log)"
    exit 1
fi
echo "No findings."
