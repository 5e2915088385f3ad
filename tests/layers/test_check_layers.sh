#!/usr/bin/env bash
# scripts/check_layers.sh against a copy of the tree with an include planted
# that points up: written from the source root, beside the file with "../",
# and through a folder and "..". Each must fail the check; the tree as it is
# must pass it.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for dir in base platform skin colour history sampling library windows app; do
    cp -r "$root/$dir" "$scratch/"
done
bash "$root/scripts/check_layers.sh" "$scratch" >/dev/null
for include in '"app/mainRGB.h"' '"../app/mainRGB.h"' '"./../app/mainRGB.h"' \
               '"base/../app/mainRGB.h"' '<base/../app/mainRGB.h>'; do
    cp "$root/base/Rounding.h" "$scratch/base/Rounding.h"
    sed -i "1a #include $include" "$scratch/base/Rounding.h"
    if out=$(bash "$root/scripts/check_layers.sh" "$scratch"); then
        echo "not caught: #include $include in base/"
        exit 1
    fi
    grep -q '^base/Rounding.h:2: base/ may not include from app/$' <<<"$out" || {
        echo "wrong report for #include $include: $out"
        exit 1
    }
done
echo "every planted upward include was caught"
