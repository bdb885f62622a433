#!/usr/bin/env bash
# The Linux game where no window can be shown: with DISPLAY unset (as over ssh) and with
# DISPLAY naming an X server that is not there, it must say "no display: ..." on stderr and
# end with a non-zero code within seconds, instead of running unseen.
# Usage: linux_no_display.sh BUILD_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
game=$(cd "${1:-build}" && pwd)/tumbler
[ -x "$game" ] || { echo "no game at $game"; exit 1; }
source "$here/e2e_lib.sh"

# A display number that no server answers.
absent=""
for n in $(seq 500 600); do
  if ! xdpyinfo -display ":$n" >/dev/null 2>&1; then absent=":$n"; break; fi
done

# run NAME DISPLAY-VALUE ("" unsets it)
run() {
  local name=$1 err="$E2E_OUT/no-display-$1.err"
  local started=$SECONDS
  if [ -n "$2" ]; then
    timeout 60 env -u SDL_VIDEODRIVER -u WAYLAND_DISPLAY DISPLAY="$2" "$game" >/dev/null 2>"$err"
  else
    timeout 60 env -u SDL_VIDEODRIVER -u WAYLAND_DISPLAY -u DISPLAY "$game" >/dev/null 2>"$err"
  fi
  local code=$?
  e2e_log "$name: exit code $code after $((SECONDS - started)) s: $(tail -n 1 "$err")"
  e2e_expect "$name: exit code (124 is still running after 60 s)" "$code" -eq 1
  e2e_expect "$name: seconds until it ended" "$((SECONDS - started))" -le 10
  if [ "$(grep -c '^no display: ' "$err")" -eq 1 ]; then
    e2e_pass "$name: one \"no display\" line"
  else
    e2e_fail "$name: no \"no display\" line on stderr"
  fi
}

run "DISPLAY unset" ""
run "DISPLAY=$absent" "$absent"
e2e_log "$E2E_FAILS failure(s)"
[ "$E2E_FAILS" -eq 0 ]
