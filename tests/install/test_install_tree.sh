#!/usr/bin/env bash
# The install target: what a desktop looks for is where it looks, the entry
# starts the installed program with an icon of every size (and picks with
# its Pick action), and the desktop entry and the AppStream metainfo pass
# their validators.
set -euo pipefail
build=${1:?usage: test_install_tree.sh BUILD_DIR}
tmp=$(mktemp -d /tmp/tintpick-install.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$tmp/root" cmake --install "$build" --prefix /usr >"$tmp/install.log"
usr="$tmp/root/usr"
shopt -s nullglob
entries=("$usr"/share/applications/*.desktop)
[ ${#entries[@]} = 1 ] || fail "expected one desktop entry, found ${#entries[@]}"
entry=${entries[0]}
id=$(basename "$entry" .desktop)
desktop-file-validate "$entry" || fail "desktop-file-validate"
appstreamcli validate --no-net --pedantic "$usr/share/metainfo/$id.metainfo.xml" ||
  fail "appstreamcli validate"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" \
  "$usr/share/metainfo/$id.metainfo.xml" || fail "the metainfo does not launch $id.desktop"

program=$(sed -n '1,/^\[Desktop Action/s/^Exec=\([^ ]*\).*/\1/p' "$entry")
[ -x "$usr/bin/$program" ] || fail "Exec=$program is not an installed program"
# The action a desktop's keyboard settings bind to a key on Wayland.
grep -qx 'Actions=Pick;' "$entry" || fail "the entry lists no Pick action"
[ "$(sed -n '/^\[Desktop Action Pick\]/,$s/^Exec=//p' "$entry")" = "$program --pick" ] ||
  fail "the Pick action does not run $program --pick"
icon=$(sed -n 's/^Icon=//p' "$entry")
for size in 16 32 48 128 256; do
  png="$usr/share/icons/hicolor/${size}x${size}/apps/$icon.png"
  [ -f "$png" ] || fail "no ${size} px icon"
  [ "$(identify -format '%wx%h' "$png")" = "${size}x${size}" ] || fail "$png is not ${size} px"
done
[ -f "$usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon"

# The manual page, in the place and form man looks for, renders without
# warnings and says every option; the package says its licence.
page="$usr/share/man/man1/$program.1.gz"
[ -f "$page" ] || fail "no manual page at ${page#"$tmp/root"}"
warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >"$tmp/page.txt") || fail "man failed on the page"
[ -z "$warnings" ] || fail "the manual page has warnings: $warnings"
for section in OPTIONS FILES ENVIRONMENT "EXIT STATUS"; do
  grep -q "^$section" "$tmp/page.txt" || fail "the manual page has no $section"
done
for opt in --pick --export-library --import-library --library --create-library --new-instance \
  --help --version; do
  grep -q -- "$opt" "$tmp/page.txt" || fail "the manual page does not say $opt"
done
copyright="$usr/share/doc/$program/copyright"
[ -f "$copyright" ] || fail "no ${copyright#"$tmp/root"}"
grep -q '^License: GPL-3.0-or-later$' "$copyright" || fail "the copyright file names no licence"
echo "PASS"
