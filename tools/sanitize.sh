#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ and runs
# the whole test suite under them: a memory error, a leak or undefined behaviour fails its test.
# Extra arguments go to ctest, for example tools/sanitize.sh -R simulator.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${SANITIZE_BUILD_DIR:-"$root/build-asan"}
export PIVOTA_CMAKE_ARGS="-DPIVOTA_SANITIZE=ON"
source "$root/tools/setup.sh"
cd "$BUILD_DIR"
# tst_install packages and installs the program: it checks no memory use of ours and, with the
# sanitizers' large binaries, mostly measures how long stripping and packaging take.
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -E '^tst_install$' "$@"
