#!/usr/bin/env bash
# Drives the built program in a real X window: types a number, runs a two-pair search, and reads
# the number box and the listing back through select-all and copy.
# Usage: e2e_window.sh PROGRAM LISTING_TOOL
set -euo pipefail
program=$1
listing_tool=$2
work=$(mktemp -d)
. "$(dirname "$0")/xwindow.sh"

cleanup() {
    local code=$?
    if [ $code -ne 0 ] && [ -f "$work/app.log" ]; then
        echo "the program said:"
        cat "$work/app.log"
    fi
    stop_window
    rm -rf "$work"
}
trap cleanup EXIT

start_xvfb
start_window "$program"

click "${number_box[@]}"
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 50 "105"
sleep 0.3
click "${two_pair_button[@]}"
# The search shows every candidate on its way; wait until the box holds its end.
box=
for _ in $(seq 60); do
    sleep 1
    click "${number_box[@]}"
    box=$(copy)
    [ "$box" = "945" ] && break
done
click "${listing_box[@]}"
listing=$(copy)
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
[ $status -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $status
