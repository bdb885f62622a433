#!/usr/bin/env bash
# Proves README's two set-up commands on a fresh Debian 12 machine. A minimal bookworm root
# (debootstrap --variant=minbase) gets the committed tree of this checkout, and inside it, as
# root with a clean environment, runs:
#   1. bash scripts/run-game.sh: the game is built and started; this machine's virtual X
#      server shows it, the start question is answered No, the title is left with Escape,
#      and the exit code must be 0;
#   2. bash scripts/test.sh: every test, as CI runs them.
# With --deb FILE it proves the Debian package instead: in the fresh root, apt installs only
# that file (and what it depends on), a player's login shell finds `tumbler --version`, the
# installed game starts on this machine's virtual X server and shows the title, and
# `apt-get remove` leaves no file of the package behind.
# Each step is timed. Not run by CI: it downloads up to a few hundred MB of packages.
# Needs root, debootstrap and the Debian mirror, and here Xvfb, xdotool and x11-utils (what
# scripts/install-deps.sh installs).
# Usage: scripts/clean-root-check.sh [--deb FILE] [FOLDER]
#   FOLDER (default /var/tmp/tumbler-clean-root) is made anew; KEEP_ROOT=1 keeps it after.
# Logs: test-output/clean-root/.
set -uo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
deb=""
if [ "${1:-}" = --deb ]; then
  [ -f "${2:-}" ] || { echo "--deb needs a package file: ${2:-}"; exit 1; }
  deb=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
  shift 2
