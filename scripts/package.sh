#!/usr/bin/env bash
# Builds the packages a player installs into dist/ and prints their names and sizes:
#   tumbler-game_VERSION_amd64.deb     Debian 12: apt-get install ./tumbler-game_VERSION_amd64.deb
#   tumbler-VERSION-windows-x64.zip    tumbler.exe with README.txt and LICENSE.txt
#   tumbler-VERSION-web.zip            the browser game (index.html at the top) for any folder
#                                      of any static web server, with LICENSE.txt
# VERSION is the project's (CMakeLists.txt). Installs what it needs first.
#   package.sh [--into DIR] [--deb-from BUILD] [--web-from SITE] [deb] [windows] [web]
# (default: all three). --into DIR writes the packages there instead of dist/. --deb-from
# BUILD makes the .deb from that Linux build folder as it is, --web-from SITE the web zip from
# that built site (the tests use what they built); without them the .deb comes from a release
# build of its own in build-pkg/, hardened with Debian's build flags, and the site from
# scripts/build-web.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
into=$root/dist
deb_from=""
web_from=""
kinds=()
while [ $# -gt 0 ]; do
  case "$1" in
    --into) into=$2; shift 2 ;;
    --deb-from) deb_from=$(cd "$2" && pwd); shift 2 ;;
    --web-from) web_from=$(cd "$2" && pwd); shift 2 ;;
    deb|windows|web) kinds+=("$1"); shift ;;
    *) echo "usage: package.sh [--into DIR] [--deb-from BUILD] [--web-from SITE] [deb] [windows] [web]"; exit 2 ;;
  esac
done
[ ${#kinds[@]} -gt 0 ] || kinds=(deb windows web)
mkdir -p "$into"
into=$(cd "$into" && pwd)
bash scripts/install-deps.sh
version=$(sed -n 's/^project(tumbler VERSION \([0-9][0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "no project(tumbler VERSION ...) in CMakeLists.txt"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
made=()

# A text file as Windows' own editors expect it: CR LF line ends (and a byte-order mark for
# UTF-8 text, which older Notepads otherwise take for their code page).
windows_text() {  # windows_text SOURCE TARGET [bom]
  { [ "${3:-}" = bom ] && printf '\357\273\277'; sed 's/\r$//; s/$/\r/' "$1"; } >"$2"
}

for kind in "${kinds[@]}"; do
  case "$kind" in
    deb)
      if [ -z "$deb_from" ]; then
        # Debian's hardening flags (stack protector, fortified calls, read-only relocations,
        # immediate binding), as a Debian build would give them.
        export DEB_BUILD_MAINT_OPTIONS=hardening=+all
        cmake -S . -B build-pkg -DCMAKE_BUILD_TYPE=Release -DTUMBLER_TESTS=OFF -DTUMBLER_BENCH=OFF \
          -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
          -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
          -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
        cmake --build build-pkg -j"$(nproc)"
        deb_from=$root/build-pkg
      fi
      (cd "$deb_from" && cpack -G DEB -B "$work/deb" >/dev/null)
      deb=$(ls "$work"/deb/tumbler-game_*.deb)
      mv "$deb" "$into/"
      made+=("$into/$(basename "$deb")")
      ;;
    windows)
      bash scripts/build-windows.sh >/dev/null
      mkdir -p "$work/windows"
      cp build-win/tumbler.exe "$work/windows/"
      windows_text README.md "$work/windows/README.txt" bom
      windows_text LICENSE "$work/windows/LICENSE.txt"
      zip="$into/tumbler-$version-windows-x64.zip"
      rm -f "$zip"
      (cd "$work/windows" && zip -q -X "$zip" tumbler.exe README.txt LICENSE.txt)
      made+=("$zip")
      ;;
    web)
      if [ -z "$web_from" ]; then
        bash scripts/build-web.sh >/dev/null
        web_from=$root/build-web/site
      fi
      mkdir -p "$work/web"
      cp -r "$web_from"/. "$work/web/"
      cp LICENSE "$work/web/LICENSE.txt"
      zip="$into/tumbler-$version-web.zip"
      rm -f "$zip"
      (cd "$work/web" && zip -q -X -r "$zip" .)
      made+=("$zip")
      ;;
  esac
done
for f in "${made[@]}"; do
  printf '%-60s %8d bytes\n' "${f#"$root"/}" "$(stat -c %s "$f")"
done
