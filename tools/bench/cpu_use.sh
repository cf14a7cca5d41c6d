#!/usr/bin/env bash
# The CPU the demo and the X server use over SECONDS (default 20) of the main
# part, on a fresh Xvfb screen, for each set of options given, e.g.
#   tools/bench/cpu_use.sh build "" "--vsync" "--fill"
# prints one line per set: the demo's and Xvfb's share of one core.
# With WESTON=1 the demo runs on a Wayland desktop instead: Weston with
# Xwayland, nested in the Xvfb screen (1920x1080 unless SCREEN says), and the
# line gives the demo's, Xwayland's and Weston's share.
set -euo pipefail
build=$(cd "${1:?usage: tools/bench/cpu_use.sh BUILD [OPTIONS]...}" && pwd)
shift
data=$(cd "$(dirname "$0")/../../data" && pwd)
seconds=${SECONDS_MEASURED:-20}
weston=${WESTON:-}
screen=${SCREEN:-$([ -n "$weston" ] && echo 1920x1080 || echo 640x480)}
ticks=$(getconf CLK_TCK)
work=$(mktemp -d)
pids=()
stop_all() { # the demo first, the servers after it
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || true
        wait "${pids[i]}" 2>/dev/null || true
    done
    pids=()
}
trap 'stop_all; rm -rf "$work"' EXIT

cpu_ticks() { # user + system time of process $1, in clock ticks
    awk '{ print $14 + $15 }' "/proc/$1/stat"
}

# Starts the screen; sets display to the one the demo draws on and servers to
# the processes that show it.
start_screen() {
    rm -f "$work/display"
    Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp 3>"$work/display" 2>/dev/null &
    pids+=($!)
    servers=($!)
    until [ -s "$work/display" ]; do sleep 0.1; done
    display=:$(cat "$work/display")
    [ -z "$weston" ] && return
    mkdir -p -m 700 "$work/runtime"
    DISPLAY=$display XDG_RUNTIME_DIR="$work/runtime" weston --backend=x11-backend.so \
        --width="${screen%x*}" --height="${screen#*x}" --use-pixman --xwayland \
        --socket=bench >"$work/weston.log" 2>&1 &
    pids+=($!)
    servers=($!)
    until display=$(grep -o 'xserver listening on display :[0-9]*' "$work/weston.log"); do
        sleep 0.1
    done
    display=${display##* }
}

for options in "$@"; do
    start_screen
    # shellcheck disable=SC2086
    (cd "$data" && HOME="$work" DISPLAY="$display" exec "$build/tessera" $options \
        >/dev/null 2>&1) &
    demo=$!
    pids+=($demo)
    sleep 10 # the intro and the fade into the main part
    if [ -n "$weston" ]; then # Weston starts Xwayland for the first client
        servers=("$(grep -o 'Spawned Xwayland server, pid [0-9]*' "$work/weston.log" | grep -o '[0-9]*$')"
            "${servers[@]}")
    fi
    before=()
    for p in $demo "${servers[@]}"; do before+=("$(cpu_ticks "$p")"); done
    sleep "$seconds"
    line=$(printf '%-10s' "${options:-(none)}")
    names=(demo "$([ -n "$weston" ] && echo Xwayland || echo Xvfb)" Weston)
    i=0
    for p in $demo "${servers[@]}"; do
        line+=$(awk -v n="${names[$i]}" -v d=$(($(cpu_ticks "$p") - before[i])) -v t="$ticks" \
            -v s="$seconds" 'BEGIN { printf "  %s %5.1f %%", n, 100 * d / t / s }')
        i=$((i + 1))
    done
    echo "$line"
    stop_all
done
