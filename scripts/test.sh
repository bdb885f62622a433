#!/usr/bin/env bash
# Builds Tumbler and runs every test: unit and game tests, replays, the Linux end-to-end
# runs in a virtual X server, the browser game, and the Debian and web packages' checks.
# Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)
cmake --preset default >/dev/null
cmake --build build -j"$jobs"
# A virtual X server lets the presenter's tests draw through a real OpenGL context.
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build --output-on-failure -j"$jobs"
for e2e in tests/e2e/linux_*.sh; do
  [ -e "$e2e" ] || continue
  echo "== $e2e"
  # A virtual X server that has only just started now and then loses a window or a dialog;
  # such a run is tried once more, and a second failure fails the tests.
  if ! bash "$e2e" build; then
    echo "== $e2e failed; trying it once more"
    bash "$e2e" build
  fi
done
# The browser game: built with emscripten and played in headless Chromium; then the portable
# core on WebAssembly plays the whole game under Node with the native build's frames.
echo "== browser game"
bash scripts/build-web.sh
python3 tests/e2e/web_play.py build-web/site build/tools/render_song/render_song
echo "== recordings in the browser"
# Besides a replay recorded on Linux, the Linux run's kill -9 recording (cut short) plays too.
native=test-output/e2e/recordings/killed.rec
python3 tests/e2e/web_recordings.py build-web/site build $([ -f "$native" ] && echo "$native")
echo "== the level editor and shared levels in the browser"
python3 tests/e2e/web_editor.py build-web/site
echo "== whole-game replay on WebAssembly"
bash scripts/test-web-replay.sh build
# The Debian package made from this build and the web zip from the browser build, checked
# with lintian, desktop-file-validate, appstreamcli and man, and served from a sub-path.
echo "== packages"
rm -rf build/dist
bash scripts/package.sh --into build/dist --deb-from build --web-from build-web/site deb web
bash tests/packaging/check_packages.sh build/dist/*
