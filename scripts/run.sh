#!/usr/bin/env bash
# Builds the program and starts it from the build folder, where the build
# placed the colour store and the reference page beside it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TINTPICK_BUILD:-$root/build}
bash "$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --target tintpick empty_store
cd "$build"
exec ./tintpick
