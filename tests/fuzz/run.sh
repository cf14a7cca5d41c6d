#!/usr/bin/env bash
# The fuzz target over the archive members.
#   tests/fuzz/run.sh BUILD SOURCE           once over the data builder's members
#                                            and the damaged inputs (what ctest runs)
#   tests/fuzz/run.sh BUILD SOURCE SECONDS   fuzzing for that long, on from the
#                                            corpus kept in BUILD/fuzz/corpus
set -euo pipefail
BUILD=$(cd "$1" && pwd)
SOURCE=$(cd "$2" && pwd)
FUZZ="$BUILD/fuzz/members_fuzz"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export TMPDIR="$WORK"

"$BUILD/fuzz/fuzz_seeds" "$SOURCE/data" "$WORK/seeds"
python3 "$SOURCE/tests/fuzz/members.py" "$WORK"

if [ $# -ge 3 ]; then
    CORPUS="$BUILD/fuzz/corpus"
    mkdir -p "$CORPUS" "$BUILD/fuzz/findings"
    exec "$FUZZ" -max_total_time="$3" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 \
        -artifact_prefix="$BUILD/fuzz/findings/" "$CORPUS" "$WORK/seeds" "$WORK/damaged" "$WORK/conforming"
fi

# The members as built and the conforming ones load, draw and play...
TESSERA_FUZZ_REFUSALS=1 "$FUZZ" -timeout=10 "$WORK"/seeds/* "$WORK"/conforming/* 2>"$WORK/seeds.log" ||
    { cat "$WORK/seeds.log"; exit 1; }
if grep '^refused:' "$WORK/seeds.log"; then
    echo "a conforming member was refused"
    exit 1
fi
# ...and every damaged one is refused, with no fault.
total=0
for input in "$WORK"/damaged/*; do
    TESSERA_FUZZ_REFUSALS=1 "$FUZZ" -timeout=10 "$input" 2>"$WORK/damaged.log" ||
        { cat "$WORK/damaged.log"; exit 1; }
    if ! grep -m1 '^refused:' "$WORK/damaged.log"; then
        echo "$(basename "$input") was not refused"
        exit 1
    fi
    total=$((total + 1))
done
echo "ok: the built and the conforming members load; all $total damaged ones are refused"
