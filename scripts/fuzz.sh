#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fuzzes index matching and page building for a bounded time (default 60 s):
#   bash scripts/fuzz.sh [seconds]
# Any input that breaks a check is copied to tests/search/fuzz-regressions/,
# where tst_searchproperties replays it from then on.
set -euo pipefail
source "$(dirname "$0")/common.sh"
install_missing clang libclang-rt-14-dev

seconds="${1:-60}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-fuzz"
regressions="$root/tests/search/fuzz-regressions"

cmake -S "$root/fuzz" -B "$build" -DCMAKE_CXX_COMPILER="${CXX:-clang++}" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2

# New inputs go to the build folder; the committed seeds are only read.
mkdir -p "$build/corpus" "$build/artifacts"
rm -f "$build/artifacts"/*
status=0
"$build/fuzz_search" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/" "$build/corpus" "$root/fuzz/corpus" || status=$?

kept=0
for input in "$build/artifacts"/*; do
    [ -e "$input" ] || continue
    cp "$input" "$regressions/"
    echo "kept $(basename "$input") in tests/search/fuzz-regressions/"
    kept=$((kept + 1))
done
if [ "$status" -ne 0 ] || [ "$kept" -ne 0 ]; then
    echo "fuzzing found $kept failing input(s); exit status $status" >&2
    exit 1
fi
echo "fuzzing for ${seconds} s found nothing"
