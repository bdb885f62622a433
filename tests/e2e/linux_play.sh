#!/usr/bin/env bash
# The Linux game end to end in a virtual X server with Mesa's software OpenGL: the start
# question answered No (a 960 x 720 window) and Yes (fullscreen on a 16:9 screen), the
# title screen, a key (windowed) or a click (fullscreen) into level 0, the player stepping
# right, Escape, exit code 0.
# Usage: linux_play.sh BUILD_DIR   (the folder holding the tumbler program)
# Screenshots: test-output/e2e/ (not committed).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
game=$(cd "${1:-build}" && pwd)/tumbler
[ -x "$game" ] || { echo "no game at $game"; exit 1; }
source "$here/e2e_lib.sh"
export LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy

# Title screen: layer 1 is grey 0x3c3c3c; the screen mask adds nothing where both the row
# and the column leave remainder 2 by 3 and the edge shading has faded (the product of the
# distances to the nearest two edges is about 1460 or more), so such pixels show the grey
# itself. The picture is centred and at most 256 wide; the tag lines stand at rows 140
# and 160.
check_title() {
  local fb=$1
  e2e_expect_fb_pixel "$fb" 23 101 "60 60 60" "title grey left of the picture"
  e2e_expect_fb_pixel "$fb" 296 101 "60 60 60" "title grey right of the picture"
  e2e_expect_fb_pixel "$fb" 23 119 "60 60 60" "title grey left, lower"
  e2e_expect_fb_pixel "$fb" 296 119 "60 60 60" "title grey right, lower"
  local bright orange
  bright=$(e2e_fb_count "$fb" 0 141 320 17 'r>200 && g>200 && b>200')
  e2e_expect "white text on the row of \"Collect all diamonds\"" "$bright" -ge 60
  bright=$(e2e_fb_count "$fb" 0 161 320 17 'r>200 && g>200 && b>200')
  e2e_expect "white text on the row of \"and follow the screen..\"" "$bright" -ge 60
  bright=$(e2e_fb_count "$fb" 0 121 320 18 'r>200 && g>200 && b>200')
  e2e_expect "no text between the picture and the tag lines" "$bright" -eq 0
  orange=$(e2e_fb_count "$fb" 0 0 320 95 'r>180 && b<90')
  e2e_expect "title picture in the top rows" "$orange" -ge 300
}

# Level 0: the title's picture is gone, the status line "%02d %d/%d lvl:%d" sits at the
# bottom (row 221) and the player, a figure with a yellow cap, stands in the view.
cap='r>200 && g>150 && b<90 && r-b>150'
check_level() {
  local fb=$1
  local orange status figure
  orange=$(e2e_fb_count "$fb" 0 0 320 95 'r>180 && b<90')
  e2e_expect "title picture gone" "$orange" -le 120
  status=$(e2e_fb_count "$fb" 10 222 170 17 'r>200 && g>200 && b>200')
  e2e_expect "status line drawn at the bottom" "$status" -ge 40
  figure=$(e2e_fb_count "$fb" 0 0 320 220 "$cap")
  e2e_expect "player in view" "$figure" -ge 4
}

# Holding Right for a third of a second steps the player at least one cell (32 framebuffer
# pixels) to the right in the level. The view may glide meanwhile, so the cap's column is
# measured from the diamond's (the light blue of the gem, which stays where it lies) when
# one is in view in both pictures.
gem='r<190 && g>180 && b>230'
check_moved() {
  local cap_before cap_after gem_before gem_after
  cap_before=$(e2e_fb_mean_x "$1" "$cap")
  cap_after=$(e2e_fb_mean_x "$2" "$cap")
  gem_before=$(e2e_fb_mean_x "$1" "$gem")
  gem_after=$(e2e_fb_mean_x "$2" "$gem")
  e2e_expect "player still in view after stepping" "$cap_after" -ge 0
  if [ "$gem_before" -lt 0 ] || [ "$gem_after" -lt 0 ]; then
    # No diamond in one of the pictures: measure on the screen instead.
    gem_before=0; gem_after=0
  fi
  e2e_expect "player stepped right (from the diamond: $((cap_before - gem_before)) -> $((cap_after - gem_after)))" \
    "$(((cap_after - gem_after) - (cap_before - gem_before)))" -ge 28
}

