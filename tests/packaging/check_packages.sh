#!/usr/bin/env bash
# Checks the packages scripts/package.sh makes, each by its kind, with the ecosystem's own
# validators:
#   *.deb                   the name can never be taken for Debian's "tumbler" (a thumbnail
#                           service), no file of ours is one of that package's, dependencies
#                           are run-time libraries only; lintian reports no error; the
#                           installed desktop entry passes desktop-file-validate, the metainfo
#                           (with the icons and the entry beside it) appstreamcli validate-tree
#                           --no-net, the manual page renders without a warning
#   *-windows-x64.zip       tumbler.exe, README.txt and LICENSE.txt (CR LF text); the program
#                           carries the icon (16 to 256 pixels), the version resource with the
#                           package's version and the DPI-aware manifest (wrestool, icotool)
#   *-web.zip               index.html at the top, every address in the page relative, and
#                           every file it names served from a sub-path (/games/tumbler/) of a
#                           plain static server
# Usage: check_packages.sh FILE...   Exit status 1 when a check fails.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
fails=0
pass() { echo "ok: $*"; }
fail() { echo "FAIL: $*"; fails=$((fails + 1)); }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

check_deb() {
  local deb=$1 x=$work/deb
  echo "== $(basename "$deb")"
  local name depends
  name=$(dpkg-deb -f "$deb" Package)
  [ "$name" = tumbler-game ] && pass "package name $name" || fail "package name $name, want tumbler-game"
  local field
  for field in Provides Replaces Conflicts Breaks; do
    if dpkg-deb -f "$deb" "$field" | grep -qw tumbler; then fail "$field names tumbler"; fi
  done
  depends=$(dpkg-deb -f "$deb" Depends)
  if grep -qE -- '-dev\b|\b(gcc|g\+\+|clang|cmake|make)\b' <<<"$depends"; then
    fail "a build tool in Depends: $depends"
  else
    pass "Depends: $depends"
  fi
  local ours shared
  ours=$(dpkg -c "$deb" | awk '!/\/$/{print substr($6, 2)}' | sort)
  shared=$(comm -12 <(echo "$ours") <(grep -v '^#' "$here/debian_tumbler_files.txt" | sort))
  [ -z "$shared" ] && pass "no file shared with Debian's tumbler ($(wc -l <<<"$ours") files of ours)" ||
    fail "files shared with Debian's tumbler: $shared"

  # lintian: an error (or lintian itself failing) fails; every other tag is shown.
  local report code
  report=$(lintian --fail-on error --display-info --pedantic "$deb" 2>&1)
  code=$?
  report=$(grep -v '^running with root privileges' <<<"$report")
  [ -n "$report" ] && sed 's/^/  lintian: /' <<<"$report"
  [ "$code" -eq 0 ] && pass "lintian: no error" || fail "lintian: errors (exit status $code)"
  mkdir -p "$x"
  dpkg-deb -x "$deb" "$x"
  local desktop
  desktop=$(ls "$x"/usr/share/applications/*.desktop)
  desktop-file-validate "$desktop" && pass "desktop-file-validate $(basename "$desktop")" ||
    fail "desktop-file-validate $(basename "$desktop")"
  appstreamcli validate-tree --no-net "$x" >"$work/appstream.log" 2>&1 &&
    pass "appstreamcli validate-tree --no-net" || { cat "$work/appstream.log"; fail "appstreamcli validate-tree"; }
  local warnings
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
    "$x/usr/share/man/man6/tumbler.6.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] && pass "man -l tumbler.6: no warning" || fail "man -l tumbler.6: $warnings"
  [ -x "$x/usr/games/tumbler" ] && pass "usr/games/tumbler" || fail "no usr/games/tumbler"
}

# text_crlf FILE: every line ends in CR LF.
text_crlf() {
  local lines crlf
  lines=$(wc -l <"$1")
  crlf=$(grep -c $'\r$' "$1")
  [ "$lines" -gt 0 ] && [ "$lines" -eq "$crlf" ]
}

check_windows_zip() {
  local zip=$1 x=$work/windows version=$2
  echo "== $(basename "$zip")"
  mkdir -p "$x"
  unzip -q "$zip" -d "$x"
  local listed
  listed=$(cd "$x" && find . -type f | sort | tr '\n' ' ')
  [ "$listed" = "./LICENSE.txt ./README.txt ./tumbler.exe " ] && pass "files: $listed" || fail "files: $listed"
  local f
  for f in README.txt LICENSE.txt; do
    text_crlf "$x/$f" && pass "$f has CR LF line ends" || fail "$f: not every line ends in CR LF"
  done
  local exe=$x/tumbler.exe
  wrestool -x -t 14 "$exe" >"$work/tumbler.ico" 2>/dev/null
  local sizes
  sizes=$(icotool -l "$work/tumbler.ico" 2>/dev/null | sed -n 's/.*--width=\([0-9]*\).*/\1/p' | tr '\n' ' ')
  [ "$sizes" = "16 32 48 64 128 256 " ] && pass "icon at $sizes" || fail "icon sizes: $sizes"
  local strings
  strings=$(wrestool -x --raw -t 16 "$exe" 2>/dev/null | iconv -f UTF-16LE -t UTF-8 2>/dev/null | tr '\0' '\n')
  grep -qx "$version" <<<"$strings" && grep -qx "Tumbler" <<<"$strings" && pass "version resource: Tumbler $version" ||
    fail "no version $version in the version resource"
  local manifest
  manifest=$(wrestool -x --raw -t 24 "$exe" 2>/dev/null)
  if grep -q "PerMonitorV2" <<<"$manifest" && grep -q "true/pm" <<<"$manifest" &&
     grep -q "Microsoft.Windows.Common-Controls" <<<"$manifest" && grep -q "supportedOS" <<<"$manifest" &&
     python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parseString(sys.stdin.buffer.read())' <<<"$manifest"; then
    pass "manifest: DPI-aware (per-monitor v2, per-monitor), supported systems, common controls 6"
  else
    fail "the manifest is missing or lacks DPI awareness, supportedOS or common controls"
  fi
}

check_web_zip() {
  local zip=$1 x=$work/web/games/tumbler
  echo "== $(basename "$zip")"
  mkdir -p "$x"
  unzip -q "$zip" -d "$x"
  [ -f "$x/index.html" ] && pass "index.html at the top" || { fail "no index.html at the top"; return; }
  [ -f "$x/LICENSE.txt" ] && pass "LICENSE.txt" || fail "no LICENSE.txt"
  # Addresses in the page and its scripts: none may start at the server's root or name a host.
  local absolute
  absolute=$(grep -noE "(src|href)=\"(/|https?:)[^\"]*\"" "$x/index.html")
  absolute+=$(grep -noE "(fetch|register|importScripts|addModule)\(['\"]/[^'\"]*" "$x"/*.js)
  [ -z "$absolute" ] && pass "only relative addresses" || fail "addresses from the root: $absolute"
  # Served from the parent folder, the site lives at /games/tumbler/: every file the page
  # names comes back from a plain static server, and headless Chromium loading the page
  # (its scripts run, the program is fetched and compiled) asks for nothing outside the
  # folder and meets no missing file.
  local problems
  problems=$(python3 - "$work/web" <<'EOF_PY'
import functools, http.server, re, subprocess, sys, threading, urllib.request
asked = []
class Recording(http.server.SimpleHTTPRequestHandler):
    extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map, **{".wasm": "application/wasm"})
    def log_request(self, code="-", size="-"):
        asked.append((self.path, int(code) if str(code).isdigit() else 0))
    def log_message(self, *args):
        pass
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Recording, directory=sys.argv[1]))
threading.Thread(target=server.serve_forever, daemon=True).start()
base = "http://127.0.0.1:%d/games/tumbler/" % server.server_address[1]
page = urllib.request.urlopen(base).read().decode()
for name in sorted(set(re.findall(r'(?:src|href)="([^"#:]+)"', page))):
    try:
        urllib.request.urlopen(base + name).read()
    except Exception as e:
        print("%s: %s" % (name, e))
del asked[:]
subprocess.run(["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--virtual-time-budget=5000",
                "--user-data-dir=" + sys.argv[1] + "/../chromium", "--dump-dom", base],
               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
server.shutdown()
for path, code in asked:
    if not path.startswith("/games/tumbler/") or code >= 400:
        print("Chromium asked for %s (%d)" % (path, code))
if not any(path.endswith("/tumbler.wasm") for path, code in asked):
    print("Chromium never fetched tumbler.wasm (asked: %s)" % " ".join(p for p, c in asked))
EOF_PY
  )
  [ -z "$problems" ] && pass "served from /games/tumbler/ and loaded there by Chromium" ||
    fail "from /games/tumbler/: $problems"
}

[ $# -gt 0 ] || { echo "usage: check_packages.sh FILE..."; exit 2; }
for file in "$@"; do
  case "$(basename "$file")" in
    *.deb) check_deb "$file" ;;
    tumbler-*-windows-x64.zip) v=${file##*/tumbler-}; check_windows_zip "$file" "${v%-windows-x64.zip}" ;;
    tumbler-*-web.zip) check_web_zip "$file" ;;
    *) fail "$file: not a package this script knows" ;;
  esac
done
echo "$fails failure(s)"
[ "$fails" -eq 0 ]
