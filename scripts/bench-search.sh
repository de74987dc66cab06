#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the search benchmark in Release (build-bench) and runs it:
#   bash scripts/bench-search.sh
# It generates a 1,000,000-line GBK index in a temporary folder and prints each
# figure beside grep's on the same file.
set -euo pipefail
source "$(dirname "$0")/common.sh"
install_missing

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-bench-search"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DJUANZONG_WITH_WINDOW=OFF -DJUANZONG_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target bench_search
"$build/bench/search/bench_search"
