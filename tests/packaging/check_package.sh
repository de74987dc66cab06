#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the .deb the way README says, runs lintian on it, unpacks it into a
# scratch root and checks what a user gets: the layout with ws/ and black.she
# beside the executable, the manual pages, one version everywhere, and a
# program that finds its content whether it is started from the menu, as
# /usr/bin/juanzong or from its own folder.
#
#     tests/packaging/check_package.sh <build-dir>
set -eu

build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
viewer=
cleanup() {
    [ -z "$viewer" ] || kill "$viewer" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1) \
    || { cat "$scratch/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$scratch"/out/*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no .deb produced"

# Errors and warnings fail; informational tags may stay.
lintian --fail-on error,warning --display-info "$deb" >"$scratch/lintian.log" 2>&1 \
    || { cat "$scratch/lintian.log" >&2; fail "lintian"; }
cat "$scratch/lintian.log"

dpkg-deb -x "$deb" "$scratch/root"
# Physical, as the program sees its own path through /proc/self/exe.
root=$(cd "$scratch/root" && pwd -P)
lib="$root/usr/lib/juanzong"
share="$root/usr/share/juanzong"
id=io.github.juanzong.juanzong

# --- layout
for f in usr/lib/juanzong/juanzong usr/share/juanzong/black.she usr/share/juanzong/ws/wszzgf.html \
         usr/share/juanzong/ws/index.html usr/share/juanzong/ws/alllist.txt usr/share/juanzong/ws/searchmoban.txt \
         usr/share/juanzong/ws/css.css usr/share/juanzong/ws/juanzongfanben-102.html \
         usr/share/applications/$id.desktop usr/share/metainfo/$id.metainfo.xml \
         usr/share/icons/hicolor/256x256/apps/juanzong.png usr/share/icons/hicolor/scalable/apps/juanzong.svg \
         usr/share/doc/juanzong/copyright usr/share/doc/juanzong/changelog.gz \
         usr/share/man/man1/juanzong.1.gz usr/share/man/zh_CN/man1/juanzong.1.gz; do
    [ -f "$root/$f" ] && [ ! -L "$root/$f" ] || fail "missing /$f"
done
[ -x "$lib/juanzong" ] || fail "program not executable"
link_is() { [ "$(readlink "$root/$1")" = "$2" ] || fail "/$1 links to '$(readlink "$root/$1")', not $2"; }
link_is usr/bin/juanzong ../lib/juanzong/juanzong
link_is usr/lib/juanzong/ws ../../share/juanzong/ws
link_is usr/lib/juanzong/black.she ../../share/juanzong/black.she
[ ! -e "$share/ws/search.html" ] && [ ! -e "$share/ws/search.txt" ] || fail "ships a search result"
pages=$(ls "$share"/ws/juanzongfanben-*.html | wc -l)
[ "$pages" -eq 90 ] || fail "expected 90 template pages, found $pages"
[ -z "$(find "$root" -path "$root/opt*" -print -quit)" ] || fail "installs into /opt"

depends=$(dpkg-deb -f "$deb" Depends)
for d in fonts-wqy-microhei libqt6webenginewidgets6 libqt6webenginecore6-bin qt6-translations-l10n cups-client; do
    echo "$depends" | grep -q "$d" || fail "Depends lacks $d: $depends"
done
[ -z "$(dpkg-deb -f "$deb" Homepage)" ] || fail "Homepage field set"

desktop="$root/usr/share/applications/$id.desktop"

# --- one version: the package's, in the changelog, the metainfo release and both manual pages
version=$(dpkg-deb -f "$deb" Version)
zcat "$root/usr/share/doc/juanzong/changelog.gz" | head -n 1 | grep -qF "juanzong ($version)" || fail "changelog version"
grep -qF "<release version=\"$version\"" "$root/usr/share/metainfo/$id.metainfo.xml" || fail "metainfo release version"
for man in usr/share/man/man1/juanzong.1.gz usr/share/man/zh_CN/man1/juanzong.1.gz; do
    zcat "$root/$man" | grep -q "^\.TH.*juanzong $version" || fail "/$man version"
    # scdoc writes dots as "\&." so that roff does not read them as requests.
    zcat "$root/$man" | sed 's/\\&//g' | grep -qF "卷宗范本 V$version" || fail "/$man names another caption"
done

# --- starts and finds its content, three ways
if [ "$(id -u)" -eq 0 ]; then
    QTWEBENGINE_DISABLE_SANDBOX=1
    export QTWEBENGINE_DISABLE_SANDBOX
fi
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
# Runs "$@" from directory $1 under strace and waits until the program has
# read the skin and the start page from the package's share folder through the
# links beside the executable.
starts() {
    how=$1 dir=$2
    shift 2
    trace="$scratch/trace-$how"
    pidfile="$scratch/pid-$how"
    # The little shell writes its pid and becomes the program, so the pid is
    # the program's whichever way it is started.
    env -C "$dir" QT_QPA_PLATFORM=offscreen strace -e trace=open,openat -o "$trace" \
        sh -c 'echo $$ >"$0"; exec "$@"' "$pidfile" "$@" >"$scratch/run-$how.log" 2>&1 &
    tracer=$!
    found=
    for _ in $(seq 1 240); do
        if grep -q "\"$share/ws/wszzgf.html\", [^)]*) = [0-9]" "$trace" 2>/dev/null; then found=1; break; fi
        kill -0 "$tracer" 2>/dev/null || break
        sleep 0.5
    done
    viewer=$(cat "$pidfile" 2>/dev/null || true)
    if [ -n "$viewer" ]; then
        kill "$viewer" 2>/dev/null || true
        for _ in $(seq 1 20); do kill -0 "$tracer" 2>/dev/null || break; sleep 0.5; done
        kill -KILL "$viewer" 2>/dev/null || true
    fi
    wait "$tracer" 2>/dev/null || true
    viewer=
    [ -n "$found" ] || { cat "$scratch/run-$how.log" >&2; fail "started $how, it did not show $share/ws/wszzgf.html"; }
    grep -q "\"$lib/black.she\", [^)]*) = [0-9]" "$trace" || fail "started $how, it did not read its skin $lib/black.she"
    echo "starts $how: ok"
}
PATH="$root/usr/bin:$PATH" starts "from-the-menu" "$HOME" sh -c "exec $exec_line"
starts "as-usr-bin-juanzong" / "$root/usr/bin/juanzong"
starts "from-its-own-folder" "$lib" ./juanzong

echo "package ok: $(basename "$deb")"
