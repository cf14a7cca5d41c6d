#!/usr/bin/env bash
# Plays the demo under Xvfb and keeps four screens of it as PNGs (640x480, as
# shown) in docs/screenshots/: the assembled intro logo, the main part with its
# tiles drifting, the flash at the first change of picture, and the second
# picture after it.
#   tools/make_screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
source tests/xvfb/lib.sh "${1:-build}" .
OUT="$SOURCE/docs/screenshots"
mkdir -p "$OUT"
start_xvfb
prepare_data
quiet_environment

start_app
check wait logo --pid "$APP_PID" --timeout 30 >/dev/null
sleep 0.5
check png "$OUT/intro.png"
check wait "main 0" --pid "$APP_PID" --timeout 15 >/dev/null
started=$(now)
python3 -c "import time; time.sleep(max(0, $started + 2.5 - $(now)))"
check png "$OUT/main.png"
python3 -c "import time; time.sleep(max(0, $started + 25.5 - $(now)))"
# A moment into the flash, when the new picture shows through the white.
check wait flash --pid "$APP_PID" --timeout 5 >/dev/null
sleep 0.2
check png "$OUT/flash.png"
check wait "main 1" --pid "$APP_PID" --timeout 5 >/dev/null
sleep 1.5
check png "$OUT/main-2.png"
press Escape 0.3
wait_app 10
ls -l "$OUT"
