#!/usr/bin/env bash
# Times the two-pair search from 1000000000 in the real window under Xvfb, driven as a person drives
# it (see xsearch.sh): the Windows program under Wine, in a prefix of its own, and the Linux program
# on the same display, three times each. Prints the medians as
#   wsearch from=1000000000 to=<end> candidates_per_s=<under Wine> native=<the Linux program>
# and fails only when a window does not reach the search's end; the figures are for reading.
# Usage: wsearch.sh WINDOWS_PROGRAM LINUX_PROGRAM LISTING_TOOL
set -euo pipefail
windows_program=$(realpath "$1")
linux_program=$2
listing_tool=$3
work=$(mktemp -d)
. "$(dirname "$0")/../tests/e2e/xwindow.sh"

wine=/usr/lib/wine/wine64
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
cleanup() {
    stop_window
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Wine loses keys sent without a pause between them, so both programs are read back at xdotool's
# usual key rate.
quick_copy() { copy; }

from=1000000000
to=$("$listing_tool" --next "$from" 2)
# Sets rate to the median of three searches in the window of the command given. Not in a command
# substitution: the wineserver that Wine starts would hold its output open.
median_rate() {
    local rates=() run
    start_window "$@"
    for run in 1 2 3; do
        if ! timed_search "$from" "$to"; then
            echo "wsearch: the number box of $* shows '$search_box', not the search's end $to" >&2
            exit 1
        fi
        rates+=("$(awk -v t="$search_s" -v n=$((to - from)) 'BEGIN { printf "%.0f", n / t }')")
    done
    stop_window_only
    rate=$(printf '%s\n' "${rates[@]}" | sort -n | sed -n 2p)
}
stop_window_only() {
    kill "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
    app_pid=
}

start_xvfb
"$wine" wineboot --init >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log"; exit 1; }
median_rate "$wine" "$windows_program"
under_wine=$rate
median_rate "$linux_program"
echo "wsearch from=$from to=$to candidates_per_s=$under_wine native=$rate"
