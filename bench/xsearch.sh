#!/usr/bin/env bash
# Times two-pair searches in the real window under Xvfb, driven as a person drives it: the number
# typed into the box, the search button clicked, and the number box read back by select-all and
# copy until it holds the search's end. The searches start from 1000000000 and from 2106451305,
# the longest two-pair search below 2^31. Prints
#   xsearch from=1000000000 to=<end> candidates_per_s=<figure>
#   xsearch from=2106451305 to=<end> candidates_per_s=<figure> s=<seconds>
# and fails only when the window does not reach the end the core gives or shows another listing
# there; the figures themselves are for reading, not pass marks.
# Usage: xsearch.sh PROGRAM LISTING_TOOL
set -euo pipefail
program=$1
listing_tool=$2
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

start_xvfb
start_window "$program"
status=0

# One search from $1: times it, checks where it ends, prints its line ($2: with the seconds).
time_search() {
    local from=$1 with_seconds=$2 to listing expected
    to=$("$listing_tool" --next "$from" 2)
    if ! timed_search "$from" "$to"; then
        echo "xsearch: the number box shows '$search_box', not the search's end $to"
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
    awk -v t="$search_s" -v from="$from" -v to="$to" -v s="$with_seconds" \
        'BEGIN { printf "xsearch from=%d to=%d candidates_per_s=%.0f", from, to, (to - from) / t
                 if (s) printf " s=%.2f", t
                 printf "\n" }'
}

time_search 1000000000 ""
time_search 2106451305 yes
exit $status
