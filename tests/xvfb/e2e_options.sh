#!/usr/bin/env bash
# The command line. Wrong options end with status 2 and the usage before any
# window opens. --fill on a 1920x1080 screen shows every frame enlarged x4 at
# (320, 60), each pixel a 4x4 block, black all around, and the frame Space
# saves is what the screen shows. --window --scale 3 opens a 960x720 window.
# A read-only working folder runs, its temporary file in a private folder
# under $TMPDIR, and leaves nothing behind.
source "$(dirname "$0")/lib.sh" "$1" "$2"
prepare_data
quiet_environment
PCX="$WORK/run/capture.pcx"

# No display at all: the options are judged before the library starts.
for args in "--bogus" "--scale 0" "--scale 17" "--scale x" "--fill --window" "--data" "extra"; do
    set +e
    # shellcheck disable=SC2086
    DISPLAY= "$BUILD/tessera" $args >"$WORK/stdout" 2>"$WORK/stderr"
    status=$?
    set -e
    [ "$status" -eq 2 ] || fail "tessera $args: exit status $status, not 2"
    head -n 1 "$WORK/stderr" | grep -q '^tessera: ' || fail "tessera $args: no one-line reason"
    grep -q '^Usage: tessera' "$WORK/stderr" || fail "tessera $args: no usage on stderr"
    [ ! -s "$WORK/stdout" ] || fail "tessera $args: wrote to stdout"
done
DISPLAY= "$BUILD/tessera" --version | grep -qx 'tessera [0-9.]*' || fail "--version"
DISPLAY= "$BUILD/tessera" --help | grep -q -- '--fill' || fail "--help lists no options"

start_xvfb 1920x1080
VIEW=(--view 320,60,4)
start_app "$BUILD/tessera" --fill
check "${VIEW[@]}" wait "main 0" --pid "$APP_PID" --timeout 30 >/dev/null
check "${VIEW[@]}" main --picture 0 --seconds 7
xdotool keydown space
sleep 0.3
check pcx "$PCX" 0
check "${VIEW[@]}" capture-matches "$PCX" --seconds 4 || fail "the saved frame is not the screen"
xdotool keyup space
press Escape 0.3
wait_app 10
[ "$APP_STATUS" -eq 0 ] || fail "--fill: exit status $APP_STATUS"

start_app "$BUILD/tessera" --window --scale 3
for _ in $(seq 100); do
    xwininfo -root -tree | grep -q ' 960x720+' && break
    sleep 0.1
done
xwininfo -root -tree | grep -q ' 960x720+' || fail "--window --scale 3 opened no 960x720 window"
kill -TERM "$APP_PID"
wait_app 10
[ "$APP_STATUS" -eq 143 ] || fail "--window: exit status $APP_STATUS after SIGTERM"
kill "$XVFB_PID"
wait "$XVFB_PID" 2>/dev/null || true

start_xvfb
# A wrong setting in allegro.cfg is refused as a wrong option is.
printf '[tessera]\nscreen = huge\n' >"$HOME/allegro.cfg"
set +e
(cd "$WORK/run" && "$BUILD/tessera" >"$WORK/stdout" 2>"$WORK/stderr")
status=$?
set -e
rm "$HOME/allegro.cfg"
[ "$status" -eq 2 ] && grep -q '^tessera: allegro.cfg: .*huge' "$WORK/stderr" ||
    fail "a wrong screen in allegro.cfg: status $status, $(head -n 1 "$WORK/stderr")"

# A read-only working folder: a mount of its own, so that even root cannot
# write there.
mkdir -p "$WORK/ro" "$WORK/tmp"
cp "$WORK/run/res.dat" "$WORK/run/res_2.dat" "$WORK/ro/"
(TMPDIR="$WORK/tmp" exec unshare -m bash -c \
    'mount --bind "$1" "$1" && mount -o remount,bind,ro "$1" && cd "$1" && exec "$2"' \
    _ "$WORK/ro" "$BUILD/tessera" >"$WORK/stdout" 2>"$WORK/stderr") &
APP_PID=$!
check wait "main 0" --pid "$APP_PID" --timeout 30 >/dev/null ||
    fail "no main part from a read-only folder: $(cat "$WORK/stderr")"
[ "$(find "$WORK/tmp" -mindepth 1 -maxdepth 1 -name 'tessera.*' | wc -l)" -eq 1 ] ||
    fail "no private folder for the temporary file in \$TMPDIR"
press Escape 0.3
wait_app 10
[ "$APP_STATUS" -eq 0 ] || fail "read-only folder: exit status $APP_STATUS: $(cat "$WORK/stderr")"
[ -z "$(ls -A "$WORK/tmp")" ] || fail "left behind in \$TMPDIR: $(ls -A "$WORK/tmp")"
[ "$(ls -A "$WORK/ro" | tr '\n' ' ')" = "res.dat res_2.dat " ] || fail "the read-only folder changed"
echo "options ok"
