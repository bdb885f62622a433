#!/usr/bin/env bash
# Cross-builds the Windows game, build-win/tumbler.exe, with MinGW-w64: one static program
# that needs no DLL beyond Windows' own. Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build build-win -j"$(nproc)" --target tumbler
echo "built $(pwd)/build-win/tumbler.exe"
