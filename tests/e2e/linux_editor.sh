#!/usr/bin/env bash
# The level editor end to end in a virtual X server: --edit a new file, a second room added,
# a start and two diamonds put down by keys, a wall drawn with the mouse, a path of two
# rooms, saved (the exact bytes checked), test-played to a win and back, left; the proof the
# win left beside the level is accepted by tools/check_levels; then the saved file is played
# as the first level with --levels, which checks the proof at start.
# Usage: linux_editor.sh BUILD_DIR   (the folder holding the tumbler program)
# Screenshots: test-output/e2e/ (not committed).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
game=$build/tumbler
[ -x "$game" ] || { echo "no game at $game"; exit 1; }
source "$here/e2e_lib.sh"
export LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy
E2E_NAME=editor
levels=$(mktemp -d)
trap 'e2e_cleanup; rm -rf "$levels"' EXIT
scale=2

e2e_start_x 1024 768 || { e2e_fail "no usable X server (the line above says why)"; exit 1; }

# shot ID NAME: a screenshot and its framebuffer dump (the window is 2 x 320 by 2 x 240).
shot() {
  e2e_shot "$1" "$E2E_OUT/editor-$2.png"
  e2e_fb_dump "$E2E_OUT/editor-$2.png" 0 0 "$scale" "$E2E_OUT/editor-$2.txt"
}

# The light blue of a diamond, the white of the wall's bricks, the olive "Next Level" curtain.
gem='r<190 && g>180 && b>230'
brick='r>200 && g>200 && b>200'

e2e_log "== editing a new level"
timeout 300 "$game" --windowed --scale "$scale" --edit "$levels/map0.txt" >"$E2E_OUT/editor.log" 2>&1 &
pid=$!
E2E_PIDS+=($pid)
id=$(e2e_wait_window "Glimmerbyte (GJ07) Tumbler" 60) || { e2e_fail "no editor window"; exit 1; }
sleep 1
keys() { local k; for k in "$@"; do e2e_key "$id" "$k"; sleep 0.12; done; }
keys r Right Escape                  # a second room at the right
keys Right Down 7 space              # the start at (1, 1)
keys Right 4 space Right space       # diamonds at (2, 1) and (3, 1)
keys 1                               # walls, drawn with the mouse from (4, 3) to (6, 3)
timeout 10 xdotool mousemove --window "$id" $((4 * 64 + 20)) $((3 * 64 + 30)) mousedown 1
for x in 4 5 6; do timeout 10 xdotool mousemove --window "$id" $((x * 64 + 32)) $((3 * 64 + 32)); sleep 0.1; done
timeout 10 xdotool mouseup 1
sleep 0.2
keys p Right Escape                  # the view moves one room right, then the path ends
shot "$id" drawn
keys s
sleep 0.5
want=$(printf 'WWWWWWWWWW          \r\nWSDD     W          \r\nW        W          \r\nW   WWW  W          \r\nW        W          \r\nW        W          \r\nWWWWWWWWWW          \r\n10')
if [ "$(cat "$levels/map0.txt" 2>/dev/null)" = "$want" ]; then
  e2e_pass "saved: the level's exact bytes"
else
  e2e_fail "saved file differs:"; od -c "$levels/map0.txt" | head -20
fi
e2e_expect "diamonds shown where they were put" "$(e2e_fb_count "$E2E_OUT/editor-drawn.txt" 64 32 64 32 "$gem")" -ge 100
e2e_expect "the wall drawn by the mouse" "$(e2e_fb_count "$E2E_OUT/editor-drawn.txt" 128 96 96 32 "$brick")" -ge 300

e2e_log "== test-play"
keys t
sleep 1
e2e_hold "$id" Right 1.2
shot "$id" won
e2e_expect "both diamonds taken in test-play" "$(e2e_fb_count "$E2E_OUT/editor-won.txt" 64 32 64 32 "$gem")" -le 10
sleep 4
shot "$id" back
e2e_expect "back in the editor: the diamonds are there again" \
  "$(e2e_fb_count "$E2E_OUT/editor-back.txt" 64 32 64 32 "$gem")" -ge 100
[ -f "$levels/map0.proof" ] && e2e_pass "the win is kept as map0.proof" || e2e_fail "no map0.proof after the win"
keys Escape                          # saved, so it leaves without asking
e2e_wait_exit "$pid" 20
e2e_expect "editor exit code" "$E2E_CODE" -eq 0
leftovers=$(ls "$levels" | grep -v '^map0\.txt$' | grep -v '^map0\.proof$' || true)
[ -z "$leftovers" ] && e2e_pass "no draft or new file left beside the level" || e2e_fail "left beside the level: $leftovers"

e2e_log "== the proof"
checker=$build/tools/check_levels/check_levels
said=$("$checker" "$levels" 2>&1); status=$?
e2e_log "check_levels: $said"
e2e_expect "check_levels exit status" "$status" -eq 0
case "$said" in
  "map0.txt: won by its proof, "*" s to spare") e2e_pass "check_levels: the proof wins the level" ;;
  *) e2e_fail "check_levels said: $said" ;;
esac

e2e_log "== the saved level as the game's first"
timeout 300 "$game" --windowed --scale "$scale" --levels "$levels" >"$E2E_OUT/editor-levels.log" 2>&1 &
pid=$!
E2E_PIDS+=($pid)
id=$(e2e_wait_window "Glimmerbyte (GJ07) Tumbler" 60) || { e2e_fail "no game window"; exit 1; }
sleep 1
keys space
sleep 1
shot "$id" level
e2e_expect "the level's diamonds in the game" "$(e2e_fb_count "$E2E_OUT/editor-level.txt" 64 32 64 32 "$gem")" -ge 100
e2e_expect "the level's wall in the game" "$(e2e_fb_count "$E2E_OUT/editor-level.txt" 128 96 96 32 "$brick")" -ge 300
e2e_hold "$id" Right 1.2
sleep 1
shot "$id" next
olive=$(e2e_fb_count "$E2E_OUT/editor-next.txt" 0 0 320 220 'r>35 && r<70 && g>35 && g<70 && b<15')
e2e_expect "\"Next Level\": its olive curtain" "$olive" -ge 3000
keys Escape
e2e_wait_exit "$pid" 20
e2e_expect "game exit code" "$E2E_CODE" -eq 0
if grep -q "^tumbler: $levels/map0.txt: won by its proof, " "$E2E_OUT/editor-levels.log"; then
  e2e_pass "--levels checked the proof at start"
else
  e2e_fail "--levels said nothing of the proof:"; cat "$E2E_OUT/editor-levels.log"
fi

[ "$E2E_FAILS" -eq 0 ] && echo "linux_editor: all passed" || echo "linux_editor: $E2E_FAILS failed"
exit $((E2E_FAILS > 0))
