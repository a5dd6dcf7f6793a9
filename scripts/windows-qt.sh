#!/usr/bin/env bash
# Builds Qt for 64-bit Windows from Debian's own qtbase source with mingw-w64, against the host
# tools of Debian's Qt, and caches it under ~/.cache/summenleiter/, keyed by the source version and
# the configuration. A second run finds the cache and only prints its folder, the last line of
# its output. Debian ships no Qt for Windows, and the host tools must be of the same version as
# the Qt they build for, so the source is Debian's: the version the Linux build uses.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"

qt_package=qt6-base
qt_version=6.4.2+dfsg-10
# The .dsc as fetched once; it names the checksums of the tarballs it unpacks.
qt_dsc_sha256=1b4b5c8610a553d4211fa81e268b1a3b0a6339ae5444fdb7e60d7616da651970

cache="${XDG_CACHE_HOME:-$HOME/.cache}/summenleiter"
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

say() { echo "windows-qt: $*" >&2; }
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

# The source, through a private list of Debian's sources: the machine's own apt set-up, which
# may have no deb-src line, is left alone. Its mirror is the one the machine already uses.
sources="$cache/sources"
mkdir -p "$sources/lists/partial" "$sources/archives/partial"
dsc="$sources/${qt_package}_${qt_version#*:}.dsc"
if [ ! -f "$dsc" ]; then
    mirror="$(grep -hsE '^(URIs:|deb )' /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
                  /etc/apt/sources.list.d/*.sources \
              | grep -v security | grep -oE 'https?://[^ ]+' | head -n1 || true)"
    [ -n "$mirror" ] || { say "no Debian mirror in the apt sources"; exit 1; }
    echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror bookworm main" \
        > "$sources/sources.list"
    apt_private=(-o Dir::Etc::SourceList="$sources/sources.list" -o Dir::Etc::SourceParts=/dev/null
                 -o Dir::State::Lists="$sources/lists" -o Dir::Cache::Archives="$sources/archives")
    say "fetching $qt_package $qt_version"
    apt-get "${apt_private[@]}" -qq update
    (cd "$sources" && apt-get "${apt_private[@]}" -qq source --download-only "$qt_package=$qt_version")
fi

echo "$qt_dsc_sha256  $dsc" | sha256sum --quiet -c - \
    || { say "$dsc is not the pinned one"; exit 1; }
# Every file the .dsc names, against its checksum there.
awk '/^Checksums-Sha256:/{on=1; next} /^[^ ]/{on=0} on && NF==3 {print $1 "  " $3}' "$dsc" \
    | (cd "$sources" && sha256sum --quiet -c -) || { say "a source file does not match the .dsc"; exit 1; }

work="$cache/qt-windows-work-$key"
rm -rf "$work"
mkdir -p "$work"
say "unpacking"
dpkg-source --no-check -x "$dsc" "$work/qtbase" >/dev/null

say "configuring (the log is $work/configure.log)"
start=$(date +%s)
# The toolchain file is copied beside the install: Qt's own toolchain file loads it from there,
# and the source tree that built the cache may be gone by the time the cache is used.
mkdir -p "$prefix"
cp "$toolchain" "$prefix/mingw-w64-x86_64.cmake"
cmake -S "$work/qtbase" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64-x86_64.cmake" \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    "${options[@]}" >"$work/configure.log" 2>&1 \
    || { tail -n 40 "$work/configure.log" >&2; exit 1; }
say "building with $(nproc) jobs (the log is $work/build.log)"
cmake --build "$work/build" --parallel "$(nproc)" >"$work/build.log" 2>&1 \
    || { grep -m 20 -B 5 -A 20 'error' "$work/build.log" >&2 || tail -n 40 "$work/build.log" >&2; exit 1; }
cmake --install "$work/build" --strip >"$work/install.log" 2>&1 \
    || { tail -n 40 "$work/install.log" >&2; exit 1; }
# The licence texts that ship beside Qt's libraries.
cp "$work/qtbase/LICENSES/LGPL-3.0-only.txt" "$work/qtbase/LICENSES/GPL-3.0-only.txt" "$prefix/"
end=$(date +%s)
echo "$qt_package $qt_version, built in $((end - start)) s" >"$prefix/.complete"
say "built in $((end - start)) s"
rm -rf "$work"
link_current
echo "$prefix"
