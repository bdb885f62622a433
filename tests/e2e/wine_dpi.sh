#!/usr/bin/env bash
# tumbler.exe on a display scaled to 150 %, under Wine in a virtual X server: its resources
# first (wrestool from icoutils lists the icon, the version and the manifest), then Wine's
# DPI set to 144 (HKCU\Control Panel\Desktop LogPixels) on a 1920 x 1080 desktop. The
# program is DPI-aware, so Wine does not stretch it, and the default window's client area
# must be 1280 x 960: the whole multiple of 320 x 240 nearest to 960 x 720 x 1.5 that fits
# (1600 x 1200 does not). The title is drawn in sharp 4 x 4 blocks, every block one colour.
# --scale 2 still means 640 x 480 device pixels. Wine's DPI goes back to 96 at the end, as
# tests/e2e/wine_play.sh (the 100 % run, which must pass unchanged) expects.
# Usage: wine_dpi.sh BUILD_WIN_DIR   (the folder holding tumbler.exe, e.g. build-win)
# Shares the Wine prefix test-output/wine-prefix with wine_play.sh; not part of scripts/test.sh.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
exe=$(cd "${1:-build-win}" && pwd)/tumbler.exe
[ -f "$exe" ] || { echo "no game at $exe"; exit 1; }
source "$here/e2e_lib.sh"
command -v wine >/dev/null || { echo "wine is not installed"; exit 1; }
command -v wrestool >/dev/null || { echo "wrestool is missing (Debian package icoutils)"; exit 1; }
started=$(date +%s)

# --- the resources ------------------------------------------------------------------------
resources=$(wrestool -l "$exe")
for kind in "type=group_icon" "type=version" "--type=24 "; do
  if grep -q -- "$kind" <<<"$resources"; then e2e_pass "resource $kind"; else e2e_fail "no resource $kind in $exe"; fi
done

export WINEPREFIX="$E2E_OUT/../wine-prefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LIBGL_ALWAYS_SOFTWARE=1

# dpi DPI WIDTHxHEIGHT: Wine's DPI and its virtual desktop, in effect from the next start.
dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$2" /f >/dev/null 2>&1
  wineserver -w
}
restore() {
  e2e_cleanup
  [ -d "$WINEPREFIX" ] && DISPLAY=${DISPLAY:-} dpi 96 1280x1024
}
trap restore EXIT

e2e_start_x 1920 1080 || exit 1
if [ ! -d "$WINEPREFIX" ]; then
  e2e_log "making a Wine prefix"
  timeout 300 wineboot -i >/dev/null 2>&1
fi
dpi 144 1920x1080
e2e_log "Wine at 144 dpi after $(($(date +%s) - started)) s"

find_window() {
  local i id
  for i in $(seq $(($2 * 10))); do
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
# The OpenGL client area is a child window of the one Wine frames.
client_window() {
  xwininfo -children -id "$1" 2>/dev/null | awk '/^ +0x/{print $1; exit}'
}

# run NAME WIDTH HEIGHT ARGS...: the game started with ARGS must open a client area of
# WIDTH x HEIGHT showing the title in sharp blocks; Escape ends it with exit code 0.
run() {
  E2E_NAME=$1
  local width=$2 height=$3; shift 3
  e2e_log "== $E2E_NAME: tumbler.exe $*"
  timeout 300 wine "$exe" "$@" >"$E2E_OUT/$E2E_NAME.log" 2>&1 &
  local pid=$!
  E2E_PIDS+=($pid)
  if [ $# -eq 0 ]; then
    local box
    box=$(find_window "Select display mode" 60) || { e2e_fail "no start question"; return; }
    timeout 10 xdotool windowfocus "$box" 2>/dev/null
    sleep 0.5
    timeout 10 xdotool key n
  fi
  local win client size
  win=$(find_window "Glimmerbyte \\(GJ07\\) Tumbler" 60) || { e2e_fail "no game window"; return; }
  sleep 4
  client=$(client_window "$win")
  [ -n "$client" ] || { e2e_fail "no client window inside the game window"; return; }
  size=$(e2e_window_size "$client")
  e2e_expect "client width" "${size% *}" -eq "$width"
  e2e_expect "client height" "${size#* }" -eq "$height"
  local out="$E2E_OUT/$E2E_NAME" s=$((width / 320))
  e2e_shot "$client" "$out-title.png"
  e2e_fb_dump "$out-title.png" 0 0 "$s" "$out-title.fb"
  e2e_expect_fb_pixel "$out-title.fb" 23 101 "60 60 60" "title grey left of the picture"
  local bright
  bright=$(e2e_fb_count "$out-title.fb" 0 141 320 17 'r>200 && g>200 && b>200')
  e2e_expect "white text on the row of \"Collect all diamonds\"" "$bright" -ge 60
  # Sharp: the picture shrunk by averaging each s x s block and enlarged again is the same
  # picture, pixel for pixel, only when every block is one colour.
  convert "$out-title.png" -scale "$((100 / s))%" -scale "$((100 * s))%" "$out-blocks.png"
  local unlike
  unlike=$(compare -metric AE "$out-title.png" "$out-blocks.png" null: 2>&1)
  e2e_expect "pixels unlike their ${s} x ${s} block" "${unlike%% *}" -eq 0
  timeout 10 xdotool windowfocus "$win" 2>/dev/null
  timeout 10 xdotool key Escape
  e2e_wait_exit "$pid" 30
  e2e_expect "exit code after Escape" "$E2E_CODE" -eq 0
}

run wine-dpi144 1280 960
run wine-dpi144-scale2 640 480 --windowed --scale 2

e2e_log "$(($(date +%s) - started)) s, $E2E_FAILS failure(s); pictures in $E2E_OUT"
[ "$E2E_FAILS" -eq 0 ]
