#!/usr/bin/env bash
# The Windows game (tumbler.exe) end to end under Wine in a virtual X server: the start
# question answered No, the window's client area exactly 960 x 720, the title screen, a key
# into level 0, Escape, exit code 0. The first run has no sound card, so the wave device
# cannot open and the game must run silently; the second run gives Wine an ALSA output that
# writes to a file and checks that the title song was streamed; the third answers Yes and
# checks fullscreen at the desktop's size with black bars above and below, and ends the game
# by closing its window (Alt+F4).
# Usage: wine_play.sh BUILD_WIN_DIR [LINUX_BUILD_DIR]: the folder holding tumbler.exe (e.g.
# build-win) and a Linux build whose tools/render_song plays the title song offline for the
# sample-exact comparison (default build; skipped when missing).
# Slow (a fresh Wine prefix takes about ten seconds and 700 MB; it is kept in
# test-output/wine-prefix for later runs), so it is not part of scripts/test.sh.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
exe=$(cd "${1:-build-win}" && pwd)/tumbler.exe
linux_build=${2:-build}
[ -f "$exe" ] || { echo "no game at $exe"; exit 1; }
source "$here/e2e_lib.sh"
command -v wine >/dev/null || { echo "wine is not installed"; exit 1; }

export WINEPREFIX="$E2E_OUT/../wine-prefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LIBGL_ALWAYS_SOFTWARE=1
started=$(date +%s)

e2e_start_x 1280 1024 || exit 1
if [ ! -d "$WINEPREFIX" ]; then
  e2e_log "making a Wine prefix"
  timeout 300 wineboot -i >/dev/null 2>&1
fi
# Every window inside one 1280 x 1024 virtual desktop, so the game sees a fixed screen.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
wineserver -w
e2e_log "Wine ready after $(($(date +%s) - started)) s"

