#!/usr/bin/env bash
# Builds the Debian package from the build in build/, validates its desktop entry, its AppStream
# metadata and the package itself, installs it, starts the installed program the way its menu entry
# does and closes the window again, then removes the package unless it was installed before.
# Prints one line per check and exits non-zero if any failed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
started=$SECONDS
scripts/deps.sh

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
apt_get() { "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get "$@"; }

passed=0
failed=0
ok() { echo "ok   $*"; passed=$((passed + 1)); }
bad() { echo "FAIL $*"; failed=$((failed + 1)); }
indent() { sed '/^[[:space:]]*$/d; s/^/     | /'; }
summary() { echo "package: $passed passed, $failed failed ($((SECONDS - started)) s)"; }
# For a step that the rest cannot do without.
die() {
    bad "$*"
    summary
    exit 1
}

work=$(mktemp -d)
we_installed=no
cleanup() {
    if [ -n "${app_pid:-}" ]; then kill "$app_pid" 2>/dev/null || true; fi
    if [ -n "${xvfb_pid:-}" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    if [ "$we_installed" = yes ]; then
        echo "removing the package after the failure"
        apt_get purge -y -qq summenleiter >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

[ -f build/CMakeCache.txt ] || cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" >"$work/build.log" 2>&1 || { indent <"$work/build.log"; die "build"; }

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/CMakeCache.txt)
arch=$(dpkg --print-architecture)
deb=build/summenleiter_${version}_${arch}.deb
rm -f build/summenleiter_*.deb
(cd build && cpack -G DEB) >"$work/cpack.log" 2>&1 || { indent <"$work/cpack.log"; die "cpack -G DEB"; }
[ -f "$deb" ] || { indent <"$work/cpack.log"; die "cpack made no $deb"; }
ok "cpack made $deb ($(stat -c %s "$deb") bytes)"

field() { dpkg-deb -f "$deb" "$1"; }
problems=()
[ "$(field Package)" = summenleiter ] || problems+=("Package is '$(field Package)'")
[ "$(field Version)" = "$version" ] || problems+=("Version is '$(field Version)', not $version")
[ "$(field Architecture)" = "$arch" ] || problems+=("Architecture is '$(field Architecture)'")
for f in Section Priority Maintainer; do
    [ -n "$(field "$f")" ] || problems+=("no $f")
done
[ "$(field Description | wc -l)" -ge 2 ] || problems+=("no extended description")
if [ ${#problems[@]} -eq 0 ]; then
    ok "control: $(field Package) $(field Version) $(field Architecture), Section $(field Section)," \
        "Priority $(field Priority), Maintainer $(field Maintainer)"
else
    bad "control: ${problems[*]}"
fi

# Without dpkg-shlibdeps CPack quietly leaves the libraries out of Depends.
depends=$(field Depends)
if grep -q 'fonts-liberation2' <<<"$depends" && grep -q 'libqt6widgets6' <<<"$depends" &&
    grep -q 'libc6' <<<"$depends"; then
    ok "Depends: $depends"
else
    bad "Depends lacks fonts-liberation2 or the libraries from dpkg-shlibdeps: $depends"
fi

changelog_version=$(dpkg-parsechangelog -l packaging/changelog -S Version)
release_version=$(grep -o -m1 '<release version="[^"]*"' src/app/*.metainfo.xml | sed 's/.*"\(.*\)"/\1/')
manual_version=$(sed -n 's/^\.TH .*"Summenleiter \([^"]*\)".*/\1/p' doc/summenleiter.1)
if [ "$changelog_version" = "$version" ] && [ "$release_version" = "$version" ] &&
    [ "$manual_version" = "$version" ]; then
    ok "version $version in CMakeLists.txt, packaging/changelog, the AppStream release and the manual page"
else
    bad "versions differ: project $version, changelog '$changelog_version'," \
        "AppStream release '$release_version', manual page '$manual_version'"
fi

dpkg-deb -x "$deb" "$work/pkg"
mapfile -t entries < <(find "$work/pkg/usr/share/applications" -name '*.desktop' 2>/dev/null)
[ ${#entries[@]} -eq 1 ] || die "the package holds ${#entries[@]} desktop entries, not one"
app_id=$(basename "${entries[0]}" .desktop)

status=0
desktop-file-validate "${entries[0]}" >"$work/dfv.log" 2>&1 || status=$?
if [ $status -eq 0 ]; then
    ok "desktop-file-validate $app_id.desktop"
else
    bad "desktop-file-validate $app_id.desktop (exit $status)"
fi
indent <"$work/dfv.log"

metainfo=$work/pkg/usr/share/metainfo/$app_id.metainfo.xml
if [ -f "$metainfo" ]; then
    status=0
    appstreamcli validate --no-net "$metainfo" >"$work/asv.log" 2>&1 || status=$?
    if [ $status -eq 0 ]; then
        ok "appstreamcli validate --no-net $app_id.metainfo.xml"
    else
        bad "appstreamcli validate --no-net $app_id.metainfo.xml (exit $status)"
    fi
    indent <"$work/asv.log"
    # What software centres show and filter by, which the validator lets pass when missing.
    missing=()
    for element in '<metadata_license>' '<project_license>MIT</project_license>' \
        '<content_rating type="oars-1.1"' '<summary>' '<summary xml:lang="de">' '<p>' '<p xml:lang="de">' \
        '<categories>'; do
        grep -qF "$element" "$metainfo" || missing+=("$element")
    done
    if [ ${#missing[@]} -eq 0 ]; then
        ok "AppStream metadata has both licences, the OARS 1.1 rating, categories, and summary and description in English and German"
    else
        bad "AppStream metadata lacks ${missing[*]}"
    fi
    component_id=$(sed -n 's|.*<id>\(.*\)</id>.*|\1|p' "$metainfo")
    launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$metainfo")
    if [ "$component_id" = "$app_id" ] && [ "$launchable" = "$app_id.desktop" ]; then
        ok "AppStream id $component_id launches $launchable"
    else
        bad "AppStream id '$component_id' and launchable '$launchable' do not match $app_id.desktop"
    fi
else
    bad "no AppStream metadata $app_id.metainfo.xml in the package"
fi

status=0
lintian --display-info --pedantic --fail-on error "$deb" >"$work/lintian.log" 2>&1 || status=$?
tally=$(awk '/^E: /{e++} /^W: /{w++} /^I: /{i++} /^P: /{p++}
    END {printf "%d errors, %d warnings, %d infos, %d pedantic", e, w, i, p}' "$work/lintian.log")
if [ $status -eq 0 ]; then
    ok "lintian: $tally"
else
    bad "lintian (exit $status): $tally"
fi
# Lintian's remark on being run as root is about this machine, not the package.
grep -v '^running with root privileges' "$work/lintian.log" | indent || true

was_installed=no
dpkg-query -W -f='${Status}' summenleiter 2>/dev/null | grep -q 'install ok installed' && was_installed=yes
# An installed package of the same version would make apt-get skip this build without --reinstall.
reinstall=()
[ "$was_installed" = yes ] && reinstall=(--reinstall)
if ! apt_get install -y "${reinstall[@]}" "$root/$deb" >"$work/install.log" 2>&1; then
    indent <"$work/install.log"
    die "apt-get install -y ./$deb"
fi
[ "$was_installed" = yes ] || we_installed=yes
installed_version=$(dpkg-query -W -f='${Version}' summenleiter)
[ "$installed_version" = "$version" ] || die "apt-get left summenleiter $installed_version installed, not $version"
ok "apt-get install -y ./$deb"

desktop=/usr/share/applications/$app_id.desktop
icon=$(sed -n 's/^Icon=//p' "$desktop" 2>/dev/null | head -n 1)
for f in /usr/bin/summenleiter "$desktop" /usr/share/metainfo/"$app_id".metainfo.xml \
    /usr/share/icons/hicolor/scalable/apps/"$icon".svg \
    /usr/share/icons/hicolor/64x64/apps/"$icon".png /usr/share/icons/hicolor/256x256/apps/"$icon".png \
    /usr/share/man/man1/summenleiter.1.gz \
    /usr/share/doc/summenleiter/copyright /usr/share/doc/summenleiter/changelog.gz; do
    # Owned by the package, so that a copy from cmake --install cannot stand in for it.
    if [ ! -f "$f" ]; then
        bad "not installed: $f"
    elif [ "$(dpkg-query -S "$f" 2>/dev/null | cut -d: -f1)" != summenleiter ]; then
        bad "not from the package: $f"
    elif [[ $f == */bin/* ]] && [ ! -x "$f" ]; then
        bad "not executable: $f"
    else
        ok "installed $f"
    fi
done

exec_line=$(sed -n '/^\[Desktop Entry\]/,/^\[/s/^Exec=//p' "$desktop" | head -n 1)
launch=()
if [[ "$exec_line" =~ [\"\'\\\$\`] ]]; then
    bad "Exec=$exec_line: quoting is not understood here"
else
    set -f
    for word in $exec_line; do
        case $word in
        %[fFuU]) ;; # the files or addresses a launcher would pass: none here
        *%*) bad "Exec=$exec_line: field code $word is not understood here" ;;
        *) launch+=("$word") ;;
        esac
    done
    set +f
fi

if [ ${#launch[@]} -gt 0 ]; then
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    [ -s "$work/display" ] || { indent <"$work/xvfb.log"; die "Xvfb did not start"; }
    display=:$(head -n 1 "$work/display")
    mkdir -m 700 "$work/runtime"
    # The system PATH, as a desktop session has it, so that no copy elsewhere is started instead.
    env -u QT_QPA_PLATFORM DISPLAY="$display" XDG_RUNTIME_DIR="$work/runtime" PATH=/usr/bin:/bin \
        "${launch[@]}" >"$work/app.log" 2>&1 &
    app_pid=$!
    # Like xdotool search --sync, but giving up as soon as the program has ended.
    wid=
    for _ in $(seq 200); do
        wid=$(DISPLAY=$display xdotool search --name '^Summenleiter$' 2>/dev/null | head -n 1 || true)
        [ -n "$wid" ] && break
        kill -0 "$app_pid" 2>/dev/null || break
        sleep 0.1
    done
    exe=$(readlink "/proc/$app_pid/exe" 2>/dev/null || true)
    if [ -z "$wid" ]; then
        indent <"$work/app.log"
        if kill -0 "$app_pid" 2>/dev/null; then
            bad "Exec=$exec_line: no window 'Summenleiter' within 20 s"
        else
            status=0
            wait "$app_pid" || status=$?
            app_pid=
            bad "Exec=$exec_line ended with exit status $status before a window 'Summenleiter' appeared"
        fi
    elif [ "$(DISPLAY=$display xdotool getwindowpid "$wid")" != "$app_pid" ] || [ "$exe" != /usr/bin/summenleiter ]; then
        bad "Exec=$exec_line: the window 'Summenleiter' is not that of the started $exe"
    else
        ok "Exec=$exec_line opened the window 'Summenleiter' (process $app_pid, $exe)"
        # What a window manager sends when the window's close button is pressed.
        DISPLAY=$display perl -MX11::Protocol -e '
            my ($x, $w) = (X11::Protocol->new, $ARGV[0]);
            $x->SendEvent($w, 0, 0, $x->pack_event(name => "ClientMessage", window => $w,
                type => $x->atom("WM_PROTOCOLS"), format => 32,
                data => pack("L5", $x->atom("WM_DELETE_WINDOW"), 0, 0, 0, 0)));
            $x->GetInputFocus;' "$wid"
        for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
        if kill -0 "$app_pid" 2>/dev/null; then
            bad "the program still runs 10 s after its window was asked to close"
        else
            status=0
            wait "$app_pid" || status=$?
            app_pid=
            if [ $status -eq 0 ]; then
                ok "closing the window ended the program (exit status 0)"
            else
                indent <"$work/app.log"
                bad "the program ended with exit status $status when its window was closed"
            fi
        fi
    fi
    if [ -n "$app_pid" ]; then
        kill "$app_pid" 2>/dev/null || true
        wait "$app_pid" 2>/dev/null || true
        app_pid=
    fi
    kill "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
fi

if [ "$was_installed" = yes ]; then
    echo "note summenleiter was installed before this run and stays installed, now at $version"
else
    apt_get purge -y summenleiter >"$work/purge.log" 2>&1 || indent <"$work/purge.log"
    we_installed=no
    if ! dpkg-query -W -f='${Status}' summenleiter 2>/dev/null | grep -q 'ok installed' &&
        [ ! -e /usr/bin/summenleiter ] && [ ! -e "$desktop" ]; then
        ok "apt-get purge -y summenleiter"
    else
        bad "apt-get purge -y summenleiter left the package or its files behind"
    fi
fi

summary
[ $failed -eq 0 ]
