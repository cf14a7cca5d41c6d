# Helpers for the tests that run the real program under Xvfb.
# Source it with the build folder and the source folder as $1 and $2.
set -euo pipefail

BUILD=$(cd "$1" && pwd)
SOURCE=$(cd "$2" && pwd)
WORK=$(mktemp -d /tmp/tessera-xvfb-XXXXXX)
XVFB_PID=

cleanup() {
    local status=$?
    [ -n "${APP_PID:-}" ] && kill "$APP_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    if [ $status -eq 0 ]; then
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

# Starts Xvfb on a free display (24-bit, 640x480) and exports DISPLAY.
start_xvfb() {
    local fd_file="$WORK/display"
    Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$fd_file" 2>"$WORK/xvfb.log" &
    XVFB_PID=$!
    for _ in $(seq 100); do
        [ -s "$fd_file" ] && break
        sleep 0.1
    done
    [ -s "$fd_file" ] || fail "Xvfb did not start"
    export DISPLAY=":$(cat "$fd_file")"
}

# Makes $WORK/run hold copies of the data files, the program's working folder.
prepare_data() {
    mkdir -p "$WORK/run"
    cp "$SOURCE/data/res.dat" "$SOURCE/data/res_2.dat" "$WORK/run/"
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
