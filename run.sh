#!/usr/bin/env bash
# Builds Tessera and its data files and runs the demo. On a machine without
# a display (no DISPLAY) it records the demo, frame-exact and with its song,
# to tessera.mp4 in this folder instead.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh run
tools/configure.sh
cmake --build build -j"$(nproc)" --target tessera tessera-capture data
if [ -z "${DISPLAY:-}" ]; then
    echo "No display: recording the demo to $PWD/tessera.mp4 instead."
    build/tessera-capture --data data tessera.mp4
    echo "The demo is in $PWD/tessera.mp4"
    exit 0
fi
cd data
exec ../build/tessera "$@"
