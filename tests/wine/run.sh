#!/usr/bin/env bash
# Runs every Windows end-to-end test (tests/wine/test_*.sh) under Wine
# against the packages in DIST (default: dist/), each in a Wine prefix of
# its own copied from one that is initialised here once, and on an Xvfb of
# its own. Prints each test's result and time; fails when any fails.
#   tests/wine/run.sh [DIST] [TEST_NAME...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dist=$(cd "${1:-$here/../../dist}" && pwd)
shift || true
tests=("$@")
if [ ${#tests[@]} -eq 0 ]; then
  for t in "$here"/test_*.sh; do tests+=("$(basename "$t" .sh)"); done
fi

tmp=$(mktemp -d /tmp/tintpick-wine.XXXXXX)
cleanup() {
  [ -d "$tmp/template" ] && WINEPREFIX=$tmp/template wineserver -k 2>/dev/null || true
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT

# The template prefix, made on a display of its own (wineboot opens
# windows) and left once its wineserver has ended.
start=$SECONDS
exec 3>"$tmp/display"
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp -noreset >"$tmp/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -s "$tmp/display" ] && break; sleep 0.1; done
source "$here/prefix.sh"
(export DISPLAY=":$(head -n1 "$tmp/display")" WINEPREFIX=$tmp/template
  wine_init_prefix "$tmp/wineboot.log")
kill "$xvfb"; xvfb=
echo "Wine prefix ready in $((SECONDS - start)) s ($(wine --version 2>/dev/null))"

failed=()
for t in "${tests[@]}"; do
  t0=$SECONDS
  if WINE_TEMPLATE=$tmp/template bash "$here/$t.sh" "$dist" >"$tmp/$t.log" 2>&1; then
    echo "PASS $t ($((SECONDS - t0)) s)"
  else
    echo "FAIL $t ($((SECONDS - t0)) s):"
    sed 's/^/    /' "$tmp/$t.log"
    failed+=("$t")
  fi
done
echo "${#tests[@]} Windows end-to-end tests, ${#failed[@]} failed, $((SECONDS - start)) s"
[ ${#failed[@]} -eq 0 ]
