#!/bin/sh
# The menu entry and the AppStream metadata as software centres read them:
# desktop-file-validate and appstreamcli --pedantic must find nothing at all.
#
#     tests/packaging/validate_metadata.sh <desktop file> <metainfo file>
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
