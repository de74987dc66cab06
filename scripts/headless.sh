# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the viewer on a virtual display and photographs it. Sourced, not run.
#
#     headless_start EXE [LOG]   Xvfb on a free display, then the viewer; waits for its window
#     headless_shot FILE         writes a screenshot of the whole screen
#     headless_stop              ends the viewer, then Xvfb (also on Ctrl+C or any exit)
#
# Both run in sessions of their own, so Ctrl+C reaches only the script, whose
# trap ends the viewer before its display: a viewer that loses its X server
# first complains that "the X11 connection broke".

HEADLESS_SCREEN=${HEADLESS_SCREEN:-1400x900x24}
# Seconds for the web view to paint once the window is mapped; WebEngine on a
# software-rendered display takes a moment after the window itself.
HEADLESS_RENDER_WAIT=${HEADLESS_RENDER_WAIT:-4}
headless_xvfb_pid=
headless_viewer_pid=
headless_dir=

headless_stop() {
    if [ -n "$headless_viewer_pid" ]; then
        kill "$headless_viewer_pid" 2>/dev/null || true
        wait "$headless_viewer_pid" 2>/dev/null || true
        headless_viewer_pid=
    fi
    if [ -n "$headless_xvfb_pid" ]; then
        kill "$headless_xvfb_pid" 2>/dev/null || true
        wait "$headless_xvfb_pid" 2>/dev/null || true
        headless_xvfb_pid=
    fi
    if [ -n "$headless_dir" ]; then
        rm -rf "$headless_dir"
        headless_dir=
    fi
}

# Leaves both running after the script ends; the caller says how to stop them.
headless_detach() {
    headless_viewer_pid=
    headless_xvfb_pid=
}

headless_start() {
    local exe=$1 log=${2:-/dev/null}
    headless_dir=$(mktemp -d)
    trap 'headless_stop' EXIT
    trap 'echo; echo "Interrupted: ending the viewer and Xvfb."; headless_stop; exit 130' INT TERM

    # -displayfd picks a free display and writes its number once the server accepts clients.
    setsid Xvfb -displayfd 3 -screen 0 "$HEADLESS_SCREEN" -nolisten tcp 3>"$headless_dir/display" \
        >"$headless_dir/xvfb.log" 2>&1 &
    headless_xvfb_pid=$!
    local _
    for _ in $(seq 1 100); do
        [ -s "$headless_dir/display" ] && break
        kill -0 "$headless_xvfb_pid" 2>/dev/null || { cat "$headless_dir/xvfb.log" >&2; return 1; }
        sleep 0.1
    done
    [ -s "$headless_dir/display" ] || { echo "Xvfb did not start" >&2; return 1; }
    DISPLAY=":$(head -n 1 "$headless_dir/display")"
    export DISPLAY

    setsid "$exe" >"$log" 2>&1 &
    headless_viewer_pid=$!
    # The class name, not the Chinese title: without a UTF-8 locale xdotool
    # cannot match the title.
    for _ in $(seq 1 120); do
        if xdotool search --onlyvisible --class '^juanzong$' >/dev/null 2>&1; then
            sleep "$HEADLESS_RENDER_WAIT"
            return 0
        fi
        kill -0 "$headless_viewer_pid" 2>/dev/null || { echo "The viewer ended before showing its window." >&2; return 1; }
        sleep 0.5
    done
    echo "The viewer's window did not appear within 60 s." >&2
    return 1
}

headless_shot() {
    import -window root "$1"
}

# The viewer's window id, for xdotool.
headless_window() {
    xdotool search --onlyvisible --class '^juanzong$' | head -n 1
}
