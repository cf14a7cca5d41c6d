#!/usr/bin/env bash
# Holding Space during the intro writes capture.pcx: the 320x240 frame with
# the intro's palette, which is the palette of the logo picture in res.dat.
source "$(dirname "$0")/lib.sh" "$1" "$2"

start_xvfb
prepare_data
start_app

# Start-up loads the main part's resources before the intro begins; the
# intro lasts about eight seconds, so Space is held well inside it.
sleep 1.5
kill -0 "$APP_PID" 2>/dev/null || fail "the program ended during start-up: $(cat "$WORK/stderr")"
rm -f "$WORK/run/capture.pcx"
press space 1
sleep 0.2
[ -s "$WORK/run/capture.pcx" ] || fail "no capture.pcx after holding Space in the intro"
cp "$WORK/run/capture.pcx" "$WORK/intro.pcx"

# Esc ends the intro at once, and the main part when pressed and released.
for _ in $(seq 10); do
    kill -0 "$APP_PID" 2>/dev/null || break
    press Escape 0.5
    sleep 0.5
done
wait_app 30
[ "$APP_STATUS" -eq 0 ] || fail "exit status $APP_STATUS: $(cat "$WORK/stderr")"

python3 - "$WORK/intro.pcx" "$WORK/run/res.dat" <<'EOF'
import struct, sys

INTRO_SOURCE_OFFSET, INTRO_SOURCE_LENGTH = 412247, 5823

def pcx_palette(data):
    """Size and 256-colour palette (6-bit guns) of an 8-bit PCX."""
    if len(data) < 128 or data[0] != 10 or data[3] != 8:
        sys.exit("FAIL: not an 8-bit PCX")
    xmin, ymin, xmax, ymax = struct.unpack_from('<HHHH', data, 4)
    planes, bytes_per_line = data[65], struct.unpack_from('<H', data, 66)[0]
    # Run through the run-length coded pixels to the palette behind them:
    # a member may be followed by padding, so the palette is not at the end.
    left, at = planes * bytes_per_line * (ymax - ymin + 1), 128
    while left > 0:
        byte = data[at]
        at += 1
        if byte >= 0xC0:
            at += 1
            left -= byte & 0x3F
        else:
            left -= 1
    # As the library's loader does: the palette follows the first byte 12
    # after the pixels; a member may pad the space between with other bytes.
    at = data.find(12, at)
    if at < 0 or len(data) < at + 769:
        sys.exit("FAIL: no 256-colour palette behind the pixels")
    return (xmax - xmin + 1, ymax - ymin + 1), [b >> 2 for b in data[at + 1:at + 769]]

capture = open(sys.argv[1], 'rb').read()
archive = open(sys.argv[2], 'rb').read()
member = archive[INTRO_SOURCE_OFFSET:INTRO_SOURCE_OFFSET + INTRO_SOURCE_LENGTH]

size, shot = pcx_palette(capture)
_, intro = pcx_palette(member)
if size != (320, 240):
    sys.exit("FAIL: capture.pcx is %dx%d, not 320x240" % size)
if shot != intro:
    first = next(i for i in range(768) if shot[i] != intro[i])
    sys.exit("FAIL: capture.pcx's palette differs from the intro's at entry %d" % (first // 3))
EOF
echo "capture.pcx: 320x240 with the intro palette"
