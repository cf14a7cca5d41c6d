#!/usr/bin/env bash
# What the screen shows. The intro: the logo assembles on rows 20..219 within
# 3.4 s, with empty rows above and below, and gives way to the main part after
# 490 ticks (8.2 s) and a fade. The main part: the dot ramp in the margins,
# the first picture in place while the field rests, the text line, and the
# bars shading both ends of the bottom band. Every frame pixel is doubled.
source "$(dirname "$0")/lib.sh" "$1" "$2"
start_xvfb
prepare_data
quiet_environment

start_app
launched=$(now)
seen=$(check wait shown --logo-fraction --pid "$APP_PID" --timeout 30)
first_logo=${seen#* }
shown=$(now)
echo "intro seen $(python3 -c "print(round($shown - $launched, 2))") s after the start"
# The cells start scattered: the first frames seen are not yet the logo.
between 0 "$first_logo" 0.9999 || fail "the logo was whole from the first frame seen"
assembled=$(check wait logo --pid "$APP_PID" --timeout 6) ||
    fail "the logo did not assemble within 6 s"
check intro
handover=$(check wait "main 0" --pid "$APP_PID" --timeout 12)
intro=$(python3 -c "print(round($(now) - $shown, 2))")
echo "logo assembled after $assembled s; main part after $intro s"
between 0 "$assembled" 4.5 || fail "the logo took $assembled s to assemble"
between 7.5 "$intro" 10 || fail "the intro lasted $intro s, not 8.2 s and a fade"

# The field rests for the first time 255 ticks into the main part, for 70 ticks.
check main --picture 0 --seconds 7
running || fail "the demo ended early"
press Escape 0.3
wait_app 10
[ "$APP_STATUS" -eq 0 ] || fail "exit status $APP_STATUS"
echo "screen ok"
