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

    . "$here/a11y_session.sh"
    trap stop_a11y_session EXIT
    private_dirs
    start_a11y_bus || exit 1
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
