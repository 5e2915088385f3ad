#!/usr/bin/env bash
# Fails when a source file includes from a layer above its own, or from
# another folder of its own level. The order, low to high (README, "Layers"):
#   base < platform < skin < colour < history < sampling, library, windows < app
# The build enforces the same order for includes written from the source root
# ("app/mainRGB.h"); this check also resolves the ones the compiler finds
# beside the including file ("../app/mainRGB.h") or through a folder and ".."
# ("base/../app/mainRGB.h"), which get past the build's include roots.
# Tests, benchmarks and fuzz targets stand outside the layers and may include
# anything. An argument checks another tree of the same layout.
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"
declare -A level=([base]=0 [platform]=1 [skin]=2 [colour]=3 [history]=4
                  [sampling]=5 [library]=5 [windows]=5 [app]=6)

# Folds "." and ".." out of a relative path, without looking at the disk.
normal() {
    local -a out=()
    local part
    IFS=/ read -ra parts <<<"$1"
    for part in "${parts[@]}"; do
        case $part in
        "" | .) ;;
        ..) if ((${#out[@]})) && [ "${out[-1]}" != .. ]; then unset 'out[-1]'; else out+=(..); fi ;;
        *) out+=("$part") ;;
        esac
    done
    local IFS=/
    path="${out[*]}"
}

include_re='^[[:space:]]*#[[:space:]]*include[[:space:]]*(["<])([^">]+)[">]'
bad=0
for dir in "${!level[@]}"; do
    [ -d "$dir" ] || continue
    while IFS= read -r hit; do
        file=${hit%%:*}
        rest=${hit#*:}
        line=${rest%%:*}
        [[ ${rest#*:} =~ $include_re ]] || continue
        name=${BASH_REMATCH[2]}
        # A quoted name is looked for beside the including file first.
        if [ "${BASH_REMATCH[1]}" = '"' ] && [ -e "${file%/*}/$name" ]; then
            normal "${file%/*}/$name"
        else
            normal "$name"
        fi
        target=${path%%/*}
        [ -n "${level[$target]+x}" ] || continue
        [ "$target" = "$dir" ] && continue
        if (( level[$target] >= level[$dir] )); then
            echo "$file:$line: $dir/ may not include from $target/"
            bad=1
        fi
    done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<][^">]*/' "$dir" \
                 --include='*.h' --include='*.cpp' --include='*.inc' || true)
done
if (( bad )); then
    echo "layer check failed: move the code down, or hand the lower layer what it needs"
    exit 1
fi
echo "layer check: every include points down"
