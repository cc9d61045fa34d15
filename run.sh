#!/usr/bin/env bash
# Builds Pivota and starts it in a demo folder (build/demo) whose settings file maps COM5 to the
# built-in controller simulator: press Start and a simulated turntable answers. A settings file of
# your own is never touched.
set -euo pipefail
source "$(dirname "$0")/tools/setup.sh"
demo="$BUILD_DIR/demo"
mkdir -p "$demo"
cp -f "$BUILD_DIR/src/pivota" "$demo/pivota"
if [ ! -f "$demo/pivota.ini" ]; then
    printf '[SETTINGS]\nCOM-Port=5\n\n[Ports]\nCOM5=simulator\n' > "$demo/pivota.ini"
fi
exec "$demo/pivota" "$@"
