#!/usr/bin/env bash
# Installs the Debian packages Tessera needs that are not there yet.
#   tools/setup.sh run    what building and running the demo needs
#   tools/setup.sh web    that, plus what the browser build needs (tools/web/build.sh)
#   tools/setup.sh windows   that, plus what building the Windows zip and running it under Wine needs
#   tools/setup.sh test   all of it, plus what the test suite needs
set -euo pipefail

run_packages=(
    build-essential cmake pkg-config
    liballegro4-dev libx11-dev  # the game library and the X display it opens
    libxcb-present-dev libxcb-randr0-dev libxxf86vm-dev  # the display's refresh, its modes
    libfreetype-dev fonts-dejavu-core   # the data builder renders its typefaces
    libfluidsynth-dev fluid-soundfont-gm libasound2-dev  # the song, heard through FluidSynth
    timgm6mb-soundfont python3  # the song's own sound font is taken from TimGM6mb
    libpng-dev                  # PNG files of the data builder and the recorder
    ffmpeg                      # recording the demo without a display
    help2man                    # the manual pages, made from the programs' --help
)
test_packages=(
    googletest libgtest-dev libbenchmark-dev
    xvfb xdotool x11-apps x11-utils imagemagick  # the real program in a real X window
    weston xwayland                     # the same on a Wayland compositor, through Xwayland
    xserver-xorg-core xserver-xorg-video-dummy  # and on an X server that really switches modes
    fluidsynth                          # rendering the song
    python3                             # reading PCX, PNG, WAV and MIDI files in the scripted tests
    locales                             # a Turkish locale for the scroller's upper-case test
    clang libclang-rt-14-dev            # the fuzz target over the archive members (libFuzzer)
    dpkg-dev file lintian desktop-file-utils  # the Debian package: cpack's shlibdeps, its checks
)
# Tessera in a browser tab (tools/web/build.sh) and its test in headless Chromium.
web_packages=(emscripten nodejs patch)
web_test_packages=(chromium)
# The Windows build: a 64-bit cross-compiler (the posix thread model, for
# std::mutex), and Wine to run the result.
windows_packages=(
    g++-mingw-w64-x86-64-posix zip
    wine wine64
    xvfb xdotool x11-apps imagemagick python3  # its end-to-end test
)

mode=${1:-run}
wanted=("${run_packages[@]}")
case "$mode" in
test) wanted+=("${test_packages[@]}" "${web_packages[@]}" "${web_test_packages[@]}" "${windows_packages[@]}") ;;
web) wanted+=("${web_packages[@]}") ;;
windows) wanted+=("${windows_packages[@]}") ;;
esac
# npm comes with some builds of node; Debian's own node has it apart.
if [ "$mode" = test ] || [ "$mode" = web ]; then
    command -v npm >/dev/null || wanted+=(npm)
fi

missing=()
for p in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
fi
"${sudo[@]}" apt-get -o DPkg::Lock::Timeout=900 update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends "${missing[@]}"
