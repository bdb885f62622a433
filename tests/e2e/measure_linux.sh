#!/usr/bin/env bash
# Frame rate, processor time and memory of the Linux game in a virtual X server with Mesa's
# software OpenGL: SECONDS on the title screen, then SECONDS in level 0. Frame rate from the
# game's own once-a-second "FPS:%d (%d)" report (so BUILD_DIR must be configured with
# TUMBLER_LOG_STDERR=ON), processor time and resident memory from /proc, totals from
# /usr/bin/time -v. Not a pass/fail test; prints a small table.
# Usage: measure_linux.sh BUILD_DIR [SECONDS]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
game=$(cd "${1:-build}" && pwd)/tumbler
seconds=${2:-20}
source "$here/e2e_lib.sh"
export LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy
E2E_NAME=measure
e2e_start_x 1280 1024 || exit 1
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (Debian package time; scripts/install-deps.sh installs it)"; exit 1; }
/usr/bin/time -v -o "$E2E_OUT/measure-time.txt" timeout 300 "$game" 2>"$E2E_OUT/measure.log" &
timer=$!
E2E_PIDS+=($timer)
e2e_answer NO >/dev/null || { echo "no start question"; exit 1; }
win=$(e2e_wait_window "Glimmerbyte (GJ07) Tumbler" 20) || { echo "no game window"; exit 1; }
pid=$(pgrep -P "$(pgrep -P "$timer" -x timeout)" -x tumbler)
ticks=$(getconf CLK_TCK)

cpu() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
rss() { awk '/VmRSS/{print $2}' "/proc/$pid/status"; }
fps_lines() { grep -c "^FPS:" "$E2E_OUT/measure.log"; }
# phase NAME: mean frame rate, processor share and memory over the next SECONDS.
phase() {
  local c0 l0 c1
  sleep 1
  c0=$(cpu); l0=$(fps_lines)
  sleep "$seconds"
  c1=$(cpu)
  local fps
  fps=$(grep "^FPS:" "$E2E_OUT/measure.log" | tail -n +$((l0 + 1)) |
    awk -F'[: ]' '{s += $2; n++} END{printf "%.0f", n ? s / n : 0}')
  printf "%-8s %6s fps %5d%% of one core  %6d KiB resident\n" "$1" "$fps" \
    $(((c1 - c0) * 100 / ticks / seconds)) "$(rss)"
}
phase title
e2e_key "$win" space
phase level0
e2e_key "$win" Escape
e2e_wait_exit "$timer" 20
grep -E "Maximum resident|Percent of CPU|Elapsed" "$E2E_OUT/measure-time.txt"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