fi
root=${1:-/var/tmp/tumbler-clean-root}
out=$repo/test-output/clean-root
case "$root" in /*/*) ;; *) echo "FOLDER must be an absolute path below /: $root"; exit 1 ;; esac
mkdir -p "$out"
export E2E_OUT=$out
source "$repo/tests/e2e/e2e_lib.sh"

[ "$(id -u)" -eq 0 ] || { echo "run as root (debootstrap and chroot need it)"; exit 1; }
command -v debootstrap >/dev/null || { echo "needs debootstrap (bash scripts/install-deps.sh installs it)"; exit 1; }

# Takes every mount inside the root away; only then is the root removed, and rm stays on the
# root's own file system, so a bind that did not let go keeps this machine's /dev safe.
release_root() {
  local m
  for m in $(findmnt -rn -o TARGET | grep "^$root/" | sort -r); do umount -l "$m"; done
  if findmnt -rn -o TARGET | grep -q "^$root/"; then
    echo "still mounted under $root: left in place"
    return 1
  fi
}
remove_root() { [ ! -d "$root" ] || { release_root && rm -rf --one-file-system "$root"; }; }
# Every process still running inside the root (a game left behind by a failed check).
kill_in_root() {
  local p
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && kill "${p#/proc/}" 2>/dev/null
  done
  return 0
}
finish() {
  e2e_cleanup
  kill_in_root
  release_root
  [ "${KEEP_ROOT:-0}" = 1 ] || remove_root
}
trap finish EXIT

# The mirror this machine's apt uses.
mirror=$(awk '/^URIs:/{print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null)
[ -n "$mirror" ] || mirror=http://deb.debian.org/debian

remove_root || exit 1
e2e_log "== debootstrap --variant=minbase bookworm ($mirror)"
t0=$(date +%s)
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$out/debootstrap.log" 2>&1 ||
  { tail -n 20 "$out/debootstrap.log"; exit 1; }
e2e_log "root made in $(($(date +%s) - t0)) s"
# A fresh install also follows the updates and security suites of bookworm, whatever this
# machine runs; the security archive sits beside the mirror's, as on Debian's own servers.
cat >"$root/etc/apt/sources.list.d/debian.sources" <<EOF_SOURCES
Types: deb
URIs: $mirror
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
URIs: ${mirror%/debian}/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF_SOURCES
rm -f "$root/etc/apt/sources.list"
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc"
mount --rbind /sys "$root/sys" && mount --make-rslave "$root/sys"
mount --rbind /dev "$root/dev" && mount --make-rslave "$root/dev"
if [ -z "$deb" ]; then
  mkdir -p "$root/root/tumbler"
  git -C "$repo" archive --format=tar HEAD | tar -x -C "$root/root/tumbler"
  e2e_log "tree of $(git -C "$repo" rev-parse --short HEAD) copied in"
fi

# in_root COMMAND: runs a shell command in the tree inside the root (in /root with --deb), as
# a fresh login would.
in_root() {
  chroot "$root" env -i HOME=/root TERM=dumb LANG=C.UTF-8 ${DISPLAY:+DISPLAY=$DISPLAY} \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    bash -c "cd /root/tumbler 2>/dev/null || cd /root; $1"
}

# The package: installed by apt as a player would, started by a player, removed again.
if [ -n "$deb" ]; then
  package=$(dpkg-deb -f "$deb" Package)
  version=$(dpkg-deb -f "$deb" Version)
  cp "$deb" "$root/root/"
  in_root "dpkg-query -W -f '\${Package}\n' | sort" >"$out/packages-before.txt"
  e2e_log "== apt-get install ./$(basename "$deb")"
  t0=$(date +%s)
  in_root "apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y /root/$(basename "$deb")" \
    >"$out/apt-install.log" 2>&1
  code=$?
  install_seconds=$(($(date +%s) - t0))
  e2e_expect "apt-get install exit code" "$code" -eq 0
  in_root "dpkg-query -W -f '\${Package}\n' | sort" >"$out/packages-after.txt"
  comm -13 "$out/packages-before.txt" "$out/packages-after.txt" >"$out/pulled-in.txt"
  e2e_log "apt installed $(wc -l <"$out/pulled-in.txt") packages in $install_seconds s" \
    "($(grep -oE 'Need to get [^ ]+ [kMG]?B' "$out/apt-install.log" | tail -n 1 | cut -d' ' -f4-) downloaded," \
    "$(grep -oE '[0-9.,]+ [kMG]?B of additional disk space' "$out/apt-install.log" | cut -d' ' -f1-2) installed);" \
    "the list is in $out/pulled-in.txt"

  # A player's login shell: /usr/games is on a user's PATH in Debian (not on root's).
  in_root "id player >/dev/null 2>&1 || useradd -m player"
  said=$(in_root "su - player -c 'tumbler --version'" 2>&1)
  [ "$said" = "Tumbler ${version%%-*}" ] && e2e_pass "tumbler --version: $said" ||
    e2e_fail "tumbler --version said \"$said\", want \"Tumbler ${version%%-*}\""

  e2e_start_x 1280 1024 || exit 1
  e2e_log "== tumbler, as the player (display $DISPLAY)"
  t0=$(date +%s)
  in_root "su - player -c 'DISPLAY=$DISPLAY tumbler'" >"$out/installed-game.log" 2>&1 &
  game=$!
  E2E_PIDS+=($game)
  E2E_NAME=installed
  if e2e_answer NO && win=$(e2e_wait_window "Glimmerbyte (GJ07) Tumbler" 60); then
    sleep 3
    e2e_shot "$win" "$out/installed-title.png"
    e2e_fb_dump "$out/installed-title.png" 0 0 3 "$out/installed-title.fb"
    e2e_expect_fb_pixel "$out/installed-title.fb" 23 101 "60 60 60" "title shown"
    e2e_key "$win" Escape
  else
    e2e_fail "no game window (see $out/installed-game.log)"
  fi
  e2e_wait_exit "$game" 60
  e2e_expect "installed game's exit code" "$E2E_CODE" -eq 0
  game_seconds=$(($(date +%s) - t0))
  e2e_cleanup
  unset DISPLAY

  e2e_log "== apt-get remove $package"
  t0=$(date +%s)
  in_root "DEBIAN_FRONTEND=noninteractive apt-get remove -y $package" >"$out/apt-remove.log" 2>&1
  e2e_expect "apt-get remove exit code" "$?" -eq 0
  remove_seconds=$(($(date +%s) - t0))
  left=""
  for f in $(dpkg -c "$deb" | awk '!/\/$/{print substr($6, 2)}'); do
    [ -e "$root$f" ] && left+=" $f"
  done
  for d in /usr/share/doc/$package; do
    [ -e "$root$d" ] && left+=" $d"
  done
  [ -z "$left" ] && e2e_pass "nothing of $package left after apt-get remove" || e2e_fail "left behind:$left"

  e2e_log "apt-get install: ${install_seconds} s, the game: ${game_seconds} s, apt-get remove: ${remove_seconds} s," \
    "$E2E_FAILS failure(s); logs in $out"
  [ "$E2E_FAILS" -eq 0 ]
  exit
fi

# 1. The game, shown on a virtual X server of this machine (its socket is reached from the
# root). The install and the build come first, so the question is awaited for up to 20
# minutes; a game window without the question (a box that could not come up counts as No)
# ends the wait at once.
e2e_start_x 1280 1024 || exit 1
e2e_log "== bash scripts/run-game.sh (display $DISPLAY)"
t0=$(date +%s)
in_root "bash scripts/run-game.sh" >"$out/run-game.log" 2>&1 &
game=$!
E2E_PIDS+=($game)
box=""
unasked=""
while kill -0 "$game" 2>/dev/null && [ $(($(date +%s) - t0)) -lt 1200 ]; do
  box=$(xwininfo -name "Select display mode" 2>/dev/null | awk '/Window id:/{print $4}')
  [ -n "$box" ] && break
  unasked=$(xwininfo -name "Glimmerbyte (GJ07) Tumbler" 2>/dev/null | awk '/Window id:/{print $4}')
  [ -n "$unasked" ] && break
  sleep 1
done
if [ -z "$box" ] && kill -0 "$game" 2>/dev/null; then
  if [ -n "$unasked" ]; then
    e2e_fail "the game window came up without the start question (see $out/run-game.log)"
  else
    e2e_fail "no start question within 20 minutes (see $out/run-game.log)"
  fi
  tail -n 20 "$out/run-game.log"
elif [ -n "$box" ]; then
  e2e_log "start question after $(($(date +%s) - t0)) s"
  E2E_NAME=clean-root
  e2e_answer NO
  if win=$(e2e_wait_window "Glimmerbyte (GJ07) Tumbler" 60); then
    sleep 3
    e2e_shot "$win" "$out/title.png"
    e2e_fb_dump "$out/title.png" 0 0 3 "$out/title.fb"
    e2e_expect_fb_pixel "$out/title.fb" 23 101 "60 60 60" "title shown"
    e2e_key "$win" Escape
  else
    e2e_fail "no game window"
  fi
  e2e_wait_exit "$game" 60
  e2e_expect "run-game.sh exit code" "$E2E_CODE" -eq 0
else
  wait "$game"
  e2e_fail "run-game.sh ended with code $? before its question (see $out/run-game.log)"
  tail -n 20 "$out/run-game.log"
fi
game_seconds=$(($(date +%s) - t0))
e2e_cleanup
unset DISPLAY

# 2. Every test.
e2e_log "== bash scripts/test.sh"
t0=$(date +%s)
in_root "bash scripts/test.sh" >"$out/test.log" 2>&1
code=$?
test_seconds=$(($(date +%s) - t0))
grep -E "tests passed|tests failed|^FAIL|^== " "$out/test.log" | tail -n 20
e2e_expect "test.sh exit code" "$code" -eq 0

e2e_log "run-game.sh: ${game_seconds} s, test.sh: ${test_seconds} s, $E2E_FAILS failure(s); logs in $out"
[ "$E2E_FAILS" -eq 0 ]
