#!/usr/bin/env bash
# Installs the Debian packages that are missing for one purpose:
#   scripts/deps.sh run    what building the program and opening its window need
#   scripts/deps.sh test   that and everything the whole test suite, the sanitizer build, the
#                          package check, the Windows build and the web build need (the default)
# Usage: scripts/deps.sh [--list] [run|test]; --list prints the packages and installs nothing.
set -euo pipefail

list_only=false
if [ "${1:-}" = --list ]; then
    list_only=true
    shift
fi
purpose=${1:-test}

# Building and running: the compiler and build tools, Qt's development package (which brings the
# libraries and the X11 platform plugin the window runs on), and Liberation, the faces the window
# names in place of its designed Windows fonts (desktop/desktop_linux.cpp); it also meets
# fontconfig's need for some font, so DejaVu is not pulled in.
run_packages=(
    cmake g++ make
    qt6-base-dev
    # Exact, locale-free reading of numbers, for every target (header only).
    libfast-float-dev
    fonts-liberation2
    # Qt's own texts in German: the save dialog and the text boxes' menus.
    qt6-translations-l10n
)
# In a Wayland session Qt prefers its Wayland plugin and would otherwise fall back to X11 through
# XWayland, which a session without XWayland lacks and which draws scaled windows blurred.
if [ -n "${WAYLAND_DISPLAY:-}" ]; then
    run_packages+=(qt6-wayland)
fi

test_packages=(
    # The last of the faces the window's font lists name; the suite has always run with it there.
    fonts-dejavu-core
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
    ninja-build g++-mingw-w64-x86-64-posix nsis zip unzip wine64
    # The program in the browser: Qt for WebAssembly and the program built with emscripten, tested
    # in headless Chromium driven through WebDriver.
    emscripten chromium chromium-driver python3-selenium
)

case $purpose in
run) packages=("${run_packages[@]}") ;;
test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
*)
    echo "usage: $0 [--list] [run|test]" >&2
    exit 2
    ;;
esac

if $list_only; then
    printf '%s\n' "${packages[@]}" | awk '!seen[$0]++'
    exit 0
fi

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
if [ "$purpose" = test ] && ! locale -a 2>/dev/null | grep -qix 'de_DE.utf-\?8'; then
    echo "Making the locale de_DE.UTF-8"
    "${sudo[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