# find NAME SECONDS: the id of the X window whose name is exactly NAME.
find_window() {
  local i id
  for i in $(seq $(($2 * 10))); do
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# The X window that shows the client area: Wine draws the caption itself and puts the
# OpenGL client area in a child window of the game's window.
client_window() {
  xwininfo -children -id "$1" 2>/dev/null | awk '/^ +0x/{print $1; exit}'
}

# run NAME HOME YES|NO: one game under Wine with HOME (its ALSA set-up) and the answer.
run() {
  E2E_NAME=$1
  local home=$2 answer=$3
  e2e_log "== $E2E_NAME"
  HOME="$home" timeout 300 wine "$exe" >"$E2E_OUT/$E2E_NAME.log" 2>&1 &
  local pid=$!
  E2E_PIDS+=($pid)
  local box
  box=$(find_window "Select display mode" 60) || { e2e_fail "no start question"; return; }
  e2e_pass "start question shown"
  timeout 30 import -window root "$E2E_OUT/$E2E_NAME-question.png"
  timeout 10 xdotool windowfocus "$box" 2>/dev/null
  sleep 0.5
  if [ "$answer" = YES ]; then timeout 10 xdotool key Return; else timeout 10 xdotool key Escape; fi
  local win client size corner
  win=$(find_window "Glimmerbyte \\(GJ07\\) Tumbler" 60) || { e2e_fail "no game window"; return; }
  e2e_pass "window \"Glimmerbyte (GJ07) Tumbler\""
  sleep 4
  client=$(client_window "$win")
  [ -n "$client" ] || { e2e_fail "no client window inside the game window"; return; }
  corner=$(xwininfo -id "$win" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} END{print x, y}')
  size=$(e2e_window_size "$client")
  local ox oy s
  if [ "$answer" = NO ]; then
    e2e_expect "window centred horizontally" "${corner% *}" -eq $(((1280 - 960) >> 1))
    e2e_expect "window centred vertically" "${corner#* }" -eq $(((1024 - 720) >> 1))
    e2e_expect "client width" "${size% *}" -eq 960
    e2e_expect "client height" "${size#* }" -eq 720
    ox=0; oy=0; s=3
  else
    e2e_expect "fullscreen window at the left edge" "${corner% *}" -eq 0
    e2e_expect "fullscreen window at the top edge" "${corner#* }" -eq 0
    e2e_expect "client width" "${size% *}" -eq 1280
    e2e_expect "client height" "${size#* }" -eq 1024
    # 5:4 screen: the 4:3 picture is 1280 x 960 with bars of 32 rows above and below.
    ox=0; oy=32; s=4
  fi
  local out="$E2E_OUT/$E2E_NAME"
  e2e_shot "$client" "$out-title.png"
  e2e_fb_dump "$out-title.png" "$ox" "$oy" "$s" "$out-title.fb"
  e2e_expect_fb_pixel "$out-title.fb" 23 101 "60 60 60" "title grey left of the picture"
  e2e_expect_fb_pixel "$out-title.fb" 296 119 "60 60 60" "title grey right of the picture"
  local bright
  bright=$(e2e_fb_count "$out-title.fb" 0 141 320 17 'r>200 && g>200 && b>200')
  e2e_expect "white text on the row of \"Collect all diamonds\"" "$bright" -ge 60
  if [ "$answer" = YES ]; then
    local bars
    bars=$(e2e_count "$out-title.png" 1280 30 0 0 'r>0 || g>0 || b>0')
    e2e_expect "black bar at the top" "$bars" -eq 0
    bars=$(e2e_count "$out-title.png" 1280 30 0 994 'r>0 || g>0 || b>0')
    e2e_expect "black bar at the bottom" "$bars" -eq 0
  fi
  timeout 10 xdotool windowfocus "$win" 2>/dev/null
  timeout 10 xdotool key space
  sleep 2
  e2e_shot "$client" "$out-level.png"
  e2e_fb_dump "$out-level.png" "$ox" "$oy" "$s" "$out-level.fb"
  local status
  status=$(e2e_fb_count "$out-level.fb" 10 222 170 17 'r>200 && g>200 && b>200')
  e2e_expect "level 0 status line drawn" "$status" -ge 40
  if [ "$answer" = YES ]; then
    # Alt+F4 is the system's close: WM_CLOSE, the window destroyed, the quit message.
    timeout 10 xdotool key alt+F4
    e2e_wait_exit "$pid" 30
    e2e_expect "exit code after closing the window" "$E2E_CODE" -eq 0
  else
    timeout 10 xdotool key Escape
    e2e_wait_exit "$pid" 30
    e2e_expect "exit code after Escape" "$E2E_CODE" -eq 0
  fi
}

# No sound card: the wave device does not open and the game runs silently.
run wine-silent "$HOME" NO

# An ALSA output that writes the stream to a file.
sound_home=$(mktemp -d)
raw="$E2E_OUT/wine-song.raw"
rm -f "$raw"
cat >"$sound_home/.asoundrc" <<ALSA
pcm.!default { type file slave.pcm "null" file "$raw" format "raw" }
ALSA
run wine-music "$sound_home" NO
rm -rf "$sound_home"
if [ -s "$raw" ]; then
  read -r count low high loud < <(od -An -v -td2 -w2 "$raw" |
    awk '{v=$1; n++; if (n==1 || v<lo) lo=v; if (n==1 || v>hi) hi=v; if (v>64 || v<-64) l++}
         END{printf "%d %d %d %d\n", n, lo, hi, l}')
  e2e_log "samples $count, range $low .. $high, $loud away from silence"
  e2e_expect "seconds of sound streamed" "$count" -ge 22050
  e2e_expect "lowest sample" "$low" -ge -16383
  e2e_expect "highest sample" "$high" -le 32767
  e2e_expect "share of samples that sound (per mille)" $((loud * 1000 / count)) -ge 200
  sox -t raw -r 22050 -e signed -b 16 -c 1 "$raw" "$E2E_OUT/wine-song.wav" 2>/dev/null
  e2e_same_song "$raw" "$linux_build/tools/render_song/render_song" start.sqt
else
  e2e_fail "no sound streamed to $raw"
fi

# Fullscreen at the desktop's own size.
run wine-fullscreen "$HOME" YES

wineserver -k 2>/dev/null
e2e_log "done in $(($(date +%s) - started)) s, $E2E_FAILS failure(s); screenshots in $E2E_OUT"
[ "$E2E_FAILS" -eq 0 ]
