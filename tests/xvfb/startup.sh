# The real program: it refuses to run without a display or without its data,
# with one clear line and a non-zero status; with both it starts, runs the
# intro and the main part, and Esc ends it with a fade and a clean exit;
# allegro.cfg can put it in a window instead of full screen. SIGINT, SIGTERM
# and SIGHUP end it at any moment, at once and in order; losing the X display
# ends it at once with one line.
source "$(dirname "$0")/lib.sh"

prepare_data

# No display: the line names the display, status 1.
no_display() {
    local expected=$1
    shift
    set +e
    (cd "$WORK/run" && env "$@" "$BUILD/tessera" >"$WORK/stdout" 2>"$WORK/stderr")
    local status=$?
    set -e
    [ $status -eq 1 ] || fail "status $status without a display ($*)"
    printf '%s\n' "$expected" | cmp -s - "$WORK/stderr" ||
        fail "without a display ($*) the message is not '$expected': $(cat "$WORK/stderr")"
}
no_display "tessera: cannot open the X display: DISPLAY is not set" -u DISPLAY
absent=4242
while [ -e "/tmp/.X11-unix/X$absent" ] || [ -e "/tmp/.X$absent-lock" ]; do
    absent=$((absent + 1))
done
no_display "tessera: cannot open the X display \":$absent\"" DISPLAY=":$absent"

start_xvfb

# No rows file: the file and the fault are named, before any window opens.
mv "$WORK/run/res_2.dat" "$WORK/res_2.dat"
set +e
(cd "$WORK/run" && "$BUILD/tessera" >"$WORK/stdout" 2>"$WORK/stderr")
status=$?
set -e
[ $status -eq 1 ] || fail "status $status without res_2.dat"
grep -q "^tessera: res_2.dat: cannot open" "$WORK/stderr" || fail "message: $(cat "$WORK/stderr")"
mv "$WORK/res_2.dat" "$WORK/run/res_2.dat"

# A clipped archive: the member it ends in is named.
head -c 300000 "$SOURCE/data/res.dat" >"$WORK/run/res.dat"
set +e
(cd "$WORK/run" && "$BUILD/tessera" >"$WORK/stdout" 2>"$WORK/stderr")
status=$?
set -e
[ $status -eq 1 ] || fail "status $status with a clipped archive"
grep -q "^tessera: res.dat: the archive ends inside the member at offset" "$WORK/stderr" ||
    fail "message: $(cat "$WORK/stderr")"
cp "$SOURCE/data/res.dat" "$WORK/run/res.dat"

# A whole run cut short with Esc: a tap ends the intro, another the main part.
start_app
check wait shown --pid "$APP_PID" --timeout 30 >/dev/null
press Escape 0.2
check wait main --pid "$APP_PID" --timeout 10 >/dev/null
screenshot "$WORK/main.png"
press Escape 0.2
wait_app 10
[ "$APP_STATUS" -eq 0 ] || fail "exit status $APP_STATUS"
grep -q "Sorry, MIDI is unavailable" "$WORK/stdout" || fail "no MIDI line on a machine without sound"
[ ! -e "$WORK/run/tempola.xyz" ] || fail "tempola.xyz left behind"

# In a window, as allegro.cfg's [graphics] section can ask: an ordinary
# 640x480 window that a window manager can manage, showing the demo, and no
# full-screen window over the display.
mkdir -p "$WORK/cfg"
printf '[graphics]\ngfx_card = XWIN\n' >"$WORK/cfg/allegro.cfg"
ALLEGRO="$WORK/cfg" start_app
check wait shown --pid "$APP_PID" --timeout 30 >/dev/null || fail "nothing shown in the window"
windows=$(xwininfo -root -children | awk '/^ +0x/ {print $1}')
for id in $windows; do
    info=$(xwininfo -id "$id")
    if grep -q "Map State: IsViewable" <<<"$info"; then
        grep -q "Override Redirect State: no" <<<"$info" || fail "a full-screen window: $info"
        grep -q '"tessera"' <<<"$info" && grep -q "Width: 640" <<<"$info" &&
            grep -q "Height: 480" <<<"$info" && shown=$id
    fi
done
[ -n "${shown:-}" ] || fail "no 640x480 window named tessera among: $(xwininfo -root -children)"
press Escape 0.2
check wait main --pid "$APP_PID" --timeout 10 >/dev/null
press Escape 0.2
wait_app 10
[ "$APP_STATUS" -eq 0 ] || fail "exit status $APP_STATUS in a window"

# ---- Signals end the run the way Esc does, but at once (no fade): by that
# signal, within a second, leaving nothing behind and saying nothing.
quiet_environment
cc -shared -fPIC -O2 -o "$WORK/preload.so" "$SOURCE/tests/xvfb/preload.c" -ldl ||
    fail "cannot build the preloaded hooks"

