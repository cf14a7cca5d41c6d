#!/usr/bin/env bash
# Configures a build folder (default: build/ in the source folder) in release
# mode, unless it is configured already, for the scripts that build in it.
#   tools/configure.sh [BUILD]
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$src/build}")
# A folder whose first configuring failed has a cache but nothing to build.
if [ ! -f "$build/CMakeCache.txt" ] || { [ ! -f "$build/Makefile" ] && [ ! -f "$build/build.ninja" ]; }; then
    cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
