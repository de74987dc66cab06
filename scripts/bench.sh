#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds optimised, and runs every benchmark. Each one
# prints its figures beside a baseline measured in the same run.
set -euo pipefail
source "$(dirname "$0")/common.sh"

install_missing
webengine_env
export QT_QPA_PLATFORM=offscreen
dir="$JUANZONG_ROOT/build-bench"
build "$dir" -DCMAKE_BUILD_TYPE=Release -DJUANZONG_BUILD_TESTS=OFF

echo "== Start-up, offscreen"
"$dir/bench/startup/bench_startup" 2>/dev/null
# On an X display a paint counts once the server has it: the runs read their
# window back from the server.
echo "== Start-up on an X display (Xvfb)"
GSETTINGS_BACKEND=memory xvfb-run -a -s "-screen 0 1400x900x24" \
    env QT_QPA_PLATFORM=xcb "$dir/bench/startup/bench_startup" 2>/dev/null
# The same with a screen reader's accessibility bus on an X display: the viewer
# then exposes its pages, the bare view beside it does not.
echo "== Start-up with an assistive technology listening"
GSETTINGS_BACKEND=memory xvfb-run -a -s "-screen 0 1400x900x24" dbus-run-session -- \
    env QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$dir/bench/startup/bench_startup" 2>/dev/null
echo "== Proportional layout"
"$dir/bench/layout/bench_layout" 2>/dev/null
if [ -x "$dir/bench/search/bench_search" ]; then
    echo "== Keyword search"
    "$dir/bench/search/bench_search"
fi
if [ -x "$dir/bench/fulltext/bench_fulltext" ]; then
    echo "== Full-text search"
    "$dir/bench/fulltext/bench_fulltext"
fi
if [ -x "$dir/bench/casefile/bench_casefile" ]; then
    echo "== Filling from a case"
    "$dir/bench/casefile/bench_casefile"
fi
if [ -x "$dir/bench/pagescript/bench_pagescript" ]; then
    echo "== Document commands' page script"
    "$dir/bench/pagescript/bench_pagescript" 2>/dev/null
fi
