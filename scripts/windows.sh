#!/usr/bin/env bash
# Builds the Windows program and what a Windows user downloads: the setup program and the portable
# archive, both in build-windows/. Qt for Windows comes from scripts/windows-qt.sh, which builds it
# once and caches it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
scripts/windows-qt.sh >/dev/null

cmake --preset windows >/dev/null
cmake --build --preset windows -j"$(nproc)"

version=$(sed -n 's/^project(Summenleiter VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
stage=build-windows/stage
rm -rf "$stage"
cmake --install build-windows --prefix "$stage" --strip >/dev/null

setup=build-windows/Summenleiter-$version-setup.exe
makensis -V2 -DSTAGE="$PWD/$stage" -DVERSION="$version" -DOUTFILE="$PWD/$setup" \
    -DICON="$PWD/src/app/windows/summenleiter.ico" packaging/windows/installer.nsi

# The portable archive unpacks into one folder that runs from wherever it is put.
portable=build-windows/Summenleiter-$version-portable.zip
rm -rf build-windows/portable "$portable"
mkdir -p build-windows/portable
cp -r "$stage" "build-windows/portable/Summenleiter-$version"
(cd build-windows/portable && zip -qr -X "../$(basename "$portable")" "Summenleiter-$version")
rm -rf build-windows/portable

ls -l "$setup" "$portable"
