#!/usr/bin/env bash
# Runs inside test_wayland.sh's own D-Bus session, as an ordinary user:
# starts pipewire and a headless sway, grants the screenshot permission and
# drives the program. Every step fails loudly.
set -euo pipefail
cd "$HOME"
fail() {
  echo "FAIL: $*" >&2
  swaymsg -t get_tree >"$HOME/tree.log" 2>&1 || true
  exit 1
}
source "$HOME/desktop_lib.sh"
mkdir -p -m 700 "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME"

W=1280; H=1024; BG=204080
cat > sway.conf <<C
output HEADLESS-1 resolution ${W}x${H} bg #$BG solid_color
xwayland enable
default_border none
default_floating_border none
for_window [title="^Tintpick V"] floating enable, move position 0 0
C
# xdg-desktop-portal-wlr will not start without pipewire.
pipewire >pipewire.log 2>&1 &
PIDS+=($!)
WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 XDG_CURRENT_DESKTOP=sway \
  sway -c sway.conf >sway.log 2>&1 &
PIDS+=($!)
for _ in $(seq 100); do
  ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock >/dev/null 2>&1 && ls "$XDG_RUNTIME_DIR"/wayland-? >/dev/null 2>&1 && break
  sleep 0.1
done
WAYLAND_DISPLAY=$(basename "$(ls "$XDG_RUNTIME_DIR"/wayland-? | head -n1)")
SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock | head -n1)
export WAYLAND_DISPLAY SWAYSOCK XDG_CURRENT_DESKTOP=sway XDG_SESSION_TYPE=wayland
# The portal is started by the bus: it must see the compositor.
dbus-update-activation-environment WAYLAND_DISPLAY XDG_CURRENT_DESKTOP XDG_RUNTIME_DIR
# A program outside a sandbox has the empty application id.
dbus-send --session --print-reply=literal --dest=org.freedesktop.impl.portal.PermissionStore \
  /org/freedesktop/impl/portal/PermissionStore org.freedesktop.impl.portal.PermissionStore.SetPermission \
  string:screenshot boolean:true string:screenshot string:"" array:string:yes >/dev/null

# The X display sway started for XWayland.
swaymsg -q exec 'echo $DISPLAY > '"$HOME"'/xdisplay'
for _ in $(seq 50); do [ -s xdisplay ] && break; sleep 0.1; done
XDISPLAY=$(cat xdisplay)

# A keyboard that stays: without one the seat has none, and each wtype call
# adds one for a moment, so that its key can come before the program has
# bound the new keyboard (or arrive as "held at entry" and be dropped).
wtype -s 3600000 &
PIDS+=($!)
# The pointer: one virtual pointer for the whole run, fed through a pipe.
mkfifo pointer.in pointer.out
./wl_pointer $W $H <pointer.in >pointer.out 2>pointer.log &
PIDS+=($!)
exec 4>pointer.in 5<pointer.out
ptr() { echo "$*" >&4; local ok; read -r -t 10 ok <&5 || fail "pointer: no answer to '$*'"; }
click() { ptr move "$1" "$2"; sleep 0.15; ptr down "${3:-}"; ptr up "${3:-}"; }