# Starts the demo under a watcher that writes how it ended to $WORK/ended,
# "signal N" or "exit N": a shell's status cannot tell the two apart. SIGINT
# is set back to its default, as from a terminal (a background job of a
# script starts with it ignored, and the demo keeps an ignored signal so).
# APP_PID is the demo's own process.
start_watched() {
    rm -f "$WORK/ended" "$WORK/pid"
    (cd "$WORK/run" && exec python3 -c '
import os, signal, subprocess, sys
signal.signal(signal.SIGINT, signal.SIG_DFL)
p = subprocess.Popen(sys.argv[2:])
with open(sys.argv[1] + ".new", "w") as f:
    f.write(str(p.pid))
os.rename(sys.argv[1] + ".new", sys.argv[1])
r = p.wait()
with open(sys.argv[1] + ".ended", "w") as f:
    f.write("signal %d" % -r if r < 0 else "exit %d" % r)
' "$WORK/pid" "$BUILD/tessera" >"$WORK/stdout" 2>"$WORK/stderr") &
    WATCHER=$!
    for _ in $(seq 100); do
        [ -s "$WORK/pid" ] && break
        sleep 0.05
    done
    APP_PID=$(cat "$WORK/pid")
}

# The run that a signal ended: how, and what it left.
check_ended_by() {
    local sig=$1 what=$2
    wait "$WATCHER"
    APP_PID=
    [ "$(cat "$WORK/pid.ended")" = "signal $(kill -l "$sig")" ] ||
        fail "$what: the demo ended with $(cat "$WORK/pid.ended"), not by SIG$sig"
    [ ! -s "$WORK/stderr" ] || fail "$what: standard error: $(head -c 500 "$WORK/stderr")"
    local left
    left=$(cd "$WORK/run" && ls -A | tr '\n' ' ')
    [ "$left" = "res.dat res_2.dat " ] || fail "$what: the run folder holds: $left"
    for p in /proc/[0-9]*; do
        [ "$(readlink "$p/cwd" 2>/dev/null)" != "$WORK/run" ] || fail "$what: process ${p#/proc/} left"
    done
}

# Sends SIG$1 to the running demo at the moment $2 and times its end, in
# TOOK: a second, with slack for a loaded machine (or $3 seconds).
stop_now() {
    local sig=$1 moment=$2 limit=${3:-2.5} start
    start=$(now)
    kill -s "$sig" "$APP_PID"
    for _ in $(seq 500); do
        kill -0 "$APP_PID" 2>/dev/null || break
        sleep 0.01
    done
    TOOK=$(python3 -c "print(round($(now) - $start, 3))")
    kill -0 "$APP_PID" 2>/dev/null && fail "SIG$sig in the $moment: the demo still runs after 5 s"
    echo "SIG$sig in the $moment: ended after $TOOK s"
    between 0 "$TOOK" "$limit" || fail "SIG$sig in the $moment: the demo took $TOOK s to end"
    check_ended_by "$sig" "SIG$sig in the $moment"
}

# Loading at start-up, caught inside the first picture's load: the demo ends
# before sound is installed, so without the MIDI line.
TESSERA_SIGNAL_AT_LOAD="1:$(kill -l TERM)" LD_PRELOAD="$WORK/preload.so" start_watched
for _ in $(seq 100); do
    kill -0 "$APP_PID" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$APP_PID" 2>/dev/null && fail "SIGTERM in loading: the demo runs on (did the hook in load_pcx run?)"
check_ended_by TERM "loading"
[ ! -s "$WORK/stdout" ] || fail "SIGTERM in loading: start-up went on to the sound"

for sig in INT TERM HUP; do
    start_watched
    check wait shown --pid "$APP_PID" --timeout 30 >/dev/null
    stop_now "$sig" intro

    start_watched
    check wait shown --pid "$APP_PID" --timeout 30 >/dev/null
    press Escape 0.2
    check wait main --pid "$APP_PID" --timeout 5 >/dev/null
    stop_now "$sig" "main part"
done

# Esc let go starts the fade (half a second); the signal comes during it.
start_watched
check wait shown --pid "$APP_PID" --timeout 30 >/dev/null
press Escape 0.2
check wait main --pid "$APP_PID" --timeout 5 >/dev/null
press Escape 0.2
stop_now INT "fade"

# A shutdown that hangs (a hook stands in: stop_midi never returns, as the
# library's shutdown can hang once the X server has gone) is cut short two
# seconds after the signal, by that signal.
TESSERA_HANG_IN_STOP_MIDI=1 LD_PRELOAD="$WORK/preload.so" start_watched
check wait shown --pid "$APP_PID" --timeout 30 >/dev/null
press Escape 0.2
check wait main --pid "$APP_PID" --timeout 5 >/dev/null
stop_now TERM "main part with a hanging shutdown" 4
between 1.5 "$TOOK" 4 || fail "the hook in stop_midi did not hold the shutdown"

# The X server goes away under the main part: one line, status 1, at once,
# nothing left behind (Xlib's own way out would hang in the library's shutdown).
kill "$XVFB_PID"
wait "$XVFB_PID" 2>/dev/null || true
XVFB_PID=
start_xvfb
start_watched
check wait shown --pid "$APP_PID" --timeout 30 >/dev/null
press Escape 0.2
check wait main --pid "$APP_PID" --timeout 5 >/dev/null
kill "$XVFB_PID"
XVFB_PID=
for _ in $(seq 50); do
    kill -0 "$APP_PID" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$APP_PID" 2>/dev/null && fail "losing the display: the demo still runs after 5 s"
wait "$WATCHER"
APP_PID=
[ "$(cat "$WORK/pid.ended")" = "exit 1" ] || fail "losing the display: the demo ended with $(cat "$WORK/pid.ended")"
grep -qx "tessera: lost the connection to the X display" "$WORK/stderr" ||
    fail "losing the display: $(head -c 500 "$WORK/stderr")"
[ "$(cd "$WORK/run" && ls -A | tr '\n' ' ')" = "res.dat res_2.dat " ] ||
    fail "losing the display left: $(ls -A "$WORK/run")"
echo "ok"
