#!/usr/bin/env bash
# Tessera in headless Chromium, from the page that tools/web/build.sh made:
# the intro, then the main part with the same frame checks as on X (the bars,
# the text line, the dot ramp, the first picture in place), read from the
# canvas, with the music ready before the main part; a page whose res.dat is
# damaged shows the one-line refusal and ends, never a hung tab; a browser
# without Web Audio shows the line about MIDI; and on a phone, started by a
# tap, the whole canvas shows, and a sound font that comes after the song has
# begun finds every channel set up as the song's start set it.
#   tests/web/e2e_web.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build_dir=$(realpath "$1")
source_dir=$(realpath "$2")
site=$build_dir/web
modules=$build_dir/web-work/npm/node_modules
check() { python3 "$source_dir/tests/xvfb/check.py" --data "$source_dir/data" "$@"; }
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The intro lasts 8.2 s and a fade; the field first rests 255 ticks (4.3 s)
# into the main part, for 70 ticks.
mkdir "$work/frames"
# Then Space offers the frame on show as capture.pcx, and Esc ends the demo
# with the page left still, offering to play again.
node "$source_dir/tests/web/page.mjs" "$site" "$modules" frames "$work/frames" 19 "$work/capture.pcx" \
    "$work/music"
taken=$(ls "$work/frames" | wc -l)
echo "$taken frames taken; the music was ready from frame $(cat "$work/music")"
check --frames "$work/frames" wait shown
check --frames "$work/frames" wait "main 0" >/dev/null || fail "the main part never showed"
left=$(ls "$work/frames" | wc -l)
[ "$left" -ge 8 ] || fail "only $left frames of the main part"
main=$((taken - left - 1))
[ "$(cat "$work/music")" != never ] && [ "$(cat "$work/music")" -le "$main" ] ||
    fail "the music was not ready before the main part (frame $main)"
check --frames "$work/frames" main --picture 0
check pcx "$work/capture.pcx" 0

# A damaged picture header in res.dat, inside the preloaded data package.
cp -r "$site" "$work/damaged"
start=$(grep -o '"filename": *"/res.dat", *"start": *[0-9]*' "$site"/tessera.*.js | grep -o '[0-9]*$')
[ -n "$start" ] || fail "res.dat is not in the data package"
printf '\xff\xff\xff\xff' |
    dd of="$(echo "$work"/damaged/tessera.*.data)" bs=1 seek=$((start + 28186)) conv=notrunc status=none
node "$source_dir/tests/web/page.mjs" "$work/damaged" "$modules" ends 30 >"$work/ends"
head -n 1 "$work/ends" | grep -qx 'status 1' || fail "the damaged data did not end with status 1: $(cat "$work/ends")"
[ "$(wc -l <"$work/ends")" -eq 2 ] || fail "more than one line on the page: $(cat "$work/ends")"
grep -q '^tessera: res.dat: the picture at offset 28178 is not a PCX' "$work/ends" ||
    fail "the page does not show the refusal: $(cat "$work/ends")"

line=$(node "$source_dir/tests/web/page.mjs" "$site" "$modules" silent)
[ "$line" = "Sorry, MIDI is unavailable" ] || fail "without Web Audio the page says: $line"

node "$source_dir/tests/web/page.mjs" "$site" "$modules" phone >"$work/phone"
printf '%s\n' "390x844: fits" "844x390: fits" "notes dropped before the music was ready" \
    "notes played" "settings kept" | cmp -s - "$work/phone" || fail "on the phone: $(cat "$work/phone")"
echo "browser ok"
