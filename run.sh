#!/usr/bin/env bash
# Builds Pivota and starts it on demo settings (build/demo/pivota.ini) that map COM5 to the
# built-in controller simulator and open at the Debug level, so that every tab is shown: press
# Start and a simulated turntable answers. A settings file of your own is never touched.
set -euo pipefail
source "$(dirname "$0")/tools/setup.sh"
demo="$BUILD_DIR/demo"
settings="$demo/pivota.ini"
mkdir -p "$demo"
if [ ! -f "$settings" ]; then
    printf '[SETTINGS]\nCOM-Port=5\nBenutzer=Debug\n\n[Ports]\nCOM5=simulator\n' > "$settings"
elif ! grep -qi '^Benutzer=' "$settings"; then
    # Demo settings of an earlier version: open them at the Debug level as well.
    sed -i 's/^\[SETTINGS\]\r\?$/&\nBenutzer=Debug/I' "$settings"
fi
echo "==> Starting Pivota with the demo settings $settings"
echo "    COM5 is the simulated controller: press \"Start\"."
exec "$BUILD_DIR/src/pivota" --settings "$settings" "$@"
