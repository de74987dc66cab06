#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the program on a virtual X display and reads the titles the window
# system shows: the window exactly "卷宗范本 V2.0.0", a message box exactly "提示".
#   windowtitles.sh <juanzong executable>
set -euo pipefail

program=$1
if [ "$(id -u)" -eq 0 ]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi
unset QT_QPA_PLATFORM

if [ -z "${JUANZONG_TITLES_ON_DISPLAY:-}" ]; then
    export JUANZONG_TITLES_ON_DISPLAY=1
    exec xvfb-run -a -s "-screen 0 1280x800x24" bash "$0" "$@"
fi

"$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

# The title as the window manager reads it, from the window's own property.
title_of() {
    xprop -id "$1" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'
}

# The program's visible top-level windows with the titles they show. While
# the web view comes up, short-lived native windows may be listed too, so
# the window is the one with the title, and a vanished one is skipped.
visible() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null || true; }
titled() {
    local w
    for w in $(visible); do
        [ "$(title_of "$w" 2>/dev/null || true)" = "$1" ] && { echo "$w"; return; }
    done
    return 0
}
window=
for _ in $(seq 120); do
    window=$(titled "卷宗范本 V2.0.0")
    [ -n "$window" ] && break
    sleep 0.5
done
if [ -z "$window" ]; then
    echo "no window titled \"卷宗范本 V2.0.0\"; titles shown:"
    for w in $(visible); do echo "  \"$(title_of "$w" || true)\""; done
    exit 1
fi

# Enter in the empty search box asks for a keyword in a message box.
sleep 2
for _ in $(seq 10); do
    xdotool windowfocus --sync "$window" 2>/dev/null && break
    sleep 0.5
done
xdotool key --window "$window" ctrl+l
xdotool key --window "$window" Return
box=
for _ in $(seq 60); do
    box=$(titled "提示")
    [ -n "$box" ] && break
    sleep 0.5
done
if [ -z "$box" ]; then
    echo "no message box titled \"提示\"; titles shown:"
    for w in $(visible); do echo "  \"$(title_of "$w" || true)\""; done
    exit 1
fi
echo "window \"卷宗范本 V2.0.0\", message box \"提示\""
