#!/usr/bin/env bash
# Space writes the frame on show to capture.pcx: a 320x240 PCX with the palette
# of the intro or of the picture on show, never the flash's tinted one, whose
# pixels are what the X screen shows at half size.
source "$(dirname "$0")/lib.sh" "$1" "$2"
start_xvfb
prepare_data
quiet_environment
PCX="$WORK/run/capture.pcx"

start_app
check wait logo --pid "$APP_PID" --timeout 30 >/dev/null
xdotool keydown space
sleep 0.3
check pcx "$PCX" intro
check capture-matches "$PCX" --seconds 2 || fail "the intro's screenshot is not the screen"
xdotool keyup space

# Esc ends the intro, unless it has ended by itself meanwhile: Esc in the main
# part would end the demo.
[ "$(check classify)" = intro ] && press Escape 0.2
check wait "main 0" --pid "$APP_PID" --timeout 5 >/dev/null
started=$(now)
sleep 1
xdotool keydown space
sleep 0.3
check pcx "$PCX" 0
check capture-matches "$PCX" --seconds 4 || fail "the main part's screenshot is not the screen"
xdotool keyup space

# The first picture gives way to the second 1569 ticks (26.15 s) into the main
# part, with a flash near white. The intro may have ended by itself a few
# seconds before Esc was pressed, so Space is held from 20 s on until the
# palette has changed.
python3 -c "import time; time.sleep(max(0, $started + 20 - $(now)))"
xdotool keydown space
check capture-palettes "$PCX" --seconds 12 --after 2.5 --expect 0,1 --flash
xdotool keyup space
running || fail "the demo ended early"
press Escape 0.3
wait_app 10
[ "$APP_STATUS" -eq 0 ] || fail "exit status $APP_STATUS"
echo "screenshots ok"
