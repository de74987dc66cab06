#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The menu entry and the AppStream metadata as software centres read them:
# desktop-file-validate and appstreamcli --pedantic must find nothing at all.
#
#     tests/packaging/validate_metadata.sh <desktop file> <metainfo file> <screenshots folder>
set -eu

desktop-file-validate "$1"
out=$(appstreamcli validate --pedantic --strict --no-net "$2" 2>&1) || { echo "$out" >&2; exit 1; }
echo "$out"
if echo "$out" | grep -q '^[EWIP]:'; then
    echo "FAIL: appstreamcli has hints for $2" >&2
    exit 1
fi
# The metadata must launch the menu entry it sits beside.
grep -qF "<launchable type=\"desktop-id\">$(basename "$1")</launchable>" "$2" \
    || { echo "FAIL: $2 does not launch $(basename "$1")" >&2; exit 1; }

# Every screenshot it names is committed, at the size it states.
shots=$(sed -n 's|.*<image type="source" width="\([0-9]*\)" height="\([0-9]*\)">.*/\([^/<]*\)</image>.*|\3 \1x\2|p' "$2")
[ "$(echo "$shots" | grep -c .)" -ge 2 ] || { echo "FAIL: fewer than two screenshots in $2" >&2; exit 1; }
echo "$shots" | while read -r name size; do
    [ -f "$3/$name" ] || { echo "FAIL: $3/$name is missing" >&2; exit 1; }
    actual=$(identify -format '%wx%h' "$3/$name")
    [ "$actual" = "$size" ] || { echo "FAIL: $3/$name is $actual, the metadata says $size" >&2; exit 1; }
done
