#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks, then configures and builds incrementally, saying
# what it does. Sourced by run.sh and test.sh; BUILD_DIR is the build folder.
set -euo pipefail

PIVOTA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-"$PIVOTA_ROOT/build"}
# Build: compiler, CMake, Qt, SimpleIni, Qt's translation tools (lupdate, lrelease). Run: Qt's
# German texts. Tests: desktop-file-validate for the menu entry, dpkg-shlibdeps for the Debian
# package.
PACKAGES=(g++ cmake make qt6-base-dev qt6-serialport-dev libsimpleini-dev
          qt6-tools-dev qt6-l10n-tools qt6-translations-l10n desktop-file-utils dpkg-dev)

step() { echo "==> $*"; }

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -eq 0 ]; then
        step "Installing Debian packages: ${missing[*]}"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq
        apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    else
        echo "Pivota needs these Debian packages. Install them once with:"
        echo "  sudo apt-get install -y ${missing[*]}"
        exit 1
    fi
fi

# PIVOTA_CMAKE_ARGS: further configure options, for example -DPIVOTA_SANITIZE=ON; given, they are
# applied to an existing build folder as well.
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ] || [ -n "${PIVOTA_CMAKE_ARGS:-}" ]; then
    step "Configuring the build in $BUILD_DIR"
    # shellcheck disable=SC2086
    cmake -S "$PIVOTA_ROOT" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${PIVOTA_CMAKE_ARGS:-} >/dev/null
fi

# Prints the build's percentage as it goes: on one line in a terminal, in steps of ten in a log.
show_progress() {
    local last=-1 pct
    while IFS= read -r line; do
        if [[ $line =~ ^\[\ *([0-9]+)%\] ]]; then
            pct=${BASH_REMATCH[1]}
            if [ -t 1 ]; then
                [ "$pct" != "$last" ] && printf '\r    %3d%%' "$pct"
                last=$pct
            elif [ "$pct" -ge $((last + 10)) ] || { [ "$pct" -eq 100 ] && [ "$last" -ne 100 ]; }; then
                echo "    $pct%"
                last=$pct
            fi
        fi
    done
    if [ -t 1 ] && [ "$last" -ge 0 ]; then
        echo
    fi
}

step "Building in $BUILD_DIR (full log: $BUILD_DIR/build.log)"
log="$BUILD_DIR/build.log"
set +e
cmake --build "$BUILD_DIR" -j"$(nproc)" 2>&1 | tee "$log" | show_progress
status=${PIPESTATUS[0]}
set -e
if [ "$status" -ne 0 ]; then
    grep -E -B2 -A8 'error|Error' "$log" | head -60 || true
    echo "Build failed (log: $log)"
    exit 1
fi
