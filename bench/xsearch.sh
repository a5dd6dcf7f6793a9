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
. "$(dirname "$0")/../tests/e2e/xwindow.sh"

cleanup() {
    local code=$?
    if [ $code -ne 0 ] && [ -s "$work/app.log" ]; then
        echo "the program said:"
        cat "$work/app.log"
    fi
    stop_window
    rm -rf "$work"
}
trap cleanup EXIT

to=$("$listing_tool" --next "$from" 2)
start_xvfb
start_window "$program"

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
