#!/usr/bin/env bash
# Builds the Debian package, tintpick_<version>_<arch>.deb, into the folder
# given (default: dist/ in the project). It reuses the build folder of
# scripts/test.sh, so after the tests only the packaging is left to do.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TINTPICK_BUILD:-$root/build}
out=$(mkdir -p "${1:-$root/dist}" && cd "${1:-$root/dist}" && pwd)
bash "$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --target tintpick
(cd "$build" && cpack -G DEB -B "$out/.cpack")
mv "$out"/.cpack/tintpick_*.deb "$out"/
rm -rf "$out/.cpack"
ls "$out"/tintpick_*.deb
