#!/usr/bin/env bash
# Times a two-pair search from 1000000000 in the real window under Xvfb twice: once while no
# accessibility client listens, once while Orca, the screen reader, listens on the program's
# accessibility bus. Counts the accessibility events the program sends during the second search
# and how long after the search's end Orca speaks its result. Prints
#   a11y search from=1000000000 to=<end> candidates_per_s=<with Orca> without=<without> events=<count> spoken_after_s=<s>
# and fails only when a search does not reach the end the core gives or Orca never speaks the
# result; the figures themselves are for reading, not pass marks.
# Usage: a11ysearch.sh PROGRAM LISTING_TOOL
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
e2e=$here/../tests/e2e

if [ "${1:-}" = --in-session ]; then
    program=$2 listing_tool=$3 work=$4
    . "$e2e/xwindow.sh"
    . "$e2e/a11y_session.sh"
    finish() {
        [ -n "${monitor_pid:-}" ] && kill "$monitor_pid" 2>/dev/null
        stop_a11y_session
    }
    trap finish EXIT
    private_dirs
    start_a11y_bus
    to=$("$listing_tool" --next "$from" 2)

    # One timed search; sets rate, and ended to the time the number box was seen at the end.
    timed_search() {
        start_window "$program"
        click "${number_box[@]}"
        xdotool key --clearmodifiers ctrl+a
        xdotool type --delay 20 "$from"
        sleep 0.5
        local start box
        start=$(date +%s.%N)
        click "${two_pair_button[@]}"
        click "${number_box[@]}"
        local deadline=$((SECONDS + 300))
        # Read back a few times a second only: every read is a key press that the program answers
        # with the values of now, and it should not be the reads that are measured.
        while [ $SECONDS -lt $deadline ]; do
            box=$(copy)
            [ "$box" = " $to" ] && break
            sleep 0.2
        done
        ended=$(date +%s.%N)
        if [ "$box" != " $to" ]; then
            echo "a11ysearch: the number box shows '$box', not the search's end $to"
            return 1
        fi
        rate=$(awk -v a="$start" -v b="$ended" -v n=$((to - from)) 'BEGIN { printf "%.0f", n / (b - a) }')
    }
    stop_program() {
        kill "$app_pid"
        wait "$app_pid" 2>/dev/null || true
        app_pid=
    }

    timed_search
    without=$rate
    stop_program

    start_speech
    start_orca
    address=$(a11y_call --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress | tr -d ' ')
    # Every event any application sends on the accessibility bus; the program is the only one.
    dbus-monitor --address "$address" "type='signal'" \
        >"$work/events.log" 2>"$work/monitor.err" &
    monitor_pid=$!
    sleep 1
    timed_search
    with=$rate
    # The search's result as Orca speaks it, and when.
    spoken=
    for _ in $(seq 100); do
        spoken=$(grep -a "SPEECH OUTPUT: 'notification Suche beendet bei $to:" "$work/orca.log" | head -n 1 || true)
        [ -n "$spoken" ] && break
        sleep 0.1
    done
    kill "$monitor_pid" || cat "$work/monitor.err"
    wait "$monitor_pid" 2>/dev/null || true
    monitor_pid=
    stop_program
    [ -n "${A11Y_KEEP:-}" ] && cp "$work/events.log" "$work/orca.log" "$A11Y_KEEP"/
    events=$(grep -c '^signal .*interface=org.a11y.atspi.Event' "$work/events.log" || true)
    if [ -z "$spoken" ]; then
        echo "a11ysearch: Orca never spoke the result of the search"
        after=never
        status=1
    else
        # Orca's log stamps the time of day; the search's end was seen at $ended.
        after=$(awk -v line="${spoken%% - *}" -v ended="$ended" 'BEGIN {
            split(line, t, ":"); spoke = t[1] * 3600 + t[2] * 60 + t[3]
            cmd = "date -d @" ended " +%H:%M:%S.%N"; cmd | getline e; split(e, u, ":")
            printf "%.2f", spoke - (u[1] * 3600 + u[2] * 60 + u[3]) }')
        status=0
    fi
    echo "a11y search from=$from to=$to candidates_per_s=$with without=$without events=$events spoken_after_s=$after"
    exit $status
fi

program=$1
listing_tool=$2
export from=1000000000
work=$(mktemp -d)
. "$e2e/xwindow.sh"
cleanup() {
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
start_xvfb
dbus-run-session -- "$0" --in-session "$program" "$listing_tool" "$work"
