#!/bin/sh
# Regenerates the game's pictures data/tiles.pcx, data/c64.pcx and data/title.pcx from
# assets/tiles.txt, assets/font.txt and assets/title.txt, each at its exact file size.
#   tools/make_images.sh [build|check|sizes] [path/to/make_images]
# build (the default) writes the files, check only compares them, sizes prints how small and
# how large each picture can be written. Without a tool path make_images is compiled from
# tools/pcx_writer into a temporary folder (it needs only a C++20 compiler).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
mode=${1:-build}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT INT TERM
if [ $# -ge 2 ]; then
  tool=$2
else
  tool=$tmp/make_images
  ${CXX:-c++} -std=c++20 -O1 -o "$tool" "$root"/tools/pcx_writer/*.cpp
fi
"$tool" "$mode" "$root"
if [ "$mode" = build ]; then
  for f in tiles c64 title; do echo "data/$f.pcx: $(wc -c < "$root/data/$f.pcx") bytes"; done
fi
