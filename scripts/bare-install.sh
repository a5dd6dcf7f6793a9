#!/usr/bin/env bash
# Installs a Debian package of the program into a throwaway minimal Debian 12 system, as a new user
# would meet it, and checks it there: once without and once with recommended packages it installs
# the package, asks fontconfig for the faces the window is drawn in, starts the installed menu
# entry's Exec line as an ordinary user against an X server at 96 dpi and at scale 2, checks the
# window's class and that the analysis button's caption is whole, closes the window, purges the
# package and lists what is left. Nothing is installed on the machine that runs it.
#
# Usage: bare-install.sh DEB [SCREENSHOT_DIR]
# Prints one "ok"/"FAIL" line per check; exits non-zero if any failed. The packages the throwaway
# system downloads are kept in ${XDG_CACHE_HOME:-~/.cache}/summenleiter/apt-archives, without
# those that the archive no longer has (apt-get autoclean).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

# What the window is drawn in: the analysis button's designed 13.5 pt, and the faces the program
# asks for first (ui/fonts.cpp), with what each must come out as.
caption="graph. Darstellung anpassen"
caption_points=13.5
font_checks=("Liberation Sans:Liberation Sans" "Times New Roman:Liberation Serif"
    "Liberation Serif:Liberation Serif")
# The analysis button in the start-up layout of a 1280 x 1024 screen, in twips (15 a pixel): the
# search frame at (5360, 4928), the button at (120, 960) in it, 4215 x 735.
button_twips=(5480 5888 4215 735)

