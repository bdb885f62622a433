#!/bin/sh
# Regenerates the game's songs data/<name>.sqt from assets/songs/<name>.txt.
#   tools/make_songs.sh [path/to/song_compiler]
# Without an argument the compiler is built from tools/song_compiler into a temporary folder
# (it needs only a C++20 compiler). data/did_it.sqt is not written, only checked: its bytes
# are kept as they are, and its source must still compile to them.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT INT TERM
if [ $# -ge 1 ]; then
  compiler=$1
else
  compiler=$tmp/song_compiler
  ${CXX:-c++} -std=c++20 -O1 -o "$compiler" "$root"/tools/song_compiler/*.cpp
fi
for name in song1 song2 song3 song4 start game_over; do
  "$compiler" "$root/assets/songs/$name.txt" "$root/data/$name.sqt"
  echo "data/$name.sqt: $(wc -c < "$root/data/$name.sqt") bytes"
done
"$compiler" "$root/assets/songs/did_it.txt" "$tmp/did_it.sqt"
if cmp -s "$tmp/did_it.sqt" "$root/data/did_it.sqt"; then
  echo "data/did_it.sqt: matches its source"
else
  echo "data/did_it.sqt differs from assets/songs/did_it.txt" >&2
  exit 1
fi
