#!/bin/sh
# Builds the benchmarks and runs them: the micro-benchmark of framing and queue, then Pivota under
# Xvfb against pivota-sim (offline, connected standing and turning), a line-rate burst on a
# pseudo-terminal, and the start-up against an empty Qt window. Not a test: figures depend on the
# machine. DURATION (seconds, default 60) sets the length of the offline and connected runs.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${BUILD_DIR:-$root/build}

command -v Xvfb >/dev/null || { echo "Xvfb is missing: apt-get install -y xvfb" >&2; exit 1; }
cmake -S "$root" -B "$build" -DPIVOTA_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target pivota pivota-bench-window pivota-sim pivota-bench-comm \
    pivota-bench-emptywindow pivota-bench-transfers pivota-bench-sendlog pivota-bench-backup \
    pivota-bench-recording >/dev/null

echo "== transfers against pivota-sim, each against its floor"
"$build/bench/pivota-bench-transfers" "$build/sim/pivota-sim" 20 2 2>/dev/null

echo "== the send log, shown and hidden"
QT_QPA_PLATFORM=offscreen "$build/bench/pivota-bench-sendlog" 2>/dev/null

echo "== backup, compare and restore of both boards against pivota-sim, each against its floor"
"$build/bench/pivota-bench-backup" "$build/sim/pivota-sim" 2>/dev/null

echo "== the diagnosis recording: an hour, then full"
"$build/bench/pivota-bench-recording"

echo "== framing and queue"
"$build/bench/pivota-bench-comm" --benchmark_min_time=0.2 2>/dev/null ||
    "$build/bench/pivota-bench-comm"

display=:${BENCH_DISPLAY:-97}
Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT INT TERM
sleep 1
DISPLAY=$display python3 "$here/measure.py" "$build" "${DURATION:-60}"
