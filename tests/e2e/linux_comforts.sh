#!/usr/bin/env bash
# The player comforts end to end on Linux, in a virtual X server with Mesa's software
# OpenGL: the command line (help, version, a bad option, a bad level folder: exit codes and
# nothing started); a session recorded with --record while xdotool plays through the title,
# level 0 and into level 1, then played back without a window (tools/play_recording) and in
# the window (--play), every frame compared with the recording; a level folder whose map0.txt
# shows in the game; the window resized (4:3 between black bars) and F11 (the whole screen).
# Usage: linux_comforts.sh BUILD_DIR   (the folder holding tumbler and tools/)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
game=$build/tumbler
player=$build/tools/play_recording/play_recording
[ -x "$game" ] && [ -x "$player" ] || { echo "no game or player in $build"; exit 1; }
source "$here/e2e_lib.sh"
export LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy
E2E_NAME=comforts
out="$E2E_OUT/comforts"
rm -rf "$out" && mkdir -p "$out"
started=$(date +%s)

# --- the command line: what is shown, the exit code, and no window -------------------------
expect_run() {  # expect_run WHAT CODE TEXT ARGS...: exit CODE, first line of output TEXT
  local what=$1 code=$2 text=$3; shift 3
  local got rc
  got=$(DISPLAY= timeout 10 "$game" "$@" 2>&1); rc=$?
  e2e_expect "$what: exit code" "$rc" -eq "$code"
  if [ "$(printf '%s\n' "$got" | head -n 1)" = "$text" ]; then e2e_pass "$what: \"$text\""
  else e2e_fail "$what: said \"$got\", want \"$text\""; fi
}
expect_run "--help" 0 "Usage: tumbler [options]" --help
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
expect_run "--version" 0 "Tumbler ${version:-(no version in $build/CMakeCache.txt)}" --version
expect_run "bad scale" 2 'tumbler: --scale needs a number from 1 to 8, not "9"' --scale 9
expect_run "unknown option" 2 'tumbler: unknown option "--full" (see --help)' --full
mkdir -p "$out/bad-levels"
printf 'WWW\r\nW D\r\nWWW\r\n0' >"$out/bad-levels/map2.txt"
expect_run "level without a start" 2 "tumbler: $out/bad-levels/map2.txt has no start cell (S) in its rooms" --levels "$out/bad-levels"
printf 'tumbler-recording 1\ngame 1.1.0\n' >"$out/cut.rec"
expect_run "cut-short recording" 2 "tumbler: $out/cut.rec is not a good recording: line 3: the file ends inside the header" --play "$out/cut.rec"

e2e_start_x 1280 1024 || { e2e_fail "no usable X server (the line above says why)"; exit 1; }

# tap WINDOW KEY: one short press, then time for the step (0.2 s) to finish.
tap() {
  timeout 10 xdotool keydown --window "$1" "$2"; sleep 0.08; timeout 10 xdotool keyup --window "$1" "$2"; sleep 0.35
}
hold() {
  timeout 10 xdotool keydown --window "$1" "$2"; sleep "$3"; timeout 10 xdotool keyup --window "$1" "$2"; sleep 0.3
}

# --- recording through title, level 0 and into level 1 ------------------------------------
# Level 0: up past the first diamond to the wall, down again, one up, seven right along row
# 4, one down, and right along row 5 into the second diamond; the walls stop the long holds.
# A small window keeps the software renderer quick, so every tap is seen by a tick.
e2e_log "== recording"
timeout 120 "$game" --windowed --scale 1 --record "$out/session.rec" >"$out/record.log" 2>&1 &
pid=$!
E2E_PIDS+=($pid)
win=$(e2e_wait_window "Glimmerbyte (GJ07) Tumbler" 60) || { e2e_fail "no game window"; exit 1; }
timeout 10 xdotool windowfocus "$win" 2>/dev/null
sleep 1.5
tap "$win" space
sleep 0.6
hold "$win" Up 1.1
hold "$win" Down 1.1
tap "$win" Up
for i in 1 2 3 4 5 6 7; do tap "$win" Right; done
tap "$win" Down
hold "$win" Right 2.2
sleep 4.5   # "Next Level", then level 1
tap "$win" Down
timeout 10 xdotool key --window "$win" Escape
e2e_wait_exit "$pid" 20
e2e_expect "recording: exit code" "$E2E_CODE" -eq 0
e2e_expect "recording: lines written" "$(wc -l <"$out/session.rec")" -gt 100

