#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need, where they are missing.
set -euo pipefail

packages=(
    cmake g++ make
    qt6-base-dev
    fonts-liberation2 fonts-dejavu-core
    xvfb xauth xdotool xclip x11-utils
    dbus at-spi2-core python3-pyatspi
    orca speech-dispatcher speech-dispatcher-audio-plugins libao4
    clang-14 libclang-rt-14-dev
    dpkg-dev file lintian desktop-file-utils appstream libx11-protocol-perl
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
