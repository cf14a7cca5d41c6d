#!/usr/bin/env bash
# The whole demo with a second data set, built differently but to the same
# format: nothing in the program may depend on the particular pictures, glyphs,
# colour-map rows or song that the default data holds. Esc is held over the
# end of the last picture: the frames go on until it is let go.
source "$(dirname "$0")/lib.sh" "$1" "$2"
mkdir -p "$WORK/run"
if ! "$BUILD/databuilder" --variant 1 "$WORK/run" >"$WORK/builder.log" 2>&1; then
    if ! "$BUILD/databuilder" --help 2>&1 | grep -q -- --variant; then
        skip "this data builder cannot make a second data set (--variant)"
    fi
    fail "the data builder failed: $(cat "$WORK/builder.log")"
fi
cmp -s "$WORK/run/res.dat" "$SOURCE/data/res.dat" && fail "the second data set is the default one"
start_xvfb
run_whole_demo hold-esc
echo "second data set ok"
