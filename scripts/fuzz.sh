#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded number
# of inputs, starting from the history fixtures and a few colour texts. Usage:
#   bash scripts/fuzz.sh [build-folder] [runs]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-fuzz}
runs=${2:-200000}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTINTPICK_FUZZ=ON -DTINTPICK_CORE_ONLY=ON -DTINTPICK_TESTS=OFF >/dev/null
cmake --build "$build" --target fuzz_history fuzz_color_text
corpus=$(mktemp -d)
texts=$(mktemp -d)
trap 'rm -rf "$corpus" "$texts"' EXIT
cp "$root"/tests/fixtures/history_*.dat "$corpus"/
"$build/fuzz/fuzz_history" -runs="$runs" -seed=1 "$corpus" 2>&1 | tail -n 3
n=0
for t in '#E63946' 'rgb(2.5, 3.4, 4.6)' 'rgb(1 2 3 / 50%)' 'hsl(32, 75%, 40%)' \
  'hsl(0.5turn 100 50)' 'oklch(0.628 0.2577 29.23)' 'color: #abc;' 'Color(0xFFE64C00)' \
  'UIColor(red: 230/255, green: 0.3, blue: 0, alpha: 1)' 'QColor(1, 2, 3)' 'rgb(1e2,0,0)'; do
  printf '%s' "$t" >"$texts/$((n += 1))"
done
"$build/fuzz/fuzz_color_text" -runs="$runs" -seed=1 "$texts" 2>&1 | tail -n 3
