#!/usr/bin/env bash
# Runs the Windows build's tests under Wine (offscreen: the guiless programs and the widget tests),
# and the program itself through its console program pivota.com, from the package
# (build-win/package/Pivota, so that a DLL missing there fails) or else from the build: --version,
# a wrong option, a backup of the built-in simulator and the same file compared back, a backup
# over a serial line, COM3, that is the pseudo-terminal of the Linux pivota-sim (build/sim/, or
# PIVOTA_SIM; in CI its absence fails), and a backup and compare through ser2net on loopback in
# front of another pivota-sim. Ends with the line "N passed, M failed".
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
make_prefix() {
    step "Making the Wine prefix $WINEPREFIX"
    wineserver -k >/dev/null 2>&1
    chattr -i "$WINEPREFIX/drive_c/Program Files/Pivota" 2>/dev/null
    rm -rf "$WINEPREFIX"
    local start=$SECONDS
    wine wineboot -i >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.pivota-ready"
    echo "    $((SECONDS - start)) s"
}
# Whether the prefix runs a program at all. One came up broken once ("could not load
# kernel32.dll" for every program, so every test failed for Wine's sake) where a fresh one worked.
prefix_runs() {
    [ "$(wine cmd /c echo pivota-wine-runs 2>/dev/null | tr -d '\r')" = pivota-wine-runs ]
}
if [ ! -f "$WINEPREFIX/.pivota-ready" ]; then
    make_prefix
fi
if ! prefix_runs; then
    echo "    The Wine prefix $WINEPREFIX runs no program; it is made once more."
    make_prefix
    if ! prefix_runs; then
        echo "tools/windows/test.sh: Wine runs no program even in a fresh prefix ($WINEPREFIX)" >&2
        exit 1
    fi
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
# (The installed program's folder is made immutable for a moment below: never left so.)
trap 'rm -rf "$work"; rm -f "$WINEPREFIX/dosdevices/com3"; chattr -i "$WINEPREFIX/drive_c/Program Files/Pivota" 2>/dev/null; wineserver -k >/dev/null 2>&1' EXIT
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
    # Names Windows keeps for its devices, in any folder and with any extension, are refused
    # before the boards are read; a name that ends with a dot is written as Windows stores it.
    local i=0 name
    for name in "${reserved_names[@]}"; do
        start=$SECONDS
        run backup --port simulator --settings "$settings" --lang de "$name" \
            >"$work/reserved$i.out" 2>"$work/reserved$i.err"
        echo "$? $((SECONDS - start))" >"$work/reserved$i.code"
        i=$((i + 1))
    done
    run backup --port simulator --settings "$settings" "$(zpath "$work/dot.pvt.")" \
        >"$work/dot.out" 2>"$work/dot.err"
    echo "$?" >"$work/dot.code"
}
reserved_names=('C:\con.pvt' 'NUL' "$(zpath "$work")\\COM3.pvt")
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

# A serial bridge on the network, without any driver: Debian's ser2net on loopback in front of
# another pivota-sim. A backup through Telnet with RFC 2217, then the same file compared back
# through raw TCP.
SER2NET=/usr/sbin/ser2net
bridge_run() {
    local start=$SECONDS sim_pid bridge_pid port
    "$SIM" --link "$work/bridged" >"$work/bridged-sim.out" 2>/dev/null &
    sim_pid=$!
    for _ in $(seq 100); do
        [ -s "$work/bridged-sim.out" ] && break
        sleep 0.1
    done
    port=$((20000 + RANDOM % 20000))
    cat >"$work/ser2net.yaml" <<EOF_YAML
%YAML 1.1
---
connection: &telnet
  accepter: telnet(rfc2217),tcp(nodelay),127.0.0.1,$port
  connector: serialdev,$work/bridged,19200n81,local
connection: &raw
  accepter: tcp(nodelay),127.0.0.1,$((port + 1))
  connector: serialdev,$work/bridged,19200n81,local
EOF_YAML
    "$SER2NET" -n -d -c "$work/ser2net.yaml" -P "$work/ser2net.pid" >/dev/null 2>&1 &
    bridge_pid=$!
    sleep 1
    run backup --port "rfc2217://127.0.0.1:$port" --settings "$settings" \
        "$(zpath "$work/bridged.pvt")" >"$work/bridged.out" 2>"$work/bridged.err"
    echo "$? $((SECONDS - start))" >"$work/bridged.code"
    start=$SECONDS
    run compare --port "tcp://127.0.0.1:$((port + 1))" --settings "$settings" \
        "$(zpath "$work/bridged.pvt")" >"$work/bridged-compare.out" 2>"$work/bridged-compare.err"
    echo "$? $((SECONDS - start))" >"$work/bridged-compare.code"
    kill "$bridge_pid" "$sim_pid" 2>/dev/null
    wait "$bridge_pid" "$sim_pid" 2>/dev/null
}
bridge_job=
if [ -x "$SIM" ] && [ -x "$SER2NET" ]; then
    bridge_run &
    bridge_job=$!
