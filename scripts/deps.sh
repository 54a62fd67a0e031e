#!/usr/bin/env bash
# Installs the Debian packages velanote needs to build, test and run, when any is missing.
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-multimedia-dev
    libcurl4-openssl-dev libmicrohttpd-dev libhiredis-dev
    libespeak-ng-dev libmp3lame-dev libopencc-dev zlib1g-dev libxcb1-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    # the lexicon and word frequencies the reading table is compiled from
    rime-data-terra-pinyin rime-essay
    # run: MP3 playback, voice data, Chinese fonts, Qt's own Chinese texts
    libqt6multimedia6 gstreamer1.0-plugins-base gstreamer1.0-plugins-good
    espeak-ng-data fonts-noto-cjk qt6-translations-l10n
    # tests: a private message bus, and an independent MP3 decoder to count samples
    dbus-daemon mpg123
    # tests on a private X server: the server, a compositor, a tray, window properties, screenshots
    xvfb xcompmgr trayer x11-utils imagemagick
    # packaging checks: the package's tools (shlibdeps, lintian) and the validators of what it installs
    dpkg-dev lintian desktop-file-utils appstream systemd man-db
    # tests: the shared store and the load balancer of a scaled-out speech service
    redis-server nginx
    # benchmarks: the shell pipeline that `velanote speak` is measured against, and an X server
    # with tools that watch windows appear
    espeak-ng sox lame xdotool
    # CI: the format check and clang-tidy; clang builds the tree as a second compiler
    clang clang-format clang-tidy
)

# One query for all of them; a package dpkg has never heard of is simply absent from its answer.
installed=$(dpkg-query -W -f='${db:Status-Status} ${Package}\n' "${packages[@]}" 2>/dev/null |
    awk '$1 == "installed" { print $2 }' || true)
missing=()
for p in "${packages[@]}"; do
    grep -qxF "$p" <<<"$installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
