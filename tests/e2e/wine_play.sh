#!/usr/bin/env bash
# The Windows game (tumbler.exe) end to end under Wine in a virtual X server: the start
# question answered No (with the N key, as on Windows), the window's client area exactly
# 960 x 720, the title screen, a key into level 0, then the run's own checks in level 0,
# and the end with exit code 0. The first run has no sound card, so the wave device cannot
# open and the game must run silently; in level 0 the focus goes to Wine's desktop while
# Right is held, and the player must stop; it ends with Escape. The second run gives Wine an
# ALSA output that writes to a file and checks that the title song was streamed; in level 0
# a click beside the window must not steer, and a lone Alt or F10 must not stop the picture;
# it ends by closing the window (Alt+F4). The third answers Yes and checks fullscreen at the
# desktop's size with black bars above and below, and ends with Alt+F4.
# Then the command line's message boxes, and a session recorded under Wine that must play
# back on Linux frame for frame.
# Usage: wine_play.sh BUILD_WIN_DIR [LINUX_BUILD_DIR]: the folder holding tumbler.exe (e.g.
# build-win) and a Linux build whose tools/render_song plays the title song offline for the
# sample-exact comparison (default build; skipped when missing).
# Slow (a fresh Wine prefix takes about ten seconds and 700 MB; it is kept in
# test-output/wine-prefix for later runs; the three runs take about a minute and a half more),
# so it is not part of scripts/test.sh.
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
# Every window inside one 1280 x 1024 virtual desktop, so the game sees a fixed screen, at
# 100 % (96 dpi; tests/e2e/wine_dpi.sh changes it for its run and sets it back).
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
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

# Level 0 starts with the player's cap and one diamond in view; six seconds in, the view
# glides on and soon leaves the player behind, so each check first acts and takes its
# pictures (act), and only then turns them into framebuffers to judge them (judge). The cap's
# column is measured from the diamond's, which stays where it lies; -1000 when no cap shows.
cap='r>200 && g>150 && b<90 && r-b>150'
gem='r<190 && g>180 && b>230'
player_x() {
  local c g
  c=$(e2e_fb_mean_x "$1" "$cap")
  g=$(e2e_fb_mean_x "$1" "$gem")
  [ "$c" -ge 0 ] || { echo -1000; return; }
  [ "$g" -ge 0 ] || g=0
  echo $((c - g))
}

# fb NAME: the framebuffer of the run's picture NAME (as shown at E2E_OX, E2E_OY, E2E_S).
fb() {
  e2e_fb_dump "$E2E_OUT/$E2E_NAME-$1.png" "$E2E_OX" "$E2E_OY" "$E2E_S" "$E2E_OUT/$E2E_NAME-$1.fb"
}

# Points on the screen: the middle of the game's client area (framebuffer (160, 120), which
# steers nowhere), and Wine's desktop left of the window (the left steering band, were a
# click there counted).
set_points() {
  read -r cx cy cw ch < <(xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4}
    /Absolute upper-left Y/{y=$4} / Width:/{w=$2} / Height:/{h=$2} END{print x, y, w, h}')
  mid_x=$((cx + cw / 2)); mid_y=$((cy + ch / 2))
  out_x=$((cx / 2)); out_y=$mid_y
}

# Right held in the game, the focus taken by a right click on Wine's desktop (the right
# button, so that the left-button steering plays no part), Right let go there, the game
# clicked again. The key-up goes to the desktop: unless losing the focus lets go of the
# held keys, the player walks on to the wall five cells away and Right stays held.
check_focus() {
  local client=$2 out="$E2E_OUT/$E2E_NAME"
  if [ "$1" = act ]; then
    set_points "$client"
    timeout 10 xdotool keydown Right
    sleep 0.1
    timeout 10 xdotool mousemove "$out_x" "$out_y" click 3
    sleep 0.6
    timeout 10 xdotool keyup Right
    sleep 0.3
    timeout 10 xdotool mousemove "$mid_x" "$mid_y" click 3
    sleep 0.6
    e2e_shot "$client" "$out-focus.png"
    return
  fi
  fb focus
  local before after
  before=$(player_x "$out-level.fb")
  after=$(player_x "$out-focus.fb")
  e2e_expect "player in view after the focus came back" "$after" -gt -1000
  e2e_expect "player stepped right before the focus went" $((after - before)) -ge 28
  e2e_expect "player stopped when the focus went (at most two cells)" $((after - before)) -le 72
}

# A left button held for 0.6 s on Wine's desktop left of the window: counted, it would steer
# the player left. Then the game is clicked again, and a lone Alt and a lone F10 are typed:
# two pictures 1.2 s apart must still differ (the arrow blinks, the diamonds turn, the count
# goes down), where a game held in the menu loop shows one still picture.
check_click_and_menu_keys() {
  local client=$2 out="$E2E_OUT/$E2E_NAME" key
  if [ "$1" = act ]; then
    set_points "$client"
    timeout 10 xdotool mousemove "$out_x" "$out_y" mousedown 1
    sleep 0.6
    timeout 10 xdotool mouseup 1
    sleep 0.5
    e2e_shot "$client" "$out-click.png"
    timeout 10 xdotool mousemove "$mid_x" "$mid_y" click 3
    sleep 0.3
    for key in alt F10; do
      timeout 10 xdotool key "$key"
      sleep 0.5
      e2e_shot "$client" "$out-$key-1.png"
      sleep 1.2
      e2e_shot "$client" "$out-$key-2.png"
      timeout 10 xdotool key "$key"  # leaves a menu loop, should one have started
      sleep 0.3
    done
    return
  fi
  fb click
  local before after moved
  before=$(player_x "$out-level.fb")
  after=$(player_x "$out-click.fb")
  moved=$((after - before))
  e2e_expect "player in view after the click beside the window" "$after" -gt -1000
  e2e_expect "player kept still through the click beside the window (moved $moved)" "${moved#-}" -le 8
  for key in alt F10; do
    fb "$key-1"
    fb "$key-2"
    if cmp -s "$out-$key-1.fb" "$out-$key-2.fb"; then
      e2e_fail "the picture stood still after a lone $key"
    else
      e2e_pass "the picture still changes after a lone $key"
    fi
  done
}

