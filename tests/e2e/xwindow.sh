# Sourced by the scripts that drive the built program in a real X window: an X server of their
# own, the window enlarged over its start-up layout, the places of its controls, clicks and copies.
# The caller sets $work to a temporary folder and calls stop_window on its way out.

# The server picks a free display itself and writes its number once it accepts connections.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    if [ ! -s "$work/display" ]; then
        echo "Xvfb did not start:"
        cat "$work/xvfb.log"
        return 1
    fi
    export DISPLAY=:$(head -n 1 "$work/display")
    unset QT_QPA_PLATFORM
}

# Starts the program and waits until its window shows the analysis of 75.
start_window() {
    "$1" >"$work/app.log" 2>&1 &
    app_pid=$!
    wid=$(timeout 20 xdotool search --sync --name '^Summenleiter$' | head -n 1)
    # The start-up layout spans the screen; enlarge the window so that all of it can be reached.
    xdotool windowsize --sync "$wid" 1270 1000 || xdotool windowsize "$wid" 1270 1000
    for _ in $(seq 100); do
        click "${listing_box[@]}"
        [ "$(copy | head -c 9)" = $'\n 75 = 75' ] && return 0
        sleep 0.1
    done
    echo "the window never showed the analysis of 75"
    return 1
}

stop_window() {
    if [ -n "${app_pid:-}" ]; then
        kill "$app_pid" 2>/dev/null || true
        wait "$app_pid" 2>/dev/null || true
    fi
    if [ -n "${xvfb_pid:-}" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
    fi
    app_pid= xvfb_pid=
}

# Centres of the controls in pixels, from the start-up layout of a 1280 x 1024 screen
# (19200 x 15360 twips, 15 twips a pixel): the search frame at (5360, 4928) twips.
px() { echo $((($1 + 7) / 15)); }
frame_x=5360 frame_y=4928
number_box=("$(px $((frame_x + 1320 + 1507)))" "$(px $((frame_y + 240 + 322)))")
two_pair_button=("$(px $((frame_x + 120 + 1867)))" "$(px $((frame_y + 3720 + 247)))")
listing_box=("$(px $((480 + 2280)))" "$(px $((4928 + 3000)))")

click() { xdotool mousemove --window "$wid" "$1" "$2" click 1; }
# What the focused box holds, by select-all and copy.
copy() {
    xdotool key --clearmodifiers ctrl+a ctrl+c
    xclip -o -selection clipboard 2>/dev/null || true
}

# Prints what each log said, as "name:file" pairs of files in $work, for a run that failed.
show_logs() {
    local log
    for log in "$@"; do
        echo "${log%%:*} said:"
        if [ -s "$work/${log#*:}" ]; then cat "$work/${log#*:}"; else echo "(nothing)"; fi
    done
}

# Runs SCRIPT --in-session PROGRAM LISTING_TOOL WORK in a D-Bus session of its own under an Xvfb
# of its own, and ends the caller with the plain pass line; on failure it shows the logs named
# by the remaining "name:file" arguments. The caller sets $work and removes it on its way out.
run_in_private_session() {
    local script=$1 program=$2 listing_tool=$3
    shift 3
    if ! start_xvfb; then
        echo "0 passed, 1 failed"
        exit 1
    fi
    local status=0
    dbus-run-session -- "$script" --in-session "$program" "$listing_tool" "$work" || status=$?
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
    if [ $status -ne 0 ]; then
        show_logs "$@"
        echo "0 passed, 1 failed"
    else
        echo "1 passed, 0 failed"
    fi
    return $status
}
