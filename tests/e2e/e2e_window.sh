#!/usr/bin/env bash
# Drives the built program in a real X window: types a number, runs a two-pair search, and reads
# the number box and the listing back through select-all and copy.
# Usage: e2e_window.sh PROGRAM LISTING_TOOL
set -euo pipefail
program=$1
listing_tool=$2
work=$(mktemp -d)
display=:$((90 + RANDOM % 100))

cleanup() {
    local code=$?
    if [ $code -ne 0 ] && [ -f "$work/app.log" ]; then
        echo "the program said:"
        cat "$work/app.log"
    fi
    [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
unset QT_QPA_PLATFORM

"$program" >"$work/app.log" 2>&1 &
app_pid=$!
wid=$(timeout 20 xdotool search --sync --name '^Summenleiter$' | head -n 1)
# The start-up layout spans the screen; enlarge the window so that all of it can be reached.
xdotool windowsize --sync "$wid" 1270 1000 || xdotool windowsize "$wid" 1270 1000
sleep 0.5

# Centres of the controls in pixels, from the start-up layout of a 1280 x 1024 screen
# (19200 x 15360 twips, 15 twips a pixel): the search frame at (5360, 4928) twips.
px() { echo $(( ($1 + 7) / 15 )); }
frame_x=5360 frame_y=4928
number_box=("$(px $((frame_x + 1320 + 1507)))" "$(px $((frame_y + 240 + 322)))")
two_pair_button=("$(px $((frame_x + 120 + 1867)))" "$(px $((frame_y + 3720 + 247)))")
listing_box=("$(px $((480 + 2280)))" "$(px $((4928 + 3000)))")

click() { xdotool mousemove --window "$wid" "$1" "$2" click 1; sleep 0.2; }
copy_from() {
    click "$1" "$2"
    xdotool key --clearmodifiers ctrl+a ctrl+c
    sleep 0.3
    xclip -o -selection clipboard
}

# Until the program runs and the window shows the analysis of 75, nothing can be clicked.
for _ in $(seq 50); do
    [ "$(copy_from "${listing_box[@]}" 2>/dev/null | head -c 9)" = $'\n 75 = 75' ] && break
    sleep 0.2
done

click "${number_box[@]}"
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 50 "105"
sleep 0.3
click "${two_pair_button[@]}"
# The search shows every candidate on its way; wait until the box holds its end.
box=
for _ in $(seq 60); do
    sleep 1
    box=$(copy_from "${number_box[@]}" 2>/dev/null || true)
    [ "$box" = "945" ] && break
done
listing=$(copy_from "${listing_box[@]}")
expected=$("$listing_tool" 945 946 | tr -d '\r')

status=0
if [ "$box" != "945" ]; then
    echo "number box shows '$box', expected '945'"
    status=1
fi
if [ "$listing" != "$(printf '%s' "$expected" | sed '1{/^$/d}')" ] && [ "$listing" != "$expected" ]; then
    echo "listing differs:"
    diff <(printf '%s\n' "$expected") <(printf '%s\n' "$listing") || true
    status=1
fi
kill "$app_pid"
wait "$app_pid" 2>/dev/null || true
app_pid=
[ $status -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $status
