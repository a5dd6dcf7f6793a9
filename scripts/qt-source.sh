# Sourced by the scripts that build Qt from Debian's own qtbase source for another platform
# (windows-qt.sh, web-qt.sh): the pinned source, fetched once into ~/.cache/summenleiter/sources,
# checked, unpacked, built and installed into a prefix that a marker file declares complete.
# The caller sets prefix and qt_target_name, the name for its messages.

qt_package=qt6-base
# The version of Debian's own Qt, which the Linux build uses: the host tools must be of the same
# version as the Qt they build for.
qt_version=6.4.2+dfsg-10
# The .dsc as fetched once; it names the checksums of the tarballs it unpacks.
qt_dsc_sha256=1b4b5c8610a553d4211fa81e268b1a3b0a6339ae5444fdb7e60d7616da651970
cache="${XDG_CACHE_HOME:-$HOME/.cache}/summenleiter"

say() { echo "$qt_target_name: $*" >&2; }

# Fetches the source through a private list of Debian's sources: the machine's own apt set-up,
# which may have no deb-src line, is left alone. Its mirror is the one the machine already uses.
# Every file is checked against the pinned .dsc; prints the .dsc's path.
qt_source_dsc() {
    local sources="$cache/sources" dsc mirror
    mkdir -p "$sources/lists/partial" "$sources/archives/partial"
    dsc="$sources/${qt_package}_${qt_version#*:}.dsc"
    if [ ! -f "$dsc" ]; then
        mirror="$(grep -hsE '^(URIs:|deb )' /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
                      /etc/apt/sources.list.d/*.sources \
                  | grep -v security | grep -oE 'https?://[^ ]+' | head -n1 || true)"
        [ -n "$mirror" ] || { say "no Debian mirror in the apt sources"; return 1; }
        echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror bookworm main" \
            > "$sources/sources.list"
        local apt_private=(-o Dir::Etc::SourceList="$sources/sources.list" -o Dir::Etc::SourceParts=/dev/null
                           -o Dir::State::Lists="$sources/lists" -o Dir::Cache::Archives="$sources/archives")
        say "fetching $qt_package $qt_version"
        apt-get "${apt_private[@]}" -qq update >&2
        (cd "$sources" && apt-get "${apt_private[@]}" -qq source --download-only "$qt_package=$qt_version") >&2
    fi
    echo "$qt_dsc_sha256  $dsc" | sha256sum --quiet -c - \
        || { say "$dsc is not the pinned one"; return 1; }
    # Every file the .dsc names, against its checksum there.
    awk '/^Checksums-Sha256:/{on=1; next} /^[^ ]/{on=0} on && NF==3 {print $1 "  " $3}' "$dsc" \
        | (cd "$sources" && sha256sum --quiet -c -) || { say "a source file does not match the .dsc"; return 1; }
    echo "$dsc"
}

# Unpacks the source into $1/qtbase.
qt_unpack() {
    local dsc
    dsc=$(qt_source_dsc) || return 1
    rm -rf "$1"
    mkdir -p "$1"
    say "unpacking"
    dpkg-source --no-check -x "$dsc" "$1/qtbase" >/dev/null
}

# Configures $1/qtbase into $1/build with the remaining arguments, builds and installs it into
# $prefix, and marks the prefix complete.
qt_build_install() {
    local work=$1 start end
    shift
    say "configuring (the log is $work/configure.log)"
    start=$(date +%s)
    cmake -S "$work/qtbase" -B "$work/build" -G Ninja -DCMAKE_INSTALL_PREFIX="$prefix" "$@" \
        >"$work/configure.log" 2>&1 || { tail -n 40 "$work/configure.log" >&2; return 1; }
    say "building with $(nproc) jobs (the log is $work/build.log)"
    cmake --build "$work/build" --parallel "$(nproc)" >"$work/build.log" 2>&1 \
        || { grep -m 20 -B 5 -A 20 'error' "$work/build.log" >&2 || tail -n 40 "$work/build.log" >&2; return 1; }
    cmake --install "$work/build" --strip >"$work/install.log" 2>&1 \
        || { tail -n 40 "$work/install.log" >&2; return 1; }
    # The licence texts that ship beside Qt's libraries.
    cp "$work/qtbase/LICENSES/LGPL-3.0-only.txt" "$work/qtbase/LICENSES/GPL-3.0-only.txt" "$prefix/"
    end=$(date +%s)
    echo "$qt_package $qt_version, built in $((end - start)) s" >"$prefix/.complete"
    say "built in $((end - start)) s"
    rm -rf "$work"
}
