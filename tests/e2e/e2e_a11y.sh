#!/usr/bin/env bash
# Drives the built program through the desktop accessibility stack as a screen reader does: an
# X server, a D-Bus session with the AT-SPI bus in it, accessibility switched on through
# org.a11y.Status, and a pyatspi client that finds, reads, types into and presses the controls.
# Usage: e2e_a11y.sh PROGRAM LISTING_TOOL
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

if [ "${1:-}" = --in-session ]; then
    # The part inside the private D-Bus session; e2e_wayland.sh runs it with the platform wayland.
    program=$2 listing_tool=$3 work=$4 platform=${5:-xcb}

    stop_all() {
        for pid in ${app_pid:-} ${bus_pid:-}; do
            kill "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
        done
    }
    trap stop_all EXIT

    # The AT-SPI bus keeps its socket under XDG_RUNTIME_DIR (else in ~/.cache, shared with any
    # other session of the same user) and its switches in GSettings (else in the user's dconf).
    export XDG_RUNTIME_DIR=$work/runtime
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
    export GSETTINGS_BACKEND=memory
    # Each of these would switch Qt's bridge on by itself and hide a broken status path.
    unset AT_SPI_BUS_ADDRESS QT_LINUX_ACCESSIBILITY_ALWAYS_ON
    # A launcher built with X11 support also publishes the bus address on the root window, and
    # Qt connects wherever it finds that; without DISPLAY the status is the only way in.
    env -u DISPLAY /usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/bus.log" 2>&1 &
    bus_pid=$!

    session() { dbus-send --session --print-reply=literal "$@"; }
    bus_up() {
        session --dest=org.freedesktop.DBus /org/freedesktop/DBus org.freedesktop.DBus.NameHasOwner \
            string:org.a11y.Bus 2>/dev/null | grep -q true
    }
    for _ in $(seq 100); do bus_up && break; sleep 0.1; done
    if ! bus_up; then
        echo "the accessibility bus launcher did not take org.a11y.Bus"
        exit 1
    fi
    # What a screen reader sets as it starts; Qt reads it once, when the program starts.
    for property in IsEnabled ScreenReaderEnabled; do
        session --dest=org.a11y.Bus /org/a11y/bus org.freedesktop.DBus.Properties.Set \
            string:org.a11y.Status string:$property variant:boolean:true >/dev/null
        if ! session --dest=org.a11y.Bus /org/a11y/bus org.freedesktop.DBus.Properties.Get \
            string:org.a11y.Status string:$property | grep -q 'boolean true'; then
            echo "org.a11y.Status $property did not turn true"
            exit 1
        fi
    done
    echo "accessibility bus up; org.a11y.Status IsEnabled and ScreenReaderEnabled set"

    QT_QPA_PLATFORM=$platform "$program" >"$work/app.log" 2>&1 &
    app_pid=$!
    # Debian's own Python: pyatspi is installed for it, not for one earlier on PATH. Its own
    # waits are bounded; this bound is for a D-Bus call that never returns, so that everything
    # started here is still stopped before CTest's timeout would strike.
    status=0
    timeout 90 /usr/bin/python3 "$here/a11y_check.py" "$app_pid" "$listing_tool" || status=$?
    [ $status -eq 124 ] && echo "FAIL: the checks did not finish within 90 s"
    exit $status
fi

program=$1
listing_tool=$2
work=$(mktemp -d)

cleanup() {
    if [ -n "${xvfb_pid:-}" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

. "$here/xwindow.sh"
status=0
run_in_private_session "$0" "$program" "$listing_tool" "the program:app.log" "the accessibility bus:bus.log" ||
    status=$?
exit $status
