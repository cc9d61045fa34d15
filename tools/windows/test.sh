#!/usr/bin/env bash
# Runs the Windows build's tests under Wine (offscreen: the guiless programs and the widget tests),
# and the program itself through its console program pivota.com, from the package
# (build-win/package/Pivota, so that a DLL missing there fails) or else from the build: --version,
# a wrong option, a backup of the built-in simulator and the same file compared back, and a backup
# over a serial line, COM3, that is the pseudo-terminal of the Linux pivota-sim (build/sim/, or
# PIVOTA_SIM; in CI its absence fails). Ends with the line "N passed, M failed".
# Tests that need what only Linux has are not built for Windows; they are named here.
# Run tools/windows/build.sh first. Extra arguments go to ctest (for example -R tst_settings).
set -uo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
OUT=${BUILD_WIN_DIR:-"$ROOT/build-win"}
BUILD="$OUT/build"
QT_PREFIX="$OUT/toolchain/install"
[ -f "$BUILD/build.ninja" ] || { echo "tools/windows/test.sh: no Windows build in $BUILD; run tools/windows/build.sh first" >&2; exit 1; }

step() { echo "==> $*"; }

# A Wine prefix of the tests' own, made once. Wine hands no QT_* variable of this environment to
# the programs, so what Qt needs inside is set in the prefix: test output on standard error
# (standard output is no Wine console under ctest), the fonts of the offscreen platform, and
# Qt's plugins. (A pivota.exe run by hand in this prefix starts offscreen: pass -platform windows.)
source "$ROOT/tools/windows/wine-env.sh"
if [ ! -f "$WINEPREFIX/.pivota-ready" ]; then
    step "Making the Wine prefix $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    start=$SECONDS
    wine wineboot -i >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.pivota-ready"
    echo "    $((SECONDS - start)) s"
fi
# The fonts of the offscreen platform: DejaVu Sans alone, the family that the Linux tests measure
# with (a folder of every DejaVu font would give Qt's fallback the wider ones).
mkdir -p "$OUT/fonts"
cp /usr/share/fonts/truetype/dejavu/DejaVuSans{,-Bold,-Oblique,-BoldOblique}.ttf "$OUT/fonts/"
# The tests' offscreen screen (its file without the drive, whose colon would end the option: the
# tests run in the build folder on Z:); a test with screens of its own names them on its command
# line.
for pair in "QT_FORCE_STDERR_LOGGING=1" \
            "QT_QPA_PLATFORM=offscreen:configfile=$ROOT/tests/offscreen-desktop.json" \
            "QT_QPA_FONTDIR=$(zpath "$OUT/fonts")" \
            "QT_PLUGIN_PATH=$(zpath "$QT_PREFIX/plugins")"; do
    wine reg add 'HKCU\Environment' /v "${pair%%=*}" /d "${pair#*=}" /f >/dev/null 2>&1
done
wineserver -w
# One Wine server for the whole run, started and settled before the first test: the first program
# of a fresh server now and then hung at its end (a test that takes a second ran into its time-out).
wineserver -p >/dev/null 2>&1
wine cmd /c exit >/dev/null 2>&1

passed=0
failed=0
failures=()
check() {
    local name=$1 ok=$2
    if [ "$ok" = 1 ]; then
        echo "    PASS  $name"
        passed=$((passed + 1))
    else
        echo "    FAIL  $name"
        failed=$((failed + 1))
        failures+=("$name")
    fi
}
cells() { sed -n "s/^$2=//p" "$1" 2>/dev/null | tr -d '\r'; }

# ---------------------------------------------------------------- the program itself
# Its runs take most of their time waiting for the (simulated) boards' answers, so they go on
# beside the tests.
if [ -f "$OUT/package/Pivota/pivota.com" ]; then
    PROGRAM_DIR="$OUT/package/Pivota"
    run() { (unset WINEPATH; wine "$PROGRAM_DIR/pivota.com" "$@"); }
else
    PROGRAM_DIR="$BUILD/src"
    run() { wine "$PROGRAM_DIR/pivota.com" "$@"; }
fi
work=$(mktemp -d)
trap 'rm -rf "$work"; rm -f "$WINEPREFIX/dosdevices/com3"; wineserver -k >/dev/null 2>&1' EXIT
settings=$(zpath "$work/pivota.ini")

# The built-in simulator: a backup, the same file compared back, and refused once its checksum
# no longer fits.
simulator_runs() {
    local start=$SECONDS
    run backup --port simulator --settings "$settings" "$(zpath "$work/sim.pvt")" \
        >"$work/backup.out" 2>"$work/backup.err"
    echo "$? $((SECONDS - start))" >"$work/backup.code"
    start=$SECONDS
    run compare --port simulator --settings "$settings" "$(zpath "$work/sim.pvt")" \
        >"$work/compare.out" 2>"$work/compare.err"
    echo "$? $((SECONDS - start))" >"$work/compare.code"
    sed 's/^\(CRC32=\).*/\100000000/' "$work/sim.pvt" >"$work/wrong.pvt"
    run compare --port simulator --settings "$settings" "$(zpath "$work/wrong.pvt")" \
        >/dev/null 2>"$work/wrong.err"
    echo "$?" >"$work/wrong.code"
}
simulator_runs &
simulator_job=$!