# run NAME HOME YES|NO CHECK END: one game under Wine with HOME (its ALSA set-up) and the
# answer; CHECK (a function, or none) runs in level 0; END (Escape or alt+F4) ends the game.
run() {
  E2E_NAME=$1
  local home=$2 answer=$3 check=$4 end=$5
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
  # Return takes the default button, Yes; N is No's key (Escape does nothing in a Yes/No box).
  if [ "$answer" = YES ]; then timeout 10 xdotool key Return; else timeout 10 xdotool key n; fi
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
  E2E_OX=$ox E2E_OY=$oy E2E_S=$s
  [ "$check" = none ] || "$check" act "$client"
  fb level
  local status
  status=$(e2e_fb_count "$out-level.fb" 10 222 170 17 'r>200 && g>200 && b>200')
  e2e_expect "level 0 status line drawn" "$status" -ge 40
  [ "$check" = none ] || "$check" judge "$client"
  # Alt+F4 is the system's close: WM_CLOSE, the window destroyed, the quit message.
  timeout 10 xdotool key "$end"
  e2e_wait_exit "$pid" 30
  e2e_expect "exit code after $end" "$E2E_CODE" -eq 0
}

# No sound card: the wave device does not open and the game runs silently.
run wine-silent "$HOME" NO check_focus Escape

# An ALSA output that writes the stream to a file.
sound_home=$(mktemp -d)
raw="$E2E_OUT/wine-song.raw"
rm -f "$raw"
cat >"$sound_home/.asoundrc" <<ALSA
pcm.!default { type file slave.pcm "null" file "$raw" format "raw" }
ALSA
run wine-music "$sound_home" NO check_click_and_menu_keys alt+F4
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
run wine-fullscreen "$HOME" YES none alt+F4

# --- the command line and a recording (the comforts) -----------------------------------------
# tumbler.exe has no console: --version and a bad option come in a message box titled
# "Tumbler" (its picture is kept), closed with Return; exit codes 0 and 2. Then a session is
# recorded here and played back on Linux by tools/play_recording, frame for frame.
message_box() {  # message_box NAME CODE ARGS...
  E2E_NAME=$1
  local code=$2; shift 2
  timeout 60 wine "$exe" "$@" >"$E2E_OUT/$E2E_NAME.log" 2>&1 &
  local pid=$! box
  E2E_PIDS+=($pid)
  box=$(find_window "Tumbler" 60) || { e2e_fail "$E2E_NAME: no message box"; return; }
  e2e_pass "$E2E_NAME: message box shown"
  sleep 0.5
  timeout 30 import -window root "$E2E_OUT/$E2E_NAME.png"
  timeout 10 xdotool windowfocus "$box" 2>/dev/null
  timeout 10 xdotool key Return
  e2e_wait_exit "$pid" 30
  e2e_expect "$E2E_NAME: exit code" "$E2E_CODE" -eq "$code"
}
message_box wine-version 0 --version
message_box wine-bad-option 2 --scale 9

E2E_NAME=wine-record
e2e_log "== $E2E_NAME"
recording="$E2E_OUT/wine-session.rec"
rm -f "$recording"
timeout 300 wine "$exe" --windowed --scale 1 --record "Z:${recording//\//\\}" >"$E2E_OUT/$E2E_NAME.log" 2>&1 &
pid=$!
E2E_PIDS+=($pid)
if win=$(find_window "Glimmerbyte \\(GJ07\\) Tumbler" 60); then
  sleep 2
  timeout 10 xdotool windowfocus "$win" 2>/dev/null
  timeout 10 xdotool key space
  sleep 1
  for key in Up Up Right Right Down; do
    timeout 10 xdotool keydown "$key"; sleep 0.1; timeout 10 xdotool keyup "$key"; sleep 0.4
  done
  timeout 10 xdotool key Escape
  e2e_wait_exit "$pid" 30
  e2e_expect "recording under Wine: exit code" "$E2E_CODE" -eq 0
  player="$linux_build/tools/play_recording/play_recording"
  if [ -x "$player" ]; then
    played=$(timeout 300 "$player" "$recording" 2>&1); rc=$?
    e2e_expect "the Wine recording played on Linux: exit code ($(echo "$played" | head -n 1))" "$rc" -eq 0
  else
    e2e_log "no $player: the recording is not played back"
  fi
else
  e2e_fail "no game window for the recording"
fi

wineserver -k 2>/dev/null
e2e_log "done in $(($(date +%s) - started)) s, $E2E_FAILS failure(s); screenshots in $E2E_OUT"
[ "$E2E_FAILS" -eq 0 ]
