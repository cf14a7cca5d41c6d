#!/usr/bin/env bash
# PNG frames and stills: two runs with one seed give the same files byte for
# byte, another seed gives another picture, a still is the frame on show at
# its time, and every frame is the 320x240 picture doubled in colours that an
# 8-bit palette can show.
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

# Past the end of a short run there is no still, and the recorder says so.
if "$CAPTURE" --quiet --data "$SOURCE/data" --duration 1 --still 2 "$WORK/late.png" \
    2>"$WORK/late.err"; then
    fail "a still after the end was reported as written"
fi
[ ! -e "$WORK/late.png" ] || fail "a still after the end was written"
echo ok
