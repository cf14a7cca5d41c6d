#!/usr/bin/env bash
# Builds Tessera and its data files and runs the demo.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh run
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target tessera data
cd data
exec ../build/tessera
