#!/usr/bin/env bash
# PNG frames and stills: two runs with one seed give the same files byte for
# byte, another seed gives another picture, a still is the frame on show at
# its time, and every frame is the 320x240 picture doubled in colours that an
# 8-bit palette can show, or enlarged as --scale asks, in videos too.
source "$(dirname "$0")/lib.sh"
unset DISPLAY
CAPTURE="$BUILD/tessera-capture"
record() {
    "$CAPTURE" --quiet --data "$SOURCE/data" "$@" 2>>"$WORK/stderr" ||
        fail "tessera-capture $*: $(cat "$WORK/stderr")"
}

record --seed 5 --duration 0.5 --frames "$WORK/a"
record --seed 5 --duration 0.5 --frames "$WORK/b"
[ "$(ls "$WORK/a" | wc -l)" -eq 30 ] || fail "$(ls "$WORK/a" | wc -l) frames for half a second"
[ -f "$WORK/a/frame-000000.png" ] && [ -f "$WORK/a/frame-000029.png" ] || fail "frame names"
diff -r "$WORK/a" "$WORK/b" >/dev/null || fail "two runs with one seed differ"

record --seed 6 --duration 0.5 --frames "$WORK/c"
cmp -s "$WORK/a/frame-000010.png" "$WORK/c/frame-000010.png" &&
    fail "another seed scattered the logo the same way"

record --seed 5 --still 0.25 "$WORK/still.png"
cmp -s "$WORK/still.png" "$WORK/a/frame-000015.png" || fail "the still at 0.25 s is not frame 15"

# A still of the main part, and a check of the pixels of both.
record --seed 5 --still 20 "$WORK/main.png"
python3 - "$WORK/a/frame-000029.png" "$WORK/main.png" <<'PY' || fail "PNG contents"
import struct, sys, zlib

def read_png(path):
    data = open(path, "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "signature"
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        crc = struct.unpack(">I", data[pos + 8 + length:pos + 12 + length])[0]
        assert zlib.crc32(kind + body) == crc, "CRC of " + kind.decode()
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    assert header == (640, 480, 8, 2, 0, 0, 0), header
    raw = zlib.decompress(idat)
    rows = []
    for y in range(480):
        line = raw[y * 1921:(y + 1) * 1921]
        assert line[0] == 0, "filter"
        rows.append(line[1:])
    return rows

for path in sys.argv[1:]:
    rows = read_png(path)
    colours = set()
    for y in range(0, 480, 2):
        assert rows[y] == rows[y + 1], "row %d not doubled" % y
        row = rows[y]
        for x in range(0, 1920, 6):
            assert row[x:x + 3] == row[x + 3:x + 6], "pixel %d,%d not doubled" % (x // 3, y)
            colours.add(bytes(row[x:x + 3]))
    # 6-bit components widened to 8 bits: the top two bits repeat at the bottom.
    for c in colours:
        for v in c:
            assert v == ((v >> 2) << 2) | (v >> 6), "component %d of %s" % (v, c)
    assert len(colours) > 8, "%s shows only %d colours" % (path, len(colours))
PY

# Enlarged pictures: a still at --scale 3 is the default still with every
# pixel a 3x3 block; a lossless video at --scale 3, enlarged by the encoder,
# decodes to exactly the PNG frames at --scale 3 as ffmpeg converts them, in
# the size asked for and with the preset asked for.
record --seed 5 --scale 3 --still 20 "$WORK/main-3.png"
rgb() {
    ffmpeg -v error -i "$1" -f rawvideo -pix_fmt rgb24 -
}
python3 - <(rgb "$WORK/main.png") <(rgb "$WORK/main-3.png") <<'PY' || fail "the --scale 3 still"
import sys
doubled, tripled = (open(path, "rb").read() for path in sys.argv[1:])
assert len(tripled) == 960 * 720 * 3, len(tripled)
for y in range(240):
    row = doubled[2 * y * 1920:(2 * y + 1) * 1920]
    wide = b"".join(row[x * 6:x * 6 + 3] * 3 for x in range(320))
    assert tripled[3 * y * 2880:(3 * y + 3) * 2880] == wide * 3, "row %d" % y
PY
record --seed 5 --duration 0.5 --scale 3 --frames "$WORK/a3"
record --seed 5 --duration 0.5 --scale 3 --crf 0 --preset ultrafast "$WORK/a3.mp4"
[ "$(ffprobe -v error -show_entries stream=width,height,nb_frames -of csv=p=0 -select_streams v \
    "$WORK/a3.mp4")" = "960,720,30" ] || fail "the --scale 3 video is not 960x720 in 30 frames"
cmp -s <(ffmpeg -v error -i "$WORK/a3.mp4" -f rawvideo -pix_fmt yuv420p -) \
    <(ffmpeg -v error -framerate 60 -i "$WORK/a3/frame-%06d.png" -f rawvideo -pix_fmt yuv420p -) ||
    fail "the --scale 3 video is not its frames enlarged"
# x264 writes its settings into the stream; ultrafast is the one without CABAC.
grep -aq "cabac=0" "$WORK/a3.mp4" || fail "the --preset did not reach the encoder"

# Past the end of a short run there is no still, and the recorder says so.
if "$CAPTURE" --quiet --data "$SOURCE/data" --duration 1 --still 2 "$WORK/late.png" \
    2>"$WORK/late.err"; then
    fail "a still after the end was reported as written"
fi
[ ! -e "$WORK/late.png" ] || fail "a still after the end was written"
echo ok
