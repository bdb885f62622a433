#!/usr/bin/env bash
# Recordings a player can trust, end to end on Linux in a virtual X server: the game killed
# with kill -9 in the middle of level 0 leaves a recording that plays (without a window and
# in the window) frame for frame up to the cut, with exit status 3; SIGTERM ends a session
# recorded with --levels as closing the window does (end line, plays back with status 0,
# tools/play_recording --levels); a file that would hold the playback for hours ends within
# half a second of Escape and of SIGTERM; a failed start leaves the file it was to replace.
# Usage: linux_recordings.sh BUILD_DIR   (the folder holding tumbler and tools/)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
game=$build/tumbler
player=$build/tools/play_recording/play_recording
[ -x "$game" ] && [ -x "$player" ] || { echo "no game or player in $build"; exit 1; }
source "$here/e2e_lib.sh"
export LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy
E2E_NAME=recordings
out="$E2E_OUT/recordings"
rm -rf "$out" && mkdir -p "$out"
started=$(date +%s)
title="Glimmerbyte (GJ07) Tumbler"

# A failed start (no display) leaves the recording it was to replace as it was.
printf 'an earlier recording\n' >"$out/keep.rec"
cp "$out/keep.rec" "$out/keep-before.rec"
DISPLAY= timeout 10 "$game" --windowed --record "$out/keep.rec" >"$out/keep.log" 2>&1
e2e_expect "no display: exit code" "$?" -eq 1
if cmp -s "$out/keep.rec" "$out/keep-before.rec"; then e2e_pass "no display: the old recording is untouched"
else e2e_fail "no display: the old recording changed ($(wc -c <"$out/keep.rec") bytes)"; fi

e2e_start_x 1280 1024 || { e2e_fail "no usable X server (the line above says why)"; exit 1; }

tap() {
  timeout 10 xdotool keydown --window "$1" "$2"; sleep 0.08; timeout 10 xdotool keyup --window "$1" "$2"; sleep 0.35
}

# record NAME ARGS...: starts a recording into $out/NAME.rec, leaves the title with Space;
# sets pid and win.
record() {
  local name=$1; shift
  "$game" --windowed --scale 1 --record "$out/$name.rec" "$@" >"$out/$name.log" 2>&1 &
  pid=$!
  E2E_PIDS+=($pid)
  win=$(e2e_wait_window "$title" 60) || { e2e_fail "$name: no game window"; return 1; }
  timeout 10 xdotool windowfocus "$win" 2>/dev/null
  sleep 1.5
  tap "$win" space
  sleep 0.6
}

# --- kill -9 in the middle of level 0 ---------------------------------------------------------
e2e_log "== kill -9"
if record killed; then
  tap "$win" Up; tap "$win" Up; tap "$win" Down; tap "$win" Right
  sleep 1
  kill -9 "$pid"; wait "$pid" 2>/dev/null
  rec=$out/killed.rec
  frames=$(grep -c '^f ' "$rec")
  e2e_expect "killed: frame lines on the disk" "$frames" -ge 100
  e2e_expect "killed: no end line" "$(grep -c '^end ' "$rec")" -eq 0
  cut="$rec ends after frame $frames without its end line: played $frames frames as recorded"
  timeout 300 "$player" "$rec" --checksums >"$out/killed-headless.txt" 2>"$out/killed-headless.log"
  e2e_expect "killed, played without a window: exit code" "$?" -eq 3
  if grep -qxF "tumbler: $cut" "$out/killed-headless.log"; then e2e_pass "killed, without a window: \"$cut\""
  else e2e_fail "killed, without a window: $(cat "$out/killed-headless.log")"; fi
  if grep -q "^final: state playing, level 0," "$out/killed-headless.txt"; then e2e_pass "killed in level 0"
  else e2e_fail "not killed in level 0: $(tail -n 1 "$out/killed-headless.txt")"; fi
  # Every frame up to the cut, checksum for checksum (the player's extra ticks after it aside).
  if cmp -s <(grep '^f ' "$rec" | cut -c3-) <(head -n "$frames" "$out/killed-headless.txt"); then
    e2e_pass "killed: all $frames frames as recorded"
  else e2e_fail "killed: the frames differ from the recording"; fi
  timeout 120 "$game" --scale 1 --play "$rec" >"$out/killed-window.log" 2>&1
  e2e_expect "killed, played in the window: exit code" "$?" -eq 3
  if grep -qxF "tumbler: $cut" "$out/killed-window.log"; then e2e_pass "killed, in the window: played to the cut"
  else e2e_fail "killed, in the window: $(cat "$out/killed-window.log")"; fi
  timeout 300 "$player" <(cat "$rec") >"$out/killed-pipe.log" 2>&1
  e2e_expect "killed, played from a pipe: exit code" "$?" -eq 3
