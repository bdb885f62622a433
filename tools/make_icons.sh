#!/bin/sh
# Redraws the program's icons in packaging/icons/ from assets/icon.txt (in the colours of
# assets/tiles.txt): tumbler-16.png ... tumbler-512.png and tumbler.ico.
#   tools/make_icons.sh [build|check] [path/to/make_icons]
# Without a tool path make_icons is compiled from tools/make_icons and tools/pcx_writer into a
# temporary folder (it needs only a C++20 compiler).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
mode=${1:-build}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT INT TERM
if [ $# -ge 2 ]; then
  tool=$2
else
  tool=$tmp/make_icons
  ${CXX:-c++} -std=c++20 -O1 -I"$root/tools/pcx_writer" -o "$tool" "$root"/tools/make_icons/*.cpp \
    "$root"/tools/pcx_writer/pcx_art.cpp "$root"/tools/pcx_writer/pcx_writer.cpp
fi
mkdir -p "$root/packaging/icons"
"$tool" "$mode" "$root"
