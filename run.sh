#!/usr/bin/env bash
# Builds Pivota and starts it.
set -euo pipefail
source "$(dirname "$0")/tools/setup.sh"
exec "$BUILD_DIR/src/pivota" "$@"
