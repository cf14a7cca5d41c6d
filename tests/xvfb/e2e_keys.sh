#!/usr/bin/env bash
# Keys in a real window: Esc and Alt end the intro at once; in the main part Esc
# ends the demo only when it is released, also when it was held down since the
# intro; Alt does nothing there; --vsync changes neither the keys nor the console.
source "$(dirname "$0")/lib.sh" "$1" "$2"
start_xvfb
prepare_data
quiet_environment

# Lets go of Esc: the fade follows at once and the program ends cleanly.
release_esc_and_expect_end() {
    xdotool keyup Escape
    local released
    released=$(now)
    wait_app 10
    local gone
    gone=$(python3 -c "print(round($(now) - $released, 2))")
    [ "$APP_STATUS" -eq 0 ] || fail "exit status $APP_STATUS after Esc"
    between 0 "$gone" 4 || fail "the demo took $gone s to end after Esc was released"
}

# The intro would run 8.2 s by itself; a key pressed a second in must bring the
# main part within three.
end_intro_with() {
    check wait shown --pid "$APP_PID" --timeout 30 >/dev/null
    sleep 1
    press "$1" 0.2
    check wait main --pid "$APP_PID" --timeout 3 >/dev/null ||
        fail "$1 did not end the intro at once"
}

# Esc tapped in the intro, then held in the main part.
start_app
end_intro_with Escape
sleep 1
running || fail "the main part ended although Esc was released before it began"
xdotool keydown Escape
sleep 0.3
check differs --gap 0.5 || fail "the picture stood still while Esc was held"
# Frames go on while Esc is held, and Space still writes each of them.
xdotool keydown space
sleep 0.2
writes=$(check count-writes "$WORK/run" capture.pcx --seconds 1)
xdotool keyup space
between 30 "$writes" 100000 || fail "only $writes screenshots a second while Esc was held"
running || fail "the main part ended while Esc was held"
release_esc_and_expect_end
cp "$WORK/stdout" "$WORK/stdout-plain"

# Alt, with waiting for the retrace on from the start of the main part.
start_app "$BUILD/tessera" --vsync
end_intro_with Alt_L
sleep 0.5
press Alt_L 0.3
sleep 1
running || fail "Alt ended the main part"
check wait main --timeout 2 >/dev/null
press Escape 0.3
wait_app 10
[ "$APP_STATUS" -eq 0 ] || fail "exit status $APP_STATUS with --vsync"
cmp -s "$WORK/stdout" "$WORK/stdout-plain" || fail "--vsync changed the console output"

# Esc pressed in the intro and still held when the main part begins.
start_app
check wait shown --pid "$APP_PID" --timeout 30 >/dev/null
sleep 1
xdotool keydown Escape
check wait main --pid "$APP_PID" --timeout 3 >/dev/null || fail "Esc did not end the intro"
sleep 1.5
running || fail "the main part ended while Esc was still held from the intro"
check differs --gap 0.5 || fail "the main part stood still while Esc was held"
release_esc_and_expect_end
check_console
echo "keys ok"
