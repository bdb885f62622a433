#!/usr/bin/env bash
# The music end to end: the Linux game plays the title song into SDL's file-writing audio
# driver (22050 Hz, signed 16-bit mono), and the written stream is checked: it is music,
# not silence, every sample lies within the mixer's range -16383 .. 32767, and it is the
# title song sample for sample (against tools/render_song when it is built). Then the game
# is started with no usable audio driver and must run silently, and a quit request (what the
# close box sends) must still end it with code 0.
# Usage: linux_audio.sh BUILD_DIR. The stream is kept as test-output/e2e/title-song.wav.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
game=$build/tumbler
[ -x "$game" ] || { echo "no game at $game"; exit 1; }
source "$here/e2e_lib.sh"
export LIBGL_ALWAYS_SOFTWARE=1

# run NAME SECONDS [quit]: the game with the question answered No, left on the title for
# SECONDS, then Escape (or, with "quit", the quit request a window's close box sends);
# checks the exit code.
run() {
  E2E_NAME=$1
  e2e_start_x 1280 1024 || { e2e_fail "no usable X server (the line above says why)"; return; }
  timeout 300 "$game" >"$E2E_OUT/$E2E_NAME.log" 2>&1 &
  local pid=$!
  E2E_PIDS+=($pid)
  e2e_answer NO || return
  local win
  win=$(e2e_wait_window "Glimmerbyte (GJ07) Tumbler" 60) || {
    e2e_fail "no game window"; xwininfo -root -tree >"$E2E_OUT/$E2E_NAME-windows.txt"; return; }
  sleep "$2"
  e2e_shot "$win" "$E2E_OUT/$E2E_NAME-title.png"
  e2e_fb_dump "$E2E_OUT/$E2E_NAME-title.png" 0 0 3 "$E2E_OUT/$E2E_NAME-title.fb"
  e2e_expect_fb_pixel "$E2E_OUT/$E2E_NAME-title.fb" 23 101 "60 60 60" "title shown"
  if [ "${3:-}" = quit ]; then
    # SDL turns the termination signal into the same quit event as the close box.
    kill -TERM "$(pgrep -P "$pid" -x tumbler)"
    e2e_wait_exit "$pid" 15
    e2e_expect "exit code after the quit request" "$E2E_CODE" -eq 0
  else
    e2e_key "$win" Escape
    e2e_wait_exit "$pid" 15
    e2e_expect "exit code after Escape" "$E2E_CODE" -eq 0
  fi
  e2e_cleanup
}

started=$(date +%s)
raw="$E2E_OUT/title-song.raw"
rm -f "$raw"
e2e_log "== music into a file"
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$raw" run music 6
if [ -s "$raw" ]; then
  # count, minimum, maximum, samples away from zero, mean absolute value
  read -r count low high loud mean < <(od -An -v -td2 -w2 "$raw" |
    awk '{v=$1; n++; if (n==1 || v<lo) lo=v; if (n==1 || v>hi) hi=v; a=v<0?-v:v; s+=a; if (a>64) l++}
         END{printf "%d %d %d %d %d\n", n, lo, hi, l, n ? s/n : 0}')
  e2e_log "samples $count, range $low .. $high, $loud above 64, mean level $mean"
  e2e_expect "seconds of sound written" "$count" -ge $((22050 * 3))
  e2e_expect "lowest sample" "$low" -ge -16383
  e2e_expect "highest sample" "$high" -le 32767
  e2e_expect "share of samples that sound (per mille)" $((loud * 1000 / count)) -ge 300
  e2e_expect "mean level" "$mean" -ge 200
  sox -t raw -r 22050 -e signed -b 16 -c 1 "$raw" "$E2E_OUT/title-song.wav" 2>/dev/null
  # The song itself, against the same song played offline (see e2e_same_song).
  e2e_same_song "$raw" "$build/tools/render_song/render_song" start.sqt
else
  e2e_fail "no sound written to $raw"
fi

e2e_log "== no audio device, left by a quit request"
SDL_AUDIODRIVER=no_such_driver run silent 3 quit

e2e_log "done in $(($(date +%s) - started)) s, $E2E_FAILS failure(s)"
[ "$E2E_FAILS" -eq 0 ]
