#!/usr/bin/env bash
# The same demo, frame for frame, on Linux, Windows (under Wine) and Node:
# their recorders print the same checksum line (pixels and palette) for
# every frame of the whole run (intro, its fade, the main part, its fade), on
# the default data and on the data builder's variant, and write the same
# still, byte for byte. Where a recorder makes no video, OUT.mp4 gets one
# line and a non-zero status. The recorders are those the Linux, Windows
# and web builds made.
#   tests/ports/same_frames.sh BUILD SOURCE [DEFAULT_SEEDS [VARIANT_SEEDS]]
# Seeds are lists ("1 7 2024"); by default 7 on the default data and
# 4000000000 on the variant.
source "$(dirname "$0")/../xvfb/lib.sh" "$1" "$2"
default_seeds=${3:-7}
variant_seeds=${4:-4000000000}
WHOLE_RUN=16234 # frames: 490 of the intro, 27 of its fade, 15690 of the main part, 27 of its fade

for tool in wine node; do
    command -v $tool >/dev/null || skip "$tool is not installed (tools/setup.sh test installs it)"
done
linux=$BUILD/tessera-capture
windows=$BUILD/windows/tessera/tessera-capture.exe
node=$BUILD/web-work/cmake/tessera-capture.js
for recorder in "$linux" "$windows" "$node"; do
    [ -f "$recorder" ] || fail "no $recorder (the Linux, Windows and web builds make the recorders)"
done
wine_prefix

# record SYSTEM ARGS...: one recorder's output in $WORK/SYSTEM.out and .err.
record() {
    local system=$1
    shift
    case $system in
    linux) "$linux" --quiet "$@" ;;
    windows) wine "$windows" --quiet "$@" ;;
    node) node "$node" --quiet "$@" ;;
    esac >"$WORK/$system.out" 2>"$WORK/$system.err"
}
recorded() {
    record "$@" || fail "the $1 recorder failed ($*): $(head -c 1000 "$WORK/$1.err")"
}

mkdir "$WORK/variant"
"$BUILD/databuilder" --variant 1 "$WORK/variant" >/dev/null || fail "the data builder failed"
compared=0
for set in default variant; do
    data=$SOURCE/data seeds=$default_seeds
    [ $set = default ] || data=$WORK/variant seeds=$variant_seeds
    for seed in $seeds; do
        for system in linux windows node; do
            recorded $system --data "$data" --seed "$seed" --checksums
        done
        lines=$(wc -l <"$WORK/linux.out")
        [ "$lines" -eq $WHOLE_RUN ] && tail -n 1 "$WORK/linux.out" | grep -q ' main-fade ' ||
            fail "$set data, seed $seed: $lines lines, not the whole run"
        for system in windows node; do
            cmp "$WORK/linux.out" "$WORK/$system.out" || fail "$set data, seed $seed: $system" \
                "differs first at $(diff "$WORK/linux.out" "$WORK/$system.out" | sed -n 2p)"
        done
        compared=$((compared + lines))
        echo "$set data, seed $seed: $lines frames identical on Linux, Windows and Node"
    done
done

# A frame of the main part, through each recorder's PNG writer.
for system in linux windows node; do
    recorded $system --data "$SOURCE/data" --still 12.5 "$WORK/$system.png"
done
cmp "$WORK/linux.png" "$WORK/windows.png" && cmp "$WORK/linux.png" "$WORK/node.png" ||
    fail "the stills differ"

for system in windows node; do
    ! record $system --data "$SOURCE/data" "$WORK/x.mp4" || fail "$system recorded a video"
    [ "$(wc -l <"$WORK/$system.err")" -eq 1 ] && grep -q 'makes no video' "$WORK/$system.err" ||
        fail "$system's refusal of OUT.mp4: $(cat "$WORK/$system.err")"
done
echo "$compared frames compared: all identical; stills identical"
