#!/usr/bin/env bash
# Builds Qt for WebAssembly from Debian's own qtbase source with Debian's emscripten, against the
# host tools of Debian's Qt, and caches it under ~/.cache/summenleiter/, keyed by the source
# version, the compiler and the configuration, as scripts/windows-qt.sh does for Windows. A second
# run finds the cache and only prints its folder, the last line of its output.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
qt_target_name=web-qt
. "$here/scripts/qt-source.sh"
. "$here/scripts/web-env.sh"

# Static, one thread: the page's single thread serves the event loop that a search runs on in
# slices. OpenGL stays on: the platform plugin draws through WebGL. Everything else that the
# program does not use stays out: it would only make the download larger.
options=(
    -DCMAKE_BUILD_TYPE=Release
    -DQT_QMAKE_TARGET_MKSPEC=wasm-emscripten
    -DBUILD_SHARED_LIBS=OFF -DFEATURE_thread=OFF
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF
    -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF -DFEATURE_testlib=OFF
    -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_tabletevent=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_png=OFF -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_freetype=OFF
)

web_env

compiler_version="$(emcc --version 2>/dev/null | head -n 1 || echo none)"
key="$( { echo "$qt_version" "$compiler_version"; printf '%s\n' "${options[@]}"; } | sha256sum | cut -c1-16)"
prefix="$cache/qt-web-${qt_version%%+*}-$key"
# The web preset finds the build through this link.
link_current() { ln -sfn "$(basename "$prefix")" "$cache/qt-web"; }

if [ -f "$prefix/.complete" ]; then
    link_current
    echo "$prefix"
    exit 0
fi

work="$cache/qt-web-work-$key"
qt_unpack "$work"
qt_build_install "$work" -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake "${options[@]}"
link_current
echo "$prefix"
