# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the project's scripts: installs what is missing and builds.
# Sourced, not run.

JUANZONG_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Everything a fresh Debian 12 machine lacks to build, run and test the viewer.
JUANZONG_PACKAGES=(
    cmake g++ make pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-qpa-plugins libgl-dev
    fonts-wqy-microhei
    qt6-translations-l10n cups-client  # Qt's dialogs and menus in Chinese; lp, which takes a print job as PDF
    xvfb xauth xdotool x11-utils imagemagick poppler-utils
    at-spi2-core python3-pyatspi dbus-daemon   # the screen-reader test: accessibility bus, AT-SPI client, a session bus (dbus-run-session)
    scdoc lintian appstream desktop-file-utils strace   # manual pages; package and metadata checks
    libzip-dev # the zip library under the .docx writer
    python3-docx libreoffice-writer-nogui # tests open exported .docx files with real readers
    libsqlite3-dev libxml2-dev unicode-data python3  # full-text search; Unihan readings for the pinyin table at build time
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing() {
    local missing=()
    for pkg in "${JUANZONG_PACKAGES[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "== Installing: ${missing[*]}"
        as_root apt-get update
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
    fi
}

# Qt WebEngine's sandbox cannot start for root; only then is it turned off.
webengine_env() {
    if [ "$(id -u)" -eq 0 ]; then
        export QTWEBENGINE_DISABLE_SANDBOX=1
    fi
}

# build DIR [cmake options...]; BUILD_TARGET narrows what is built.
build() {
    local dir=$1
    shift
    cmake -S "$JUANZONG_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    if [ -n "${BUILD_TARGET:-}" ]; then
        cmake --build "$dir" -j"$(nproc)" --target "$BUILD_TARGET"
    else
        cmake --build "$dir" -j"$(nproc)"
    fi
}
