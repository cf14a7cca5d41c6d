#!/usr/bin/env bash
# A short recording without a display: H.264 and AAC, 640x480 at 60 fps,
# exactly the frames asked for, silence through the intro and its fade and
# the song from the main part's first frame; making the video and its sound
# leaves the frames as they are without them.
source "$(dirname "$0")/lib.sh"
unset DISPLAY
CAPTURE="$BUILD/tessera-capture"
SECONDS_RECORDED=14
FRAMES=$((SECONDS_RECORDED * 60))

"$CAPTURE" --quiet --checksums --seed 3 --data "$SOURCE/data" --duration $SECONDS_RECORDED \
    "$WORK/short.mp4" >"$WORK/with-video.txt" 2>"$WORK/stderr" ||
    fail "the recording failed: $(cat "$WORK/stderr")"
grep -q "wrote $WORK/short.mp4" "$WORK/stderr" || fail "no word of where the video is"
ls "$WORK" | grep -q 'short\.mp4\.' && fail "part files were left beside the video"

"$CAPTURE" --checksums --seed 3 --data "$SOURCE/data" --duration $SECONDS_RECORDED \
    >"$WORK/plain.txt" || fail "the checksum run failed"
cmp -s "$WORK/with-video.txt" "$WORK/plain.txt" || fail "recording sound changed the frames"

# The intro ends after 490 ticks and fades out in 27 frames; the rest is main part.
counts=$(awk '{print $2}' "$WORK/plain.txt" | uniq -c | awk '{printf "%s:%s ", $2, $1}')
[ "$counts" = "intro:490 intro-fade:27 main:$((FRAMES - 517)) " ] ||
    fail "unexpected parts and lengths: $counts"

probe() {
    ffprobe -v error -select_streams "$1" -show_entries "stream=$2" -of csv=p=0 "$WORK/short.mp4"
}
[ "$(probe v codec_name,width,height,r_frame_rate,nb_frames)" = "h264,640,480,60/1,$FRAMES" ] ||
    fail "video stream: $(probe v codec_name,width,height,r_frame_rate,nb_frames)"
[ "$(probe a codec_name,sample_rate,channels)" = "aac,44100,2" ] ||
    fail "sound stream: $(probe a codec_name,sample_rate,channels)"

# Loudness of the sound between two times, in dB.
loudest() {
    ffmpeg -nostdin -v info -ss "$1" -to "$2" -i "$WORK/short.mp4" -vn -af volumedetect \
        -f null - 2>&1 | sed -n 's/.*max_volume: \(-*[0-9.inf]*\) dB.*/\1/p'
}
main_start=$(awk 'BEGIN {print 517 / 60}')
intro_peak=$(loudest 0 "$(awk "BEGIN {print $main_start - 0.05}")")
song_peak=$(loudest "$main_start" $SECONDS_RECORDED)
awk "BEGIN {exit !(\"$intro_peak\" == \"-inf\" || $intro_peak < -80)}" ||
    fail "sound before the main part: $intro_peak dB"
awk "BEGIN {exit !($song_peak > -40)}" || fail "the song is silent: $song_peak dB"

# The first sound comes with the main part's first frame.
first_sound=$(ffmpeg -nostdin -v info -i "$WORK/short.mp4" -vn \
    -af silencedetect=noise=-70dB:d=0.2 -f null - 2>&1 |
    sed -n 's/.*silence_end: \([0-9.]*\).*/\1/p' | head -1)
awk "BEGIN {d = $first_sound - $main_start; exit !(d > -0.03 && d < 0.5)}" ||
    fail "the song starts at $first_sound s, the main part at $main_start s"
echo "ok: $FRAMES frames, song from $first_sound s, peak $song_peak dB"
