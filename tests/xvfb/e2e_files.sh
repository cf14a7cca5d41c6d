#!/usr/bin/env bash
# Files and console. After start-up tempola.xyz holds the song; the intro's
# loading removes it, and none is left at the end. The data files are never
# changed, nothing else is written without Space, and with no MIDI device the
# console says so once and the demo runs on.
source "$(dirname "$0")/lib.sh" "$1" "$2"
start_xvfb
prepare_data
quiet_environment
cc -shared -fPIC -O2 -o "$WORK/peek.so" "$SOURCE/tests/xvfb/peek_tempfile.c" -ldl ||
    fail "cannot build the preload helper"
sums_before=$(data_sums)

export TESSERA_PEEK="$WORK/seen.xyz"
LD_PRELOAD="$WORK/peek.so" start_app
check wait shown --pid "$APP_PID" --timeout 30 >/dev/null
[ -e "$WORK/seen.xyz" ] || fail "the preload helper did not run (is Allegro linked statically?)"
check member "$WORK/seen.xyz" song
[ ! -e "$WORK/run/tempola.xyz" ] || fail "tempola.xyz is still there while the intro runs"
press Escape 0.2
check wait main --pid "$APP_PID" --timeout 5 >/dev/null
sleep 1
[ ! -e "$WORK/run/tempola.xyz" ] || fail "tempola.xyz is there in the main part"
running || fail "the demo ended early"
press Escape 0.3
wait_app 10
[ "$APP_STATUS" -eq 0 ] || fail "exit status $APP_STATUS"

[ "$(data_sums)" = "$sums_before" ] || fail "the data files changed"
left=$(cd "$WORK/run" && ls -A | tr '\n' ' ')
[ "$left" = "res.dat res_2.dat " ] || fail "the run folder holds: $left"
check_console
if [ -s "$WORK/stderr" ]; then
    echo "note: standard error was not empty:" >&2
    head -c 1000 "$WORK/stderr" >&2
fi
echo "files ok"
