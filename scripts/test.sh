#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)"
# The window's speed where a person waits: a two-pair search from 10^9 in a real X window. It
# prints its figure and fails only if the window does not reach the search's end.
bench/xsearch.sh build/src/app/summenleiter build/tests/listing_tool
# The same search while Orca, the screen reader, listens, against one without it: the figures and
# the accessibility events the program sends. It fails only if Orca never speaks the result.
bench/a11ysearch.sh build/src/app/summenleiter build/tests/listing_tool
# The Windows program: Qt for Windows built once and cached, the program cross-built with its setup
# program and portable archive, the Qt-free layers' tests under Wine, then the setup program and
# the archive installed, used and removed under Wine as a Windows user would, with screenshots in
# build-windows/screenshots; last the search from 10^9 under Wine against the Linux program.
scripts/windows.sh
ctest --preset windows -j"$(nproc)"
version=$(sed -n 's/^project(Summenleiter VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
tests/e2e/e2e_windows.sh "build-windows/Summenleiter-$version-setup.exe" \
    "build-windows/Summenleiter-$version-portable.zip" build/tests/listing_tool build-windows/screenshots
bench/wsearch.sh build-windows/stage/Summenleiter.exe build/src/app/summenleiter build/tests/listing_tool
# The program in the browser: Qt for WebAssembly built once and cached, the program and its site in
# build-web/site, then the site served on the loopback and used in headless Chromium as a person
# would, with screenshots in build-web/screenshots; its search from 10^9 against the Linux build's.
scripts/web.sh
native_ms=$(QT_QPA_PLATFORM=offscreen build/bench/summenleiter-gui-bench --search 1000000000 1000383615 2>/dev/null \
    | sed -n 's/^search clock .* ms=\([0-9.]*\)$/\1/p')
tests/web/e2e_web.py build-web/site build/tests/listing_tool build-web/screenshots "${native_ms:--}"
# The same suite built with AddressSanitizer and UBSan, then a bounded run of each fuzzer.
scripts/sanitize.sh
# The Debian package: built, validated, installed, started from its menu entry and removed again.
scripts/package.sh
