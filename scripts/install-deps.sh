#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Tumbler need.
# Idempotent: packages already installed are skipped, and apt is not touched at all
# when nothing is missing. Run as root (or through sudo).
#   install-deps.sh          everything (build, tests, end-to-end, Windows cross build, packages)
#   install-deps.sh game     only what building and running the Linux game needs
#   install-deps.sh web      only what building, serving and testing the browser game needs
set -euo pipefail

# libopengl-dev: CMake's GLVND OpenGL targets (OpenGL::OpenGL, OpenGL::GLX) exist only with it.
game_pkgs=(cmake g++ make pkg-config libsdl2-dev libgl-dev libopengl-dev libgl1-mesa-dri)
test_pkgs=(googletest libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-dev
           imagemagick sox time xvfb xdotool x11-utils xauth
           xfonts-base procps  # the start question's font in Xvfb; pgrep for the e2e runs
           g++-mingw-w64-x86-64 wine wine64
           # the packages (scripts/package.sh: CPack's .deb with dpkg-shlibdeps and file, the
           # zips) and their checks (lintian, desktop-file-validate, appstreamcli, man, wrestool
           # and icotool); debootstrap for the clean-root checks
           dpkg-dev file zip unzip lintian desktop-file-utils appstream man-db icoutils debootstrap)

# The browser game: emscripten (its system libraries come prebuilt, and it runs on Node),
# Python for the local server and the test's DevTools client, Chromium for the test.
web_pkgs=(emscripten nodejs python3 chromium)

want=("${game_pkgs[@]}")
[ "${1:-all}" = game ] || [ "${1:-all}" = web ] || want+=("${test_pkgs[@]}")
[ "${1:-all}" = game ] || want+=("${web_pkgs[@]}")

missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
