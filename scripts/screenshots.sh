#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the screenshots named in the AppStream metadata from the real program
# under Xvfb: the start page, a keyword search and a template opened from the
# catalogue. Writes data/screenshots/{start,search,template}.png (1280x800).
set -euo pipefail
source "$(dirname "$0")/common.sh"
source "$(dirname "$0")/headless.sh"

install_missing
BUILD_TARGET=juanzong build "$JUANZONG_ROOT/build"
webengine_env
# xdotool types the Chinese keyword only with a UTF-8 locale.
export LC_ALL=C.UTF-8

out="$JUANZONG_ROOT/data/screenshots"
mkdir -p "$out"
HEADLESS_SCREEN=1280x800x24
headless_start "$JUANZONG_ROOT/build/src/app/juanzong" "$JUANZONG_ROOT/build/juanzong-screenshots.log"
window=$(headless_window)
# No window manager: the window fills the screen by being told to.
xdotool windowmove "$window" 0 0 windowsize "$window" 1280 800
sleep "$HEADLESS_RENDER_WAIT"
headless_shot "$out/start.png"

xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
xdotool key --window "$window" ctrl+l
# One character at a time: xdotool maps each onto a spare key code, and a
# burst of them loses all but the first.
for ch in 裁 定 书; do
    xdotool type --window "$window" "$ch"
    sleep 0.3
done
xdotool key --window "$window" Return
sleep "$HEADLESS_RENDER_WAIT"
headless_shot "$out/search.png"

# A procedure in the catalogue, clicked where it lies in the design layout.
xdotool mousemove --window "$window" "${JUANZONG_SHOT_TREE_X:-90}" "${JUANZONG_SHOT_TREE_Y:-200}" click 1
sleep "$HEADLESS_RENDER_WAIT"
headless_shot "$out/template.png"

echo "Screenshots written to $out"
