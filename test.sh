#!/usr/bin/env bash
# Builds Pivota and runs every test (offscreen, no display needed), two at a time. Extra arguments
# go to ctest (a later -j overrides the two).
set -euo pipefail
source "$(dirname "$0")/tools/setup.sh"
cd "$BUILD_DIR"
echo "==> Running the tests (ctest -j2, offscreen)"
QT_QPA_PLATFORM=offscreen ctest -j2 --output-on-failure "$@"
