#!/bin/sh
# Builds the .deb, unpacks it into a scratch root and checks what a user gets:
# the program under /opt/juanzong with ws/ and black.she beside it, the launcher,
# the menu entry, the icon, the declared dependencies, and a program that starts.
#
#     tests/content/check_package.sh <build-dir>
set -eu

build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1) \
    || { cat "$scratch/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$scratch"/out/*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no .deb produced"
dpkg-deb -x "$deb" "$scratch/root"
root="$scratch/root"

for f in opt/juanzong/juanzong opt/juanzong/black.she opt/juanzong/ws/wszzgf.html opt/juanzong/ws/index.html \
         opt/juanzong/ws/alllist.txt opt/juanzong/ws/searchmoban.txt opt/juanzong/ws/css.css \
         opt/juanzong/ws/juanzongfanben-102.html usr/share/applications/juanzong.desktop \
         usr/share/icons/hicolor/256x256/apps/juanzong.png; do
    [ -f "$root/$f" ] || fail "missing /$f"
done
[ -x "$root/opt/juanzong/juanzong" ] || fail "program not executable"
[ "$(readlink "$root/usr/bin/juanzong")" = /opt/juanzong/juanzong ] || fail "launcher does not point at /opt/juanzong/juanzong"
[ ! -e "$root/opt/juanzong/ws/search.html" ] || fail "ships a search result"
pages=$(ls "$root"/opt/juanzong/ws/juanzongfanben-*.html | wc -l)
[ "$pages" -eq 90 ] || fail "expected 90 template pages, found $pages"

grep -qx 'Exec=juanzong' "$root/usr/share/applications/juanzong.desktop" || fail "desktop Exec"
grep -qx 'Icon=juanzong' "$root/usr/share/applications/juanzong.desktop" || fail "desktop Icon"

depends=$(dpkg-deb -f "$deb" Depends)
for d in fonts-wqy-microhei libqt6webenginewidgets6 libqt6webenginecore6-bin; do
    echo "$depends" | grep -q "$d" || fail "Depends lacks $d: $depends"
done

# Started from the unpacked tree it must find its content and keep running;
# still alive when the timeout ends it (status 124) means it started.
if [ "$(id -u)" -eq 0 ]; then
    QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:-} --no-sandbox"
    export QTWEBENGINE_CHROMIUM_FLAGS
fi
status=0
QT_QPA_PLATFORM=offscreen timeout 15 "$root/opt/juanzong/juanzong" >"$scratch/run.log" 2>&1 || status=$?
[ "$status" -eq 124 ] || { cat "$scratch/run.log" >&2; fail "program exited with status $status"; }

echo "package ok: $(basename "$deb")"
