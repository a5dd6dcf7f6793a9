#!/usr/bin/env bash
# The program in front of the real screen reader: Orca on the program's own accessibility bus in a
# private D-Bus session under Xvfb, with a speech server that makes no sound, and the window
# walked with the keyboard. orca_check.py checks what Orca says.
# Usage: e2e_orca.sh PROGRAM LISTING_TOOL
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

if [ "${1:-}" = --in-session ]; then
    program=$2 listing_tool=$3 work=$4
    . "$here/a11y_session.sh"
    . "$here/xwindow.sh"
    trap stop_a11y_session EXIT
    private_dirs
    start_a11y_bus
    start_speech
    start_orca
    QT_QPA_PLATFORM=xcb "$program" >"$work/app.log" 2>&1 &
    app_pid=$!
    wid=$(find_window '^Summenleiter$' 20)
    [ -n "$wid" ] || { echo "FAIL: no window titled Summenleiter came up within 20 s"; exit 1; }
    # Without a window manager the window gets the keyboard only when given it.
    xdotool windowsize --sync "$wid" 1270 1000 || true
    xdotool windowfocus --sync "$wid"
    status=0
    timeout 90 /usr/bin/python3 "$here/orca_check.py" "$work/orca.log" "$wid" "$listing_tool" || status=$?
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
run_in_private_session "$0" "$program" "$listing_tool" "the program:app.log" "Orca:orca.out" \
    "the speech server:speechd.out" || status=$?
# What Orca said, for the record.
[ $status -ne 0 ] && { grep -a "SPEECH OUTPUT" "$work/orca.log" 2>/dev/null || true; }
[ -n "${ORCA_LOG_TO:-}" ] && cp "$work/orca.log" "$ORCA_LOG_TO"
exit $status
