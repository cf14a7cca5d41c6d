#!/usr/bin/env bash
# Keys 1 and 2 switch waiting for the retrace on and off. It shows in how often
# capture.pcx is written while Space is held: once per frame, so near the
# display's refresh rate (Xvfb's is 60 a second) with 1, far more often with 2. The
# intro never waits, and while Esc is held the keys are not read.
source "$(dirname "$0")/lib.sh" "$1" "$2"
start_xvfb
prepare_data
quiet_environment

rate() {
    check count-writes "$WORK/run" capture.pcx --seconds 1.5
}

start_app
check wait shown --pid "$APP_PID" --timeout 30 >/dev/null
# The intro never waits for the retrace.
xdotool keydown space
intro=$(rate)
xdotool keyup space
press Escape 0.2
check wait main --pid "$APP_PID" --timeout 5 >/dev/null
sleep 0.5

xdotool keydown space
sleep 0.3
free=$(rate)
press 1 0.2
sleep 0.2
synced=$(rate)
# 1 and 2 together: 2 is read last, so retrace waiting ends up off.
xdotool keydown 1 keydown 2
sleep 0.3
both=$(rate)
xdotool keyup 1 keyup 2
sleep 0.2
after=$(rate)

# While Esc is held the main part only waits for its release: 1 is not read.
xdotool keydown Escape
sleep 0.3
xdotool keydown 1
sleep 0.2
held=$(rate)
xdotool keyup space keyup 1
echo "screenshots a second: intro $intro; main part at start $free, after 1 $synced," \
    "with 1 and 2 $both, after $after, 1 with Esc held $held"
running || fail "the demo ended while Esc was held"
xdotool keyup Escape
wait_app 10
[ "$APP_STATUS" -eq 0 ] || fail "exit status $APP_STATUS"

between 30 "$synced" 100 || fail "with retrace waiting on, $synced frames a second"
for r in "$intro" "$free" "$both" "$after" "$held"; do
    python3 -c "import sys; sys.exit(not float('$r') > 2 * float('$synced') and float('$r') > 100)" ||
        fail "without retrace waiting only $r frames a second (with it: $synced)"
done
echo "retrace keys ok"
