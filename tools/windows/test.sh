#!/usr/bin/env bash
# Runs the Windows build's tests under Wine (offscreen: the guiless programs and the widget tests),
# then the program itself: pivota --version, a backup of the built-in simulator and the same file
# compared back, through the console program pivota.com of the package (build-win/package/Pivota,
# so that a DLL missing there fails) or of the build. Ends with the line "N passed, M failed".
# Tests that need what only Linux has are not built for Windows; they are named here.
# Run tools/windows/build.sh first. Extra arguments go to ctest (for example -R tst_settings).
set -uo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
OUT=${BUILD_WIN_DIR:-"$ROOT/build-win"}
BUILD="$OUT/build"
QT_PREFIX="$OUT/toolchain/install"
[ -f "$BUILD/build.ninja" ] || { echo "tools/windows/test.sh: no Windows build in $BUILD; run tools/windows/build.sh first" >&2; exit 1; }

step() { echo "==> $*"; }
zpath() { echo "Z:$1" | tr '/' '\\'; }

# A Wine prefix of the tests' own, made once. Wine hands no QT_* variable of this environment to
# the programs, so what Qt needs inside is set in the prefix: test output on standard error
# (standard output is no Wine console under ctest), the fonts of the offscreen platform, and
# Qt's plugins.
export WINEPREFIX="$OUT/wine"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
MINGW_GCC=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
export WINEPATH="$(zpath "$QT_PREFIX/bin");$(zpath "$MINGW_GCC");$(zpath /usr/x86_64-w64-mingw32/lib)"
if [ ! -f "$WINEPREFIX/.pivota-ready" ]; then
    step "Making the Wine prefix $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    start=$SECONDS
    wine wineboot -i >/dev/null 2>&1
    wineserver -w
    for pair in "QT_FORCE_STDERR_LOGGING=1" \
                "QT_QPA_FONTDIR=$(zpath /usr/share/fonts/truetype/dejavu)" \
                "QT_PLUGIN_PATH=$(zpath "$QT_PREFIX/plugins")"; do
        wine reg add 'HKCU\Environment' /v "${pair%%=*}" /d "${pair#*=}" /f >/dev/null 2>&1
    done
    wineserver -w
    touch "$WINEPREFIX/.pivota-ready"
    echo "    $((SECONDS - start)) s"
fi

passed=0
failed=0
failures=()

step "Running the tests under Wine (ctest)"
start=$SECONDS
log="$OUT/ctest.log"
(cd "$BUILD" && ctest --output-on-failure --timeout 300 "$@") 2>&1 | tee "$log" | grep -E '^ *[0-9]+/[0-9]+ Test' || true
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
echo "    $((SECONDS - start)) s"

# ---------------------------------------------------------------- the program itself
if [ -f "$OUT/package/Pivota/pivota.com" ]; then
    PROGRAM_DIR="$OUT/package/Pivota"
    run() { (unset WINEPATH; wine "$PROGRAM_DIR/pivota.com" "$@"); }
else
    PROGRAM_DIR="$BUILD/src"
    run() { wine "$PROGRAM_DIR/pivota.com" "$@"; }
fi
step "The program under Wine: $PROGRAM_DIR/pivota.com"
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
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
version=$(sed -n 's/^project(pivota VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")
out=$(run --version 2>&1 | tr -d '\r')
code=$?
check "pivota --version prints \"pivota $version\"" "$([ "$code" = 0 ] && grep -qx "pivota $version" <<<"$out" && echo 1)"

out=$(run --bogus 2>&1 | tr -d '\r')
code=${PIPESTATUS[0]}
check "pivota --bogus exits with 2 and the usage" "$([ "$code" = 2 ] && grep -q 'backup' <<<"$out" && echo 1)"

start=$SECONDS
# The settings of the run: none of the user's, and a short pace, as on a real line.
backup="$work/sicherung.pvt"
run backup --port simulator --settings "$(zpath "$work/pivota.ini")" "$(zpath "$backup")" \
    >"$work/backup.out" 2>"$work/backup.err"
code=$?
pit=$(sed -n 's/^Zellen_Grube=//p' "$backup" 2>/dev/null | tr -d '\r')
bridge=$(sed -n 's/^Zellen_Buehne=//p' "$backup" 2>/dev/null | tr -d '\r')
check "pivota backup --port simulator: exit 0, 256 + 256 cells confirmed ($((SECONDS - start)) s)" \
    "$([ "$code" = 0 ] && [ "$pit" = 256 ] && [ "$bridge" = 256 ] && echo 1)"
[ "$code" = 0 ] || tail -5 "$work/backup.err" | tr -d '\r' | sed 's/^/      /'

start=$SECONDS
run compare --port simulator --settings "$(zpath "$work/pivota.ini")" "$(zpath "$backup")" \
    >"$work/compare.out" 2>"$work/compare.err"
code=$?
check "pivota compare of that backup: exit 0, the checksum right ($((SECONDS - start)) s)" \
    "$([ "$code" = 0 ] && echo 1)"
[ "$code" = 0 ] || tail -5 "$work/compare.err" | tr -d '\r' | sed 's/^/      /'

# A backup whose checksum does not fit its cells is refused before the port opens.
sed -i 's/^\(CRC32=\).*/\100000000/' "$backup"
run compare --port simulator --settings "$(zpath "$work/pivota.ini")" "$(zpath "$backup")" \
    >/dev/null 2>"$work/crc.err"
code=$?
check "pivota compare of a backup with a wrong checksum: refused with exit 2" \
    "$([ "$code" = 2 ] && echo 1)"

# ---------------------------------------------------------------- summary
if [ -s "$BUILD/linux-only-tests.txt" ]; then
    only=$(grep -c . "$BUILD/linux-only-tests.txt")
    echo "==> Built for Linux only ($only; pseudo-terminals, /proc, /dev, signals, pivota-sim, the Debian package):"
    echo "    $(grep . "$BUILD/linux-only-tests.txt" | tr '\n' ' ')"
fi
if [ ${#failures[@]} -gt 0 ]; then
    echo "==> Failed: ${failures[*]}"
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