fi

# --- SIGTERM, with a level folder -------------------------------------------------------------
# map0.txt as an editor saves it, with a line break after the path line.
mkdir -p "$out/levels"
printf 'WWWWWWWWWW\r\nW        W\r\nW DDDDDDDDW\r\nW        W\r\nW        W\r\nW  S     W\r\nWWWWWWWWWW\r\n0\r\n' \
  >"$out/levels/map0.txt"
e2e_log "== SIGTERM"
if record termed --levels "$out/levels"; then
  tap "$win" Right; tap "$win" Up
  kill -TERM "$pid"
  e2e_wait_exit "$pid" 20
  e2e_expect "SIGTERM: exit code" "$E2E_CODE" -eq 0
  rec=$out/termed.rec
  frames=$(grep -c '^f ' "$rec")
  if [ "$(tail -n 1 "$rec")" = "end $frames" ]; then e2e_pass "SIGTERM: the end line counts $frames frames"
  else e2e_fail "SIGTERM: the file ends \"$(tail -n 1 "$rec")\""; fi
  timeout 300 "$player" --levels "$out/levels" "$rec" >"$out/termed-headless.log" 2>&1
  e2e_expect "SIGTERM, played with --levels: exit code" "$?" -eq 0
  if grep -qF "played $rec: $frames frames, all as recorded" "$out/termed-headless.log"; then
    e2e_pass "SIGTERM, played with --levels: $frames frames as recorded"
  else e2e_fail "SIGTERM, played with --levels: $(cat "$out/termed-headless.log")"; fi
  timeout 60 "$player" "$rec" >"$out/termed-nolevels.log" 2>&1
  e2e_expect "SIGTERM, played without its levels: refused" "$?" -eq 2
fi

# --- a playback held for hours, ended by Escape and by SIGTERM -------------------------------
# 3,000 milliseconds each read a million times: about 9 hours at the loop's pace.
{
  head -n 3 "$out/killed.rec"   # the header the game writes, with its version and levels
  printf 't 0\nanswer no\n'
  seq 1 3000 | sed 's/.*/t & 1000000/'
  echo "end 0"
} >"$out/hang.rec"
ms_since() {  # ms_since EPOCHREALTIME: milliseconds from then to now (bash's own clock, no fork)
  local a=${1/[.,]/} b=${EPOCHREALTIME/[.,]/}
  echo $(((b - a) / 1000))
}
for how in Escape TERM; do
  "$game" --scale 1 --play "$out/hang.rec" >"$out/hang-$how.log" 2>&1 &
  pid=$!
  E2E_PIDS+=($pid)
  win=$(e2e_wait_window "$title" 60) || { e2e_fail "hang: no game window"; continue; }
  timeout 10 xdotool windowfocus "$win" 2>/dev/null
  sleep 2
  kill -0 "$pid" 2>/dev/null || { e2e_fail "hang ($how): the playback ended by itself"; continue; }
  (sleep 10; kill -9 "$pid" 2>/dev/null) &
  watchdog=$!
  # From the moment the key has been sent (xdotool has returned) or the signal given to the
  # moment the game has exited.
  if [ "$how" = Escape ]; then timeout 10 xdotool key --window "$win" Escape; asked=$EPOCHREALTIME
  else asked=$EPOCHREALTIME; kill -TERM "$pid"; fi
  wait "$pid"; code=$?
  took=$(ms_since "$asked")
  kill "$watchdog" 2>/dev/null; wait "$watchdog" 2>/dev/null
  e2e_expect "hang: ended $took ms after $how" "$took" -le 500
  # The clock stands still for a million passes at a time. A machine whose loop is slower
  # than that in the two seconds before the stop never ticked (nothing differed, status 0);
  # a faster one ticked once the first million readings were used up, where the file has no
  # frame (status 1, "differs ... at frame 1"). Either is the right answer: what counts here
  # is that the stop ended it.
  log=$(cat "$out/hang-$how.log")
  if [ "$code" -eq 0 ] && grep -qF "played $out/hang.rec: 0 frames, all as recorded" <<<"$log"; then
    e2e_pass "hang ($how): 0 frames, the clock never moved"
  elif [ "$code" -eq 1 ] && grep -qF "hang.rec differs from the recording: the game ticked where the recording did not at frame 1" <<<"$log"; then
    e2e_pass "hang ($how): the clock moved on after a million passes and the first tick differs"
  else e2e_fail "hang ($how): exit code $code: $log"; fi
done
e2e_cleanup

e2e_log "done in $(($(date +%s) - started)) s, $E2E_FAILS failure(s); files in $out"
[ "$E2E_FAILS" -eq 0 ]