fi

# The installer, silently: what it installs and registers (in the 64-bit view of the registry),
# the settings file the installed program names, its command prompt, and what the uninstaller
# leaves. Each finding goes to installer.results as "1|0<TAB>what".
VERSION=$(sed -n 's/^project(pivota VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")
SETUP="$OUT/Pivota-$VERSION-setup.exe"
installer_run() {
    local results="$work/installer.results" pf="$WINEPREFIX/drive_c/Program Files/Pivota"
    local menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
    local key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pivota'
    local class='HKLM\Software\Classes\Pivota.Konfiguration'
    local wow='HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\Pivota'
    note() { printf '%s\t%s\n' "$2" "$1" >>"$results"; }
    # 1 when the condition (a command line, evaluated here) holds, else 0.
    yes_if() { if eval "$1"; then echo 1; else echo 0; fi; }
    : >"$results"
    wine "$SETUP" /S >"$work/setup.out" 2>&1
    local code=$? kind
    kind=$(file -b "$SETUP" | cut -d, -f1)
    note "the installer ($kind) installs silently: exit $code" \
        "$(yes_if '[ "$code" = 0 ] && grep -q "PE32+.*x86-64" <<<"$kind"')"
    local missing=()
    for f in pivota.exe pivota.com Qt6Core.dll libstdc++-6.dll platforms/qwindows.dll \
             translations/pivota_en.qm LIESMICH.txt Uninstall.exe manual/de/index.html \
             manual/en/betrieb.png; do
        [ -f "$pf/$f" ] || missing+=("$f")
    done
    note "the files in C:\\Program Files\\Pivota (missing: ${missing[*]:-none})" \
        "$(yes_if '[ ${#missing[@]} = 0 ]')"
    local prompt
    prompt=$(ls "$menu" 2>/dev/null | grep -E '^Pivota(-Eingabeaufforderung| command prompt)\.lnk$')
    local manual
    manual=$(ls "$menu" 2>/dev/null | grep -E '^Pivota (Handbuch|Manual)\.lnk$')
    note "the Start menu's Pivota.lnk, the command prompt's link ($prompt) and the manual's ($manual)" \
        "$(yes_if '[ -f "$menu/Pivota.lnk" ] && [ -n "$prompt" ] && [ -n "$manual" ]')"
    local registered size
    registered=$(wine reg query "$key" /v DisplayVersion /reg:64 2>/dev/null | tr -d '\r')
    size=$(wine reg query "$key" /v EstimatedSize /reg:64 2>/dev/null | tr -d '\r' |
        sed -n 's/.*REG_DWORD\s*0x\([0-9a-fA-F]*\).*/\1/p')
    note "the uninstall entry in the 64-bit registry view, none under Wow6432Node, EstimatedSize $((16#${size:-0})) KB" \
        "$(yes_if 'grep -q "$VERSION" <<<"$registered" && [ "$((16#${size:-0}))" -gt 1000 ] &&
            ! wine reg query "$wow" >/dev/null 2>&1')"
    note ".pvt opens with pivota.exe \"%1\"" \
        "$(yes_if 'wine reg query "$class\\shell\\open\\command" /ve /reg:64 2>/dev/null |
            grep -qF "\\Pivota\\pivota.exe\" \"%1\""')"

    # The settings file: %APPDATA% while the program's folder takes no file, beside the program
    # while it does. Wine as root writes wherever the permission bits say no, so the folder is
    # made immutable there.
    local appdata shown
    appdata=$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
    if chattr +i "$pf" 2>/dev/null || { [ "$(id -u)" != 0 ] && chmod a-w "$pf"; }; then
        if ! touch "$pf/.probe" 2>/dev/null; then
            shown=$(wine 'C:\Program Files\Pivota\pivota.com' --lang de --help 2>&1 | tr -d '\r' |
                sed -n 's/^Einstellungs-Datei: //p')
            note "the installed program, its folder not writable, names %APPDATA%\\Pivota\\pivota.ini ($shown)" \
                "$(yes_if '[ "$shown" = "$appdata\\Pivota\\pivota.ini" ]')"
        else
            rm -f "$pf/.probe"
            echo "SKIP	the settings file of the installed program: its folder cannot be made unwritable here" >>"$results"
        fi
        chattr -i "$pf" 2>/dev/null
        chmod u+w "$pf"
    else
        echo "SKIP	the settings file of the installed program: neither chattr +i nor the permissions keep this user from writing" >>"$results"
    fi
    shown=$(wine 'C:\Program Files\Pivota\pivota.com' --lang de --help 2>&1 | tr -d '\r' |
        sed -n 's/^Einstellungs-Datei: //p')
    note "the program in a folder it may write names pivota.ini beside itself ($shown)" \
        "$(yes_if '[ "$shown" = "C:\\Program Files\\Pivota\\pivota.ini" ]')"

    # The command prompt of the Start menu: in the user's folder, "pivota" at hand.
    local args ran
    args=$(strings -el "$menu/$prompt" 2>/dev/null | tr '\n' ' ')
    ran=$(cd "$work" && wine cmd /c cd /d '%USERPROFILE%' '&' set 'PATH=C:\Program Files\Pivota;%PATH%' \
        '&' pivota --version 2>&1 | tr -d '\r')
    note "the command prompt's link runs pivota --help with the program on PATH; so started, pivota --version says \"$ran\"" \
        "$(yes_if 'grep -qF "PATH=C:\\Program Files\\Pivota;%PATH%" <<<"$args" &&
            grep -qF "pivota --help" <<<"$args" && [ "$ran" = "pivota $VERSION" ]')"

    # A settings file that a Pivota run as administrator left beside itself goes with the rest.
    echo '[SETTINGS]' >"$pf/pivota.ini"
    wine 'C:\Program Files\Pivota\Uninstall.exe' /S >/dev/null 2>&1
    # The uninstaller runs on as a copy of itself; done once the folder is gone.
    local waited=0
    while [ -e "$pf" ] && [ "$waited" -lt 1200 ]; do
        sleep 0.1
        waited=$((waited + 1))
    done
    local left
    left=$(find "$pf" "$menu" -iname '*pivota*' 2>/dev/null | sed "s|$WINEPREFIX/drive_c/|C:/|" | tr '\n' ' ')
    note "uninstalled: nothing left in Program Files or the Start menu (${left:-nothing})" \
        "$(yes_if '[ -z "$left" ]')"
    note "uninstalled: no uninstall entry, no file type" \
        "$(yes_if '! wine reg query "$key" /reg:64 >/dev/null 2>&1 &&
            ! wine reg query "$class" /reg:64 >/dev/null 2>&1 &&
            ! wine reg query "HKLM\\Software\\Classes\\.pvt" /reg:64 >/dev/null 2>&1')"
}
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

# Started once the tests are through: a fourth program starting in Wine at the same moment as the
# others once left one without its internal window (QEventDispatcherWin32), and it waited for
# ever.
installer_job=
if [ -f "$SETUP" ]; then
    installer_run &
    installer_job=$!
fi

step "The program under Wine: $PROGRAM_DIR/pivota.com"
version=$VERSION
run --version >"$work/version.out" 2>&1
code=$?
check "pivota --version prints \"pivota $version\"" \
    "$([ "$code" = 0 ] && tr -d '\r' <"$work/version.out" | grep -qx "pivota $version" && echo 1)"
run --bogus >"$work/bogus.out" 2>"$work/bogus.err"
code=$?
check "pivota --bogus exits with 2, the fault and where the usage is on standard error" \
    "$([ "$code" = 2 ] && [ ! -s "$work/bogus.out" ] && grep -q "bogus" "$work/bogus.err" &&
        grep -q -- 'pivota --help' "$work/bogus.err" && echo 1)"

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

if [ -n "$bridge_job" ]; then
    wait "$bridge_job"
    read -r code took <"$work/bridged.code"
    check "pivota backup --port rfc2217://127.0.0.1:... through ser2net: exit 0, 256 + 256 cells ($took s)" \
        "$([ "$code" = 0 ] && [ "$(cells "$work/bridged.pvt" Zellen_Grube)" = 256 ] &&
            [ "$(cells "$work/bridged.pvt" Zellen_Buehne)" = 256 ] && echo 1)"
    [ "$code" = 0 ] || tail -5 "$work/bridged.err" | tr -d '\r' | sed 's/^/      /'
    read -r code took <"$work/bridged-compare.code"
    check "pivota compare --port tcp://127.0.0.1:... of that backup: exit 0, all equal ($took s)" \
        "$([ "$code" = 0 ] && echo 1)"
    [ "$code" = 0 ] || tail -5 "$work/bridged-compare.err" | tr -d '\r' | sed 's/^/      /'
elif [ -n "${CI:-}" ]; then
    check "pivota backup through ser2net under Wine: no pivota-sim at $SIM or no $SER2NET" 0
else
    echo "    SKIP  pivota backup through ser2net under Wine: no pivota-sim at $SIM or no $SER2NET"
fi

i=0
for name in "${reserved_names[@]}"; do
    read -r code took <"$work/reserved$i.code"
    check "pivota backup $name: refused before the boards are read, exit 2 ($took s)" \
        "$([ "$code" = 2 ] && grep -q 'Nichts wurde gesendet' "$work/reserved$i.err" &&
            ! grep -q 'liest' "$work/reserved$i.err" && echo 1)"
    [ "$code" = 2 ] || tail -3 "$work/reserved$i.err" | tr -d '\r' | sed 's/^/      /'
    i=$((i + 1))
