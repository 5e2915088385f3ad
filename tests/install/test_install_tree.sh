#!/usr/bin/env bash
# The install target: what a desktop looks for is where it looks, the entry
# starts the installed program with an icon of every size, and the desktop
# entry and the AppStream metainfo pass their validators.
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

program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
[ -x "$usr/bin/$program" ] || fail "Exec=$program is not an installed program"
icon=$(sed -n 's/^Icon=//p' "$entry")
for size in 16 32 48 128 256; do
  png="$usr/share/icons/hicolor/${size}x${size}/apps/$icon.png"
  [ -f "$png" ] || fail "no ${size} px icon"
  [ "$(identify -format '%wx%h' "$png")" = "${size}x${size}" ] || fail "$png is not ${size} px"
done
[ -f "$usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon"
echo "PASS"
