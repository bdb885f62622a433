#!/usr/bin/env bash
# Builds the Linux game and starts it. Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh game
cmake -S . -B build-game -DCMAKE_BUILD_TYPE=Release -DTUMBLER_TESTS=OFF -DTUMBLER_BENCH=OFF >/dev/null
cmake --build build-game -j"$(nproc)" --target tumbler
exec ./build-game/tumbler
