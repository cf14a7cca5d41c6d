#!/usr/bin/env bash
# On an X server that really switches modes (Xorg's dummy driver, a
# 1920x1080 desktop that also has 640x480), the demo without options switches
# the display to 640x480 and back when it ends; its window names its process,
# and the keys reach it. Where the display cannot switch, a full screen is a
# window the desktop knows: the other e2e tests and e2e_weston.
source "$(dirname "$0")/lib.sh" "$1" "$2"
command -v Xorg >/dev/null && [ -e /usr/lib/xorg/modules/drivers/dummy_drv.so ] ||
    fail "Xorg and its dummy driver are needed (tools/setup.sh test)"
prepare_data
quiet_environment
cat >"$WORK/xorg.conf" <<'EOF'
Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "DontVTSwitch" "true"
EndSection
Section "Device"
    Identifier "card"
    Driver "dummy"
    VideoRam 64000
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
    Modeline "1920x1080" 148.50 1920 2008 2052 2200 1080 1084 1089 1125 +hsync +vsync
    Modeline "640x480" 25.18 640 656 752 800 480 490 492 525 -hsync -vsync
EndSection
Section "Screen"
    Identifier "screen"
    Device "card"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Modes "1920x1080" "640x480"
    EndSubSection
EndSection
EOF
Xorg -config "$WORK/xorg.conf" -logfile "$WORK/xorg.log" -noreset -nolisten tcp -displayfd 3 \
    3>"$WORK/display" 2>"$WORK/xorg.err" &
XVFB_PID=$! # stopped at the end as Xvfb is
for _ in $(seq 100); do
    [ -s "$WORK/display" ] && break
    sleep 0.1
done
[ -s "$WORK/display" ] || fail "Xorg did not start: $(tail -n 3 "$WORK/xorg.err")"
export DISPLAY=":$(cat "$WORK/display")"

mode() { # the display's mode now, as VidMode reports it
    xdpyinfo -ext XFree86-VidModeExtension | awk '/Current Video Mode/ { getline; print $2 "x" $6 }'
}
[ "$(mode)" = 1920x1080 ] || fail "the desktop starts at $(mode)"
start_app
for _ in $(seq 100); do
    [ "$(mode)" = 640x480 ] && break
    sleep 0.2
done
[ "$(mode)" = 640x480 ] || fail "the display did not switch to 640x480"
[ "$(xdotool search --pid "$APP_PID" | wc -l)" -ge 1 ] || fail "no window names its process"
sleep 1
press space
[ -s "$WORK/run/capture.pcx" ] || fail "Space wrote no capture.pcx"
press Escape 1.5 # the intro ends, and the main part once Esc is let go
wait_app 10
[ "$APP_STATUS" -eq 0 ] || fail "exit status $APP_STATUS"
[ "$(mode)" = 1920x1080 ] || fail "the display stayed at $(mode) after the end"
echo "mode switch ok"
