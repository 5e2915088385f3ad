#!/usr/bin/env bash
# Builds the Windows benchmark bench/pick_move_win (scripts/windows/build.sh)
# and runs it under Wine on a private Xvfb, in a Wine prefix of its own,
# over a desktop of changing colours:
#   bench/run_pick_move_win.sh [MOVES]
# The figures are Wine's: its GDI reads the X server's screen.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TINTPICK_WIN_BUILD:-$root/build-win/b}
bash "$root/scripts/windows/build.sh" pick_move_win >/dev/null
tmp=$(mktemp -d)
export WINEPREFIX=$tmp/prefix WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
exec 3>"$tmp/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset >"$tmp/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -s "$tmp/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$tmp/display")"
# Every move of the walk lands on another colour.
convert -size 1280x1024 gradient:'#ff0000-#0000ff' -swirl 200 "$tmp/desk.png"
# (display ends with status 1 even when it has set the background)
display -window root "$tmp/desk.png" || true
wineboot -i >/dev/null 2>&1
wineserver -w
wine "$build/bench/pick_move_win.exe" "${1:-2000}"