# Prints "x y" of the first window whose title matches $1 (a jq regex);
# $2 = fullscreen to want a full-screen one.
window_at() {
  swaymsg -t get_tree | jq -r --arg t "$1" --arg fs "${2:-}" '
    [.. | objects | select((.type? == "con" or .type? == "floating_con") and (.name? // "" | test($t))
       and ($fs == "" or .fullscreen_mode == 1))] | first | if . then "\(.rect.x) \(.rect.y)" else "" end'
}
escape_closes() {
  wtype -k Escape
  wait_gone "$1"
}
# Pixel ($1, $2) of the screen as RRGGBB.
screen_pixel() {
  grim -g "$1,$2 1x1" px.png
  convert px.png -format '%[hex:u.p{0,0}]' info: | cut -c1-6
}

# "复制" on an emptied clipboard, then waits (up to 5 s) for the code $1;
# fails with $2.
copy_expect() {
  local got= i
  wl-copy --clear
  click $(copy_button)
  for i in $(seq 50); do
    got=$(wl-paste -n 2>/dev/null || true)
    [ "$got" = "$1" ] && return 0
    sleep 0.1
  done
  fail "$2: the clipboard holds '$got', expected $1"
}

APP=$HOME/app
if [ -n "${E2E_WL_BENCH:-}" ]; then
  (cd "$APP" && QT_QPA_PLATFORM=wayland "$HOME/$(basename "$E2E_WL_BENCH")" "${E2E_WL_ROUNDS:-10}")
  exit
fi
start_app() { # $1 = platform, $2 = log
  (cd "$APP" && QT_QPA_PLATFORM=$1 DISPLAY=$XDISPLAY exec ./tintpick) >"$HOME/$2" 2>&1 &
  APP_PID=$!
  PIDS+=($APP_PID)
  read -r MX MY < <(wait_window '^Tintpick V1\.2\.0$')
  # Let the window settle where sway put it.
  sleep 0.5
  read -r MX MY < <(window_at '^Tintpick V1\.2\.0$')
}
echo "== $(date +%T) native Wayland: overlay pick"
start_app wayland app-native.log
click $(swatch)
wait_window '^取色$' fullscreen >/dev/null
ptr move 900 700; sleep 0.3; ptr move 901 700; sleep 0.3
ptr down; ptr up
wait_gone '^取色$'
copy_expect $BG "copy after the overlay pick"

echo "== $(date +%T) native Wayland: Esc cancels"
click $(swatch)
wait_window '^取色$' fullscreen >/dev/null
# Over the main window's caption, whose colour is not the background.
ptr move $((MX + 60)) $((MY + 8)); sleep 0.3; ptr move $((MX + 61)) $((MY + 8)); sleep 0.5
escape_closes '^取色$'
copy_expect $BG "after Esc the code"
# sway's portal offers no GlobalShortcuts: the pick shortcut says so and
# where to bind tintpick --pick instead, once the portal has answered.
for _ in $(seq 200); do
  grep -q "GlobalShortcuts.*tintpick --pick" "$HOME/app-native.log" && break
  sleep 0.1
done
grep -q "GlobalShortcuts.*tintpick --pick" "$HOME/app-native.log" ||
  fail "the pick shortcut did not say why it cannot register: $(cat "$HOME/app-native.log")"
stop_app
[ "$(history_of "$APP/HisColors.dat")" = "01${BG,,}" ] ||
  fail "history holds $(history_of "$APP/HisColors.dat"), expected one push of $BG"

echo "== $(date +%T) native Wayland: the measuring window"
rm -f "$APP/HisColors.dat"
start_app wayland app-ruler.log
click $(ruler_button)
wait_window '^测距$' fullscreen >/dev/null
sleep 0.5
ptr move 600 500; sleep 0.2; ptr down
for x in 650 700 750 800; do ptr move $x 500; sleep 0.1; done
ptr up
wait_pixel 700 500 DFBF7F "the line over the background, drawn in its inverse"
# Where the main window stood, the frozen picture shows the background.
read -r sx sy < <(swatch)
[ "$(screen_pixel "$sx" "$sy")" = $BG ] || fail "the main window is in the frozen picture"
[ "$(screen_pixel 700 700)" = $BG ] || fail "the frozen picture does not show the background"
escape_closes '^测距$'
wait_window '^Tintpick V1\.2\.0$' >/dev/null
stop_app

echo "== $(date +%T) XWayland: a drag reads the portal's picture"
rm -f "$APP/HisColors.dat"
start_app xcb app-xwayland.log
read -r sx sy < <(swatch)
ptr move "$sx" "$sy"; sleep 0.2; ptr down; sleep 0.3
for x in 700 800 900; do ptr move $x 700; sleep 0.2; done
ptr up
# The release puts the pick into the first history cell (empty: white).
wait_pixel $(first_cell) $BG "the first history cell after the drag"
stop_app
[ "$(history_of "$APP/HisColors.dat")" = "01${BG,,}" ] ||
  fail "XWayland drag pushed $(history_of "$APP/HisColors.dat"), expected $BG"
echo "all Wayland checks passed"
