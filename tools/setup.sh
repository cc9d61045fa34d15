#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks, then configures and builds incrementally.
# Sourced by run.sh and test.sh; BUILD_DIR is the build folder.
set -euo pipefail

PIVOTA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-"$PIVOTA_ROOT/build"}
PACKAGES=(g++ cmake make qt6-base-dev qt6-serialport-dev libsimpleini-dev)

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing: ${missing[*]}"
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
    # shellcheck disable=SC2086
    cmake -S "$PIVOTA_ROOT" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${PIVOTA_CMAKE_ARGS:-} >/dev/null
fi
log="$BUILD_DIR/build.log"
if ! cmake --build "$BUILD_DIR" -j"$(nproc)" >"$log" 2>&1; then
    cat "$log"
    echo "Build failed (log: $log)"
    exit 1
fi
