#!/bin/sh
# Renders the committed pictures enlarged to PNG for a person to look at (needs ImageMagick):
#   tools/render_images.sh [out-folder]      (default: render/ under the current folder)
# tiles.png   the 24 tiles at 4x on a slate background where they are see-through
# font.png    the glyph sheet at 3x
# text.png    the game's own lines drawn as the game draws them (black outline, spacing 2), 3x
# title.png   the title picture on the grey title screen, 3x
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-render}
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT INT TERM
${CXX:-c++} -std=c++20 -O1 -o "$tmp/make_images" "$root"/tools/pcx_writer/*.cpp
"$tmp/make_images" preview "$root" "$tmp"
convert "$tmp/tiles.ppm" -scale 400% "$out/tiles.png"
convert "$tmp/font.ppm" -scale 300% "$out/font.png"
convert "$tmp/text.ppm" -scale 300% "$out/text.png"
convert "$tmp/title.ppm" -scale 300% "$out/title.png"
echo "wrote $out/tiles.png $out/font.png $out/text.png $out/title.png"