done
check "pivota backup x.pvt.: writes and names $(zpath "$work/dot.pvt") as Windows stores it" \
    "$([ "$(cat "$work/dot.code")" = 0 ] && [ -f "$work/dot.pvt" ] && [ ! -e "$work/dot.pvt." ] &&
        tr -d '\r' <"$work/dot.out" | grep -qF " $(zpath "$work/dot.pvt"): " && echo 1)"
check "messages name files with backslashes (\"Gesichert in $(zpath "$work/sim.pvt"): ...\")" \
    "$(tr -d '\r' <"$work/backup.out" | grep -qF " $(zpath "$work/sim.pvt"): " && echo 1)"

step "The package: stripped, and the console's texts"
debug=()
while IFS= read -r -d '' binary; do
    x86_64-w64-mingw32-objdump -h "$binary" | grep -q ' \.debug_' && debug+=("${binary#"$PROGRAM_DIR"/}")
done < <(find "$PROGRAM_DIR" -maxdepth 2 \( -iname '*.exe' -o -iname '*.com' -o -iname '*.dll' \) -print0)
if [ "$PROGRAM_DIR" = "$OUT/package/Pivota" ]; then
    check "no program or DLL of the package carries debug information (${debug[*]:-none does}; $(du -sm "$PROGRAM_DIR" | cut -f1) MB)" \
        "$([ ${#debug[@]} = 0 ] && echo 1)"
fi
run --help >"$work/help.out" 2>&1
wide=$(cat "$work/help.out" "$work/bogus.err" | tr -d '\r' | awk 'length > 79' | head -3)
check "--help and the usage after an error: no line wider than 79 columns${wide:+ ($wide)}" \
    "$([ -z "$wide" ] && echo 1)"
check "an error and --help name the program \"pivota\", not pivota.com" \
    "$(tr -d '\r' <"$work/bogus.err" | grep -qE '^pivota: .*bogus' &&
        tr -d '\r' <"$work/help.out" | grep -qE '^(Aufruf|Usage): pivota ' && echo 1)"

if [ -n "$installer_job" ]; then
    step "The installer under Wine: $SETUP"
    wait "$installer_job"
    while IFS=$'\t' read -r ok what; do
        if [ "$ok" = SKIP ]; then
            echo "    SKIP  $what"
        else
            check "$what" "$ok"
        fi
    done <"$work/installer.results"
elif [ -n "${CI:-}" ] || [ "$PROGRAM_DIR" = "$OUT/package/Pivota" ]; then
    check "the installer: no $SETUP" 0
else
    echo "    SKIP  the installer: no $SETUP (tools/windows/build.sh without --no-package)"
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
