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
    locales
    # Runs tests on an emulated x86-64 without AVX.
    qemu-user
    # The Wayland test, and the package check in a throwaway Debian 12 (uidmap for running it
    # without root) with its screenshots and hardening-check.
    weston qt6-wayland mmdebstrap uidmap imagemagick devscripts
    # The Windows build: Qt for Windows from Debian's qtbase source (dpkg-source unpacks it), the
    # cross compilers, the setup program and the portable archive, and Wine to test them.
    dpkg-dev ninja-build g++-mingw-w64-x86-64-posix nsis zip unzip wine64
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
if [ ${#missing[@]} -ne 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
    "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
fi

# The number rules are tested under the German locale the program's users have.
if ! locale -a 2>/dev/null | grep -qix 'de_DE.utf-\?8'; then
    echo "Making the locale de_DE.UTF-8"
    "${sudo[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
