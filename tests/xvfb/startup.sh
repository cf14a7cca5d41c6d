# The real program: it refuses to run without a display or without its data,
# with one clear line and a non-zero status; with both it starts, runs the
# intro and the main part, and Esc ends it with a fade and a clean exit; and
# allegro.cfg can put it in a window instead of full screen.
source "$(dirname "$0")/lib.sh"

prepare_data

# No display: Allegro's reason, status 1.
(cd "$WORK/run" && env -u DISPLAY "$BUILD/tessera" >"$WORK/stdout" 2>"$WORK/stderr") && fail "ran without a display"
grep -q "^tessera: cannot start Allegro" "$WORK/stderr" || fail "no message without a display: $(cat "$WORK/stderr")"

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

# In a window, as allegro.cfg's [graphics] section can ask: an ordinary
# 640x480 window that a window manager can manage, showing the demo, and no
# full-screen window over the display.
mkdir -p "$WORK/cfg"
printf '[graphics]\ngfx_card = XWIN\n' >"$WORK/cfg/allegro.cfg"
ALLEGRO="$WORK/cfg" start_app
python3 "$SOURCE/tests/xvfb/check.py" --data "$WORK/run" wait shown --pid "$APP_PID" \
    --timeout 30 >/dev/null || fail "the windowed demo showed nothing"
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
sleep 2
press Escape 0.2
wait_app 10
[ "$APP_STATUS" -eq 0 ] || fail "exit status $APP_STATUS in a window"
echo "ok"
