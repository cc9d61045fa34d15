#!/usr/bin/env bash
# The pictures of the Windows window's tabs in docs/building.md (docs/windows-*.png): the Windows build's
# window under Wine on a virtual X display (Xvfb), with Qt's windows platform and Windows style, on
# the built-in simulator at the "Debug" level, connected. Run tools/windows/build.sh first.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
OUT=${BUILD_WIN_DIR:-"$ROOT/build-win"}
PROGRAM="$OUT/build/tools/windows/pivota-tabshots.exe"
QT_PREFIX="$OUT/toolchain/install"
[ -f "$PROGRAM" ] || { echo "tools/windows/screenshots.sh: run tools/windows/build.sh first" >&2; exit 1; }
source "$ROOT/tools/windows/wine-env.sh"
[ -d "$WINEPREFIX" ] || { wine wineboot -i >/dev/null 2>&1; wineserver -w; }
# Windows' dialog fonts (Tahoma, "MS Shell Dlg") are not on this machine; Wine would take a serif
# face for them. DejaVu Sans stands in, as on the Linux pictures.
for face in "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2" "Segoe UI"; do
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
        /v "$face" /d "DejaVu Sans" /f >/dev/null 2>&1
done
wineserver -w

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '[SETTINGS]\r\nCOM-Port=5\r\nBenutzer=Debug\r\n\r\n[Ports]\r\nCOM5=simulator\r\n' >"$work/pivota.ini"
mkdir -p "$ROOT/docs"
xvfb-run -a -s "-screen 0 1280x900x24" \
    wine "$PROGRAM" -platform windows "$(zpath "$work/pivota.ini")" "$(zpath "$ROOT/docs")" |
    tr -d '\r'
ls -l "$ROOT"/docs/windows-*.png | awk '{print "    " $5 " bytes  " $9}'
