#!/usr/bin/env bash
# The recorder's refusals: every bad input gets a clear message and a
# non-zero status, a failing encoder is never reported as a finished video,
# and nothing is left in the temporary folder, not even after a crash.
source "$(dirname "$0")/lib.sh"
unset DISPLAY
CAPTURE="$BUILD/tessera-capture"
export TMPDIR="$WORK/tmp"
mkdir -p "$TMPDIR"

# expect STATUS TEXT -- ARGS: runs the recorder and checks its status and message.
expect() {
    local status=$1 text=$2
    shift 3
    set +e
    "$CAPTURE" --quiet "$@" >"$WORK/out" 2>"$WORK/err"
    local got=$?
    set -e
    [ $got -eq "$status" ] || fail "tessera-capture $*: status $got, not $status: $(cat "$WORK/err")"
    grep -q -- "$text" "$WORK/err" || fail "tessera-capture $*: no '$text' in: $(cat "$WORK/err")"
    # A usage error is found before the first frame, which would print its checksums.
    [ "$status" -ne 2 ] || [ ! -s "$WORK/out" ] || fail "tessera-capture $*: frames drawn first"
}

expect 2 "say where to write" --
expect 2 "unknown option --fps" -- --fps 30 --checksums
expect 2 "--seed takes a whole number" -- --seed -1 --checksums
expect 2 "--seed takes a whole number" -- --seed 4294967296 --checksums
expect 2 "--duration takes a number" -- --duration 1e400 --checksums
expect 2 "--duration takes a number" -- --duration nan --checksums
expect 2 "shorter than one frame" -- --duration 0.001 --checksums
expect 2 "--still needs one output file" -- --still 1
expect 2 "needs a value" -- --checksums --seed
expect 2 "one output file at most" -- a.mp4 b.mp4
expect 2 "--scale takes a whole number from 1 to 9" -- --scale 10 --checksums "$WORK/x.mp4"
expect 2 "--scale takes a whole number" -- --scale 2.5 --checksums "$WORK/x.mp4"
expect 2 "--checksums alone makes no picture" -- --scale 3 --checksums
expect 2 "--crf takes a number from 0 to 51" -- --crf 51.5 --checksums "$WORK/x.mp4"
expect 2 "--crf takes a number" -- --crf 18q --checksums "$WORK/x.mp4"
expect 2 "--preset takes one of libx264's presets (ultrafast, " -- --preset quick --checksums \
    "$WORK/x.mp4"
expect 2 "--crf sets how the video is encoded" -- --crf 20 --frames "$WORK/frames"
expect 2 "--preset sets how the video is encoded" -- --preset slow --still 1 "$WORK/x.png"
expect 2 "option --checksums takes no value" -- --checksums=yes
expect 2 "option --data needs a value" -- --data= --checksums
# --name=value is --name value, as for the demo.
[ "$("$CAPTURE" --seed=7 --duration=0.05 --checksums --data="$SOURCE/data")" = \
    "$("$CAPTURE" --seed 7 --duration 0.05 --checksums --data "$SOURCE/data")" ] ||
    fail "--name=value is not read as --name value"

mkdir -p "$WORK/empty"
expect 1 "no res.dat in $WORK/empty" -- --data "$WORK/empty" --checksums

# Data files that are not the demo's: the loader's own message, no crash.
mkdir -p "$WORK/zeros"
head -c 505192 /dev/zero >"$WORK/zeros/res.dat"
head -c 15360 /dev/zero >"$WORK/zeros/res_2.dat"
expect 1 "tessera: res.dat" -- --data "$WORK/zeros" --checksums
expect 1 "is not a MIDI file" -- --data "$WORK/zeros" "$WORK/zeros.mp4"

# Damaged members of the real data: one line naming the member, status 1,
# never a signal (a size that wraps, no ticks a beat, a length past its track).
damaged() {
    local name=$1 offset=$2 bytes=$3 text=$4
    mkdir -p "$WORK/$name"
    cp "$SOURCE/data/res.dat" "$SOURCE/data/res_2.dat" "$WORK/$name/"
    printf "$bytes" | dd of="$WORK/$name/res.dat" bs=1 seek="$offset" conv=notrunc status=none
    expect 1 "^tessera: res.dat: the $text" -- --data "$WORK/$name" --checksums
    [ "$(wc -l <"$WORK/err")" -eq 1 ] || fail "$name: more than one line: $(cat "$WORK/err")"
}
damaged wrapped 28186 '\xff\xff\xff\xff' "picture at offset 28178 is not a PCX"
damaged no-ticks 471015 '\x00\x00' "song at offset 471003 .* its beat has 0 ticks"
damaged meta-past 471025 '\x00\xff\x01\x8f\xff\xff\x7f' "song at offset 471003 .* run past the track"

expect 1 "folder there and writable" -- --data "$SOURCE/data" --duration 1 "$WORK/none/x.mp4"
expect 1 "no sound font" -- --data "$SOURCE/data" --duration 1 --soundfont "$WORK/none.sf2" \
    "$WORK/x.mp4"

# An encoder that gives up: the run fails and no video is claimed.
mkdir -p "$WORK/bin"
printf '#!/bin/sh\nexit 1\n' >"$WORK/bin/ffmpeg"
chmod +x "$WORK/bin/ffmpeg"
PATH="$WORK/bin:$PATH" expect 1 "encoder" -- --data "$SOURCE/data" --duration 2 "$WORK/x.mp4"
grep -q wrote "$WORK/err" && fail "a failed encoding was reported as written"
[ ! -e "$WORK/x.mp4" ] || fail "a failed encoding left a video"
ls "$WORK" | grep -q 'x\.mp4\.' && fail "a failed encoding left its parts"

# A recording stopped half-way leaves neither parts nor a working folder.
"$CAPTURE" --quiet --data "$SOURCE/data" "$WORK/stopped.mp4" 2>/dev/null &
APP_PID=$!
for _ in $(seq 100); do
    [ -s "$WORK/stopped.mp4.sound.wav" ] && break
    sleep 0.1
done
sleep 0.5
kill -TERM "$APP_PID"
set +e
wait "$APP_PID"
status=$?
set -e
APP_PID=
[ $status -ne 0 ] || fail "a stopped recording ended with status 0"
ls "$WORK" | grep -q 'stopped\.mp4' && fail "a stopped recording left $(ls "$WORK" | grep stopped)"

# A crash in the demo's code (a SIGSEGV sent to it stands in) leaves no working
# folder either, and the recorder still ends by that signal.
(ulimit -c 0 && exec "$CAPTURE" --quiet --data "$SOURCE/data" --checksums >"$WORK/sums") &
APP_PID=$!
for _ in $(seq 100); do
    [ -s "$WORK/sums" ] && break
    sleep 0.1
done
kill -SEGV "$APP_PID"
set +e
wait "$APP_PID"
status=$?
set -e
APP_PID=
[ $status -eq $((128 + $(kill -l SEGV))) ] || fail "a crashed recording ended with status $status"

[ -z "$(ls -A "$TMPDIR")" ] || fail "left in the temporary folder: $(ls -A "$TMPDIR")"
echo ok
