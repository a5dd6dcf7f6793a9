#!/usr/bin/env bash
# Makes doc/window.png, the picture of the window on the README's first screen: the real program
# under an Xvfb of its own after a two-pair search from 75, which ends at 105.
# Usage: scripts/screenshot.sh [PROGRAM] (default build/src/app/summenleiter, as scripts/run.sh builds it)
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build/src/app/summenleiter}")
work=$(mktemp -d)
. tests/e2e/xwindow.sh
trap 'stop_window; rm -rf "$work"' EXIT

start_xvfb
start_window "$program"
click "${number_box[@]}"
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 30 "75"
sleep 0.3
click "${two_pair_button[@]}"
for _ in $(seq 50); do
    click "${number_box[@]}"
    [ "$(copy | tr -d ' ')" = 105 ] && break
    sleep 0.2
done
# The listing's text as the search left it, not selected by the read-back above.
click "${listing_box[@]}"
sleep 0.5
# The part of the window the layout fills, scaled down to a width that a README shows whole.
import -window "$wid" -crop 1270x640+0+0 +repage -resize 900x "$work/window.png"
mv "$work/window.png" doc/window.png
echo doc/window.png
