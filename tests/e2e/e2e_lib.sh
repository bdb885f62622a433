# Shared helpers of the end-to-end runs: a private virtual X server, the game under a time
# limit, the start question, screenshots and pixel checks. Sourced, not run.
# Needs: Xvfb, X core fonts (xfonts-base), xdotool, xwininfo, xdpyinfo, xlsfonts (x11-utils),
# ImageMagick (import, convert), pgrep (procps).

E2E_FAILS=0
E2E_PIDS=()
E2E_OUT=${E2E_OUT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/test-output/e2e}
mkdir -p "$E2E_OUT"

e2e_cleanup() {
  local pid
  for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null; done
  E2E_PIDS=()
}
trap e2e_cleanup EXIT

e2e_log() { echo "[$(date +%T)] $*"; }
e2e_fail() { echo "FAIL: $*"; E2E_FAILS=$((E2E_FAILS + 1)); }
e2e_pass() { echo "ok: $*"; }

# e2e_start_x WIDTH HEIGHT: a fresh Xvfb (depth 24, the depth Mesa's GLX wants); the server
# picks a free display number itself and reports it once it accepts clients. Sets DISPLAY.
e2e_start_x() {
  local numfile
  numfile=$(mktemp)
  Xvfb -displayfd 1 -screen 0 "${1}x${2}x24" -nolisten tcp >"$numfile" 2>>"$E2E_OUT/xvfb.log" &
  E2E_PIDS+=($!)
  local i n=""
  for i in $(seq 100); do
    n=$(head -n 1 "$numfile" 2>/dev/null)
    [ -n "$n" ] && break
    sleep 0.1
  done
  rm -f "$numfile"
  [ -n "$n" ] || { echo "Xvfb did not start"; return 1; }
  export DISPLAY=":$n"
  xdpyinfo >/dev/null 2>&1 || { echo "Xvfb :$n does not answer"; return 1; }
  e2e_check_fonts
}

# SDL's X11 message box (the start question) draws with a 12-point medium X core font; a
# server without one shows no box at all, and the question would silently count as No.
e2e_check_fonts() {
  command -v xlsfonts >/dev/null || { echo "xlsfonts is missing (Debian package x11-utils)"; return 1; }
  [ -n "$(xlsfonts -fn '-*-*-medium-r-normal--*-120-*-*-*-*-*-*' 2>/dev/null)" ] && return 0
  echo "the X server $DISPLAY has no X core fonts for the start question's box" \
       "(Debian package xfonts-base; scripts/install-deps.sh installs it)"
  return 1
}

