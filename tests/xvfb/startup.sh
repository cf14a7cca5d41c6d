# The real program: it refuses to run without a display or without its data,
# with one clear line and a non-zero status; with both it starts, runs the
# intro and the main part, and Esc ends it with a fade and a clean exit.
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
sleep 2
press Escape 0.2
sleep 3
kill -0 "$APP_PID" 2>/dev/null || fail "the program ended with the intro"
screenshot "$WORK/main.png"
press Escape 0.2
wait_app 10
[ "$APP_STATUS" -eq 0 ] || fail "exit status $APP_STATUS"
grep -q "Sorry, MIDI is unavailable" "$WORK/stdout" || fail "no MIDI line on a machine without sound"
[ ! -e "$WORK/run/tempola.xyz" ] || fail "tempola.xyz left behind"
echo "ok"
