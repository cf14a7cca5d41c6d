#!/usr/bin/env bash
# The song heard through FluidSynth, recorded to a WAV file: allegro.cfg
# selects the file output. The intro is silent and the song starts with the
# main part; Esc, held for a while during the intro, ends the intro at once
# and ends the main part when it is released. A second run without a sound
# font prints the program's own line about MIDI and nothing else.
source "$(dirname "$0")/lib.sh" "$1" "$2"

INTRO_SECONDS=3   # how long the intro runs before Esc goes down (it lasts ~8 s)
ESC_SECONDS=3     # how long Esc is held: the main part plays meanwhile

start_xvfb
prepare_data

mkdir -p "$WORK/cfg"
export ALLEGRO="$WORK/cfg"
WAV="$WORK/music.wav"
cat >"$WORK/cfg/allegro.cfg" <<EOF
[tessera]
music_output = file
music_file = $WAV
EOF

start_app
# FluidSynth creates the file when sound is installed, the last step of
# start-up; from then on it writes the synthesizer's output in real time.
for _ in $(seq 300); do
    [ -e "$WAV" ] && break
    kill -0 "$APP_PID" 2>/dev/null || break
    sleep 0.05
done
[ -e "$WAV" ] || fail "no WAV file: the FluidSynth driver was not chosen ($(cat "$WORK/stdout"))"
t0=$(date +%s.%N)
sleep "$INTRO_SECONDS"
kill -0 "$APP_PID" 2>/dev/null || fail "the program ended during the intro"
t1=$(date +%s.%N)
press Escape "$ESC_SECONDS"
wait_app 30
t2=$(date +%s.%N)
[ "$APP_STATUS" -eq 0 ] || fail "exit status $APP_STATUS"
[ ! -s "$WORK/stdout" ] || fail "unexpected output: $(cat -A "$WORK/stdout")"
[ ! -s "$WORK/stderr" ] || fail "unexpected errors: $(cat "$WORK/stderr")"

# Times in seconds since the recording began: Esc going down, the program's end.
seconds_since() { awk -v a="$1" -v b="$t0" 'BEGIN { print a - b }'; }
python3 - "$WAV" "$(seconds_since "$t1")" "$(seconds_since "$t2")" <<'EOF' || fail "the recording"
import sys, wave, array

path, esc_at, ran = sys.argv[1], float(sys.argv[2]), float(sys.argv[3])
with wave.open(path) as w:
    rate, channels = w.getframerate(), w.getnchannels()
    assert w.getsampwidth() == 2, "not 16-bit"
    samples = array.array("h", w.readframes(w.getnframes()))
length = len(samples) / channels / rate

def peak(start, end):
    part = samples[int(start * rate) * channels:int(end * rate) * channels]
    return max((abs(s) for s in part), default=0)

# FluidSynth dithers, so silence is a sample or two of noise.
DITHER = 4
STEP = 0.05
onset = next((i * STEP for i in range(int(length / STEP))
              if peak(i * STEP, (i + 1) * STEP) > DITHER), None)
print(f"recording {length:.2f} s of a {ran:.2f} s run, Esc at {esc_at:.2f} s, "
      f"first sound at {onset} s")
# FluidSynth writes the file on a timer of its own; on a starved machine it
# falls behind the wall clock, and the recording is then shorter than the run.
pace = min(1.0, length / ran)
assert pace > 0.5, "the recording stopped early"
assert onset is not None, "the recording is silent"
# The intro is silent; the main part starts once Esc ends the intro and its
# fade-out is over, and the song starts with it.
assert onset >= esc_at * pace - 0.3, "music during the intro"
assert onset <= esc_at + 2.5, "the song did not start with the main part"
assert peak(onset, length) > 1000, "the song is barely audible"
EOF

# No sound font: the driver is skipped, Allegro's own drivers find nothing,
# and the console shows only the program's line.
cat >"$WORK/cfg/allegro.cfg" <<EOF
[tessera]
sound_font = $WORK/missing.sf2
EOF
start_app
# The line comes at the end of start-up; Esc, held through the intro's
# fade-out, then ends both parts.
for _ in $(seq 300); do
    [ -s "$WORK/stdout" ] && break
    sleep 0.05
done
sleep 0.5
press Escape 2
wait_app 30
printf 'Sorry, MIDI is unavailable\r\n' | cmp -s - "$WORK/stdout" ||
    fail "console: $(cat -A "$WORK/stdout")"
[ ! -s "$WORK/stderr" ] || fail "unexpected errors: $(cat "$WORK/stderr")"
echo "ok"
