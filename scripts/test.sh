#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and runs every test headless; then runs the
# tests that do not start Qt WebEngine once more under AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
source "$(dirname "$0")/common.sh"

install_missing
webengine_env
export QT_QPA_PLATFORM=offscreen

echo "== Build and run all tests"
build "$JUANZONG_ROOT/build" -DJUANZONG_BUILD_BENCH=OFF
(cd "$JUANZONG_ROOT/build" && ctest --output-on-failure -j2)

echo "== Logic tests under AddressSanitizer + UndefinedBehaviorSanitizer"
build "$JUANZONG_ROOT/build-asan" -DJUANZONG_LOGIC_ONLY=ON -DJUANZONG_BUILD_BENCH=OFF \
    -DCMAKE_BUILD_TYPE=Debug \
    "-DCMAKE_CXX_FLAGS=-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
# Leaks are reported by Qt's font and platform plugins, not by our code: only
# memory errors and undefined behaviour fail the run.
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    bash -c "cd '$JUANZONG_ROOT/build-asan' && ctest --output-on-failure -L logic -j2"
