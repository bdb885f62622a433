#!/usr/bin/env bash
# Builds the browser game into build-web/site/ (the page, tumbler.js, tumbler.wasm and the
# sound worklet: everything a static file server needs, nothing else). Installs what it
# needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh web
# Debian's emscripten runs its optimisers on the machine's Node, which finds their modules
# (acorn) only here.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
# Optimised for size (-Oz): the whole site is fetched on a phone's first visit (gzip under
# 100 KB).
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=MinSizeRel "-DCMAKE_CXX_FLAGS_MINSIZEREL=-Oz -DNDEBUG" \
  -DTUMBLER_WERROR=ON >/dev/null
cmake --build build-web -j"$(nproc)" --target tumbler_web tumbler_web_page
ls -l build-web/site
