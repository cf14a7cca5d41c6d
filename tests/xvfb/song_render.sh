#!/usr/bin/env bash
# Renders the song from the archive with FluidSynth and checks what comes
# out: sound from start to end, as long as the song's own timing says, with
# no long silence anywhere. Also checks that the builder writes the same
# song again, byte for byte, and that the song's own sound font plays it as
# the General MIDI font it is taken from does. Prints the loudness second by
# second.
# No display needed.
source "$(dirname "$0")/lib.sh" "$1" "$2"

SF2=/usr/share/sounds/sf2/default-GM.sf2
[ -r "$SF2" ] || fail "no General MIDI sound font at $SF2"
command -v fluidsynth >/dev/null || fail "fluidsynth is not installed"

# The song's place in the archive, from the one table that holds it.
read -r OFFSET LENGTH < <(sed -n 's/.*RES_SONG = {\([0-9]*\), *\([0-9]*\)}.*/\1 \2/p' \
    "$SOURCE/src/resources/directory.h") || true
[ -n "$OFFSET" ] && [ -n "$LENGTH" ] || fail "cannot find RES_SONG in directory.h"

dd if="$SOURCE/data/res.dat" of="$WORK/song.mid" bs=64K iflag=skip_bytes,count_bytes \
    skip="$OFFSET" count="$LENGTH" status=none
[ "$(stat -c %s "$WORK/song.mid")" -eq "$LENGTH" ] || fail "the song member is cut short"

# The same builder run again gives the same song. It runs in the work
# folder, where anything else it writes stays.
mkdir -p "$WORK/again"
(cd "$WORK/again" && "$BUILD/databuilder" . >/dev/null) || fail "the data builder failed"
dd if="$WORK/again/res.dat" of="$WORK/again.mid" bs=64K iflag=skip_bytes,count_bytes \
    skip="$OFFSET" count="$LENGTH" status=none
cmp -s "$WORK/song.mid" "$WORK/again.mid" || fail "the builder wrote a different song this time"

fluidsynth -ni -q -F "$WORK/song.wav" -r 22050 "$SF2" "$WORK/song.mid" >"$WORK/fluidsynth.log" 2>&1 ||
    fail "fluidsynth could not render the song"

# The song's own font holds the same samples and zones for every note the
# song plays, so the two renderings are the same to the last bit: a missing
# sample or a zone cut from a key the song strikes would change them.
GM_FONT=/usr/share/sounds/sf2/TimGM6mb.sf2
[ -r "$SOURCE/data/song.sf2" ] || fail "no data/song.sf2 (the build makes it from $GM_FONT)"
for font in "$GM_FONT" "$SOURCE/data/song.sf2"; do
    fluidsynth -ni -q -F "$WORK/$(basename "$font").wav" -r 22050 "$font" "$WORK/song.mid" \
        >>"$WORK/fluidsynth.log" 2>&1 || fail "fluidsynth could not render the song with $font"
done
cmp -s "$WORK/TimGM6mb.sf2.wav" "$WORK/song.sf2.wav" ||
    fail "the song's own sound font plays the song otherwise than $GM_FONT"

python3 - "$WORK/song.mid" "$WORK/song.wav" <<'EOF'
import array, math, struct, sys, wave

def fail(msg):
    print("FAIL:", msg, file=sys.stderr)
    sys.exit(1)

# The song's length: the conductor track (the first) holds the tempo map and
# ends with the song; it has meta events only.
data = open(sys.argv[1], "rb").read()
if data[:4] != b"MThd" or data[14:18] != b"MTrk":
    fail("the member is not a MIDI file")
division = struct.unpack(">H", data[12:14])[0]
i, tick, seconds, usec = 22, 0, 0.0, 500000

def varlen():
    global i
    value = 0
    while True:
        c = data[i]; i += 1
        value = (value << 7) | (c & 0x7F)
        if c < 0x80:
            return value

while True:
    delta = varlen()
    seconds += delta * usec / 1e6 / division
    if data[i] != 0xFF:
        fail("a channel event in the conductor track")
    kind = data[i + 1]; i += 2
    n = varlen()
    if kind == 0x51:
        usec = int.from_bytes(data[i:i + 3], "big")
    if kind == 0x2F:
        break
    i += n

w = wave.open(sys.argv[2])
rate, channels = w.getframerate(), w.getnchannels()
samples = array.array("h", w.readframes(w.getnframes()))
window = rate // 2  # loudness every half second
rms = []
for start in range(0, len(samples) // channels, window):
    part = samples[start * channels:(start + window) * channels:3]
    rms.append(math.sqrt(sum(x * x for x in part) / max(1, len(part))))

SILENT = 30  # of 32767: well under the quietest passage of the song
sounding = [k for k, r in enumerate(rms) if r > SILENT]
if not sounding:
    fail("the song renders as silence")
heard = (sounding[-1] + 1) * window / rate
print("song %.2f s by its tempo map; sound heard for %.1f s" % (seconds, heard))
per_second = [round(math.sqrt((rms[k] ** 2 + rms[k + 1] ** 2) / 2)) for k in range(0, len(rms) - 1, 2)]
for k in range(0, len(per_second), 10):
    print("%4d s:" % k, " ".join("%5d" % r for r in per_second[k:k + 10]))

if seconds < 90:
    fail("the song lasts %.1f s, less than 90" % seconds)
# The last notes ring on a little with the reverb.
if not seconds - 1.0 <= heard <= seconds + 2.5:
    fail("sound stops at %.1f s, but the song lasts %.2f s" % (heard, seconds))
if sounding[0] > 0:
    fail("the song starts with silence")
longest, run = 0, 0
for r in rms[:int(seconds * 2)]:
    run = run + 1 if r <= SILENT else 0
    longest = max(longest, run)
if longest * window / rate > 1.0:
    fail("a silence of %.1f s inside the song" % (longest * window / rate))
EOF
