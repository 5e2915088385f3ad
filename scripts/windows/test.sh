#!/usr/bin/env bash
# Builds the Windows program and its unit and widget tests (build.sh), then
# runs each test program under Wine on an Xvfb display of its own, started
# with -noreset so that Wine's connections coming and going never reset it.
# Each test program gets a fresh WINEPREFIX, and only that prefix's
# wineserver is ever stopped. The widget tests use Qt's windows platform
# (the static Qt has no offscreen one). Exits non-zero on any failure and
# says how many minutes the stage took.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${TINTPICK_WIN_BUILD:-$root/build-win/b}
start=$(date +%s)
minutes() { echo "$(( ($(date +%s) - start) / 60 )) min $(( ($(date +%s) - start) % 60 )) s"; }

TINTPICK_WIN_BUILD=$build bash "$root/scripts/windows/build.sh" tintpick_core_tests tintpick_ui_tests

for tool in wine wineboot wineserver Xvfb; do
  command -v "$tool" >/dev/null || { echo "test.sh: $tool is missing (scripts/deps.sh --windows)" >&2; exit 1; }
done

scratch=$(mktemp -d /tmp/tintpick-wintest.XXXXXX)
xvfb_pid=
cleanup() {
  for prefix in "$scratch"/prefix-*; do
    [ -d "$prefix" ] && WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  done
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

# A display number nobody uses.
display=
for n in $(seq 90 140); do
  if [ ! -e /tmp/.X11-unix/X$n ] && [ ! -e /tmp/.X$n-lock ]; then display=$n; break; fi
done
[ -n "$display" ] || { echo "test.sh: no free X display number" >&2; exit 1; }
Xvfb ":$display" -noreset -screen 0 1280x1024x24 -nolisten tcp >"$scratch/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -e /tmp/.X11-unix/X$display ] && break; sleep 0.1; done
[ -e /tmp/.X11-unix/X$display ] || { echo "test.sh: Xvfb did not start" >&2; cat "$scratch/xvfb.log" >&2; exit 1; }
export DISPLAY=:$display
# No debug chatter; no offer to install Wine's Mono or Gecko (a dialog
# nobody would answer).
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

failed=0
summary=()
run() { # name program [arguments...]
  local name=$1 program=$2
  shift 2
  local prefix=$scratch/prefix-$name
  local log=$scratch/$name.log
  mkdir -p "$prefix"
  WINEPREFIX=$prefix wineboot -i >/dev/null 2>&1
  # A crash is reported in the log (winedbg's backtrace) and ends the
  # program, instead of Wine's "Program Error" box waiting for a click.
  WINEPREFIX=$prefix wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
    /t REG_DWORD /d 0 /f >/dev/null 2>&1
  echo "== $name (WINEPREFIX $prefix)"
  local rc=0
  WINEPREFIX=$prefix QT_QPA_PLATFORM=windows timeout "${TINTPICK_WIN_TEST_TIMEOUT:-900}" \
    wine "$program" "$@" >"$log" 2>&1 || rc=$?
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  local passed failed_here
  passed=$(sed -n 's/.*\[  PASSED  \] \([0-9]*\) test.*/\1/p' "$log" | tail -1)
  failed_here=$(grep -c '^\[  FAILED  \] [A-Za-z].* ms)' "$log" || true)
  if [ "$rc" -ne 0 ]; then
    failed=1
    grep -E '^\[  FAILED  \]|Failure|error|Unhandled' "$log" | head -50 || true
    [ "$rc" -eq 124 ] && echo "$name: stopped after ${TINTPICK_WIN_TEST_TIMEOUT:-900} s" && tail -20 "$log"
    summary+=("$name: FAILED (exit $rc; ${passed:-0} passed, $failed_here failed)")
  else
    summary+=("$name: ${passed:-0} passed")
  fi
}

run unit "$build/tests/tintpick_core_tests.exe"
run widget "$build/tests/tintpick_ui_tests.exe"

printf '%s\n' "${summary[@]}"
echo "Windows unit and widget tests under Wine: $(minutes)"
exit "$failed"
