#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded number
# of inputs, starting from the history fixtures. Usage:
#   bash scripts/fuzz.sh [build-folder] [runs]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-fuzz}
runs=${2:-200000}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTINTPICK_FUZZ=ON -DTINTPICK_CORE_ONLY=ON -DTINTPICK_TESTS=OFF >/dev/null
cmake --build "$build" --target fuzz_history
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp "$root"/tests/fixtures/history_*.dat "$corpus"/
"$build/fuzz/fuzz_history" -runs="$runs" -seed=1 "$corpus" 2>&1 | tail -n 3
