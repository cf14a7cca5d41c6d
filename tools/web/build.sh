#!/usr/bin/env bash
# Builds Tessera for a browser tab into BUILD/web/: the page, the program as
# WebAssembly with its data files preloaded, the synthesizer and its sound
# font, and a page of licences. Any static web server can serve the folder:
#   tools/web/build.sh [BUILD] && python3 -m http.server -d build/web
# BUILD is the Linux build folder, which makes the data files (build/ in the
# source folder). Needs Debian's emscripten, nodejs (with npm) and
# timgm6mb-soundfont, from which the song's sound font is made
# (tools/setup.sh web installs them). Intermediate files go to
# BUILD/web-work/, the recorder for Node among them:
#   node BUILD/web-work/cmake/tessera-capture.js --data DIR --checksums
# Two runs on one commit make the same files.
set -euo pipefail
build=$(realpath -m "${1:-$(dirname "$0")/../../build}")
cd "$(dirname "$0")/../.."
work=$build/web-work
out=$build/web
jobs=$(nproc)
SOUND_FONT=data/song.sf2

say() { echo "tools/web/build.sh: $*" >&2; }
for tool in emcc emcmake npm cmake; do
    command -v "$tool" >/dev/null || { say "$tool is missing (tools/setup.sh web installs it)"; exit 1; }
done
# Debian's emcc runs its optimizer on the system's node modules.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
# npm packages never download a browser of their own.
export PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1

# The data files and the song's sound font, as the Linux build makes them.
tools/configure.sh "$build"
cmake --build "$build" --target data -j"$jobs" >/dev/null
[ -f "$SOUND_FONT" ] || { say "$SOUND_FONT was not made (Debian's timgm6mb-soundfont is missing)"; exit 1; }

# Allegro's source, with its configuration told about the web platform.
mkdir -p "$work"
tools/allegro/fetch.sh "$work" allegro4.4:allegro libpng1.6:libpng zlib:zlib >"$work/fetch.log" 2>&1 ||
    { cat "$work/fetch.log" >&2; exit 1; }
alconfig=$work/allegro/include/allegro/internal/alconfig.h
if ! grep -q ALLEGRO_WEB "$alconfig"; then
    patch -s -d "$work/allegro" -p1 <tools/allegro/web/allegro-web.patch
fi

emcmake cmake -S tools/web -B "$work/cmake" -DALLEGRO_DIR="$work/allegro" \
    -DLIBPNG_DIR="$work/libpng" -DZLIB_DIR="$work/zlib" >/dev/null
# The compiler's messages without the progress lines; a failed build must
# not leave an earlier build's files to be taken for its own.
if ! cmake --build "$work/cmake" --target tessera tessera-capture -j"$jobs" >"$work/build.log" 2>&1; then
    grep -v '^\[' "$work/build.log" >&2
    say "the program or the recorder did not build"
    exit 1
fi
grep -v '^\[' "$work/build.log" || true

# The synthesizer and the test's browser driver, as the lockfile pins them.
mkdir -p "$work/npm"
if ! cmp -s tools/web/package-lock.json "$work/npm/package-lock.json" ||
    [ ! -d "$work/npm/node_modules/js-synthesizer" ]; then
    cp tools/web/package.json tools/web/package-lock.json "$work/npm/"
    (cd "$work/npm" && npm ci --no-audit --no-fund --ignore-scripts --loglevel=error)
fi
synth=$work/npm/node_modules/js-synthesizer

# The page, assembled beside the old one and put in its place whole.
rm -rf "$out.new"
mkdir -p "$out.new/synth"
cp tools/web/index.html tools/web/page.js "$out.new/"
cp "$work/cmake/tessera.wasm" "$work/cmake/tessera.data" "$out.new/"
# The data package's name for the cache is a random UUID: it is made from
# the package's contents instead.
uuid=$(sha256sum "$work/cmake/tessera.data" | cut -c1-32 | sed -E 's/(.{8})(.{4})(.{4})(.{4})/\1-\2-\3-\4-/')
sed -E "s/(\"package_uuid\": *\")[0-9a-f-]{36}\"/\1$uuid\"/" "$work/cmake/tessera.js" >"$out.new/tessera.js"
grep -q "\"package_uuid\": *\"$uuid\"" "$out.new/tessera.js" || { say "no package_uuid in tessera.js"; exit 1; }
cp "$synth/dist/js-synthesizer.min.js" "$synth/dist/js-synthesizer.worklet.min.js" \
    "$synth/externals/libfluidsynth-2.4.6.js" "$SOUND_FONT" "$out.new/synth/"
python3 tools/web/licences.py "$out.new/licenses.html" \
    "Tessera=LICENSE" \
    "Allegro 4.4 (giftware)=$work/allegro/docs/txt/license.txt" \
    "js-synthesizer 1.13.0 (BSD-3-Clause)=$synth/LICENSE" \
    "FluidSynth 2.4.6, as libfluidsynth in js-synthesizer (LGPL-2.1)=$synth/externals/LICENSE.fluidsynth.txt" \
    "The song's sound font, synth/song.sf2: the instruments the song plays, taken from the TimGM6mb sound font (GPL-2) of Debian's timgm6mb-soundfont=/usr/share/doc/timgm6mb-soundfont/copyright" \
    "The GNU General Public License, version 2 (the song's sound font)=/usr/share/common-licenses/GPL-2" \
    "The emscripten runtime in tessera.js and tessera.wasm (MIT and others), from Debian's emscripten=/usr/share/doc/emscripten/copyright"
python3 tools/web/stamp.py "$out.new"
rm -rf "$out"
mv "$out.new" "$out"
echo "$out is ready: python3 -m http.server -d $out"
