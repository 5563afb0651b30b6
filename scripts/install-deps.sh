#!/usr/bin/env bash
# Installs the Debian packages the panel builds, runs and tests with; quick when all are there.
set -euo pipefail
packages=(
    build-essential cmake ninja-build ccache pkg-config
    qt6-base-dev
    libqt6sql6-ibase # Qt's Firebird driver: the peer that tick_bench holds the panel against
    fonts-liberation2 # faces with the widths the windows were designed in
    firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-utils firebird3.0-server
    libgtest-dev libbenchmark-dev
    clang libclang-rt-14-dev
    iproute2 procps util-linux # ss, ps, flock and setsid of the test scripts
    librsvg2-bin                                   # the icon's PNG sizes, drawn from its SVG
    dpkg-dev file desktop-file-utils appstream     # the Debian package, built and checked
    xvfb qt6-qpa-plugins dbus at-spi2-core python3-pyatspi # a screen reader's view, on a bus
    qt6-base-private-dev # the accessibility test turns Qt's reader side on without a desktop
    openbox x11-utils xdotool                      # dialogs under a real window manager
)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
