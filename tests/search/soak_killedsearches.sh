#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Kills searches at random moments and checks what each leaves on disk:
#   soak_killedsearches.sh <searchdriver> [searches]
# After every kill, search.txt and search.html each hold the page they held
# before or the new one, complete; a temporary file left behind is gone after
# the next search.
set -euo pipefail

driver=$1
searches=${2:-100}
lines=100000

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
ws="$dir/ws"
mkdir -p "$ws" "$dir/pages"
: >"$ws/searchmoban.txt"
# Every line matches "html"; a tenth and a hundredth of them the other two, so
# that each keyword makes its own page and the largest takes a while to write.
awk -v n="$lines" 'BEGIN { for (i = 0; i < n; ++i)
    printf "juanzongfanben-%d.html#ws%d\">Model document %d for the record\r\n", i % 102, i % 100, i }' \
    >"$ws/alllist.txt"
keywords=(html "ws7\"" "ws42\"")

now_ms() { date +%s%3N; }

# Each keyword's complete page, and how long a search for it takes, from a
# search left to finish.
took=()
for k in "${!keywords[@]}"; do
    "$driver" "$ws" "${keywords[$k]}" # the first one reads the index into the cache
    took[$k]=1000000
    for _ in 1 2; do
        start=$(now_ms)
        "$driver" "$ws" "${keywords[$k]}"
        elapsed=$(($(now_ms) - start))
        [ "$elapsed" -lt "${took[$k]}" ] && took[$k]=$elapsed
    done
    cp "$ws/search.html" "$dir/pages/$k"
    cmp -s "$ws/search.txt" "$dir/pages/$k" || { echo "search.txt and search.html differ after a whole search"; exit 1; }
done
echo "index $(wc -c <"$ws/alllist.txt") bytes; whole searches took ${took[*]} ms"

# Which keyword's page a file holds: its index, or "partial".
page_of() {
    for k in "${!keywords[@]}"; do
        if cmp -s "$1" "$dir/pages/$k"; then echo "$k"; return; fi
    done
    echo partial
}

leftovers() { find "$ws" -maxdepth 1 -name '*.new-*' | wc -l; }

held_txt=$(page_of "$ws/search.txt")
held_html=$(page_of "$ws/search.html")
cut_short=0
debris=0
for ((round = 1; round <= searches; ++round)); do
    k=$((round % ${#keywords[@]}))
    # Anywhere from the start to a little past the end of a whole search.
    delay=$((RANDOM % (took[k] * 11 / 10 + 1)))
    "$driver" "$ws" "${keywords[$k]}" &
    pid=$!
    sleep "$(awk -v ms="$delay" 'BEGIN { printf "%.3f", ms / 1000 }')"
    if kill -9 "$pid" 2>/dev/null; then
        cut_short=$((cut_short + 1))
    fi
    wait "$pid" 2>/dev/null || true

    for name in txt html; do
        held_var="held_$name"
        now=$(page_of "$ws/search.$name")
        if [ "$now" != "${!held_var}" ] && [ "$now" != "$k" ]; then
            echo "round $round: search.$name holds page '$now', neither the previous (${!held_var}) nor the new ($k)"
            exit 1
        fi
        printf -v "$held_var" '%s' "$now"
    done

    if [ "$(leftovers)" -gt 0 ]; then
        debris=$((debris + 1))
        "$driver" "$ws" "${keywords[$k]}"
        if [ "$(leftovers)" -gt 0 ]; then
            echo "round $round: a temporary file survived the next search:"
            find "$ws" -maxdepth 1 -name '*.new-*'
            exit 1
        fi
        held_txt=$(page_of "$ws/search.txt")
        held_html=$(page_of "$ws/search.html")
        [ "$held_txt" = "$k" ] && [ "$held_html" = "$k" ] || { echo "round $round: the next search left no whole page"; exit 1; }
    fi
done

echo "$searches searches, $cut_short killed before they ended, $debris left a temporary file behind"
if [ "$cut_short" -eq 0 ]; then
    echo "no search was killed before it ended: the test proved nothing"
    exit 1
fi
