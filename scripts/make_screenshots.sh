#!/bin/sh
# Saves one screenshot of the capture window per mode into docs/screenshots, from the headless
# display with the simulated digitizer: kivoly ui driven by its --script.
#   scripts/make_screenshots.sh [BUILD_DIR]   (default: build)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
kivoly="$build/bin/kivoly"
out="$root/docs/screenshots"
[ -x "$kivoly" ] || { echo "no $kivoly: build the kivoly_cli target first" >&2; exit 1; }
mkdir -p "$out"
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
shoot() {
    KIVOLY_HOME="$home" "$kivoly" ui --simulate --step-ms 100 --script "$1"
}
shoot "shot:$out/mode0-plain.png"
shoot "p wait wait wait wait shot:$out/mode1-preview.png escape"
shoot "space a drag:114,132,0,-30 wait wait shot:$out/mode2-adjust.png"
shoot "space e wait shot:$out/mode3-setup.png"
shoot "click:512,-9 wait shot:$out/mode4-compact.png"
echo "screenshots in $out"
