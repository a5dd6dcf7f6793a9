#!/usr/bin/env bash
# Installs what is missing, builds the program and opens its window.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh run
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target summenleiter
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Built build/src/app/summenleiter. There is no display here to open the window on;"
    echo "start it from a desktop session, or under Xvfb: xvfb-run build/src/app/summenleiter"
    exit 0
fi
exec build/src/app/summenleiter
