#!/usr/bin/env bash
# On a Wayland desktop: Weston with Xwayland in a 1920x1080 Xvfb screen, the
# keys typed into that screen so that they travel through Weston as a user's
# would. With --fill and without options the picture comes on show at once,
# x4 at (320, 60) and x2 at (640, 300), every pixel a whole block, black
# around it and no panel over it; Alt and Space reach the demo; Esc ends the
# run with 0 and Weston's desktop is back. The window names its process.
source "$(dirname "$0")/lib.sh" "$1" "$2"
command -v weston >/dev/null && command -v Xwayland >/dev/null ||
    fail "Weston and Xwayland are needed (tools/setup.sh test)"
prepare_data
quiet_environment
PCX="$WORK/run/capture.pcx"
start_xvfb 1920x1080
start_weston 1920x1080

outer() { DISPLAY=$OUTER "$@"; }

# Runs the demo with the options $2...; $1 is where the frame must show.
run_on_weston() {
    local view=(--view "$1") name=${2:-"no options"}
    shift
    rm -f "$PCX"
    start_app "$BUILD/tessera" "$@"
    # Nothing moves the pointer before the picture shows.
    outer check "${view[@]}" wait shown --pid "$APP_PID" --timeout 40 >/dev/null
    [ "$(xdotool search --pid "$APP_PID" | wc -l)" -ge 1 ] || fail "$name: no window names its process"
    outer xdotool mousemove 960 540
    outer press Alt_L
    outer check "${view[@]}" wait "main 0" --pid "$APP_PID" --timeout 5 >/dev/null ||
        fail "$name: Alt did not end the intro"
    outer check "${view[@]}" main --picture 0 --seconds 7
    outer press space
    check pcx "$PCX" 0
    outer press Escape
    wait_app 10
    [ "$APP_STATUS" -eq 0 ] || fail "$name: exit status $APP_STATUS"
    for _ in $(seq 30); do
        outer check "${view[@]}" classify >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    fail "$name: Weston's desktop did not come back after the end"
}

run_on_weston 320,60,4 --fill
run_on_weston 640,300,2
echo "weston ok"
