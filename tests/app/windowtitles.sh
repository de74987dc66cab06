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

# The program's one visible window, or with its message box, two.
visible() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null || true; }
for _ in $(seq 120); do
    window=$(visible | head -n 1)
    [ -n "$window" ] && break
    sleep 0.5
done
title=$(title_of "$window")
if [ "$title" != "卷宗范本 V2.0.0" ]; then
    echo "window title: \"$title\""
    exit 1
fi

# Enter in the empty search box asks for a keyword in a message box.
sleep 2
xdotool windowfocus --sync "$window"
xdotool key --window "$window" ctrl+l
xdotool key --window "$window" Return
box=
for _ in $(seq 60); do
    box=$(visible | grep -vx "$window" | head -n 1 || true)
    [ -n "$box" ] && break
    sleep 0.5
done
[ -n "$box" ] || { echo "no message box appeared"; exit 1; }
title=$(title_of "$box")
if [ "$title" != "提示" ]; then
    echo "message box title: \"$title\""
    exit 1
fi
echo "window \"卷宗范本 V2.0.0\", message box \"提示\""
