#!/usr/bin/env bash
# Installs the Debian packages velanote needs to build, test and run, when any is missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config file
    qt6-base-dev qt6-multimedia-dev libqt6multimedia6
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good
    libcurl4-openssl-dev libmicrohttpd-dev
    libespeak-ng-dev espeak-ng-data libmp3lame-dev
    libopencc-dev zlib1g-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-noto-cjk xvfb xauth xdotool
    dbus-daemon
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