if [ "${1:-}" = --in-root ]; then
    # Run by mmdebstrap as a customize hook, outside the new system with its root in $2, as root or
    # as root of a user namespace. Writes its findings to $3/results; fails only on its own faults.
    # Each window gets an X server of its own, as each login would: the one before leaves the
    # input focus and the like behind, and the server must not reset to clear them (see start_x).
    root=$2 work=$3 displays=("${@:4}")
    # Every step reports its own failure; the hook carries on so that mmdebstrap still keeps the
    # downloaded packages.
    set +e
    # shellcheck source=/dev/null
    . "$work/settings"
    exec 3>>"$work/results"
    ok() { echo "ok   $*" >&3; }
    bad() { echo "FAIL $*" >&3; }
    info() { echo "     | $*" >&3; }
    in_root() {
        chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive "$@"
    }
    # What the system holds apart from what changes by itself.
    snapshot() {
        in_root dpkg-query -W -f='${Package}\n' | sort >"$1.packages"
        (cd "$root" && find . -xdev \( -path ./proc -o -path ./sys -o -path ./dev -o -path ./tmp -o \
            -path ./run -o -path ./var/cache -o -path ./var/lib/apt -o -path ./var/lib/dpkg -o \
            -path ./var/log \) -prune -o -print | sort) >"$1.files"
    }

    in_root useradd --create-home --uid 1000 --user-group tester
    snapshot "$work/before"

    # Starts the installed menu entry as the ordinary user, on display $1 with the environment in
    # $3..., and checks the window; $2 names the run in the messages and the screenshot.
    run_window() {
        local display=$1 name=$2 scale=$3 app_pid wid status
        shift 3
        mkdir -p "$root/tmp/runtime-tester"
        chown 1000:1000 "$root/tmp/runtime-tester"
        chmod 700 "$root/tmp/runtime-tester"
        chroot "$root" setpriv --reuid=1000 --regid=1000 --clear-groups /usr/bin/env -i HOME=/home/tester USER=tester LOGNAME=tester \
            PATH=/usr/local/bin:/usr/bin:/bin DISPLAY="$display" XDG_RUNTIME_DIR=/tmp/runtime-tester \
            "$@" "${launch[@]}" >"$work/$name.log" 2>&1 &
        app_pid=$!
        wid=
        for _ in $(seq 200); do
            wid=$(DISPLAY=$display xdotool search --onlyvisible --name '^Summenleiter$' 2>/dev/null | head -n 1 || true)
            [ -n "$wid" ] && break
            kill -0 "$app_pid" 2>/dev/null || break
            sleep 0.1
        done
        if [ -z "$wid" ]; then
            bad "$name: Exec=$exec_line opened no window 'Summenleiter' within 20 s"
            sed 's/^/     | /' "$work/$name.log" >&3
            kill "$app_pid" 2>/dev/null || true
            wait "$app_pid" 2>/dev/null || true
            return
        fi
        ok "$name: Exec=$exec_line, run as an ordinary user, opened the window 'Summenleiter'"

        local class
        class=$(DISPLAY=$display xprop -id "$wid" WM_CLASS | sed -n 's/.*= "\(.*\)", "\(.*\)"$/\2/p')
        if [ -n "$wm_class" ] && [ "$class" = "$wm_class" ]; then
            ok "$name: the window's class '$class' is the menu entry's StartupWMClass"
        else
            bad "$name: the window's class is '$class', the menu entry's StartupWMClass '$wm_class'"
        fi

        # The start-up layout reaches beyond the designed window; enlarge it to show the search frame.
        DISPLAY=$display xdotool windowsize --sync "$wid" $((1270 * scale)) $((1000 * scale)) 2>/dev/null ||
            DISPLAY=$display xdotool windowsize "$wid" $((1270 * scale)) $((1000 * scale))
        local shot=$work/shots/$name.png x y w h inset=$((3 * scale)) ink expected
        x=$(((button_twips[0] * scale + 7) / 15 + inset)) y=$(((button_twips[1] * scale + 7) / 15 + inset))
        w=$((button_twips[2] * scale / 15 - 2 * inset)) h=$((button_twips[3] * scale / 15 - 2 * inset))
        # The caption as the button's face would show it, from the font file in the new system.
        expected=$(/usr/bin/convert -density $((96 * scale)) -pointsize "$caption_points" -font "$root$sans_file" \
            label:"$caption" -colorspace gray -threshold 60% -format '%@' info:)
        # Polled: the window paints the enlarged area after the resize has been acknowledged.
        for _ in $(seq 50); do
            sleep 0.2
            DISPLAY=$display import -window "$wid" "$shot" 2>/dev/null || continue
            ink=$(/usr/bin/convert "$shot" -crop "${w}x${h}+${x}+${y}" +repage -colorspace gray \
                -threshold 60% -format '%@' info:)
            [ "${ink%%x*}" -gt 0 ] 2>/dev/null && [ "${ink%%x*}" != "$w" ] && break
        done
        # WxH+X+Y of the dark pixels inside the button's border, and of the rendering alone.
        local iw il ew
        iw=${ink%%x*} il=${ink#*+} il=${il%%+*} ew=${expected%%x*}
        if [ "$iw" -ge $((ew * 92 / 100)) ] && [ "$iw" -le $((ew * 108 / 100 + scale)) ] &&
            [ "$il" -ge 2 ] && [ $((il + iw)) -le $((w - 2)) ]; then
            ok "$name: the analysis button's caption is whole, $iw px wide from $il px inside the border" \
                "($ew px in $sans_family $caption_points pt at $((96 * scale)) dpi)"
        else
            bad "$name: the analysis button's caption is $iw px wide from $il px in a face $w px wide" \
                "(whole in $sans_family $caption_points pt it would be $ew px; screenshot $shot)"
        fi

        # The overflow report, in a message box: a number beyond 32 bits, then the analysis button.
        local mid=
        DISPLAY=$display xdotool mousemove --window "$wid" $(((5360 + 1320 + 1507) * scale / 15)) \
            $(((4928 + 240 + 322) * scale / 15)) click 1 key --clearmodifiers ctrl+a type 3000000000
        DISPLAY=$display xdotool mousemove --window "$wid" $(((5360 + 120 + 2107) * scale / 15)) \
            $(((4928 + 960 + 367) * scale / 15)) click 1
        for _ in $(seq 100); do
            mid=$(DISPLAY=$display xdotool search --onlyvisible --name '^Summenleiter$' 2>/dev/null | grep -vx "$wid" | head -n 1 || true)
            [ -n "$mid" ] && break
            sleep 0.1
        done
        if [ -n "$mid" ]; then
            sleep 0.5
            DISPLAY=$display import -window root "$work/shots/$name-message.png" 2>/dev/null
            DISPLAY=$display xdotool key --window "$mid" --clearmodifiers Return
            for _ in $(seq 50); do
                DISPLAY=$display xdotool getwindowname "$mid" >/dev/null 2>&1 || break
                sleep 0.1
            done
            if DISPLAY=$display xdotool getwindowname "$mid" >/dev/null 2>&1; then
                bad "$name: the overflow report for 3000000000 did not close on Return"
            else
                ok "$name: 3000000000 and the analysis button show the overflow report, which Return closes"
            fi
        else
            bad "$name: no overflow report for 3000000000 within 10 s"
        fi

        # What a window manager sends when the window's close button is pressed.
        DISPLAY=$display perl -MX11::Protocol -e '
            my ($x, $w) = (X11::Protocol->new, $ARGV[0]);
            $x->SendEvent($w, 0, 0, $x->pack_event(name => "ClientMessage", window => $w,
                type => $x->atom("WM_PROTOCOLS"), format => 32,
                data => pack("L5", $x->atom("WM_DELETE_WINDOW"), 0, 0, 0, 0)));
            $x->GetInputFocus;' "$wid"
        for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
        if kill -0 "$app_pid" 2>/dev/null; then
            bad "$name: the program still runs 10 s after its window was asked to close"
            kill "$app_pid" 2>/dev/null || true
        fi
        status=0
        wait "$app_pid" || status=$?
        if [ $status -eq 0 ]; then
            ok "$name: closing the window ended the program (exit status 0)"
        else
            bad "$name: the program ended with exit status $status when its window was closed"
            sed 's/^/     | /' "$work/$name.log" >&3
        fi
    }

    for recommends in false true; do
        label=$([ $recommends = true ] && echo "with recommends" || echo "without recommends")
        tag=$([ $recommends = true ] && echo recommends || echo bare)
        if ! in_root apt-get install -y -o APT::Install-Recommends=$recommends "/tmp/$deb_name" \
            >"$work/install-$tag.log" 2>&1; then
            bad "$label: apt-get install ./$deb_name in a minimal Debian 12"
            sed 's/^/     | /' "$work/install-$tag.log" >&3
            continue
        fi
        added=$(comm -13 "$work/before.packages" <(in_root dpkg-query -W -f='${Package}\n' | sort) | wc -l)
        ok "$label: apt-get install ./$deb_name in a minimal Debian 12 ($added packages added)"

        # The faces the program asks for first, as fontconfig finds them: each must be there,
        # proportional (spacing 100 is monospace), and the serif one stands in for Times New Roman.
        for pair in "${font_checks[@]}"; do
            asked=${pair%%:*} want=${pair#*:}
            got=$(in_root fc-match -f '%{family[0]}|%{spacing}|%{file}' "$asked")
            family=${got%%|*} spacing=${got#*|} spacing=${spacing%%|*} file=${got##*|}
            if [ "$family" = "$want" ] && [ "$spacing" != 100 ] && [ "$spacing" != 90 ]; then
                ok "$label: fc-match '$asked': $family ($file)"
            else
                bad "$label: fc-match '$asked' gives '$family' (spacing '${spacing:-proportional}'), not $want"
            fi
        done
        sans_file=$(in_root fc-match -f '%{file}' "Liberation Sans")
        sans_family="Liberation Sans"
        for generic in sans-serif serif; do
            info "$label: fontconfig's own $generic here is $(in_root fc-match -f '%{family[0]}' "$generic")" \
                "(the program names its faces)"
        done

        desktop=$root/usr/share/applications/$app_id.desktop
        exec_line=$(sed -n '/^\[Desktop Entry\]/,/^\[/s/^Exec=//p' "$desktop" | head -n 1)
        wm_class=$(sed -n '/^\[Desktop Entry\]/,/^\[/s/^StartupWMClass=//p' "$desktop" | head -n 1)
        launch=()
        set -f
        for word in $exec_line; do
            case $word in
            %[fFuU]) ;;
            *) launch+=("$word") ;;
            esac
        done
        set +f
        run_window "${displays[0]}" "$tag-96dpi" 1
        run_window "${displays[1]}" "$tag-scale2" 2 QT_SCALE_FACTOR=2
        displays=("${displays[@]:2}")

        in_root apt-get purge -y summenleiter >"$work/purge-$tag.log" 2>&1 || true
        in_root apt-get autoremove --purge -y >>"$work/purge-$tag.log" 2>&1 || true
        snapshot "$work/after-$tag"
        left_packages=$(comm -13 "$work/before.packages" "$work/after-$tag.packages")
        left_files=$(comm -13 "$work/before.files" "$work/after-$tag.files")
        if [ -z "$left_packages" ] && ! grep -q summenleiter <<<"$left_files"; then
            ok "$label: apt-get purge summenleiter and autoremove --purge leave no package behind"
        else
            bad "$label: after purge and autoremove these remain: $(echo $left_packages)"
        fi
        if [ -n "$left_files" ]; then
            info "$label: left behind in the system (by the packages installed with it, not by this one):"
            sed 's#^\.#     |   #' <<<"$left_files" >&3
        else
            info "$label: no file is left behind"
        fi
        # The next round starts from the same system.
        rm -rf "$root/home/tester/.cache" "$root/home/tester/.config" "$root/home/tester/.local"
    done
    exit 0
fi

deb=$(realpath "$1")
shots=${2:-}
cache=${XDG_CACHE_HOME:-$HOME/.cache}/summenleiter/apt-archives
mkdir -p "$cache"
work=$(mktemp -d)
chmod 755 "$work"
mkdir "$work/shots"
cleanup() {
    for pid in "${xvfb_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

# The X servers run here; the new system reaches them through their abstract sockets. They do not
# reset when their last client leaves, which would drop the program were it to connect just then.
xvfb_pids=()
displays=()
start_x() {
    Xvfb -displayfd 3 -screen 0 "$2" -dpi 96 -nolisten tcp -noreset 3>"$work/display$1" >"$work/xvfb$1.log" 2>&1 &
    xvfb_pids+=($!)
    for _ in $(seq 100); do [ -s "$work/display$1" ] && break; sleep 0.1; done
    [ -s "$work/display$1" ] || { echo "FAIL Xvfb did not start"; cat "$work/xvfb$1.log"; exit 1; }
    displays+=(":$(head -n 1 "$work/display$1")")
}
# At 96 dpi and at scale 2, without and with recommended packages.
for round in 1 2; do
    start_x "$round-96dpi" 1280x1024x24
    start_x "$round-scale2" 2560x2048x24
done

app_id=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed -n 's|^\./usr/share/applications/\(.*\)\.desktop$|\1|p')
{
    echo "deb_name=$(basename "$deb")"
    echo "app_id=$app_id"
} >"$work/settings"
: >"$work/results"

# Runs at the same time would prune and refill the cache under each other; they take turns.
exec 9>"$cache.lock"
flock 9
started=$SECONDS
status=0
# Minbase: Essential and required packages and apt, as debootstrap --variant=minbase makes it.
# Nothing in the throwaway system needs to survive a crash; unsafe I/O spares dpkg its fsyncs.
mmdebstrap --variant=minbase --skip=essential/unlink --dpkgopt=force-unsafe-io \
    --aptopt='Acquire::Languages "none"' \
    --setup-hook='mkdir -p "$1"/var/cache/apt/archives/' \
    --setup-hook="sync-in '$cache' /var/cache/apt/archives/" \
    --customize-hook="copy-in '$deb' /tmp" \
    --customize-hook="'$here/bare-install.sh' --in-root \"\$1\" '$work' ${displays[*]}" \
    --customize-hook='chroot "$1" apt-get autoclean -qq' \
    --customize-hook="find '$cache' -maxdepth 1 -name '*.deb' -delete" \
    --customize-hook="sync-out /var/cache/apt/archives '$cache'" \
    bookworm /dev/null http://deb.debian.org/debian >"$work/mmdebstrap.log" 2>&1 || status=$?
if [ $status -ne 0 ]; then
    echo "FAIL mmdebstrap bookworm (exit $status)"
    tail -n 30 "$work/mmdebstrap.log" | sed 's/^/     | /'
fi
cat "$work/results"
echo "note the throwaway system took $((SECONDS - started)) s; its packages are cached in $cache" \
    "($(du -sh "$cache" | cut -f1))"
if [ -n "$shots" ]; then
    mkdir -p "$shots"
    cp "$work"/shots/*.png "$shots"/ 2>/dev/null || true
fi
[ $status -eq 0 ] && ! grep -q '^FAIL' "$work/results"
