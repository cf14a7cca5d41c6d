#!/usr/bin/env bash
# Fetches Allegro 4.4's source from Debian's source package into DEST/allegro
# (once: a DEST that holds it already is left as it is), for the Windows and
# the browser builds, which compile the library themselves.
#   tools/allegro/fetch.sh DEST
# The machine's own apt sources are neither read nor changed: apt is pointed
# at a private list of deb-src lines and a private cache under DEST.
set -euo pipefail
dest=$(realpath -m "${1:?usage: tools/allegro/fetch.sh DEST}")
if [ -f "$dest/allegro/include/allegro.h" ]; then
    exit 0
fi
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
work=$(mktemp -d "$dest/src.XXXXXX")
# Debian's patch tarball is not always served; the upstream tarball, which the
# .dsc vouches for, is all that is built here.
(cd "$work" && apt-get "${apt_options[@]}" source --download-only -qq allegro4.4 || true)
orig=$(ls "$work"/allegro4.4_*.orig.tar.* 2>/dev/null | head -n 1)
if [ -z "$orig" ]; then
    echo "tools/allegro/fetch.sh: could not download Allegro 4.4's source" >&2
    exit 1
fi
tar -xf "$orig" -C "$work"
top=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'allegro*' | head -n 1)
rm -rf "$dest/allegro"
mv "$top" "$dest/allegro"
rm -rf "$work"
echo "Allegro's source is in $dest/allegro"
