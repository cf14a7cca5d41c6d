#!/usr/bin/env bash
# The Debian package: made by cpack from the build, unpacked into a folder of
# its own (nothing is installed on the machine), its programs run from a
# read-only working folder on the data they carry; its dependencies worked
# out from the binaries, the menu entry valid, the manual pages and icons
# there, the song's own sound font playing where the system has none, and
# lintian without errors.
. "$(dirname "$0")/lib.sh"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")
DEB="$WORK/pkg/tessera_${version}_amd64.deb"
# Made under a narrow umask: the package's modes must not follow it.
(umask 077 && cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$WORK/pkg") >"$WORK/cpack.log" 2>&1 ||
    fail "cpack: $(tail -5 "$WORK/cpack.log")"
[ -f "$DEB" ] || fail "no $DEB: $(ls "$WORK/pkg")"
narrow=$( (ar tv "$DEB" && dpkg-deb -c "$DEB") | grep -Ev '^(rw-r--r--|-rw-r--r--|-rwxr-xr-x|drwxr-xr-x) ' || true)
[ -z "$narrow" ] || fail "modes that follow the umask: $narrow"

field() { dpkg-deb -f "$DEB" "$1"; }
for lib in liballegro4.4 libfluidsynth3 libpng16-16 libc6; do
    field Depends | grep -q "$lib" || fail "Depends lacks $lib: $(field Depends)"
done
[ "$(field Recommends)" = fluid-soundfont-gm ] || fail "Recommends: $(field Recommends)"
[ "$(field Suggests)" = ffmpeg ] || fail "Suggests: $(field Suggests)"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"

ROOT="$WORK/root"
dpkg-deb -x "$DEB" "$ROOT"
for f in usr/games/tessera usr/games/tessera-capture usr/share/games/tessera/res.dat \
    usr/share/games/tessera/res_2.dat usr/share/games/tessera/song.sf2 usr/share/man/man6/tessera.6.gz \
    usr/share/man/man1/tessera-capture.1.gz usr/share/doc/tessera/copyright \
    usr/share/icons/hicolor/48x48/apps/tessera.png; do
    [ -f "$ROOT/$f" ] || fail "the package lacks /$f"
done
# Every icon as large as the folder it is in says; themes pass over others.
python3 - "$ROOT/usr/share/icons/hicolor" <<'EOF' || fail "icons of the wrong size"
import glob, struct, sys
for path in glob.glob(sys.argv[1] + "/*/apps/tessera.png"):
    w, h = struct.unpack(">II", open(path, "rb").read()[16:24])
    if path.split("/")[-3] != f"{w}x{h}" or w != h:
        sys.exit(f"{path} is {w}x{h}")
EOF
desktop-file-validate "$ROOT/usr/share/applications/tessera.desktop" ||
    fail "the menu entry is not valid"
grep -qx 'Exec=tessera --fill' "$ROOT/usr/share/applications/tessera.desktop" ||
    fail "the menu entry does not start tessera --fill"

# The programs run from a folder they cannot write to, holding no data: as
# root, a read-only mount in a namespace of its own; otherwise a folder
# without write permission.
RO="$WORK/readonly"
mkdir "$RO"
in_readonly() {
    if [ "$(id -u)" -eq 0 ]; then
        unshare -m sh -c 'mount --bind -o ro "$0" "$0" && cd "$0" && exec "$@"' "$RO" "$@"
    else
        chmod 555 "$RO"
        (cd "$RO" && exec "$@")
    fi
}
in_readonly sh -c '! touch probe 2>/dev/null' || fail "the working folder is writable"
[ "$(in_readonly "$ROOT/usr/games/tessera" --version)" = "tessera $version" ] ||
    fail "tessera --version: $(in_readonly "$ROOT/usr/games/tessera" --version 2>&1)"
[ "$(in_readonly "$ROOT/usr/games/tessera-capture" --version)" = "tessera-capture $version" ] ||
    fail "tessera-capture --version"
# The unpacked recorder on its installed data draws what the build draws.
in_readonly "$ROOT/usr/games/tessera-capture" --quiet --still 12 "$WORK/installed.png" ||
    fail "the unpacked recorder failed"
"$BUILD/tessera-capture" --data "$SOURCE/data" --quiet --still 12 "$WORK/built.png"
cmp -s "$WORK/installed.png" "$WORK/built.png" || fail "the unpacked recorder drew another frame"

# A machine without a General MIDI font (as root: the font folders hidden in
# a mount namespace of its own): the recorder records with the installed
# song font, and the demo's driver opens with it (it makes its WAV file as
# soon as it does).
if [ "$(id -u)" -eq 0 ]; then
    hide_fonts='for d in /usr/share/sounds /usr/share/soundfonts; do
        [ ! -d "$d" ] || mount -t tmpfs none "$d"; done; cd "$0" && exec "$@"'
    mkdir -p "$WORK/nofont/cfg"
    printf '[tessera]\nmusic_output = file\nmusic_file = %s\n' "$WORK/nofont/music.wav" \
        >"$WORK/nofont/cfg/allegro.cfg"
    unshare -m sh -c "$hide_fonts" "$WORK/nofont" "$ROOT/usr/games/tessera-capture" --quiet \
        --duration 1 "$WORK/nofont/song.mp4" >"$WORK/nofont/capture.log" 2>&1 ||
        fail "the recorder without a system sound font: $(cat "$WORK/nofont/capture.log")"
    start_xvfb
    ALLEGRO="$WORK/nofont/cfg" unshare -m sh -c "$hide_fonts" "$WORK/nofont" \
        "$ROOT/usr/games/tessera" >"$WORK/stdout" 2>"$WORK/stderr" &
    APP_PID=$!
    for _ in $(seq 300); do
        if [ -e "$WORK/nofont/music.wav" ] || ! running; then break; fi
        sleep 0.05
    done
    [ -e "$WORK/nofont/music.wav" ] ||
        fail "the demo found no sound font without a system one: $(cat "$WORK/stdout" "$WORK/stderr")"
fi

lintian --fail-on error "$DEB" >"$WORK/lintian" 2>&1 ||
    fail "lintian: $(grep '^E:' "$WORK/lintian")"
echo "package: $(basename "$DEB") made, unpacked and run; lintian: $(grep -c '^W:' "$WORK/lintian") warnings"
