# Helpers for the tests that run the real program under Xvfb.
# Source it with the build folder and the source folder as $1 and $2.
set -euo pipefail

BUILD=$(cd "$1" && pwd)
SOURCE=$(cd "$2" && pwd)
WORK=$(mktemp -d /tmp/tessera-xvfb-XXXXXX)
XVFB_PID=
WESTON_PID=

cleanup() {
    local status=$?
    if [ -n "${APP_PID:-}" ]; then
        kill "$APP_PID" 2>/dev/null || true
        # SIGTERM ends the demo within a second; a program that hangs all the
        # same must not outlive its test.
        for _ in $(seq 20); do
            kill -0 "$APP_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill -9 "$APP_PID" 2>/dev/null || true
    fi
    [ -n "$WESTON_PID" ] && kill "$WESTON_PID" 2>/dev/null && wait "$WESTON_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    if [ $status -eq 0 ] || [ $status -eq 77 ]; then
        rm -rf "$WORK"
    else
        echo "work folder kept: $WORK" >&2
    fi
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Ends a test that cannot run here; ctest counts status 77 as skipped.
skip() {
    echo "SKIP: $*"
    exit 77
}

# Readies the Wine prefix the Windows tests share, kept in the build folder,
# without a sound device; its server goes with the test.
wine_prefix() {
    export WINEPREFIX=$BUILD/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wineboot -i >"$WORK/wineboot.log" 2>&1 || fail "cannot make the Wine prefix"
        wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d '' /f >/dev/null 2>&1
        # wineboot returns while the new prefix is still being set up; a program
        # started meanwhile finds no graphics driver.
        wineserver -w
    fi
    # cleanup sees the test's status.
    trap 'wine_status=$?; wineserver -k 2>/dev/null || true; set +e; (exit $wine_status); cleanup' EXIT
}

# Starts Xvfb on a free display (24-bit, 640x480 or the size $1 gives) and
# exports DISPLAY.
start_xvfb() {
    local fd_file="$WORK/display"
    Xvfb -displayfd 3 -screen 0 "${1:-640x480}x24" -nolisten tcp 3>"$fd_file" 2>"$WORK/xvfb.log" &
    XVFB_PID=$!
    for _ in $(seq 100); do
        [ -s "$fd_file" ] && break
        sleep 0.1
    done
    [ -s "$fd_file" ] || fail "Xvfb did not start"
    export DISPLAY=":$(cat "$fd_file")"
}

# Starts Weston with Xwayland on the Xvfb screen (start_xvfb first, its size
# as $1), a Wayland desktop in a window: keeps the Xvfb display in OUTER and
# exports DISPLAY as the Xwayland display, which Weston starts for the first
# client. Input to Weston is typed into OUTER.
start_weston() {
    OUTER=$DISPLAY
    mkdir -m 700 "$WORK/xdg"
    XDG_RUNTIME_DIR="$WORK/xdg" weston --backend=x11-backend.so --width="${1%x*}" \
        --height="${1#*x}" --use-pixman --xwayland --socket=tessera >"$WORK/weston.log" 2>&1 &
    WESTON_PID=$!
    local listening=
    for _ in $(seq 200); do
        listening=$(grep -o 'xserver listening on display :[0-9]*' "$WORK/weston.log") && break
        kill -0 "$WESTON_PID" 2>/dev/null || fail "Weston ended: $(tail -n 3 "$WORK/weston.log")"
        sleep 0.1
    done
    [ -n "$listening" ] || fail "Weston offered no X display"
    export DISPLAY=${listening##* }
}

# Makes $WORK/run hold copies of the data files, the program's working folder.
# TESSERA_DATA names another folder to take them from.
prepare_data() {
    local from=${TESSERA_DATA:-$SOURCE/data}
    mkdir -p "$WORK/run"
    cp "$from/res.dat" "$from/res_2.dat" "$WORK/run/"
}

# Starts a program (default: the demo) in $WORK/run, in the background,
# with its output in $WORK/stdout and $WORK/stderr; sets APP_PID.
start_app() {
    local program=${1:-$BUILD/tessera}
    shift || true
    (cd "$WORK/run" && exec "$program" "$@" >"$WORK/stdout" 2>"$WORK/stderr") &
    APP_PID=$!
}

# Waits up to $1 seconds for the program to end; sets APP_STATUS.
wait_app() {
    local limit=$1
    for _ in $(seq $((limit * 10))); do
        if ! kill -0 "$APP_PID" 2>/dev/null; then
            set +e
            wait "$APP_PID"
            APP_STATUS=$?
            set -e
            APP_PID=
            return 0
        fi
        sleep 0.1
    done
    fail "the program did not end within $limit s"
}

# Holds a key for $2 seconds (default 0.3): a bare tap can fall between two
# polls of the key array.
press() {
    xdotool keydown "$1"
    sleep "${2:-0.3}"
    xdotool keyup "$1"
}

# Saves the X screen as a PNG, $1.
screenshot() {
    xwd -root -silent | convert xwd:- "$1"
}

# ---- Helpers for the end-to-end tests (e2e_*.sh, long_e2e_*.sh).

# Looks at the data, the screenshot file or the X screen: see check.py.
check() {
    python3 "$SOURCE/tests/xvfb/check.py" --data "$WORK/run" "$@"
}

# No sound device and no personal Allegro settings: the program then finds no
# MIDI output, as on a machine without a sound card.
quiet_environment() {
    mkdir -p "$WORK/home"
    export HOME="$WORK/home"
    unset ALLEGRO
    export PULSE_SERVER=unix:/nonexistent PIPEWIRE_REMOTE=/nonexistent
    export JACK_NO_START_SERVER=1 ALSA_CONFIG_PATH=/nonexistent
}

running() {
    [ -n "${APP_PID:-}" ] && kill -0 "$APP_PID" 2>/dev/null
}

# Seconds since the epoch, with fractions.
now() {
    date +%s.%N
}

# Passes when $1 <= $2 <= $3 (decimal numbers).
between() {
    python3 -c "import sys; a, x, b = map(float, sys.argv[1:]); sys.exit(not a <= x <= b)" "$@"
}

# Checksums of the data files in the run folder.
data_sums() {
    (cd "$WORK/run" && sha256sum res.dat res_2.dat)
}

# The console output must be the one line about MIDI.
check_console() {
    printf 'Sorry, MIDI is unavailable\r\n' >"$WORK/expected-stdout"
    cmp -s "$WORK/stdout" "$WORK/expected-stdout" ||
        fail "standard output is not the single MIDI line: $(od -c "$WORK/stdout" | head -5)"
}

# Plays the whole demo without a key: intro, ten pictures, fade, exit status 0,
# in 270 s of wall time (8.2 s intro, 10 x 26.15 s pictures, two fades) within
# 3 %. Meanwhile the screen is watched: the intro, then pictures 0..9 in order,
# each for 1569 ticks, each change with a flash. The data files stay as they
# were and no temporary file is left behind.
#   run_whole_demo hold-esc   Esc is pressed in the last picture and held past
#                             its end: the demo must run on until it is let go.
run_whole_demo() {
    quiet_environment
    local sums_before start end took open_end= released=
    sums_before=$(data_sums)
    # A crash leaves a core in the kept work folder. Allegro's signal handler
    # turns a crash during a screen update into an abort (status 134).
    ulimit -c unlimited 2>/dev/null || true
    start=$(now)
    start_app
    check monitor --pid "$APP_PID" --out "$WORK/timeline.log" &
    local monitor=$!
    if [ "${1:-}" = hold-esc ]; then
        # The last picture is on show from about 245 s to 270 s.
        until_second() { python3 -c "import time; time.sleep(max(0, $start + $1 - $(now)))"; }
        until_second 262
        running || fail "the demo ended before its last picture"
        xdotool keydown Escape
        until_second 277
        running || fail "the demo ended while Esc was held over the end of the last picture"
        check wait "main 9" --timeout 2 >/dev/null || fail "the last picture is not on show"
        check differs --gap 0.5 || fail "the picture stood still while Esc was held"
        xdotool keyup Escape
        released=$(now)
        open_end=--open-end
    fi
    wait_app 400
    end=$(now)
    wait "$monitor" || fail "watching the screen failed"
    took=$(python3 -c "print(round($end - $start, 2))")
    echo "the demo ran $took s and ended with status $APP_STATUS"
    [ "$APP_STATUS" -eq 0 ] || fail "exit status $APP_STATUS, stderr: $(head -c 2000 "$WORK/stderr")"
    if [ -n "$open_end" ]; then
        # Letting go comes after the checks made while Esc was held, at 277 s
        # or a little later; the fade and the end follow within seconds.
        local after
        after=$(python3 -c "print(round($end - $released, 2))")
        between 277 "$took" 285 && between 0 "$after" 4 ||
            fail "the demo ran $took s, ending $after s after Esc was let go"
    else
        between 261.9 "$took" 278.1 || fail "the demo ran $took s, not 270 s +- 3 %"
    fi
    check timeline $open_end "$WORK/timeline.log"
    [ ! -e "$WORK/run/tempola.xyz" ] || fail "tempola.xyz was left behind"
    [ ! -e "$WORK/run/capture.pcx" ] || fail "capture.pcx was written without Space"
    [ "$(data_sums)" = "$sums_before" ] || fail "the data files changed"
    check_console
}
