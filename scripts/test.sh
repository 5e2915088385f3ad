#!/usr/bin/env bash
# Builds everything and runs every test: unit, widget (offscreen) and
# end-to-end (the real program under Xvfb).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TINTPICK_BUILD:-$root/build}
bash "$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTINTPICK_WERROR="${TINTPICK_WERROR:-OFF}"
cmake --build "$build"
cd "$build"
ctest --output-on-failure -j2