# e2e_wait_window NAME SECONDS: prints the id of the top-level window titled NAME.
e2e_wait_window() {
  local i id
  for i in $(seq $(($2 * 10))); do
    id=$(xwininfo -name "$1" 2>/dev/null | awk '/Window id:/{print $4}')
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# e2e_window_size ID: prints "WIDTH HEIGHT" of the window's client area.
e2e_window_size() {
  xwininfo -id "$1" | awk '/ Width:/{w=$2} / Height:/{h=$2} END{print w, h}'
}

# e2e_shot ID FILE: the window's client area as a PNG, cut from the whole screen (asking
# for one window can leave import waiting when that window goes away).
e2e_shot() {
  local geometry
  geometry=$(xwininfo -id "$1" 2>/dev/null | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
    / Width:/{w=$2} / Height:/{h=$2} END{printf "%dx%d+%d+%d", w, h, x, y}')
  timeout 30 import -window root -crop "$geometry" +repage "$2" || e2e_fail "no screenshot $2"
}

# e2e_pixel FILE X Y: prints "R G B" of one pixel.
e2e_pixel() {
  convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- |
    awk -F'[(),]' 'NR==2{printf "%d %d %d\n", $3, $4, $5}'
}

# e2e_count FILE W H X Y AWK-CONDITION: how many pixels of the area satisfy the condition
# on r, g, b.
e2e_count() {
  convert "$1" -crop "${2}x${3}+${4}+${5}" +repage -depth 8 txt:- |
    awk -F'[(),]' "NR>1{r=\$3; g=\$4; b=\$5; if ($6) n++} END{print n+0}"
}

# e2e_fb_dump SHOT OX OY SCALE DUMP: the 320 x 240 framebuffer as shown at (OX, OY) with
# SCALE x SCALE window pixels per framebuffer pixel, written as one text line per pixel
# ("x,y: (r,g,b)"). Nearest filtering makes every pixel of a block alike, so point
# sampling gives the framebuffer back exactly.
e2e_fb_dump() {
  convert "$1" -crop "$((320 * $4))x$((240 * $4))+$2+$3" +repage -sample '320x240!' \
    -depth 8 txt:- | tail -n +2 >"$5"
}

# e2e_fb_pixel DUMP X Y: prints "R G B" of a framebuffer pixel.
e2e_fb_pixel() {
  awk -F'[(),: ]+' -v x="$2" -v y="$3" '$1==x && $2==y{print $3, $4, $5; exit}' "$1"
}

# e2e_fb_count DUMP X Y W H CONDITION: framebuffer pixels of the area whose r, g, b satisfy
# the awk condition.
e2e_fb_count() {
  awk -F'[(),: ]+' -v x0="$2" -v y0="$3" -v w="$4" -v h="$5" \
    "\$1>=x0 && \$1<x0+w && \$2>=y0 && \$2<y0+h {r=\$3; g=\$4; b=\$5; if ($6) n++} END{print n+0}" "$1"
}

# e2e_fb_mean_x DUMP CONDITION: the mean column of the pixels that satisfy it, -1 for none.
e2e_fb_mean_x() {
  awk -F'[(),: ]+' "{r=\$3; g=\$4; b=\$5; if ($2) {s+=\$1; n++}} END{print n ? int(s/n) : -1}" "$1"
}

# e2e_expect_fb_pixel DUMP X Y "R G B" WHAT
e2e_expect_fb_pixel() {
  local got
  got=$(e2e_fb_pixel "$1" "$2" "$3")
  if [ "$got" = "$4" ]; then e2e_pass "$5: ($2,$3) = $got"; else e2e_fail "$5: ($2,$3) = $got, want $4"; fi
}

# e2e_expect_pixel FILE X Y "R G B" WHAT
e2e_expect_pixel() {
  local got
  got=$(e2e_pixel "$1" "$2" "$3")
  if [ "$got" = "$4" ]; then e2e_pass "$5: ($2,$3) = $got"; else e2e_fail "$5: ($2,$3) = $got, want $4"; fi
}

# e2e_expect NAME VALUE OP LIMIT: a numeric check (OP: -eq -ge -le -gt -lt).
e2e_expect() {
  if [ "$2" "$3" "$4" ]; then e2e_pass "$1: $2 $3 $4"; else e2e_fail "$1: $2, want $3 $4"; fi
}

# e2e_answer YES|NO: answers the start question (Return is yes, Escape no).
e2e_answer() {
  local box
  box=$(e2e_wait_window "Select display mode" 60) || { e2e_fail "no start question"; return 1; }
  e2e_pass "start question shown ($box)"
  timeout 30 import -window root "$E2E_OUT/$E2E_NAME-question.png"
  if [ "$1" = YES ]; then
    timeout 10 xdotool key --window "$box" Return
  else
    timeout 10 xdotool key --window "$box" Escape
  fi
}

# e2e_key ID KEY...: focuses the game window and types keys through the X test extension.
e2e_key() {
  local id=$1; shift
  timeout 10 xdotool windowfocus "$id" 2>/dev/null
  timeout 10 xdotool key "$@"
}

e2e_hold() {
  local id=$1 key=$2 seconds=$3
  timeout 10 xdotool windowfocus "$id" 2>/dev/null
  timeout 10 xdotool keydown "$key"; sleep "$seconds"; timeout 10 xdotool keyup "$key"
}

# e2e_wait_exit PID SECONDS: waits for the game; sets E2E_CODE to its exit code (124 when it
# had to be stopped).
e2e_wait_exit() {
  local i
  for i in $(seq $(($2 * 10))); do
    if ! kill -0 "$1" 2>/dev/null; then
      wait "$1"; E2E_CODE=$?; return
    fi
    sleep 0.1
  done
  kill "$1" 2>/dev/null; wait "$1" 2>/dev/null; E2E_CODE=124
}

# e2e_same_song RAW RENDERER SONG: the 16-bit mono stream RAW must match SONG played through
# the synthesiser offline by RENDERER (tools/render_song) sample for sample from the first
# sound on, for the first second: both start the song on a block boundary after silence.
# (Later the noise instrument draws on the time-mixed random numbers and the two part.)
# Skipped with a note when the renderer is not built.
e2e_same_song() {
  local raw=$1 renderer=$2 song=$3
  if [ ! -x "$renderer" ]; then
    e2e_log "no $renderer: the stream is not compared with $song"
    return
  fi
  local offline="$E2E_OUT/${song%.sqt}-offline"
  "$renderer" "$song" "$offline.wav" 4 >/dev/null 2>&1
  sox "$offline.wav" -t raw "$offline.raw" 2>/dev/null
  local at_stream at_offline
  at_stream=$(od -An -v -td2 -w2 "$raw" | awk '$1 != 0 {print NR - 1; exit}')
  at_offline=$(od -An -v -td2 -w2 "$offline.raw" | awk '$1 != 0 {print NR - 1; exit}')
  if [ -n "$at_stream" ] && [ -n "$at_offline" ] &&
     cmp -s -n $((22040 * 2)) -i "$((at_stream * 2)):$((at_offline * 2))" "$raw" "$offline.raw"; then
    e2e_pass "the stream is \"$song\" sample for sample (from sample $at_stream)"
  else
    e2e_fail "the stream differs from \"$song\" played offline (first sound at ${at_stream:-none} / ${at_offline:-none})"
  fi
}
