# Sourced by the scripts that drive the built program in a real X window: an X server of their
# own, the window enlarged over its start-up layout, the places of its controls, clicks and copies.
# The caller sets $work to a temporary folder and calls stop_window on its way out.

# The server picks a free display itself and writes its number once it accepts connections. It
# must not reset when its last client leaves: a reset drops a client that connects meanwhile, and
# with xdotool polling, the program is such a client now and then.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
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

# Starts the program (the command and its arguments) and waits until its window shows the
# analysis of 75.
start_window() {
    "$@" >"$work/app.log" 2>&1 &
    app_pid=$!
    wid=$(find_window '^Summenleiter$' 20)
    if [ -z "$wid" ]; then
        echo "no window titled Summenleiter came up within 20 s"
        return 1
    fi
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

# Waits up to $2 seconds for a mapped window whose title matches $1 and prints its id. Only a
# mapped one: Wine names its window before mapping it, and on mapping it sets the size it holds
# itself, so that a window enlarged while still unmapped comes up at its small start-up size.
# Polled rather than --sync: a window that goes while xdotool checks whether it is mapped ends
# that xdotool with an X error, and Wine makes and drops windows as it starts.
find_window() {
    local deadline=$((SECONDS + $2)) id
    while :; do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        [ $SECONDS -lt $deadline ] || return 0
        sleep 0.1
    done
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
one_pair_button=("$(px $((frame_x + 120 + 1867)))" "$(px $((frame_y + 3120 + 247)))")
analysis_button=("$(px $((frame_x + 120 + 2107)))" "$(px $((frame_y + 960 + 367)))")
stop_button=("$(px $((frame_x + 3960 + 487)))" "$(px $((frame_y + 3120 + 547)))")

click() { xdotool mousemove --window "$wid" "$1" "$2" click 1; }
# What the focused box holds, by select-all and copy.
copy() {
    xdotool key --clearmodifiers ctrl+a ctrl+c
    xclip -o -selection clipboard 2>/dev/null || true
}

# Without xdotool's pauses after a click (100 ms) and between keys (12 ms), which would otherwise
# be timed with every search, a quarter of a second or more.
quick_click() { xdotool mousemove --window "$wid" "$1" "$2" click --delay 0 1; }
quick_copy() {
    xdotool key --clearmodifiers --delay 0 ctrl+a ctrl+c
    xclip -o -selection clipboard 2>/dev/null || true
}

# Types $1 into the number box, clicks the two-pair search and times it to the moment the number
# box holds $2, in search_s (seconds). Fails when the box never does, with its text in search_box.
timed_search() {
    local from=$1 to=$2 start end deadline
    click "${number_box[@]}"
    xdotool key --clearmodifiers ctrl+a
    xdotool type --delay 20 "$from"
    sleep 0.3
    start=$(date +%s.%N)
    quick_click "${two_pair_button[@]}"
    # Back in the number box, so that select-all and copy read it. While the search runs, the box
    # changes between the two keys; once it has ended, the copy holds the end.
    quick_click "${number_box[@]}"
    search_box=
    deadline=$((SECONDS + 600))
    while [ $SECONDS -lt $deadline ]; do
        search_box=$(quick_copy)
        [ "$search_box" = " $to" ] && break
    done
    end=$(date +%s.%N)
    search_s=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f", b - a }')
    [ "$search_box" = " $to" ]
}

# What a window manager sends when the close button of window $1 is pressed.
ask_to_close() {
    perl -MX11::Protocol -e '
        my ($x, $w) = (X11::Protocol->new, $ARGV[0]);
        $x->SendEvent($w, 0, 0, $x->pack_event(name => "ClientMessage", window => $w,
            type => $x->atom("WM_PROTOCOLS"), format => 32,
            data => pack("L5", $x->atom("WM_DELETE_WINDOW"), 0, 0, 0, 0)));
        $x->GetInputFocus;' "$1"
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
