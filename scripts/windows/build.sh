#!/usr/bin/env bash
# Cross-builds the Windows program (x86_64, static: one tintpick.exe, no DLLs
# beside it) with warnings as errors, from the Qt-for-Windows toolchain
# archive. Extra arguments are further targets to build (the tests use this);
# `build.sh --toolchain` only says where the toolchain would come from, and
# fails where there is none.
#
#   TINTPICK_WIN_TOOLCHAIN  the toolchain archive (default: the shared one
#                           beside the checkout, ../shared/toolchains/)
#   TINTPICK_WIN_BUILD      build folder (default: build-win/b)
#   TINTPICK_WIN_CACHE      where the archive is unpacked once (~/.cache/tintpick)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
name=tintpick-windows-toolchain-qt6.4.2
build=${TINTPICK_WIN_BUILD:-$root/build-win/b}
cache=${TINTPICK_WIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tintpick}
start=$(date +%s)

archive=${TINTPICK_WIN_TOOLCHAIN:-}
recipe=
if [ -z "$archive" ]; then
  # A worktree sits one level deeper than the main checkout.
  for shared in "$root/../shared/toolchains" "$root/../../shared/toolchains"; do
    if [ -f "$shared/$name.tar.xz" ]; then archive=$shared/$name.tar.xz; break; fi
    if [ -z "$recipe" ] && [ -f "$shared/build-windows-toolchain.sh" ]; then
      recipe=$shared/build-windows-toolchain.sh
    fi
  done
fi
if [ "${1:-}" = --toolchain ]; then
  [ -n "$archive$recipe" ] || exit 1
  if [ -n "$archive" ]; then echo "$archive"; else echo "to be built with $recipe"; fi
  exit 0
fi
if [ -z "$archive" ]; then
  if [ -z "$recipe" ]; then
    echo "build.sh: no toolchain archive ($name.tar.xz in ../shared/toolchains/ or" \
      "TINTPICK_WIN_TOOLCHAIN) and no recipe to build one" >&2
    exit 1
  fi
  archive=$cache/$name.tar.xz
  if [ ! -f "$archive" ]; then
    echo "build.sh: no toolchain archive; building Qt for Windows from Debian's source with" \
      "$recipe (slow: 30 minutes or more on two cores)" >&2
    mkdir -p "$cache"
    bash "$recipe" "$cache/toolchain-work" "$archive"
  fi
fi
[ -f "$archive" ] || { echo "build.sh: $archive does not exist" >&2; exit 1; }

# Unpacked once per archive: the stamp remembers which one.
tree=$cache/$name
stamp="$(stat -c '%s %Y' "$archive") $(readlink -f "$archive")"
if [ ! -f "$tree/.unpacked" ] || [ "$(cat "$tree/.unpacked")" != "$stamp" ]; then
  rm -rf "$tree" "$tree.tmp"
  mkdir -p "$tree.tmp"
  tar -xJf "$archive" -C "$tree.tmp"
  mv "$tree.tmp/tintpick-windows-toolchain" "$tree"
  rmdir "$tree.tmp"
  echo "$stamp" > "$tree/.unpacked"
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$tree/qt/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DTINTPICK_WERROR=ON "${launcher[@]}" >/dev/null
cmake --build "$build" -j"${TINTPICK_JOBS:-2}" --target tintpick "$@"

exe=$build/tintpick.exe
# One file: the program may need nothing but the DLLs every Windows has.
system_dlls='^(kernel32|user32|gdi32|shell32|ole32|oleaut32|advapi32|comdlg32|imm32|winmm|ws2_32|uxtheme|dwmapi|shlwapi|version|netapi32|userenv|winspool\.drv|setupapi|wtsapi32|crypt32|iphlpapi|dnsapi|mpr|authz|secur32|bcrypt|rpcrt4|d3d9|d3d11|dxgi|dwrite|msvcrt|ucrtbase|api-ms-win-.*|shcore|comctl32)(\.dll)?$'
bad=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' |
  grep -Ev "$system_dlls" || true)
if [ -n "$bad" ]; then
  echo "build.sh: tintpick.exe needs DLLs that Windows does not bring: $bad" >&2
  exit 1
fi
echo "built $exe ($(du -h "$exe" | cut -f1)) in $(( ($(date +%s) - start) / 60 )) min $(( ($(date +%s) - start) % 60 )) s"
