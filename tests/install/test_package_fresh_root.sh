#!/usr/bin/env bash
# The Debian package on a fresh machine, used as a desktop menu would start
# it: from /usr/bin with the home folder as working directory. The first
# start makes the user's colour store without a word; a pick and a saved
# colour survive a restart; the reference page is the installed one; the
# desktop entry matches the program's windows; nothing is written under /usr.
#
# Runs as root inside a fresh Debian 12 root with the package in /root/in:
#     FRESH_IN=dist/tintpick_1.2.0_amd64.deb \
#       bash scripts/fresh-debian.sh 'bash tests/install/test_package_fresh_root.sh'
# Root can write /usr/bin, which makes it the case to prove.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
here=$(cd "$(dirname "$0")" && pwd)

cd /root/in
apt-get update -qq
apt-get install -y -qq ./tintpick_*.deb >/tmp/install.log 2>&1 ||
  { cat /tmp/install.log; echo "FAIL: apt-get install ./tintpick_*.deb"; exit 1; }
missing=$(ldd /usr/bin/tintpick | grep 'not found' || true)
[ -z "$missing" ] || { echo "FAIL: the package's dependencies miss: $missing"; exit 1; }
# The package says its licence and has a manual page; the version needs no
# display.
[ -f /usr/share/doc/tintpick/copyright ] || { echo "FAIL: no /usr/share/doc/tintpick/copyright"; exit 1; }
[ -f /usr/share/man/man1/tintpick.1.gz ] || { echo "FAIL: no manual page"; exit 1; }
version=$(env -u DISPLAY -u WAYLAND_DISPLAY /usr/bin/tintpick --version) ||
  { echo "FAIL: tintpick --version without a display"; exit 1; }
[ "$version" = "tintpick 1.2.0" ] || { echo "FAIL: --version printed '$version'"; exit 1; }
# The test's own tools, installed after that check so that none of them
# stands in for a missing dependency.
apt-get install -y -qq --no-install-recommends xvfb xdotool x11-utils x11-xserver-utils \
  imagemagick sqlite3 xxd >/tmp/tools.log 2>&1 || { cat /tmp/tools.log; exit 1; }
find /usr -xdev | sort >/tmp/usr-before

source "$here/../e2e/lib.sh" /usr/bin/tintpick
e2e_setup 1024x768
# What the screen showed goes out of the throwaway root with a failure.
fail() {
  cp "$E2E_TMP"/*.png "$E2E_TMP"/*.log /root/out/ 2>/dev/null || true
  echo "FAIL: $*" >&2
  exit 1
}
cd "$HOME"
USERDIR="$HOME/.local/share/tintpick"
MAIN="Tintpick V1.2.0"
SWATCH_X=323; SWATCH_Y=148; SWATCH_PX="310 136"
CELL0="21 110"                                  # the first history cell
SAVE_X=$((1 + 4 + 109 + 19)); SAVE_Y=$((1 + 24 + 2 + 108 + 12))
LOAD_X=$((1 + 4 + 154 + 19)); LOAD_Y=$SAVE_Y
PAGE_X=$((1 + 197 + 22)); PAGE_Y=$((1 + 24 + 149 + 12))
EXIT_X=321; EXIT_Y=186

start() {
  (cd "$HOME" && exec /usr/bin/tintpick) >>"$E2E_TMP/app.log" 2>&1 &
  E2E_APP_PID=$!
  E2E_PIDS+=($E2E_APP_PID)
}
shot() { e2e_shot "$E2E_TMP/$1.png"; echo "$E2E_TMP/$1.png"; }

# First start: no store in the home folder nor in the user's data folder.
# The store is made and the main window comes up with no box before it.
start
E2E_MAIN_WID=$(e2e_wait_window "$MAIN")
[ -f "$USERDIR/store.kvd" ] || fail "no store made in $USERDIR"
[ "$(sqlite3 "$USERDIR/store.kvd" 'select count(*) from Colors')" = 0 ] ||
  fail "the new store is not an empty library"
xdotool search --onlyvisible --name "^Tintpick \$" >/dev/null 2>&1 &&
  fail "the first start opened a box"
[ -f "$USERDIR/HisColors.dat" ] || fail "no history file in $USERDIR"

# The desktop entry's StartupWMClass is the class of the program's windows.
class=$(xprop -id "$E2E_MAIN_WID" WM_CLASS | sed -n 's/.*", "\(.*\)"$/\1/p')
want=$(sed -n 's/^StartupWMClass=//p' /usr/share/applications/*.desktop)
[ "$class" = "$want" ] || fail "WM_CLASS class is '$class', the desktop entry says '$want'"

# Pick the desktop's colour, save it into the library.
xsetroot -solid '#2E8B57'
xdotool mousemove --sync $SWATCH_X $SWATCH_Y mousedown 1; sleep 0.2
xdotool mousemove --sync 700 500; sleep 0.3
xdotool mouseup 1; sleep 0.3
[ "$(e2e_pixel "$(shot picked)" $SWATCH_PX)" = 2E8B57 ] || fail "the pick did not take"
e2e_click $SAVE_X $SAVE_Y
e2e_wait_window "保存颜色" >/dev/null
sleep 0.3
xdotool type --delay 20 "seagreen"
xdotool key Tab Tab Return # past the comment to the OK button
for _ in $(seq 50); do
  [ "$(sqlite3 "$USERDIR/store.kvd" 'select count(*) from Colors')" = 1 ] && break
  sleep 0.1
done
row=$(sqlite3 "$USERDIR/store.kvd" "select Name||'|'||RVal||','||GVal||','||BVal from Colors")
[ "$row" = "seagreen|46,139,87" ] || fail "stored row is '$row'"

# The reference page is the installed one: its swatches of the basic
# colours (pure red among them) show, not the note about a missing page.
e2e_click $PAGE_X $PAGE_Y
panel=$(e2e_wait_window "颜色参照表")
sleep 1
read -r px py pw ph < <(e2e_geometry "$panel")
red=$(convert "$(shot page)" -crop "${pw}x${ph}+${px}+${py}" +repage \
  -fill black +opaque '#FF0000' -fill white -opaque '#FF0000' -format '%[fx:round(mean*w*h)]' info:)
[ "$red" -gt 100 ] || fail "the reference panel shows no page ($red red pixels)"

e2e_click $EXIT_X $EXIT_Y
e2e_wait_exit "$E2E_APP_PID" 10

# Second start: no message, the pick in the history, the colour in the library.
xsetroot -solid '#FFFFFF'
start
E2E_MAIN_WID=$(e2e_wait_window "$MAIN")
xdotool search --onlyvisible --name "^Tintpick \$" >/dev/null 2>&1 &&
  fail "the second start opened a box"
sleep 0.5
s=$(shot restarted)
[ "$(e2e_pixel "$s" $CELL0)" = 2E8B57 ] || fail "the pick is not in the history"
e2e_click $LOAD_X $LOAD_Y
lib=$(e2e_wait_window "颜色库")
sleep 0.5
read -r lx ly _ _ < <(e2e_geometry "$lib")
px=$(e2e_pixel "$(shot library)" $((lx + 1 + 8 + 150)) $((ly + 25 + 32 + 25 + 10)))
[ "$px" = 2E8B57 ] || fail "the library's first row is painted $px"
xdotool key Escape
sleep 0.3
e2e_click $EXIT_X $EXIT_Y
e2e_wait_exit "$E2E_APP_PID" 10

find /usr -xdev | sort >/tmp/usr-after
new=$(comm -13 /tmp/usr-before /tmp/usr-after)
[ -z "$new" ] || fail "files appeared under /usr: $new"
echo "PASS"
