#!/usr/bin/env bash
# The whole demo recorded: intro, fade, ten pictures and the last fade, as
# many frames as ticks, and the song playing, looped, to the very end.
source "$(dirname "$0")/lib.sh"
unset DISPLAY
CAPTURE="$BUILD/tessera-capture"

started=$(date +%s)
"$CAPTURE" --checksums --data "$SOURCE/data" "$WORK/tessera.mp4" >"$WORK/checksums.txt" \
    2>"$WORK/stderr" || fail "the recording failed: $(tail -3 "$WORK/stderr")"
took=$(($(date +%s) - started))

# 490 intro ticks, 27 frames of fade, ten pictures of 1569 ticks, 27 of fade.
counts=$(awk '{print $2}' "$WORK/checksums.txt" | uniq -c | awk '{printf "%s:%s ", $2, $1}')
[ "$counts" = "intro:490 intro-fade:27 main:15690 main-fade:27 " ] ||
    fail "unexpected parts and lengths: $counts"
frames=16234
# The picture changes every 1569 frames: ten distinct palettes at rest.
pictures=$(awk '$2 == "main" && $3 % 1569 == 1000 {print $5}' "$WORK/checksums.txt" | sort -u | wc -l)
[ "$pictures" -eq 10 ] || fail "$pictures distinct pictures"
# The last frame of the fade is black: every palette entry 0 (FNV of 768 zeros).
black=$(python3 -c 'h = 2166136261
for _ in range(768): h = h * 16777619 % 2**32
print("%08x" % h)')
[ "$(tail -1 "$WORK/checksums.txt" | awk '{print $5}')" = "$black" ] ||
    fail "the last frame of the fade is not black"

probe() {
    ffprobe -v error -select_streams "$1" -show_entries "stream=$2" -of csv=p=0 "$WORK/tessera.mp4"
}
[ "$(probe v r_frame_rate,nb_frames)" = "60/1,$frames" ] ||
    fail "video stream: $(probe v r_frame_rate,nb_frames)"
audio_length=$(probe a duration)
awk "BEGIN {d = $audio_length - $frames / 60; exit !(d > -0.05 && d < 0.05)}" ||
    fail "sound lasts $audio_length s, the picture $((frames / 60)) s"

# The song loops under every picture: some sound in each picture's middle.
for picture in 0 3 6 9; do
    at=$(awk "BEGIN {print (517 + $picture * 1569 + 700) / 60}")
    peak=$(ffmpeg -nostdin -v info -ss "$at" -t 5 -i "$WORK/tessera.mp4" -vn -af volumedetect \
        -f null - 2>&1 | sed -n 's/.*max_volume: \(-*[0-9.inf]*\) dB.*/\1/p')
    awk "BEGIN {exit !(\"$peak\" != \"-inf\" && $peak > -40)}" ||
        fail "silence under picture $picture ($at s): $peak dB"
done
echo "ok: $frames frames in $took s"