# --- played back without a window and in the window ----------------------------------------
played=$(timeout 300 "$player" "$out/session.rec" 2>&1); rc=$?
echo "$played" >"$out/play-headless.log"
e2e_expect "headless playback: exit code" "$rc" -eq 0
if echo "$played" | grep -q "frames, all as recorded"; then e2e_pass "headless playback: $(echo "$played" | head -n 1)"
else e2e_fail "headless playback: $played"; fi
if echo "$played" | grep -q "final: state playing, level 1,"; then e2e_pass "the recorded session ended in level 1"
else e2e_fail "the recorded session did not end playing level 1 (taps lost on a loaded machine?): $played"; fi
timeout 120 "$game" --scale 1 --play "$out/session.rec" >"$out/play-window.log" 2>&1; rc=$?
e2e_expect "playback in the window: exit code" "$rc" -eq 0
if grep -q "frames, all as recorded" "$out/play-window.log"; then e2e_pass "playback in the window: $(cat "$out/play-window.log")"
else e2e_fail "playback in the window: $(cat "$out/play-window.log")"; fi

# --- levels from a folder --------------------------------------------------------------------
# map0.txt with a row of eight diamonds in the first room: the view fills with light blue.
mkdir -p "$out/levels"
printf 'WWWWWWWWWW\r\nW        W\r\nW DDDDDDDDW\r\nW        W\r\nW        W\r\nW  S     W\r\nWWWWWWWWWW\r\n0' >"$out/levels/map0.txt"
e2e_log "== levels from a folder"
timeout 120 "$game" --windowed --levels "$out/levels" >"$out/levels.log" 2>&1 &
pid=$!
E2E_PIDS+=($pid)
win=$(e2e_wait_window "Glimmerbyte (GJ07) Tumbler" 60) || { e2e_fail "no game window"; exit 1; }
sleep 1.5
e2e_key "$win" space
sleep 1.5
e2e_shot "$win" "$out/levels.png"
e2e_fb_dump "$out/levels.png" 0 0 3 "$out/levels.fb"
gems=$(e2e_fb_count "$out/levels.fb" 0 0 320 220 'r<190 && g>180 && b>230')
e2e_expect "the folder's level with eight diamonds in view (light blue pixels)" "$gems" -ge 400

# --- the window: resized, then F11 -----------------------------------------------------------
e2e_log "== window"
timeout 10 xdotool windowsize "$win" 1000 400
sleep 1.5
e2e_shot "$win" "$out/resized.png"
# 400 high: the picture is 533 x 400 from x 233; bars of black either side.
bars=$(e2e_count "$out/resized.png" 230 400 0 0 'r>0 || g>0 || b>0')
e2e_expect "resized: black bar at the left" "$bars" -eq 0
bars=$(e2e_count "$out/resized.png" 230 400 770 0 'r>0 || g>0 || b>0')
e2e_expect "resized: black bar at the right" "$bars" -eq 0
lit=$(e2e_count "$out/resized.png" 533 400 233 0 'r>0 || g>0 || b>0')
e2e_expect "resized: the picture between the bars" "$lit" -ge 150000
timeout 10 xdotool windowfocus "$win" 2>/dev/null
timeout 10 xdotool key --window "$win" F11
sleep 1.5
size=$(e2e_window_size "$win")
e2e_expect "F11: width of the screen" "${size% *}" -eq 1280
e2e_expect "F11: height of the screen" "${size#* }" -eq 1024
e2e_shot "$win" "$out/f11.png"
lit=$(e2e_count "$out/f11.png" 1280 30 0 0 'r>0 || g>0 || b>0')
e2e_expect "F11: black bar at the top (5:4 screen)" "$lit" -eq 0
timeout 10 xdotool key --window "$win" Escape
e2e_wait_exit "$pid" 20
e2e_expect "exit code after Escape" "$E2E_CODE" -eq 0
e2e_cleanup

e2e_log "done in $(($(date +%s) - started)) s, $E2E_FAILS failure(s); files in $out"
[ "$E2E_FAILS" -eq 0 ]
