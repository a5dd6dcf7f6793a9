#!/usr/bin/env bash
# The results taken out of the real X window as a person takes them: the chart's menu by a right
# click and by the menu key, the chart copied with Ctrl+C and saved as PNG and SVG through the
# save dialog, and the listing saved as text from its own menu. Screenshots stay in SHOTS.
# Usage: e2e_export.sh PROGRAM LISTING_TOOL [SHOTS]
set -euo pipefail
program=$1
listing_tool=$2
work=$(mktemp -d)
shots=${3:-$work/shots}
mkdir -p "$shots"
. "$(dirname "$0")/xwindow.sh"

passed=0 failed=0
ok() { echo "ok: $1"; passed=$((passed + 1)); }
bad() { echo "FAILED: $1"; failed=$((failed + 1)); }
cleanup() {
    [ "$failed" -eq 0 ] || show_logs "program:app.log"
    stop_window
    rm -rf "$work"
}
trap cleanup EXIT

# The chart frame, from the start-up layout of a 1280 x 1024 screen: (W/40, H/10), W/40*38 by H/5.
chart=("$(px $((480 + 9120)))" "$(px $((1536 + 1000)))")
shoot() { import -window root "$shots/$1.png"; }
# Saves through the dialog that is open: its file name box has the focus.
save_to() {
    sleep 0.8
    xdotool key --clearmodifiers ctrl+a
    xdotool type --delay 10 "$1"
    sleep 0.2
    shoot "$2"
    xdotool key Return
    for _ in $(seq 50); do [ -s "$1" ] && return 0; sleep 0.1; done
    return 1
}

start_xvfb
start_window "$program"

xdotool mousemove --window "$wid" "${chart[@]}" click 3
sleep 0.5
shoot chart-menu
# The menu's first entry is chosen with Down and Return: copy.
xdotool key Down Return
sleep 0.3
if xclip -o -selection clipboard -t image/png >"$work/copied.png" 2>/dev/null && [ -s "$work/copied.png" ] \
    && [ "$(identify -format %m "$work/copied.png")" = PNG ]; then
    ok "the chart's menu copies the chart as an image ($(identify -format %wx%h "$work/copied.png"))"
else
    bad "no image on the clipboard after the chart's menu"
fi

# Ctrl+C with the focus on the chart.
click "${listing_box[@]}"
xdotool key --clearmodifiers ctrl+a ctrl+c
click "${chart[@]}"
xdotool key --clearmodifiers ctrl+c
sleep 0.3
if xclip -o -selection clipboard -t TARGETS 2>/dev/null | grep -qx image/png; then
    ok "Ctrl+C on the chart copies it as an image"
else
    bad "Ctrl+C on the chart left $(xclip -o -selection clipboard -t TARGETS 2>/dev/null | tr '\n' ' ')"
fi

# The menu key, on the chart that has the focus: the save entry is the second.
xdotool key Menu
sleep 0.5
shoot chart-menu-key
xdotool key Down Down Return
if save_to "$shots/chart-75.png" save-dialog; then
    size=$(identify -format %wx%h "$shots/chart-75.png")
    ok "the chart of 75 saved as PNG through the dialog ($size)"
else
    bad "no PNG was saved"
fi
xdotool mousemove --window "$wid" "${chart[@]}" click 3
sleep 0.5
xdotool key Down Down Return
if save_to "$shots/chart-75.svg" save-dialog-svg && grep -q '<text' "$shots/chart-75.svg"; then
    ok "the chart of 75 saved as SVG with $(grep -c '<rect' "$shots/chart-75.svg") rects and $(grep -c '<text' "$shots/chart-75.svg") texts"
else
    bad "no SVG was saved"
fi

# The listing's own menu: its last entry saves it.
xdotool mousemove --window "$wid" "${listing_box[@]}" click 3
sleep 0.5
shoot listing-menu
xdotool key Up Return
if save_to "$work/75.txt" save-listing && cmp -s "$work/75.txt" <("$listing_tool" 75 75 | tr -d '\r'); then
    ok "the listing of 75 saved as text, byte for byte"
else
    bad "the saved listing differs: $(head -c 200 "$work/75.txt" 2>/dev/null | od -c | head -3)"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
