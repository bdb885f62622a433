#!/usr/bin/env bash
# The portable core on WebAssembly: render_frame built with emscripten and run by Node plays
# the whole-game replay (title, levels 0 to 6, "You Did IT!") and must print the same frame
# checksums, pass for pass, as the native build's render_frame.
# Usage: test-web-replay.sh NATIVE_BUILD_DIR   (holding tools/render_frame/render_frame)
set -euo pipefail
cd "$(dirname "$0")/.."
native=${1:-build}/tools/render_frame/render_frame
[ -x "$native" ] || { echo "no native render_frame at $native"; exit 1; }
bash scripts/install-deps.sh web
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
# The headless harness plays the music on a thread of its own, as the desktop does: Node
# gives it a worker (no browser is involved, so shared memory is no question here).
emcmake cmake -S . -B build-web-replay -DCMAKE_BUILD_TYPE=Release -DTUMBLER_WEB_REPLAY=ON \
  -DCMAKE_CXX_FLAGS=-pthread -DCMAKE_C_FLAGS=-pthread \
  "-DCMAKE_EXE_LINKER_FLAGS=-pthread -sPTHREAD_POOL_SIZE=2 -sNODERAWFS=1 -sENVIRONMENT=node,worker -sINITIAL_MEMORY=268435456 -sEXIT_RUNTIME=1" \
  >/dev/null
cmake --build build-web-replay -j"$(nproc)" --target render_frame

out=test-output/web-replay
mkdir -p "$out"
replay=tests/replays/level6_whole_game_win.txt
"$native" "$replay" --checksums >"$out/native.txt" 2>"$out/native.log"
# Node 20 would fetch the .wasm by URL: 3.1.6's loader reads it from disk only without fetch.
status=0
node --no-experimental-fetch build-web-replay/tools/render_frame/render_frame.js "$replay" --checksums \
  >"$out/wasm.txt" 2>"$out/wasm.log" || status=$?
cat "$out/wasm.log"
[ "$status" -eq 0 ] || { echo "FAIL: the WebAssembly replay exited with $status"; exit 1; }
grep -q "final state 6" "$out/wasm.log" || { echo "FAIL: the WebAssembly run did not end on \"You Did IT!\""; exit 1; }
if ! cmp -s "$out/native.txt" "$out/wasm.txt"; then
  echo "FAIL: frame checksums differ between the native and the WebAssembly run"
  diff "$out/native.txt" "$out/wasm.txt" | head -5
  exit 1
fi
echo "ok: $(wc -l <"$out/wasm.txt") frame checksums identical, native and WebAssembly, ending on \"You Did IT!\""
