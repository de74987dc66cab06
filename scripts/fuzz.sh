#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fuzzes for a bounded time (default 60 s) each: index matching and page
# building (search), the content folder's URL mapping and labelling (contenturl):
#   bash scripts/fuzz.sh [seconds] [search|contenturl ...]
# Any input that breaks a check is copied to tests/search/fuzz-regressions/ or
# tests/core/fuzz-regressions/, where tst_searchproperties and tst_contenturl
# replay it from then on.
set -euo pipefail
source "$(dirname "$0")/common.sh"
install_missing clang libclang-rt-14-dev

seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(search contenturl)
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-fuzz"

cmake -S "$root/fuzz" -B "$build" -DCMAKE_CXX_COMPILER="${CXX:-clang++}" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2

failed=0
for target in "${targets[@]}"; do
    case "$target" in
    search) seeds="$root/fuzz/corpus"; regressions="$root/tests/search/fuzz-regressions"; max_len=4096 ;;
    contenturl) seeds="$root/fuzz/corpus-contenturl"; regressions="$root/tests/core/fuzz-regressions"; max_len=70000 ;;
    *) echo "unknown fuzz target $target" >&2; exit 2 ;;
    esac
    # New inputs go to the build folder; the committed seeds are only read.
    mkdir -p "$build/corpus-$target" "$build/artifacts-$target"
    rm -f "$build/artifacts-$target"/*
    status=0
    "$build/fuzz_$target" -max_total_time="$seconds" -max_len="$max_len" -print_final_stats=1 \
        -artifact_prefix="$build/artifacts-$target/" "$build/corpus-$target" "$seeds" || status=$?

    kept=0
    for input in "$build/artifacts-$target"/*; do
        [ -e "$input" ] || continue
        cp "$input" "$regressions/"
        echo "kept $(basename "$input") in ${regressions#"$root"/}/"
        kept=$((kept + 1))
    done
    if [ "$status" -ne 0 ] || [ "$kept" -ne 0 ]; then
        echo "fuzzing $target found $kept failing input(s); exit status $status" >&2
        failed=1
    else
        echo "fuzzing $target for ${seconds} s found nothing"
    fi
done
exit "$failed"
