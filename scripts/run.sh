#!/usr/bin/env bash
# Installs what is missing, builds, and opens the viewer on the bundled sample content.
# Without a display it says so and starts the viewer under Xvfb, writing a screenshot.
set -euo pipefail
source "$(dirname "$0")/common.sh"

install_missing
BUILD_TARGET=juanzong build "$JUANZONG_ROOT/build"
webengine_env

exe="$JUANZONG_ROOT/build/src/app/juanzong"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$exe"
fi

shot="$JUANZONG_ROOT/juanzong-screenshot.png"
echo "No display found (DISPLAY is not set): starting the viewer under Xvfb instead."
echo "A screenshot will be written to $shot; stop the viewer with Ctrl+C."
xvfb-run -a -s "-screen 0 1400x900x24" bash -c '
    "$1" &
    pid=$!
    for _ in $(seq 1 60); do
        sleep 1
        if xdotool search --name "卷宗范本" >/dev/null 2>&1; then break; fi
    done
    sleep 3
    import -window root "$2" && echo "Screenshot written: $2"
    wait "$pid"
' _ "$exe" "$shot"
