#!/usr/bin/env bash
# Times a two-pair search from 1000000000 in the real window under Xvfb (as the program itself
# measures it, from the click to the search's end), three times while no accessibility client listens and three times while Orca, the screen reader, listens on the
# program's accessibility bus (the median of each). Counts the accessibility events the program
# sends while Orca listens (start-up, typing and clicks included) and how long after the last
# search's end Orca speaks its result. Prints
#   a11y search from=1000000000 to=<end> candidates_per_s=<with Orca> without=<without> events=<count> spoken_after_s=<s>
# and the same for the longest two-pair search below 2^31, from 2106451305:
#   a11y search from=2106451305 to=<end> candidates_per_s=<with Orca> without=<without>
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
    long_to=$("$listing_tool" --next "$long_from" 2)

    # Three timed searches in one window; sets rate to their median, and ended to the time of day
    # the last one ended, as the click's time plus the program's own figure: the number box is
    # read back through keys that wait for the screen reader, which may speak the result first.
    # A search is short against a listening screen reader's delays, so one alone says little.
    timed_search() {
        local from=$1 to=$2 rates=() start box run
        for run in 1 2 3; do
            click "${number_box[@]}"
            xdotool key --clearmodifiers ctrl+a
            xdotool type --delay 20 "$from"
            # While Orca listens, keys reach the window through it and can arrive after a click
            # sent later; a search clicked before the number is in would start from the last
            # end. The copy's own keys come after the typed ones, so its text says they are in.
            for _ in $(seq 50); do
                [ "$(copy | tr -d ' ')" = "$from" ] && break
                sleep 0.1
            done
            sleep 0.5
            start=$(date +%s.%N)
            click "${two_pair_button[@]}"
            click "${number_box[@]}"
            local deadline=$((SECONDS + 300))
            while [ $SECONDS -lt $deadline ]; do
                box=$(copy)
                [ "$box" = " $to" ] && break
            done
            if [ "$box" != " $to" ]; then
                echo "a11ysearch: the number box shows '$box', not the search's end $to"
                return 1
            fi
            # The program's own figure for the search, from its click to its end: the read-back
            # keys wait for Orca and would time the screen reader, not the search.
            local took=
            for _ in $(seq 50); do
                took=$(grep -a "^search ended at $to after " "$work/app.log" | sed -n "${run}s/.* after \([0-9.]*\) ms$/\1/p")
                [ -n "$took" ] && break
                sleep 0.1
            done
            if [ -z "$took" ]; then
                echo "a11ysearch: the program did not say how long the search to $to took"
                return 1
            fi
            rates+=("$(awk -v ms="$took" -v n=$((to - from)) 'BEGIN { printf "%.0f", n / (ms / 1000) }')")
            ended=$(awk -v start="$start" -v ms="$took" 'BEGIN { printf "%.3f", start + ms / 1000 }')
        done
        rate=$(printf '%s\n' "${rates[@]}" | sort -n | sed -n 2p)
    }
    stop_program() {
        kill "$app_pid"
        wait "$app_pid" 2>/dev/null || true
        app_pid=
    }

    # The program says how long each search took, on its standard error (the window's log).
    export SUMMENLEITER_SEARCH_LOG=1
    start_window "$program"
    timed_search "$from" "$to"
    without=$rate
    timed_search "$long_from" "$long_to"
    without_long=$rate
    stop_program

    start_speech
    start_orca
    address=$(a11y_call --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress | tr -d ' ')
    # Every event any application sends on the accessibility bus; the program is the only one.
    dbus-monitor --address "$address" "type='signal'" \
        >"$work/events.log" 2>"$work/monitor.err" &
    monitor_pid=$!
    sleep 1
    start_window "$program"
    timed_search "$from" "$to"
    with=$rate
    search_ended=$ended
    timed_search "$long_from" "$long_to"
    with_long=$rate
    # The search's result as Orca speaks it, and when.
    spoken=
    for _ in $(seq 100); do
        spoken=$(grep -a "SPEECH OUTPUT: 'notification Suche beendet bei $to:" "$work/orca.log" | tail -n 1 || true)
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
        # Orca's log stamps the time of day; the search ended at $search_ended.
        after=$(awk -v line="${spoken%% - *}" -v ended="$search_ended" 'BEGIN {
            split(line, t, ":"); spoke = t[1] * 3600 + t[2] * 60 + t[3]
            cmd = "date -d @" ended " +%H:%M:%S.%N"; cmd | getline e; split(e, u, ":")
            printf "%.2f", spoke - (u[1] * 3600 + u[2] * 60 + u[3]) }')
        status=0
    fi
    echo "a11y search from=$from to=$to candidates_per_s=$with without=$without events=$events spoken_after_s=$after"
    # The search above now takes under a tenth of a second, about as long as reading the box back
    # through the keyboard, which a listening screen reader slows; the longest two-pair search
    # below 2^31 says more of the search itself.
    echo "a11y search from=$long_from to=$long_to candidates_per_s=$with_long without=$without_long"
    exit $status
fi

program=$1
listing_tool=$2
export from=1000000000 long_from=2106451305
work=$(mktemp -d)
. "$e2e/xwindow.sh"
cleanup() {
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
start_xvfb
dbus-run-session -- "$0" --in-session "$program" "$listing_tool" "$work"
