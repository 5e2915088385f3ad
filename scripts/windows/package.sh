#!/usr/bin/env bash
# Packs the Windows program that scripts/windows/build.sh made into
#   dist/tintpick-<version>-win64-setup.exe    (NSIS, per-user, no admin)
#   dist/tintpick-<version>-win64-portable.zip (unpack anywhere and run)
# or into the folder given as $1.
#
#   TINTPICK_WIN_BUILD  the Windows build folder (default: build-win/b)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${TINTPICK_WIN_BUILD:-$root/build-win/b}
out=$(mkdir -p "${1:-$root/dist}" && cd "${1:-$root/dist}" && pwd)
exe=$build/tintpick.exe
[ -f "$exe" ] || { echo "package.sh: no $exe (run scripts/windows/build.sh first)" >&2; exit 1; }
for tool in makensis zip convert sqlite3 x86_64-w64-mingw32-strip; do
  command -v "$tool" >/dev/null || { echo "package.sh: $tool is missing (scripts/deps.sh --windows)" >&2; exit 1; }
done
version=$(sed -n 's/^project(Tintpick VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || { echo "package.sh: no version in CMakeLists.txt" >&2; exit 1; }

stage=$(mktemp -d "$out/.stage.XXXXXX")
trap 'rm -rf "$stage"' EXIT

# What both packages carry. Text for Windows readers has CRLF line ends.
crlf() { sed 's/\r*$/\r/' "$1" >"$2"; }
x86_64-w64-mingw32-strip -o "$stage/tintpick.exe" "$exe"
cp "$root/data/ColorTable.htm" "$stage/"
crlf "$root/LICENSE" "$stage/LICENSE.txt"
cat >"$stage/README.txt.in" <<EOF
Tintpick $version for Windows (64-bit)

A desktop eyedropper: press on the pick swatch ("取色") and drag across the
screen; the colour under the cursor shows live, and on release it goes
into a 16-slot history that is kept between runs.

Installed (tintpick-$version-win64-setup.exe): the program lives in
%LOCALAPPDATA%\\Programs\\Tintpick; your history, library (store.kvd) and
settings (tintpick.ini) in %APPDATA%\\Tintpick. Uninstalling removes the
program and keeps those files.

Portable (tintpick-$version-win64-portable.zip): unpack it into a folder
you can write, and run tintpick.exe from there. The history
(HisColors.dat) and the library (store.kvd) stay beside tintpick.exe, so
the folder can travel on a USB stick.

Tintpick is free software under the GNU General Public License, version 3
or any later version: see LICENSE.txt.
EOF
crlf "$stage/README.txt.in" "$stage/README.txt"
rm "$stage/README.txt.in"

# Installer: the program's data files go beside it, the program makes the
# user's library in %APPDATA%\Tintpick from schema.sql at first start.
inst=$stage/installer
mkdir "$inst"
cp "$stage"/{tintpick.exe,ColorTable.htm,LICENSE.txt,README.txt} "$inst/"
cp "$root/data/schema.sql" "$root/data/schema-postgresql.sql" "$inst/"
icons=()
for s in 16 32; do icons+=("$root/resources/tintpick$s.png"); done
for s in 48 256; do icons+=("$root/data/icons/org.example.tintpick-$s.png"); done
convert "${icons[@]}" "$inst/tintpick.ico"
setup=$out/tintpick-$version-win64-setup.exe
rm -f "$setup"
makensis -V2 -NOCD -DVERSION="$version" -DSTAGE="$inst" -DOUTFILE="$setup" \
  "$root/installer/tintpick.nsi"

# Portable: everything at the zip's top level, with an empty library that
# the program finds in its working folder.
port=$stage/portable
mkdir "$port"
cp "$stage"/{tintpick.exe,ColorTable.htm,LICENSE.txt,README.txt} "$port/"
sqlite3 "$port/store.kvd" <"$root/data/schema.sql"
zipfile=$out/tintpick-$version-win64-portable.zip
rm -f "$zipfile"
(cd "$port" && zip -q -X -9 "$zipfile" tintpick.exe store.kvd ColorTable.htm README.txt LICENSE.txt)

ls -l "$setup" "$zipfile"
