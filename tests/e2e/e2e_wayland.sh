#!/usr/bin/env bash
# The accessibility end-to-end test with the program as a native Wayland client: Debian's weston
# with its headless backend as the compositor, no X server at all, the program on Qt's wayland
# platform, driven through AT-SPI as e2e_a11y.sh drives it under X. Also checks the app id that
# the compositor is given, which desktops match against the menu entry's file name. Then closes
# the window as a person does under weston: the headless backend has no pointer, and weston sends
# a window no close request of its own, so a second weston on an Xvfb takes a click on the close
# button that Qt draws in its window decoration.
# Usage: e2e_wayland.sh PROGRAM LISTING_TOOL APP_ID
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=$1
listing_tool=$2
app_id=$3
work=$(mktemp -d)
. "$here/xwindow.sh"

cleanup() {
    stop_window
    if [ -n "${weston_pid:-}" ]; then
        kill "$weston_pid" 2>/dev/null || true
        wait "$weston_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# The compositor's socket and the session's buses live in a runtime folder of this test's own.
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset DISPLAY WAYLAND_SOCKET
export WAYLAND_DISPLAY=wayland-e2e
# The protocol log shows what the compositor receives from its clients, the app id among it.
weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --width=1280 --height=1024 \
    --idle-time=0 --log="$work/weston.log" --logger-scopes=log,proto >"$work/weston.out" 2>&1 &
weston_pid=$!
for _ in $(seq 100); do
    [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && break
    kill -0 "$weston_pid" 2>/dev/null || break
    sleep 0.1
done
if [ ! -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ]; then
    echo "weston did not start:"
    cat "$work/weston.out" "$work/weston.log" 2>/dev/null || true
    echo "0 passed, 1 failed"
    exit 1
fi
echo "weston $(weston --version | cut -d' ' -f2) up with its headless backend on $WAYLAND_DISPLAY"

status=0
dbus-run-session -- "$here/e2e_a11y.sh" --in-session "$program" "$listing_tool" "$work" wayland || status=$?

# Whether the program went through the compositor at all, and under which app id.
given=$(sed -n 's/.*xdg_toplevel@[0-9]*\.set_app_id("\(.*\)").*/\1/p' "$work/weston.log" | head -n 1)
if [ "$given" = "$app_id" ]; then
    echo "ok: the compositor was given the app id '$given'"
else
    echo "FAIL: the compositor was given the app id '$given', not '$app_id'"
    [ $status -ne 0 ] || status=1
fi

kill "$weston_pid" 2>/dev/null || true
wait "$weston_pid" 2>/dev/null || true
weston_pid=

close_by_decoration() {
    start_xvfb || return 1
    WAYLAND_DISPLAY=wayland-e2e-x
    # A plain dark desktop without panel or animations, so that the one light grey area is the
    # window, standing still where weston placed it.
    printf '%s\n' '[shell]' 'background-color=0xff102040' 'panel-position=none' 'animation=none' \
        'startup-animation=none' 'close-animation=none' >"$work/weston.ini"
    weston --backend=x11-backend.so --use-pixman --width=1200 --height=960 --socket="$WAYLAND_DISPLAY" \
        --config="$work/weston.ini" --idle-time=0 --log="$work/weston-x.log" >"$work/weston-x.out" 2>&1 &
    weston_pid=$!
    for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && break; sleep 0.1; done
    # The program must not see the X server, only the compositor. In the sanitizer build the leak
    # check at exit is left to the X11 tests: Qt's Wayland plugins leave libwayland objects behind,
    # some from plugins unloaded before the check could name them, none from the program's code.
    env -u DISPLAY QT_QPA_PLATFORM=wayland ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
        "$program" >"$work/app-close.log" 2>&1 &
    app_pid=$!
    # Outside weston's X window the pointer is not drawn over the decoration, and weston learns
    # where it is only when it enters that window again.
    xdotool mousemove 1270 1010
    # The window and its decoration are the one area of this grey; the decoration's close button
    # sits in its top right corner. Found when two pictures in a row agree.
    local frame= last=
    for _ in $(seq 100); do
        sleep 0.2
        import -window root "$work/weston.png" 2>/dev/null || continue
        frame=$(/usr/bin/convert "$work/weston.png" -fill black +opaque 'rgb(239,239,239)' \
            -fill white -opaque 'rgb(239,239,239)' -format '%@' info: 2>/dev/null)
        [ "${frame%%x*}" -gt 100 ] 2>/dev/null && [ "$frame" = "$last" ] && break
        last=$frame frame=
    done
    if [ -z "$frame" ]; then
        echo "FAIL: no window decoration stood still within 20 s (last seen: ${last:-none})"
        return 1
    fi
    local w=${frame%%x*} x y
    x=${frame#*+} y=${x#*+} x=${x%%+*}
    echo "ok: the window's decoration found at $frame in weston on Xvfb; clicking its close button"
    # The pointer comes to rest over the button before it is pressed, as a hand's would.
    xdotool mousemove $((x + w - 19)) $((y + 14))
    sleep 0.5
    xdotool click 1
    for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$app_pid" 2>/dev/null; then
        import -window root "$work/weston.png" 2>/dev/null || true
        echo "FAIL: the program still runs 10 s after its close button was clicked"
        kill "$app_pid" 2>/dev/null || true
        wait "$app_pid" 2>/dev/null || true
        return 1
    fi
    local code=0
    wait "$app_pid" || code=$?
    if [ $code -ne 0 ]; then
        echo "FAIL: closing the window ended the program with exit status $code"
        cat "$work/app-close.log"
        return 1
    fi
    echo "ok: closing the window ended the program (exit status 0)"
    app_pid=
}
if [ $status -eq 0 ]; then
    close_by_decoration || status=$?
fi
stop_window

if [ $status -ne 0 ]; then
    show_logs "the program:app.log" "the accessibility bus:bus.log" "weston:weston.out"
    echo "0 passed, 1 failed"
else
    echo "1 passed, 0 failed"
fi
exit $status
