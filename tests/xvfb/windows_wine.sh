#!/usr/bin/env bash
# The Windows zip, built by tools/windows/build.sh, under Wine: tessera.exe
# imports only DLLs that every Windows has; it runs in a window and on a
# 640x480 full screen, where the main part's frame (saved with Space in the
# window, on the screen in full) shows the bars, the text, the dots and the
# picture's colours; Esc ends it with 0 and Ctrl+C with 130, no temporary
# file left; a damaged res.dat ends it with one line and status 1.
source "$(dirname "$0")/lib.sh" "$1" "$2"

"$SOURCE/tools/windows/build.sh" "$BUILD" >"$WORK/build.log" 2>&1 ||
    fail "the Windows build failed: $(tail -20 "$WORK/build.log")"
zip=$(tail -n 1 "$WORK/build.log")
mkdir -p "$WORK/zip"
(cd "$WORK/zip" && unzip -q "$zip")
folder=$(echo "$WORK"/zip/tessera-*-windows)
EXE=$folder/tessera.exe
for f in tessera.exe res.dat res_2.dat README.txt LICENSE.txt THIRD-PARTY.txt; do
    [ -f "$folder/$f" ] || fail "the zip has no $f"
done

# DLLs that are part of every Windows since XP.
system_dlls='^(kernel32|user32|gdi32|advapi32|msvcrt|ole32|comdlg32|ddraw|dinput|dsound|winmm)\.dll$'
dlls=$(x86_64-w64-mingw32-objdump -p "$EXE" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$dlls" ] || fail "objdump found no imports in tessera.exe"
others=$(echo "$dlls" | grep -Ev "$system_dlls" || true)
[ -z "$others" ] || fail "tessera.exe needs DLLs that Windows does not have: $others"

wine_prefix

prepare_data
quiet_environment
PCX=$WORK/run/capture.pcx

# DirectInput sees a key only if it goes down while the window has the
# focus: Space is tapped until the first frame is saved, and the intro
# ended with Esc if that frame is the intro's.
skip_intro() {
    for _ in $(seq 120); do
        press space 0.3
        [ -f "$PCX" ] && break
        running || fail "the demo ended before its first frame: $(head -c 2000 "$WORK/stderr")"
        sleep 0.2
    done
    [ -f "$PCX" ] || fail "Space never saved a frame"
    if check pcx "$PCX" intro >/dev/null 2>&1; then
        press Escape 0.2
    fi
}

# Checks the main part's first picture in the frames Space saves.
check_saved_frames() {
    rm -f "$PCX"
    xdotool keydown space
    check main --picture 0 --seconds 10 --pcx "$PCX"
    xdotool keyup space
}

# Esc ends the run with 0; the temporary file is gone and only the MIDI line was said.
end_with_esc() {
    press Escape 0.3
    wait_app 30
    [ "$APP_STATUS" -eq 0 ] || fail "exit status $APP_STATUS, stderr: $(head -c 2000 "$WORK/stderr")"
    [ ! -e "$WORK/run/tempola.xyz" ] || fail "tempola.xyz was left behind"
    [ "$(tr -d '\r' <"$WORK/stdout")" = "Sorry, MIDI is unavailable" ] ||
        fail "standard output is not the MIDI line: $(od -c "$WORK/stdout" | head -5)"
}

# In a window, on a screen larger than it.
start_xvfb 1024x768
start_app wine "$EXE" --window
skip_intro
check_saved_frames
end_with_esc
echo "windowed ok"

# Ctrl+C (Wine turns SIGINT into the console's event) ends the run in order:
# status 128+2, no temporary file, sooner than the watchdog's 8 s.
rm -f "$PCX"
start_app wine "$EXE" --window
skip_intro
kill -INT "$APP_PID"
started=$(now)
wait_app 30
[ "$APP_STATUS" -eq 130 ] || fail "Ctrl+C gave status $APP_STATUS"
took=$(python3 -c "print(round($(now) - $started, 1))")
between 0 "$took" 7.5 || fail "Ctrl+C took $took s: the watchdog, not the orderly end"
[ ! -e "$WORK/run/tempola.xyz" ] || fail "tempola.xyz was left behind after Ctrl+C"
echo "Ctrl+C ok: $took s"

# On the whole of a 640x480 screen.
# Wine's own processes stay a while on the display they started on.
wineserver -k 2>/dev/null || true
kill "$XVFB_PID"
wait "$XVFB_PID" 2>/dev/null || true
rm -f "$PCX"
start_xvfb
start_app wine "$EXE"
check wait shown --pid "$APP_PID" --timeout 60 >/dev/null
skip_intro
check wait "main 0" --pid "$APP_PID" --timeout 12 >/dev/null
check main --picture 0 --seconds 7
end_with_esc
echo "full screen ok"

# A damaged archive: one line, status 1.
head -c 5000 "$WORK/run/res.dat" >"$WORK/run/short.dat"
mv "$WORK/run/short.dat" "$WORK/run/res.dat"
start_app wine "$EXE" --window
wait_app 60
[ "$APP_STATUS" -eq 1 ] || fail "a damaged res.dat gave status $APP_STATUS"
[ "$(wc -l <"$WORK/stderr")" -eq 1 ] || fail "a damaged res.dat did not give one line: $(cat "$WORK/stderr")"
echo "damaged data ok: $(cat "$WORK/stderr")"