# One run: answer the question, check the title, start level 0, step right, leave.
play() {
  local answer=$1 screen_w=$2 screen_h=$3
  E2E_NAME=$4
  e2e_log "== $E2E_NAME: ${screen_w}x${screen_h} screen, question answered $answer"
  e2e_start_x "$screen_w" "$screen_h" || { e2e_fail "no usable X server (the line above says why)"; return; }
  timeout 300 "$game" >"$E2E_OUT/$E2E_NAME.log" 2>&1 &
  local pid=$!
  E2E_PIDS+=($pid)
  e2e_answer "$answer" || return
  local win
  win=$(e2e_wait_window "Glimmerbyte (GJ07) Tumbler" 60) || {
    e2e_fail "no game window"; xwininfo -root -tree >"$E2E_OUT/$E2E_NAME-windows.txt"; return; }
  e2e_pass "window \"Glimmerbyte (GJ07) Tumbler\" ($win)"
  local size ox oy s
  size=$(e2e_window_size "$win")
  if [ "$answer" = NO ]; then
    e2e_expect "client width" "${size% *}" -eq 960
    e2e_expect "client height" "${size#* }" -eq 720
    local geometry
    geometry=$(xwininfo -id "$win" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} END{print x, y}')
    e2e_expect "window centred horizontally" "${geometry% *}" -eq $(((screen_w - 960) >> 1))
    e2e_expect "window centred vertically" "${geometry#* }" -eq $(((screen_h - 720) >> 1))
    ox=0; oy=0; s=3
  else
    e2e_expect "fullscreen width" "${size% *}" -eq "$screen_w"
    e2e_expect "fullscreen height" "${size#* }" -eq "$screen_h"
    # The picture keeps 4:3 at the full height: a whole-number scale only for these screens.
    s=$((screen_h / 240)); oy=0; ox=$(((screen_w - 320 * s) / 2))
  fi
  sleep 3
  local out="$E2E_OUT/$E2E_NAME"
  e2e_shot "$win" "$out-title.png"
  e2e_fb_dump "$out-title.png" "$ox" "$oy" "$s" "$out-title.fb"
  check_title "$out-title.fb"
  if [ "$answer" = YES ]; then
    local bars
    bars=$(e2e_count "$out-title.png" $((ox - 2)) "$screen_h" 0 0 'r>0 || g>0 || b>0')
    e2e_expect "black bar at the left" "$bars" -eq 0
    bars=$(e2e_count "$out-title.png" $((ox - 2)) "$screen_h" $((ox + 320 * s + 2)) 0 'r>0 || g>0 || b>0')
    e2e_expect "black bar at the right" "$bars" -eq 0
  fi

  e2e_log "title checked"
  if [ "$answer" = YES ]; then
    # A left click leaves the title as a key does (the mouse is sampled once per pass).
    timeout 10 xdotool mousemove --window "$win" 640 360 click 1
  else
    e2e_key "$win" space
  fi
  sleep 1
  # Both pictures first, then the slow conversions: six seconds into the level the view
  # glides on and soon leaves the player behind.
  e2e_shot "$win" "$out-level.png"
  e2e_hold "$win" Right 0.3
  sleep 0.3
  e2e_shot "$win" "$out-moved.png"
  e2e_fb_dump "$out-level.png" "$ox" "$oy" "$s" "$out-level.fb"
  check_level "$out-level.fb"
  e2e_fb_dump "$out-moved.png" "$ox" "$oy" "$s" "$out-moved.fb"
  check_moved "$out-level.fb" "$out-moved.fb"

  e2e_log "level checked"
  e2e_key "$win" Escape
  e2e_wait_exit "$pid" 10
  e2e_expect "exit code after Escape" "$E2E_CODE" -eq 0
  e2e_cleanup
}

started=$(date +%s)
play NO 1280 1024 windowed
play YES 1280 720 fullscreen
e2e_log "done in $(($(date +%s) - started)) s, $E2E_FAILS failure(s); screenshots in $E2E_OUT"
[ "$E2E_FAILS" -eq 0 ]
