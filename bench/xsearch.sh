#!/usr/bin/env bash
# Times a two-pair search from 1000000000 in the real window under Xvfb, driven as a person drives
# it: the number typed into the box, the search button clicked, and the number box read back by
# select-all and copy until it holds the search's end. Prints
#   xsearch from=1000000000 to=<end> candidates_per_s=<figure>
# and fails only when the window does not reach the end the core gives or shows another listing
# there; the figure itself is for reading, not a pass mark.
# Usage: xsearch.sh PROGRAM LISTING_TOOL
set -euo pipefail
program=$1
listing_tool=$2
from=1000000000
work=$(mktemp -d)

cleanup() {
    local code=$?
    if [ $code -ne 0 ] && [ -s "$work/app.log" ]; then
        echo "the program said:"
        cat "$work/app.log"
    fi
    [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

to=$("$listing_tool" --next "$from" 2)

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { cat "$work/xvfb.log"; exit 1; }
export DISPLAY=:$(head -n 1 "$work/display")
unset QT_QPA_PLATFORM

"$program" >"$work/app.log" 2>&1 &
app_pid=$!
wid=$(timeout 20 xdotool search --sync --name '^Summenleiter$' | head -n 1)
xdotool windowsize --sync "$wid" 1270 1000 || xdotool windowsize "$wid" 1270 1000

# Centres of the controls in pixels, from the start-up layout of a 1280 x 1024 screen
# (19200 x 15360 twips, 15 twips a pixel): the search frame at (5360, 4928) twips.
px() { echo $((($1 + 7) / 15)); }
frame_x=5360 frame_y=4928
number_box=("$(px $((frame_x + 1320 + 1507)))" "$(px $((frame_y + 240 + 322)))")
two_pair_button=("$(px $((frame_x + 120 + 1867)))" "$(px $((frame_y + 3720 + 247)))")
listing_box=("$(px $((480 + 2280)))" "$(px $((4928 + 3000)))")

click() { xdotool mousemove --window "$wid" "$1" "$2" click 1; }
copy() {
    xdotool key --clearmodifiers ctrl+a ctrl+c
    xclip -o -selection clipboard 2>/dev/null || true
}

# Nothing can be clicked until the window shows the analysis of 75.
for _ in $(seq 100); do
    click "${listing_box[@]}"
    [ "$(copy | head -c 9)" = $'\n 75 = 75' ] && break
    sleep 0.1
done

click "${number_box[@]}"
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 20 "$from"
sleep 0.3
start=$(date +%s.%N)
click "${two_pair_button[@]}"
# Back in the number box, so that select-all and copy read it. While the search runs, the box
# changes between the two keys; once it has ended, the copy holds the end.
click "${number_box[@]}"
box=
deadline=$((SECONDS + 600))
while [ $SECONDS -lt $deadline ]; do
    box=$(copy)
    [ "$box" = " $to" ] && break
done
end=$(date +%s.%N)

status=0
if [ "$box" != " $to" ]; then
    echo "xsearch: the number box shows '$box', not the search's end $to"
    status=1
else
    click "${listing_box[@]}"
    listing=$(copy)
    expected=$("$listing_tool" "$to" "$((to + 1))" | tr -d '\r')
    if [ "$listing" != "$(printf '%s' "$expected" | sed '1{/^$/d}')" ] && [ "$listing" != "$expected" ]; then
        echo "xsearch: the listing at $to differs from the core's"
        status=1
    fi
fi
awk -v a="$start" -v b="$end" -v from="$from" -v to="$to" \
    'BEGIN { printf "xsearch from=%d to=%d candidates_per_s=%.0f\n", from, to, (to - from) / (b - a) }'
exit $status
