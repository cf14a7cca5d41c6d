#!/usr/bin/env bash
# Files and console. After start-up tempola.xyz holds the song; the intro's
# loading removes it, and none is left at the end. The data files are never
# changed, nothing else is written without Space, and with no MIDI device the
# console says so once and the demo runs on. In a hostile folder, where
# tempola.xyz and capture.pcx are planted as links, FIFOs or a folder, no
# byte of any file changes and the demo neither stops nor crashes.
source "$(dirname "$0")/lib.sh" "$1" "$2"
start_xvfb
prepare_data
quiet_environment
cc -shared -fPIC -O2 -o "$WORK/peek.so" "$SOURCE/tests/xvfb/preload.c" -ldl ||
    fail "cannot build the preloaded hooks"
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

# ---- Hostile folders. Each run plants a tempola.xyz and a capture.pcx,
# holds Space through a second of the intro and ends with Esc twice.
printf 'a letter of the user\n' >"$WORK/letter"
printf 'a photo of the user\n' >"$WORK/photo"
all_sums() {
    data_sums
    (cd "$WORK" && sha256sum letter photo)
}
sums_before=$(all_sums)

# hostile_run WHAT: the planted names are in place; the run must end well.
hostile_run() {
    local what=$1
    start_app
    check wait shown --pid "$APP_PID" --timeout 30 >/dev/null || fail "$what: no intro"
    press space 1
    press Escape 0.2
    check wait main --pid "$APP_PID" --timeout 5 >/dev/null || fail "$what: no main part"
    press Escape 0.2
    wait_app 10
    [ "$APP_STATUS" -eq 0 ] || fail "$what: exit status $APP_STATUS, stderr: $(head -c 500 "$WORK/stderr")"
    [ "$(all_sums)" = "$sums_before" ] || fail "$what: a file changed"
    [ ! -e "$WORK/run/tempola.xyz" ] && [ ! -L "$WORK/run/tempola.xyz" ] ||
        fail "$what: tempola.xyz is left"
    ls "$WORK/run" | grep -q '^capture\.pcx\.' && fail "$what: a half-made screenshot is left"
    return 0
}
# The screenshot is a file of its own now, with the usual permissions.
own_capture() {
    [ -f "$WORK/run/capture.pcx" ] && [ ! -L "$WORK/run/capture.pcx" ] ||
        fail "$1: capture.pcx is not a file of its own"
    [ "$(stat -c %a "$WORK/run/capture.pcx")" = "$(printf '%o' $((0666 & ~$(umask))))" ] ||
        fail "$1: capture.pcx has mode $(stat -c %a "$WORK/run/capture.pcx")"
    check pcx "$WORK/run/capture.pcx" intro >/dev/null
    rm -f "$WORK/run/capture.pcx"
}

ln -s "$WORK/letter" "$WORK/run/tempola.xyz"
ln -s "$WORK/photo" "$WORK/run/capture.pcx"
hostile_run "links to the user's files"
own_capture "a link to the user's file"

ln -s res.dat "$WORK/run/tempola.xyz"
mkfifo "$WORK/run/capture.pcx"
hostile_run "a link to res.dat, a FIFO"
own_capture "a FIFO"

ln -s res_2.dat "$WORK/run/tempola.xyz"
ln -s "$WORK/nowhere" "$WORK/run/capture.pcx"
hostile_run "a link to res_2.dat, a dangling link"
[ ! -e "$WORK/nowhere" ] || fail "a dangling capture.pcx link was followed"
own_capture "a dangling link"

# A folder of that name cannot be replaced, even by root: told once.
mkfifo "$WORK/run/tempola.xyz"
mkdir "$WORK/run/capture.pcx"
hostile_run "a FIFO, a folder"
printf 'tessera: capture.pcx: Is a directory\n' | cmp -s - "$WORK/stderr" ||
    fail "an unwritable capture.pcx is not told once: $(head -c 500 "$WORK/stderr")"
[ -d "$WORK/run/capture.pcx" ] && [ -z "$(ls -A "$WORK/run/capture.pcx")" ] ||
    fail "the folder capture.pcx changed"
echo "files ok"