# A real serial line: Wine's COM3 is the pseudo-terminal of the Linux pivota-sim (Wine opens the
# device that $WINEPREFIX/dosdevices/com3 names). The simulator holds its device side open in raw
# mode, so the line is settled before the program opens it.
SIM=${PIVOTA_SIM:-"$ROOT/build/sim/pivota-sim"}
serial_run() {
    local start=$SECONDS sim_pid
    "$SIM" --link "$work/turntable" >"$work/sim.out" 2>"$work/sim.err" &
    sim_pid=$!
    for _ in $(seq 100); do
        [ -s "$work/sim.out" ] && break
        sleep 0.1
    done
    ln -sfn "$(head -1 "$work/sim.out")" "$WINEPREFIX/dosdevices/com3"
    # Not "com3.pvt": Windows keeps COM1..COM9 as device names, with any extension.
    run backup --port COM3 --settings "$settings" "$(zpath "$work/serial.pvt")" \
        >"$work/com3.out" 2>"$work/com3.err"
    echo "$? $((SECONDS - start))" >"$work/com3.code"
    kill "$sim_pid" 2>/dev/null
    wait "$sim_pid" 2>/dev/null
    rm -f "$WINEPREFIX/dosdevices/com3"
}
serial_job=
if [ -x "$SIM" ]; then
    serial_run &
    serial_job=$!
fi

step "Running the tests under Wine (ctest)"
start=$SECONDS
log="$OUT/ctest.log"
(cd "$BUILD" && ctest --output-on-failure --timeout 300 "$@") >"$log" 2>&1
grep -E '^ *[0-9]+/[0-9]+ Test' "$log"
summary=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
if [ -n "$summary" ]; then
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
    bad=$(sed -E 's/.*, ([0-9]+) tests? failed.*/\1/' <<<"$summary")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
    while read -r name; do failures+=("$name"); done < <(sed -n 's/^\s*[0-9]\+ - \(\S\+\) (.*/\1/p' "$log")
else
    echo "    ctest ran no test (log: $log)"
    failed=$((failed + 1))
    failures+=("ctest")
fi
echo "    $((SECONDS - start)) s (the failures in full: $log)"

step "The program under Wine: $PROGRAM_DIR/pivota.com"
version=$(sed -n 's/^project(pivota VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")
run --version >"$work/version.out" 2>&1
code=$?
check "pivota --version prints \"pivota $version\"" \
    "$([ "$code" = 0 ] && tr -d '\r' <"$work/version.out" | grep -qx "pivota $version" && echo 1)"
run --bogus >"$work/bogus.out" 2>"$work/bogus.err"
code=$?
check "pivota --bogus exits with 2, the usage on standard error" \
    "$([ "$code" = 2 ] && [ ! -s "$work/bogus.out" ] && grep -q -- '--settings' "$work/bogus.err" && echo 1)"

wait "$simulator_job"
read -r code took <"$work/backup.code"
check "pivota backup --port simulator: exit 0, 256 + 256 cells confirmed ($took s)" \
    "$([ "$code" = 0 ] && [ "$(cells "$work/sim.pvt" Zellen_Grube)" = 256 ] &&
        [ "$(cells "$work/sim.pvt" Zellen_Buehne)" = 256 ] && echo 1)"
[ "$code" = 0 ] || tail -5 "$work/backup.err" | tr -d '\r' | sed 's/^/      /'
read -r code took <"$work/compare.code"
check "pivota compare of that backup: exit 0, checksum and cells equal ($took s)" \
    "$([ "$code" = 0 ] && echo 1)"
[ "$code" = 0 ] || tail -5 "$work/compare.err" | tr -d '\r' | sed 's/^/      /'
check "pivota compare of a backup whose checksum does not fit: refused with exit 2" \
    "$([ "$(cat "$work/wrong.code")" = 2 ] && echo 1)"

if [ -n "$serial_job" ]; then
    wait "$serial_job"
    read -r code took <"$work/com3.code"
    check "pivota backup --port COM3 on pivota-sim's pseudo-terminal through Wine: exit 0, 256 + 256 cells ($took s)" \
        "$([ "$code" = 0 ] && [ "$(cells "$work/serial.pvt" Zellen_Grube)" = 256 ] &&
            [ "$(cells "$work/serial.pvt" Zellen_Buehne)" = 256 ] && echo 1)"
    [ "$code" = 0 ] || tail -5 "$work/com3.err" | tr -d '\r' | sed 's/^/      /'
elif [ -n "${CI:-}" ]; then
    check "pivota backup --port COM3 through Wine: no Linux pivota-sim at $SIM" 0
else
    echo "    SKIP  pivota backup --port COM3 through Wine: no Linux pivota-sim at $SIM (cmake --build build --target pivota-sim)"
fi

# ---------------------------------------------------------------- summary
if [ -s "$BUILD/linux-only-tests.txt" ]; then
    only=$(grep -c . "$BUILD/linux-only-tests.txt")
    echo "==> Built for Linux only ($only; pseudo-terminals, /proc, /dev and /sys, signals, pivota-sim, the Debian package):"
    echo "    $(grep . "$BUILD/linux-only-tests.txt" | tr '\n' ' ')"
fi
if [ ${#failures[@]} -gt 0 ]; then
    echo "==> Failed: ${failures[*]}"
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
