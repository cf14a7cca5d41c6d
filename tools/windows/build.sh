#!/usr/bin/env bash
# Builds Tessera for Windows on Debian 12 and packs it:
#   tools/windows/build.sh [BUILD]
# writes BUILD/windows/tessera-<version>-windows.zip (BUILD: the Linux build
# folder, build/ in the source folder). Installs what it needs, fetches
# Allegro 4.4's source, patches it, cross-builds it once as a static library
# (kept in BUILD/windows), then cross-builds tessera.exe, statically linked,
# so that it needs only the DLLs every Windows has, and beside it, outside
# the zip, the recorder BUILD/windows/tessera/tessera-capture.exe (with
# libpng and zlib built from their Debian source packages). The data files come from
# the Linux data builder, built in BUILD. Two runs on one commit make the
# same zip, byte for byte: its entries carry the commit's time (or
# SOURCE_DATE_EPOCH), in a fixed order, with fixed modes.
set -euo pipefail
src=$(cd "$(dirname "$0")/../.." && pwd)
linux_build=$(realpath -m "${1:-$src/build}")
out=$linux_build/windows
here=$src/tools/windows
patches=$src/tools/allegro/windows
toolchain=$here/toolchain.cmake
jobs=${TESSERA_JOBS:-2}

"$src/tools/setup.sh" windows

# The data files, built for Linux and the same for every platform.
"$src/tools/configure.sh" "$linux_build"
cmake --build "$linux_build" --target data -j"$jobs" >/dev/null

# Allegro: patched and built again only when the patches, the toolchain or
# these options change. A static library, without its examples, tools,
# tests and add-ons.
allegro_options=(
    -DCMAKE_BUILD_TYPE=Release -DSHARED=off
    -DWANT_EXAMPLES=off -DWANT_TOOLS=off -DWANT_TESTS=off -DWANT_DOCS=off
    -DWANT_ALLEGROGL=off -DWANT_LOADPNG=off -DWANT_LOGG=off -DWANT_JPGALLEG=off
)
"$src/tools/allegro/fetch.sh" "$out" allegro4.4:allegro libpng1.6:libpng zlib:zlib
allegro=$out/allegro-x64
stamp=$( (cat "$patches"/*.patch "$toolchain" && echo "${allegro_options[*]}") | sha256sum | cut -d' ' -f1)
if [ "$(cat "$allegro/stamp" 2>/dev/null)" != "$stamp" ]; then
    echo "Building Allegro for Windows (once; logs in $allegro)"
    rm -rf "$allegro"
    mkdir -p "$allegro"
    cp -a "$out/allegro" "$allegro/src"
    for patch in "$patches"/*.patch; do
        patch -d "$allegro/src" -p1 --quiet <"$patch"
    done
    cmake -S "$allegro/src" -B "$allegro/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_INSTALL_PREFIX="$allegro/install" "${allegro_options[@]}" >"$allegro/configure.log" 2>&1
    nice -n 10 cmake --build "$allegro/build" -j"$jobs" >"$allegro/build.log" 2>&1
    cmake --install "$allegro/build" >/dev/null
    echo "$stamp" >"$allegro/stamp"
fi

# Tessera itself.
cmake -S "$src" -B "$out/tessera" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DTESSERA_PLATFORM=windows \
    -DTESSERA_ALLEGRO_PREFIX="$allegro/install" \
    -DTESSERA_LIBPNG_SOURCE="$out/libpng" -DTESSERA_ZLIB_SOURCE="$out/zlib" >/dev/null
nice -n 10 cmake --build "$out/tessera" -j"$jobs"

# The zip: one folder holding the program, its data and the papers.
version=$(cat "$out/tessera/version.txt")
name=tessera-$version-windows
stage=$out/stage/$name
rm -rf "$out/stage"
mkdir -p "$stage"
cp "$out/tessera/tessera.exe" "$src/data/res.dat" "$src/data/res_2.dat" "$stage/"
sed "s/@VERSION@/$version/" "$here/README.txt" | sed 's/$/\r/' >"$stage/README.txt"
sed 's/$/\r/' "$src/LICENSE" >"$stage/LICENSE.txt"
{
    echo "Tessera for Windows is built with the works below, which keep their own terms."
    notice() {
        printf '\n\n==== %s\n\n' "$1"
        cat "$2"
    }
    notice "Allegro 4.4 (linked into tessera.exe)" "$out/allegro/docs/txt/license.txt"
    notice "mingw-w64 runtime and winpthreads (linked into tessera.exe)" \
        /usr/share/doc/mingw-w64-common/copyright
    notice "GCC's runtime libraries, libgcc and libstdc++ (linked into tessera.exe under the GCC Runtime Library Exception)" \
        /usr/share/doc/gcc-mingw-w64-base/copyright
    notice "DejaVu fonts (rendered into the typefaces in res.dat)" \
        /usr/share/doc/fonts-dejavu-core/copyright
} | sed 's/$/\r/' >"$stage/THIRD-PARTY.txt"
# Entries in a fixed order, with the commit's time and modes that do not
# depend on the umask.
chmod -R u=rwX,go=rX "$stage"
find "$stage" -exec touch -d "@$(cat "$out/tessera/source-date-epoch.txt")" {} +
rm -f "$out/$name.zip"
(cd "$out/stage" && find "$name" | LC_ALL=C sort | TZ=UTC zip -q -X -@ "$out/$name.zip")
echo "$out/$name.zip"
