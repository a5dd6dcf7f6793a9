#!/usr/bin/env bash
# The Windows program as a Windows user meets it, under Wine in a new prefix on an Xvfb of its own:
# the setup program installed silently, the installed program started from where it landed and
# used (the listing of 75, a typed number, a two-pair search, the stop button, the overflow
# report, closing), the program uninstalled and nothing of it left. Then the same with the
# portable archive unpacked into a folder of its own, closed once during a search, and a look at
# the window at 192 dpi. Screenshots go to SHOTS, when given.
# Usage: e2e_windows.sh SETUP PORTABLE_ZIP LISTING_TOOL [SHOTS]
set -euo pipefail
setup=$(realpath "$1")
portable=$(realpath "$2")
listing_tool=$(realpath "$3")
shots=${4:-}
work=$(mktemp -d)
. "$(dirname "$0")/xwindow.sh"

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
# No .NET or Gecko set-up, and no menu entries on the Linux desktop for what gets installed.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

passed=0 failed=0
ok() { echo "ok: $*"; passed=$((passed + 1)); }
bad() { echo "FAILED: $*"; failed=$((failed + 1)); }

cleanup() {
    stop_window
    "$wineserver" -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

shot() {
    [ -n "$shots" ] || return 0
    mkdir -p "$shots"
    import -window root "$shots/$1.png" 2>/dev/null || true
}

# What the number box and the listing hold, read as a person reads them: select-all and copy.
number_box_text() {
    click "${number_box[@]}"
    copy | tr -d ' \r'
}
listing_text() {
    click "${listing_box[@]}"
    copy | tr -d '\r'
}
# The listing the core gives for n, as the listing box shows it.
expected_listing() {
    "$listing_tool" "$1" "$(($1 + 1))" | tr -d '\r' | sed '1{/^$/d}'
}
same_listing() {
    [ "$(listing_text | sed '1{/^$/d}')" = "$(expected_listing "$1")" ]
}
type_number() {
    click "${number_box[@]}"
    xdotool key --clearmodifiers ctrl+a
    xdotool type --delay 30 "$1"
    sleep 0.3
}
# Waits until the number box stops changing and prints what it holds.
settled_number() {
    local last= now
    for _ in $(seq 300); do
        now=$(number_box_text)
        [ -n "$now" ] && [ "$now" = "$last" ] && break
        last=$now
        sleep 0.2
    done
    echo "$now"
}

# Sets exit_status to the program's exit code once it has ended, or to "still running" after 10 s.
wait_for_exit() {
    for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
    exit_status=0
    if kill -0 "$app_pid" 2>/dev/null; then
        kill "$app_pid" 2>/dev/null || true
        wait "$app_pid" 2>/dev/null || true
        exit_status="still running"
    else
        wait "$app_pid" 2>/dev/null || exit_status=$?
    fi
    app_pid=
}

stop_program() {
    kill "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
    app_pid=
}

# Snapshot of what a user's part of the prefix holds: files and the user's registry.
snapshot() {
    (cd "$WINEPREFIX/drive_c/users" && find . | LC_ALL=C sort) >"$work/files-$1"
    "$wine" reg export HKCU "$(winpath "$work/hkcu-$1.reg")" /y >/dev/null 2>&1
    # Less the console's settings, which Wine's console host writes for the console tools that
    # this test runs (cmd, reg) at a time of its own, and the save dialog's memory of the folder
    # last saved to, which Qt keeps for all its programs as Windows keeps its own dialogs'.
    iconv -f UTF-16LE -t UTF-8 "$work/hkcu-$1.reg" | tr -d '\r' \
        | awk '/^\[/ { skip = index($0, "[HKEY_CURRENT_USER\\Console") == 1 \
                           || index($0, "[HKEY_CURRENT_USER\\Software\\QtProject") == 1 } !skip' >"$work/hkcu-$1.txt"
}
same_snapshot() {
    local label=$1 before=$2 after=$3 status=0
    if ! diff "$work/files-$before" "$work/files-$after" >"$work/diff" 2>&1; then
        bad "$label: files left in the prefix:"
        sed 's/^/     | /' "$work/diff"
        status=1
    fi
    if ! diff "$work/hkcu-$before.txt" "$work/hkcu-$after.txt" >"$work/diff" 2>&1; then
        bad "$label: the user's registry changed:"
        sed 's/^/     | /' "$work/diff" | head -n 30
        status=1
    fi
    [ $status -ne 0 ] || ok "$label: nothing is left, in the files or in the user's registry"
}
winpath() { "$wine" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
unixpath() { "$wine" winepath -u "$1" 2>/dev/null | tr -d '\r'; }

# The chart of 75 saved as PNG through the chart's menu and Windows' save dialog, and the
# command line's companion beside the program at the Windows path $2, run from cmd.
export_checks() {
    local label=$1 exe=$2 cli png
    cli="${exe%\\*}\\summenleiter-cli.exe"
    "$wine" cmd /c "$cli" --liste 75 >"$work/cli-75.txt" 2>"$work/cli.log"
    { "$listing_tool" 75 75; printf '\r\n'; } >"$work/expected-75.txt"
    if cmp -s "$work/cli-75.txt" "$work/expected-75.txt"; then
        ok "$label: summenleiter-cli.exe --liste 75 from cmd prints the listing of 75 with CR LF"
    else
        bad "$label: summenleiter-cli.exe --liste 75 from cmd printed: $(head -c 200 "$work/cli-75.txt" | od -c | head -4) $(cat "$work/cli.log")"
    fi
    png="$(winpath "$work")\\chart-$label.png"
    xdotool mousemove --window "$wid" "$(px $((480 + 9120)))" "$(px $((1536 + 1000)))" click 3
    sleep 0.8
    shot "$label-chart-menu"
    xdotool key Down Down Return
    # Windows' own save dialog; without a window manager it gets the keyboard only when asked.
    local dialog
    dialog=$(find_window '^Diagramm speichern unter$' 15)
    [ -z "$dialog" ] || xdotool windowfocus --sync "$dialog" 2>/dev/null || true
    sleep 1
    xdotool key --clearmodifiers ctrl+a
    xdotool type --delay 20 "$png"
    shot "$label-save-dialog"
    xdotool key Return
    for _ in $(seq 50); do [ -s "$work/chart-$label.png" ] && break; sleep 0.2; done
    # The window has the keyboard again once the dialog is gone.
    for _ in $(seq 50); do
        xdotool search --onlyvisible --name '^Diagramm speichern unter$' >/dev/null 2>&1 || break
        sleep 0.1
    done
    if [ -s "$work/chart-$label.png" ] && [ "$(identify -format %m "$work/chart-$label.png" 2>/dev/null)" = PNG ]; then
        ok "$label: the chart of 75 saved as PNG through the save dialog ($(identify -format %wx%h "$work/chart-$label.png"))"
        [ -z "$shots" ] || cp "$work/chart-$label.png" "$shots/"
    else
        bad "$label: no PNG saved through the chart's menu"
        shot "$label-save-failed"
        xdotool key Escape
    fi
}

# Everything a user does with the program at the Windows path $2, as label $1.
use_program() {
    local label=$1 exe=$2 n
    if ! start_window "$wine" "$exe"; then
        bad "$label: no window titled Summenleiter with the analysis of 75"
        shot "$label-failed"
        show_logs "program:app.log"
        stop_program
        return
    fi
    ok "$label: the window titled Summenleiter opened"
    # Without a window manager Wine centres the window; at the screen's corner all of it shows.
    xdotool windowmove "$wid" 0 0 2>/dev/null || true
    shot "$label-start"
    if same_listing 75; then ok "$label: the listing of 75, read through the clipboard"
    else bad "$label: the listing of 75 differs from the core's"; fi

    export_checks "$label" "$exe"

    type_number 105
    if same_listing 105; then ok "$label: 105 typed into the number box is analysed"
    else bad "$label: the listing after typing 105 differs from the core's"; fi

    type_number 75
    click "${two_pair_button[@]}"
    n=$(settled_number)
    if [ "$n" = 105 ] && same_listing 105; then ok "$label: the two-pair search from 75 ends at 105"
    else bad "$label: the two-pair search from 75 ends at '$n', not 105"; fi
    shot "$label-search"

    # A search from a number that is not whole goes on until the stop button ends it.
    type_number 1000000.5
    click "${two_pair_button[@]}"
    sleep 0.5
    click "${stop_button[@]}"
    n=$(settled_number)
    if [[ "$n" =~ ^[0-9]+\.5$ ]] && awk -v n="$n" 'BEGIN { exit !(n > 1000000.5) }' \
        && [[ "$(listing_text | sed '1{/^$/d}' | head -n 1)" == " $n ="* ]]; then
        ok "$label: the stop button ended the search from 1000000.5 at $n"
    else
        bad "$label: the search from 1000000.5 was not stopped (the number box shows '$n')"
    fi

    type_number 3000000000
    click "${analysis_button[@]}"
    local mid=
    for _ in $(seq 100); do
        mid=$(xdotool search --onlyvisible --name '^Summenleiter$' 2>/dev/null | grep -vx "$wid" | head -n 1 || true)
        [ -n "$mid" ] && break
        sleep 0.1
    done
    if [ -n "$mid" ]; then
        sleep 0.5
        shot "$label-overflow"
        xdotool key --window "$mid" --clearmodifiers Return
        for _ in $(seq 50); do
            xdotool getwindowname "$mid" >/dev/null 2>&1 || break
            sleep 0.1
        done
        if xdotool getwindowname "$mid" >/dev/null 2>&1; then bad "$label: the overflow report did not close on Return"
        else ok "$label: 3000000000 and the analysis button show the overflow report, which Return closes"; fi
    else
        bad "$label: no overflow report for 3000000000 within 10 s"
    fi

    ask_to_close "$wid"
    wait_for_exit
    if [ "$exit_status" = 0 ]; then ok "$label: closing the window ended the program with exit code 0"
    else bad "$label: closing the window ended the program with '$exit_status'"; show_logs "program:app.log"; fi
}

start_xvfb
"$wine" wineboot --init >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log"; exit 1; }
# The folders as Windows names them; cmd leaves its console settings in the registry, so this
# comes before the snapshot that the uninstalled prefix is compared with.
localappdata=$("$wine" cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')
appdata=$("$wine" cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
"$wineserver" -w
snapshot new

# The setup program, silently, as a user without administrator rights.
"$wine" "$setup" /S >"$work/setup.log" 2>&1
"$wineserver" -w
installed="$localappdata\\Programs\\Summenleiter"
folder=$(unixpath "$installed")
link="$(unixpath "$appdata")/Microsoft/Windows/Start Menu/Programs/Summenleiter.lnk"
if [ -f "$folder/Summenleiter.exe" ] && [ -f "$folder/platforms/qwindows.dll" ]; then
    ok "install: the program is in $installed"
else
    bad "install: no program in $installed"
    show_logs "setup:setup.log"
fi
if [ -f "$link" ]; then ok "install: a Start-menu entry"; else bad "install: no Start-menu entry at $link"; fi
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Summenleiter'
"$wine" reg query "$key" 2>/dev/null | tr -d '\r' >"$work/uninstall-key"
missing=
for value in DisplayName DisplayVersion Publisher DisplayIcon UninstallString EstimatedSize; do
    grep -q "^ *$value " "$work/uninstall-key" || missing="$missing $value"
done
if [ -z "$missing" ]; then ok "install: listed under installed programs ($(grep -c REG_ "$work/uninstall-key") values)"
else bad "install: the installed-programs entry lacks$missing"; sed 's/^/     | /' "$work/uninstall-key"; fi

use_program installed "$installed\\Summenleiter.exe"

# Silently, as the entry under installed programs says; the uninstaller hands over to a copy of
# itself and returns at once, so wait until everything it removes is gone.
"$wine" "$installed\\Uninstall.exe" /S >"$work/uninstall.log" 2>&1
for _ in $(seq 100); do
    [ ! -e "$folder" ] && ! "$wine" reg query "$key" >/dev/null 2>&1 && break
    sleep 0.2
done
"$wineserver" -w
snapshot uninstalled
same_snapshot uninstall new uninstalled

# The portable archive, unpacked anywhere: here a folder outside the prefix, as a USB stick is.
mkdir -p "$work/stick"
unzip -q "$portable" -d "$work/stick"
exe=$(find "$work/stick" -name Summenleiter.exe | head -n 1)
use_program portable "$(winpath "$exe")"
if start_window "$wine" "$(winpath "$exe")"; then
    # A search that only a stop or the close ends.
    type_number 1000000.5
    click "${two_pair_button[@]}"
    ask_to_close "$wid"
    wait_for_exit
    if [ "$exit_status" = 0 ]; then ok "portable: closing the window during a search ended the program with exit code 0"
    else bad "portable: closing the window during a search ended the program with '$exit_status'"; fi
else
    bad "portable: the program did not start a second time"
fi
"$wineserver" -w
snapshot portable
same_snapshot portable new portable

# At 192 dpi, as on a high-resolution screen with Windows' scaling at 200 %: only a look.
"$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f >/dev/null 2>&1
"$wineserver" -w
"$wine" "$(winpath "$exe")" >"$work/app192.log" 2>&1 &
app_pid=$!
wid=$(find_window '^Summenleiter$' 30)
if [ -n "$wid" ]; then
    xdotool windowsize --sync "$wid" 1270 1000 2>/dev/null || xdotool windowsize "$wid" 1270 1000
    xdotool windowmove "$wid" 0 0 2>/dev/null || true
    sleep 2
    shot "portable-192dpi"
    ask_to_close "$wid"
    wait_for_exit
    if [ "$exit_status" = 0 ]; then ok "192 dpi: the window opened and closed with exit code 0"
    else bad "192 dpi: the program ended with '$exit_status'"; fi
else
    bad "192 dpi: no window"
    stop_program
fi

echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
