#!/usr/bin/env bash
# Builds Pivota and runs every test (offscreen, no display needed).
set -euo pipefail
source "$(dirname "$0")/tools/setup.sh"
cd "$BUILD_DIR"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure "$@"
