#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the program on a virtual X display and reads the titles the window
# system shows: the window exactly "卷宗范本 V2.0.0", a message box exactly "提示".
# The window keeps the native window it was first shown in while the engine and
# its start page arrive: one made again is, to a window manager, a window closed
# and opened (it flickers, is placed anew, loses the focus).
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
# Every native window the titled window has been shown in, in order; watched
# often, as the first lives well under a second when it is made again.
shown_in=()
watch_window() {
    local w
    w=$(titled "卷宗范本 V2.0.0")
    [ -n "$w" ] && [ "$w" != "${shown_in[*]: -1}" ] && shown_in+=("$w")
    return 0
}
for _ in $(seq 600); do
    watch_window
    [ ${#shown_in[@]} -gt 0 ] && break
    kill -0 "$pid" 2>/dev/null || { wait "$pid" && status=0 || status=$?; echo "the program ended ($status) before its window showed"; exit 1; }
    sleep 0.1
done
if [ ${#shown_in[@]} -eq 0 ]; then
    echo "no window titled \"卷宗范本 V2.0.0\"; titles shown:"
    for w in $(visible); do echo "  \"$(title_of "$w" || true)\""; done
    exit 1
fi

# The engine's page processes are forked by its zygotes, the program's
# children: once one runs, the view is in the window and its start page on
# the way. The window is watched until some seconds after that.
page_process() {
    local zygote
    for zygote in $(pgrep -P "$pid"); do
        pgrep -P "$zygote" >/dev/null && return 0
    done
    return 1
}
for _ in $(seq 600); do
    watch_window
    page_process && break
    sleep 0.1
done
if ! page_process; then
    echo "the web engine showed no page"
    exit 1
fi
for _ in $(seq 30); do
    watch_window
    sleep 0.1
done
if [ ${#shown_in[@]} -ne 1 ]; then
    echo "the window was made again as the engine came up: native windows ${shown_in[*]}"
    exit 1
fi
window=${shown_in[0]}

# Enter in the empty search box asks for a keyword in a message box.
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
