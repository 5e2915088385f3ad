#!/usr/bin/env bash
# Runs bench/pick_move under a private Xvfb: bench/run_pick_move.sh BUILD_DIR [MOVES]
set -euo pipefail
build=${1:?usage: run_pick_move.sh BUILD_DIR [MOVES]}
tmp=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$tmp"' EXIT
exec 3>"$tmp/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$tmp/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -s "$tmp/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$tmp/display")" XDG_RUNTIME_DIR="$tmp"
QT_QPA_PLATFORM=xcb "$build/bench/pick_move" "${2:-2000}"
