#!/usr/bin/env bash
# Installs the Debian packages Wavecrest needs to build, run and test.
# Only what is missing is installed; the package lists are fetched once.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    libwxgtk3.2-dev libwxgtk-webview3.2-dev libgtk-3-dev
    libmpv-dev libcurl4-openssl-dev libuchardet-dev libx11-dev nlohmann-json3-dev libgl-dev libegl-dev
    ca-certificates ccache
)
test_packages=(
    googletest libgmock-dev libgtest-dev
    xvfb xauth xdotool x11-utils trayer
    python3 python3-gi gir1.2-atspi-2.0 at-spi2-core ffmpeg mpv
    clang libclang-rt-14-dev ninja-build
    dbus dbus-daemon playerctl openbox
    dpkg-dev file desktop-file-utils appstream
    # the start-up benchmark's null-sink run and its reference player
    pulseaudio pulseaudio-utils goodvibes
)

want=("${packages[@]}")
if [ "${1:-}" = "--with-tests" ]; then
    want+=("${test_packages[@]}")
fi

missing=()
for package in "${want[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
