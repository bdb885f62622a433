#!/usr/bin/env bash
# tools/level_code end to end: every level of the game becomes a code and comes back as the
# same bytes; a bad code or a bad command line gets one line on stderr and exit status 2.
set -euo pipefail
tool=$1
data=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for level in "$data"/map?.txt; do
  code=$("$tool" "$level")
  "$tool" --decode "https://example.org/#level=$code" "$scratch/back.txt"
  cmp "$level" "$scratch/back.txt"
  # Over the standard input, with the line end a copy from a terminal brings.
  echo "$code" | "$tool" --decode - "$scratch/piped.txt"
  cmp "$level" "$scratch/piped.txt"
done
echo "old level" > "$scratch/kept.txt"
for bad in "" "hello" "2AAAA" "1AZwB" "1AZwBVwjJy1f85vg4Cy8jIGEoBnr48oLA96IxFJzu45MBWcMVLvBmId7UPAB" "1AZw!"; do
  status=0
  "$tool" --decode "$bad" "$scratch/kept.txt" 2>"$scratch/said" || status=$?
  [ "$status" -eq 2 ] || { echo "code '$bad': exit $status, not 2"; exit 1; }
  [ "$(wc -l <"$scratch/said")" -eq 1 ] || { echo "code '$bad': not one line:"; cat "$scratch/said"; exit 1; }
  grep -q '^level_code: ' "$scratch/said"
  [ "$(cat "$scratch/kept.txt")" = "old level" ] || { echo "code '$bad' touched the file"; exit 1; }
done
status=0
"$tool" "$scratch/missing.txt" 2>"$scratch/said" || status=$?
[ "$status" -eq 2 ] && [ "$(wc -l <"$scratch/said")" -eq 1 ]
status=0
"$tool" 2>/dev/null || status=$?
[ "$status" -eq 2 ]
[ -z "$(ls "$scratch" | grep '\.new-' || true)" ]
echo "level_code: seven levels back byte for byte, bad codes refused"
