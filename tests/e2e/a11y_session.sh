# Sourced inside a private D-Bus session (dbus-run-session) by the scripts that put the program in
# front of a screen reader: the AT-SPI bus with accessibility switched on, a speech server that
# makes no sound, and Orca, each private to the session. The caller sets $work to a temporary
# folder and runs stop_a11y_session on its way out.

# Everything that would otherwise live in the user's home or runtime folder (the AT-SPI socket,
# the speech server's socket, Orca's settings, GSettings) stays in $work.
private_dirs() {
    export XDG_RUNTIME_DIR=$work/runtime HOME=$work/home
    export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
    mkdir -p -m 700 "$XDG_RUNTIME_DIR" "$HOME"
    export GSETTINGS_BACKEND=memory
    # Each of these would switch Qt's bridge on by itself and hide a broken status path.
    unset AT_SPI_BUS_ADDRESS QT_LINUX_ACCESSIBILITY_ALWAYS_ON SPEECHD_ADDRESS
}

a11y_call() { dbus-send --session --print-reply=literal "$@"; }

start_a11y_bus() {
    # Without DISPLAY the launcher cannot publish the bus on the root window, so the status on the
    # session bus is the only way in.
    env -u DISPLAY /usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/bus.log" 2>&1 &
    bus_pid=$!
    local _
    bus_up() {
        a11y_call --dest=org.freedesktop.DBus /org/freedesktop/DBus org.freedesktop.DBus.NameHasOwner \
            string:org.a11y.Bus 2>/dev/null | grep -q true
    }
    for _ in $(seq 100); do bus_up && break; sleep 0.1; done
    if ! bus_up; then
        echo "the accessibility bus launcher did not take org.a11y.Bus"
        return 1
    fi
    # What a screen reader sets as it starts; Qt reads it once, when the program starts.
    local property
    for property in IsEnabled ScreenReaderEnabled; do
        a11y_call --dest=org.a11y.Bus /org/a11y/bus org.freedesktop.DBus.Properties.Set \
            string:org.a11y.Status string:$property variant:boolean:true >/dev/null || return 1
        if ! a11y_call --dest=org.a11y.Bus /org/a11y/bus org.freedesktop.DBus.Properties.Get \
            string:org.a11y.Status string:$property | grep -q 'boolean true'; then
            echo "org.a11y.Status $property did not turn true"
            return 1
        fi
    done
}

# speech-dispatcher with one output module that runs `true` for every utterance: Orca speaks as it
# would to a person (and logs it), nothing reaches an audio device, which a test machine lacks.
start_speech() {
    local conf=$work/speechd
    mkdir -p "$conf/modules"
    cat >"$conf/speechd.conf" <<'CONF'
AddModule "silent" "sd_generic" "silent.conf"
DefaultModule silent
DefaultLanguage "en"
AudioOutputMethod "libao"
CONF
    # libao's null driver: the module opens its "sound device" and everything it plays vanishes.
    printf 'default_driver=null\n' >"$HOME/.libao"
    cat >"$conf/modules/silent.conf" <<'CONF'
GenericExecuteSynth "true"
AddVoice "en" "MALE1" "silent"
CONF
    export SPEECHD_ADDRESS=unix_socket:$work/speechd.sock
    speech-dispatcher --run-single --communication-method unix_socket --socket-path "$work/speechd.sock" \
        --config-dir "$conf" --pid-file "$work/speechd.pid" --timeout 0 --log-dir "$work" \
        >"$work/speechd.out" 2>&1 &
    local _
    # It forks into the background whatever it is told; its pid file names the process to stop.
    for _ in $(seq 100); do
        if [ -S "$work/speechd.sock" ] && [ -s "$work/speechd.pid" ]; then
            speech_pid=$(cat "$work/speechd.pid")
            return 0
        fi
        sleep 0.1
    done
    echo "speech-dispatcher did not open its socket"
    return 1
}

# Orca, logging every utterance to $work/orca.log; returns once it is ready for events.
start_orca() {
    /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/orca_private.py" "$work/orca.log" "$work/orca-prefs" \
        >"$work/orca.out" 2>&1 &
    orca_pid=$!
    local _
    for _ in $(seq 200); do
        grep -q "ORCA: Starting ATSPI registry" "$work/orca.log" 2>/dev/null && return 0
        kill -0 "$orca_pid" 2>/dev/null || break
        sleep 0.1
    done
    echo "Orca did not start:"
    cat "$work/orca.out"
    return 1
}

stop_a11y_session() {
    local pid _
    for pid in ${app_pid:-} ${orca_pid:-} ${speech_pid:-} ${bus_pid:-}; do
        kill "$pid" 2>/dev/null || continue
        # Orca may hang on its way out while it waits for an application that has gone.
        for _ in $(seq 30); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    app_pid= orca_pid= speech_pid= bus_pid=
}
