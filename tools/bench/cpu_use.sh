#!/usr/bin/env bash
# The CPU the demo and the X server use over SECONDS (default 20) of the main
# part, on a fresh Xvfb screen, for each set of options given, e.g.
#   tools/bench/cpu_use.sh build "" "--vsync" "--fill"
# prints one line per set: the demo's and Xvfb's share of one core.
set -euo pipefail
build=$(cd "${1:?usage: tools/bench/cpu_use.sh BUILD [OPTIONS]...}" && pwd)
shift
data=$(cd "$(dirname "$0")/../../data" && pwd)
seconds=${SECONDS_MEASURED:-20}
ticks=$(getconf CLK_TCK)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpu_ticks() { # user + system time of process $1, in clock ticks
    awk '{ print $14 + $15 }' "/proc/$1/stat"
}

for options in "$@"; do
    Xvfb -displayfd 3 -screen 0 "${SCREEN:-640x480}x24" -nolisten tcp 3>"$work/display" 2>/dev/null &
    xvfb=$!
    until [ -s "$work/display" ]; do sleep 0.1; done
    # shellcheck disable=SC2086
    (cd "$data" && HOME="$work" DISPLAY=":$(cat "$work/display")" exec "$build/tessera" $options \
        >/dev/null 2>&1) &
    demo=$!
    sleep 10 # the intro and the fade into the main part
    d0=$(cpu_ticks $demo) x0=$(cpu_ticks $xvfb)
    sleep "$seconds"
    d1=$(cpu_ticks $demo) x1=$(cpu_ticks $xvfb)
    kill $demo
    wait $demo 2>/dev/null || true
    kill $xvfb
    wait $xvfb 2>/dev/null || true
    rm -f "$work/display"
    awk -v o="${options:-(none)}" -v d=$((d1 - d0)) -v x=$((x1 - x0)) -v t="$ticks" -v s="$seconds" \
        'BEGIN { printf "%-10s demo %5.1f %%  Xvfb %5.1f %%\n", o, 100 * d / t / s, 100 * x / t / s }'
done
