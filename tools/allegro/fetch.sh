#!/usr/bin/env bash
# Fetches the upstream source of Debian source packages into DEST, for the
# Windows and the browser builds, which compile these libraries themselves:
# Allegro 4.4 into DEST/allegro, and for the recorder's PNG files libpng and
# zlib into DEST/libpng and DEST/zlib. A folder that is there already is
# left as it is.
#   tools/allegro/fetch.sh DEST [PACKAGE:FOLDER...]   (default: allegro4.4:allegro)
# The machine's own apt sources are neither read nor changed: apt is pointed
# at a private list of deb-src lines and a private cache under DEST.
set -euo pipefail
dest=$(realpath -m "${1:?usage: tools/allegro/fetch.sh DEST [PACKAGE:FOLDER...]}")
shift
wanted=()
for item in "${@:-allegro4.4:allegro}"; do
    [ -d "$dest/${item#*:}" ] || wanted+=("$item")
done
[ ${#wanted[@]} -gt 0 ] || exit 0
mkdir -p "$dest"
apt_dir=$(mktemp -d "$dest/apt.XXXXXX")
trap 'rm -rf "$apt_dir"' EXIT
mkdir -p "$apt_dir/lists/partial" "$apt_dir/archives/partial" "$apt_dir/parts"
printf 'deb-src http://deb.debian.org/debian bookworm main\n' >"$apt_dir/sources.list"
apt_options=(
    -o Dir::Etc::SourceList="$apt_dir/sources.list"
    -o Dir::Etc::SourceParts="$apt_dir/parts"
    -o Dir::State::Lists="$apt_dir/lists"
    -o Dir::Cache="$apt_dir/cache"
    -o APT::Get::List-Cleanup=0
    -o APT::Sandbox::User=root
)
apt-get "${apt_options[@]}" update -qq
for item in "${wanted[@]}"; do
    package=${item%%:*} folder=${item#*:}
    work=$(mktemp -d "$dest/src.XXXXXX")
    # Debian's patch tarball is not always served; the upstream tarball, which
    # the .dsc vouches for, is all that is built here.
    (cd "$work" && apt-get "${apt_options[@]}" source --download-only -qq "$package" || true)
    orig=$(ls "$work/${package}"_*.orig.tar.* 2>/dev/null | head -n 1)
    if [ -z "$orig" ]; then
        echo "tools/allegro/fetch.sh: could not download the source of $package" >&2
        exit 1
    fi
    tar -xf "$orig" -C "$work"
    top=$(find "$work" -mindepth 1 -maxdepth 1 -type d | head -n 1)
    rm -rf "$dest/$folder"
    mv "$top" "$dest/$folder"
    rm -rf "$work"
    echo "The source of $package is in $dest/$folder"
done
