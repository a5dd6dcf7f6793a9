#!/usr/bin/env bash
# Builds Qt for 64-bit Windows from Debian's own qtbase source with mingw-w64, against the host
# tools of Debian's Qt, and caches it under ~/.cache/summenleiter/, keyed by the source version and
# the configuration. A second run finds the cache and only prints its folder, the last line of
# its output. Debian ships no Qt for Windows, and the host tools must be of the same version as
# the Qt they build for, so the source is Debian's: the version the Linux build uses.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
qt_target_name=windows-qt
. "$here/scripts/qt-source.sh"

toolchain="$here/cmake/windows/mingw-w64-x86_64.cmake"
# Only what the program and its tests need: Core, Gui, Widgets, Test, the windows platform plugin
# and the Windows style. OpenGL stays on, dynamic as on Windows by default: the 6.4 platform plugin
# does not compile without it. So does direct2d, without which the plugin's DirectWrite font
# database does not link. Debian's source has no wintab, so there are no tablet events.
# Accessibility stays on: it is how Windows screen readers (UI Automation) read the window.
options=(
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=ON
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF
    -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF
    -DFEATURE_jpeg=OFF -DFEATURE_freetype=OFF -DFEATURE_fontconfig=OFF
    -DFEATURE_tabletevent=OFF -DFEATURE_vulkan=OFF
    -DFEATURE_accessibility=ON -DFEATURE_opengl_dynamic=ON -DFEATURE_direct2d=ON
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_png=OFF -DFEATURE_system_doubleconversion=OFF
)

compiler_version="$(x86_64-w64-mingw32-g++-posix -dumpfullversion 2>/dev/null || echo none)"
key="$( { echo "$qt_version" "$compiler_version"; printf '%s\n' "${options[@]}"; cat "$toolchain"; } \
        | sha256sum | cut -c1-16)"
prefix="$cache/qt-windows-${qt_version%%+*}-$key"

# The windows preset's toolchain finds the build through this link.
link_current() { ln -sfn "$(basename "$prefix")" "$cache/qt-windows"; }

if [ -f "$prefix/.complete" ]; then
    link_current
    echo "$prefix"
    exit 0
fi

work="$cache/qt-windows-work-$key"
qt_unpack "$work"
# The toolchain file is copied beside the install: Qt's own toolchain file loads it from there,
# and the source tree that built the cache may be gone by the time the cache is used.
mkdir -p "$prefix"
cp "$toolchain" "$prefix/mingw-w64-x86_64.cmake"
qt_build_install "$work" -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64-x86_64.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake "${options[@]}"
link_current
echo "$prefix"
