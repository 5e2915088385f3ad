#!/usr/bin/env bash
# Fails when a source file includes from a layer above its own, or from
# another folder of its own level. The order, low to high (README, "Layers"):
#   base < platform < skin < colour < history < sampling, library, windows < app
# Tests, benchmarks and fuzz targets stand outside the layers and may include
# anything.
set -euo pipefail
cd "$(dirname "$0")/.."
declare -A level=([base]=0 [platform]=1 [skin]=2 [colour]=3 [history]=4
                  [sampling]=5 [library]=5 [windows]=5 [app]=6)
bad=0
for dir in "${!level[@]}"; do
    [ -d "$dir" ] || continue
    while IFS= read -r hit; do
        file=${hit%%:*}
        rest=${hit#*:}
        line=${rest%%:*}
        target=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"${rest#*:}")
        [ -n "${level[$target]+x}" ] || continue
        [ "$target" = "$dir" ] && continue
        if (( level[$target] >= level[$dir] )); then
            echo "$file:$line: $dir/ may not include from $target/"
            bad=1
        fi
    done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[^/"]+/' "$dir" \
                 --include='*.h' --include='*.cpp' || true)
done
if (( bad )); then
    echo "layer check failed: move the code down, or hand the lower layer what it needs"
    exit 1
fi
echo "layer check: every include points down"
