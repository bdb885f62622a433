#!/usr/bin/env bash
# The slower CI stages after the sanitizer run: the ThreadSanitizer tests of the audio
# thread, and every fuzz corpus and regression input replayed through its harness.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

echo "== ThreadSanitizer"
cmake --preset tsan >/dev/null
cmake --build build-tsan -j"$jobs" --target tsan_tests
ctest --test-dir build-tsan -L tsan --output-on-failure --no-tests=ignore

echo "== fuzz corpora"
cmake --preset fuzz >/dev/null
cmake --build build-fuzz -j"$jobs"
for dir in tests/fuzz/*/; do
  name=$(basename "$dir")
  bin=build-fuzz/tests/fuzz/$name/fuzz_$name
  [ -x "$bin" ] || continue
  inputs=()
  for sub in corpus regressions; do [ -d "$dir$sub" ] && inputs+=("$dir$sub"); done
  [ ${#inputs[@]} -gt 0 ] || continue
  echo "-- $name: $(find "${inputs[@]}" -type f | wc -l) inputs"
  "$bin" -runs=0 "${inputs[@]}" 2>&1 | tail -n 2
done
