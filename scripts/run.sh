#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and opens the viewer on the bundled sample content.
# Without a display it starts the viewer under Xvfb, writes a screenshot of the
# start page and ends both; JUANZONG_KEEP=1 leaves them running.
set -euo pipefail
source "$(dirname "$0")/common.sh"
source "$(dirname "$0")/headless.sh"

install_missing
BUILD_TARGET=juanzong build "$JUANZONG_ROOT/build"
webengine_env

exe="$JUANZONG_ROOT/build/src/app/juanzong"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$exe"
fi

shot="$JUANZONG_ROOT/juanzong-screenshot.png"
log="$JUANZONG_ROOT/build/juanzong-xvfb.log"
echo "No display found (DISPLAY is not set): starting the viewer under Xvfb instead."
if ! headless_start "$exe" "$log"; then
    echo "The viewer's messages are in $log" >&2
    exit 1
fi
headless_shot "$shot"
echo "Screenshot of the start page written: $shot"

if [ "${JUANZONG_KEEP:-0}" = 1 ]; then
    echo "The viewer (pid $headless_viewer_pid) keeps running on Xvfb display $DISPLAY (pid $headless_xvfb_pid)."
    echo "Look at it with: DISPLAY=$DISPLAY import -window root shot.png"
    echo "Stop both with:  kill $headless_viewer_pid; sleep 1; kill $headless_xvfb_pid"
    headless_detach
else
    echo "Ending the viewer and Xvfb (set JUANZONG_KEEP=1 to keep them running)."
fi
