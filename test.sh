#!/usr/bin/env bash
# Builds Tessera and runs its whole test suite.
#   ./test.sh            everything, as CI runs it
#   ./test.sh -LE long   leaves out the runs that take minutes
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh test
tools/configure.sh
cmake --build build -j"$(nproc)"
cd build
ctest --output-on-failure "$@"
