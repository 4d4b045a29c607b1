#!/usr/bin/env bash
# Remakes the about window's pictures (assets/about-*.png) and its animation
# (assets/By.gif) from assets/make-pictures.cpp.
#
# Needs, besides what tools/install-deps.sh installs: ImageMagick, to put the
# frames together into the animated GIF (apt-get install imagemagick).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${BUILD_DIR:-$root/build}

command -v convert >/dev/null && convert -version 2>/dev/null | grep -q ImageMagick || {
  echo "ImageMagick is needed to assemble the animation: apt-get install imagemagick" >&2
  exit 1
}

[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target make-pictures -j2

frames=$(mktemp -d)
trap 'rm -rf "$frames"' EXIT
QT_QPA_PLATFORM=offscreen "$build/bin/make-pictures" "$here" "$frames"

# 40 frames, 70 ms each, looping for ever; each frame clears to transparent
# before the next, so the background shows wherever a frame draws nothing.
convert -delay 7 -loop 0 -dispose Background "$frames"/frame-*.png -layers RemoveDups "$here/By.gif"
echo "$here/By.gif $(identify "$here/By.gif" | wc -l) frames"
