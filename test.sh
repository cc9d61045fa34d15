#!/usr/bin/env bash
# Builds Pivota and runs every test (offscreen, no display needed). Extra arguments go to ctest.
set -euo pipefail
source "$(dirname "$0")/tools/setup.sh"
cd "$BUILD_DIR"
echo "==> Running the tests (ctest, offscreen)"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure "$@"
