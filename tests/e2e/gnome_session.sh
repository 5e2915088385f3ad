#!/usr/bin/env bash
# Runs inside test_gnome.sh's own D-Bus session, as an ordinary user: starts
# a headless GNOME Shell on a solid #204080 desktop with the desktop portal
# (GNOME back end) and drives the program through the shell's own input and
# inspection (org.gnome.Shell.Eval). Every step fails loudly.
set -euo pipefail
cd "$HOME"
source "$HOME/desktop_lib.sh"
fail() {
  echo "FAIL: $*" >&2
  gnome-screenshot -f "$HOME/fail.png" 2>/dev/null || true
  eval_js 'global.get_window_actors().map(a => [a.meta_window.get_title(),
    a.meta_window.get_frame_rect().x, a.meta_window.get_frame_rect().y])' >windows.log 2>&1 || true
  exit 1
}
mkdir -p -m 700 "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME"
W=1280; H=1024; BG=204080

# gnome-shell dies in its login-manager code without a system bus: a
# private one, empty.
dbus-daemon --session --fork --address="unix:path=$XDG_RUNTIME_DIR/system_bus" \
  --print-pid=3 3>system_bus.pid
PIDS+=($(cat system_bus.pid))
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/system_bus"

# org.gnome.Shell.Eval answers only in unsafe mode, which an extension
# switches on.
ext="$HOME/.local/share/gnome-shell/extensions/unsafe@tintpick.test"
mkdir -p "$ext"
echo '{"uuid": "unsafe@tintpick.test", "name": "unsafe mode", "description": "e2e",
  "shell-version": ["43", "44"]}' >"$ext/metadata.json"
echo 'function init() {
  return { enable() { global.context.unsafe_mode = true; }, disable() {} };
}' >"$ext/extension.js"
gsettings set org.gnome.shell enabled-extensions "['unsafe@tintpick.test']"
for kv in "picture-uri ''" "picture-uri-dark ''" "picture-options 'none'" \
  "color-shading-type 'solid'" "primary-color '#$BG'"; do
  eval gsettings set org.gnome.desktop.background "$kv"
done
# The shell's first banner ("Screen Lock disabled") would lie over the
# desktop while the first checks run.
gsettings set org.gnome.desktop.notifications show-banners false
export XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=wayland-tintpick
gnome-shell --headless --wayland --no-x11 --virtual-monitor ${W}x${H} \
  --wayland-display "$WAYLAND_DISPLAY" >shell.log 2>&1 &
PIDS+=($!)

# Evaluates JavaScript in the shell; prints its JSON value. gdbus takes
# backslashes in its arguments as escapes: the code has none.
eval_js() {
  local out
  out=$(gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell \
    --method org.gnome.Shell.Eval "$1" 2>&1) || return 1
  case $out in
    "(true, '"*) out=${out#"(true, '"}; echo "${out%"')"}" ;;
    *) echo "$out" >&2; return 1 ;;
  esac
}
for _ in $(seq 300); do [ "$(eval_js 1 2>/dev/null)" = 1 ] && break; sleep 0.1; done
[ "$(eval_js 1)" = 1 ] || fail "gnome-shell did not start (or Eval stays locked)"
# The portal and its GNOME back end are started by the bus: they must see
# the compositor.
dbus-update-activation-environment WAYLAND_DISPLAY XDG_CURRENT_DESKTOP XDG_SESSION_TYPE
# The portal is started here, not by the bus, so that its complaints can
# be read: it says when it gave up on a permission dialog.
/usr/libexec/xdg-desktop-portal --verbose >portal.log 2>&1 &
PIDS+=($!)
# The shell starts in the overview. The seat of a headless shell has no
# devices: a virtual pointer and keyboard (without a keyboard the clipboard
# stays empty).
eval_js 'Main.overview.hide();
  const C = imports.gi.Clutter, seat = C.get_default_backend().get_default_seat();
  global._tpPointer = seat.create_virtual_device(C.InputDeviceType.POINTER_DEVICE);
  global._tpKeys = seat.create_virtual_device(C.InputDeviceType.KEYBOARD_DEVICE); 0' >/dev/null
# Waited for without a call to it, which would have the bus start a second.
portal_up() {
  gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
    --method org.freedesktop.DBus.NameHasOwner org.freedesktop.portal.Desktop 2>/dev/null |
    grep -q true
}
for _ in $(seq 100); do portal_up && break; sleep 0.1; done
portal_up || fail "xdg-desktop-portal did not start"

T='imports.gi.GLib.get_monotonic_time()'
ptr_move() { eval_js "global._tpPointer.notify_absolute_motion($T, $1, $2); 0" >/dev/null; }
# Clutter's button numbers: 1 left, 3 right.
ptr_button() {
  eval_js "global._tpPointer.notify_button($T, ${2:-1},
    imports.gi.Clutter.ButtonState.$1); 0" >/dev/null
}
# Moves the pointer and waits until the shell has it there (the seat takes
# a new device's first events late).
ptr_to() {
  for _ in $(seq 50); do
    ptr_move "$1" "$2"
    [ "$(eval_js 'global.get_pointer().slice(0, 2).join(" ")' | tr -d '"')" = "$1 $2" ] && return 0
    sleep 0.1
  done
  fail "the pointer does not reach ($1, $2)"
}
# The pointer glides in from beside the target, as a hand's would, so that
# the window under it has seen it enter and move before the press.
click() {
  local d
  for d in 40 30 20 10 5 1; do ptr_move $(($1 - d)) "$2"; sleep 0.03; done
  ptr_to "$1" "$2"; sleep 0.15
  ptr_button PRESSED "${3:-}"; sleep 0.05; ptr_button RELEASED "${3:-}"
}
# usage: key KEYVAL [MODIFIER_KEYVAL]
key() {
  local k='imports.gi.Clutter.KeyState'
  eval_js "const K = global._tpKeys, m = ${2:-0};
    if (m) K.notify_keyval($T, m, $k.PRESSED);
    K.notify_keyval($T, $1, $k.PRESSED); K.notify_keyval($T, $1, $k.RELEASED);
    if (m) K.notify_keyval($T, m, $k.RELEASED); 0" >/dev/null
}
KEY_ESCAPE=0xff1b

# Prints "x y" of the first window whose title matches $1 (a JS regex);
# $2 = fullscreen to want a full-screen one.
window_at() {
  eval_js "const w = global.get_window_actors().map(a => a.meta_window)
      .find(w => /$1/.test(w.get_title() || '') && ('${2:-}' === '' || w.is_fullscreen()));
    w ? w.get_frame_rect().x + ' ' + w.get_frame_rect().y : ''" | tr -d '"'
}
# Pixel ($1, $2) of the screen as RRGGBB, through the shell's own screenshot.
screen_pixel() {
  gdbus call --session --dest org.gnome.Shell.Screenshot --object-path /org/gnome/Shell/Screenshot \
    --method org.gnome.Shell.Screenshot.ScreenshotArea "$1" "$2" 1 1 false "$HOME/px.png" >/dev/null
  convert px.png -format '%[hex:u.p{0,0}]' info: | cut -c1-6
}
# Waits (up to 5 s) until the clipboard holds text matching $1; fails with $2.
wait_clipboard() {
  local got=
  for _ in $(seq 50); do
    got=$(wl-paste -n 2>/dev/null || true)
    [[ $got =~ $1 ]] && return 0
    sleep 0.1
  done
  fail "$2: the clipboard holds '$got'"
}
store() { # PermissionStore method and its arguments
  gdbus call --session --dest org.freedesktop.impl.portal.PermissionStore \
    --object-path /org/freedesktop/impl/portal/PermissionStore \
    --method "org.freedesktop.impl.portal.PermissionStore.$1" "${@:2}"
}
# Prints the first accessible name on the desktop that holds $1 (a program
# started with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 shows its texts there).
cat >find_text.js <<'JS'
const Atspi = imports.gi.Atspi;
Atspi.init();
let found = '';
function walk(a, depth) {
  if (!a || depth > 14 || found) return;
  let name = '', count = 0;
  try { name = a.get_name() || ''; count = a.get_child_count(); } catch (e) { return; }
  if (name.includes(ARGV[0])) { found = name; return; }
  for (let i = 0; i < count && !found; i++) walk(a.get_child_at_index(i), depth + 1);
}
walk(Atspi.get_desktop(0), 0);
print(found);
JS
find_text() { gjs find_text.js "$1" 2>/dev/null; }
# The button labelled $1 in one of the shell's own dialogs, as "x y".
shell_button() {
  eval_js "function f(a) { if (a instanceof imports.gi.St.Button && a.visible &&
      a.label === '$1') return a; for (const c of a.get_children()) { const r = f(c);
      if (r) return r; } return null; }
    const b = f(global.stage); if (!b) ''; else { const [x, y] = b.get_transformed_position();
      const [w, h] = b.get_transformed_size(); Math.round(x + w / 2) + ' ' + Math.round(y + h / 2); }" |
    tr -d '"'
}

ptr_to 5 5
# Until the shell has finished starting and the overview has gone, clicks
# go to the shell itself.
for _ in $(seq 100); do
  [ "$(eval_js '!Main.layoutManager._startingUp && !Main.overview.visible && Main.modalCount === 0')" = true ] &&
    break
  sleep 0.1
done
APP=$HOME/app
if [ -n "${E2E_GNOME_BENCH:-}" ]; then
  store SetPermission screenshot true screenshot "" "['yes']" >/dev/null
  (cd "$APP" && QT_QPA_PLATFORM=wayland "$HOME/$(basename "$E2E_GNOME_BENCH")" \
    "${E2E_GNOME_ROUNDS:-15}" gnome-screenshot -f)
  exit
fi
start_app() { # $1 = log; the environment's QT_LINUX_ACCESSIBILITY_ALWAYS_ON
  (cd "$APP" && QT_QPA_PLATFORM=wayland exec ./tintpick) >"$HOME/$1" 2>&1 &
  APP_PID=$!
  PIDS+=($APP_PID)
  wait_window '^Tintpick V1\.2\.0$' >/dev/null
  # Mapped and given the keyboard, as mutter does with a new window.
  for _ in $(seq 100); do
    [ "$(eval_js 'global.display.focus_window && global.display.focus_window.get_title()')" = \
      '"Tintpick V1.2.0"' ] && break
    sleep 0.1
  done
  # Let the window settle where mutter put it.
  sleep 0.5
  read -r MX MY < <(window_at '^Tintpick V1\.2\.0$')
}
copy_expect() {
  wl-copy --clear
  click $(copy_button)
  wait_clipboard "^$1\$" "$2"
}

store SetPermission screenshot true screenshot "" "['yes']" >/dev/null

echo "== $(date +%T) the native click pick"
start_app app-pick.log
# Early in a new mutter a window gets the pointer's entry and then, for some
# seconds, none of the motions and presses after it, until the pointer has
# left and come back: the first click is given that time.
for _ in $(seq 8); do
  [ -n "$(window_at '^取色$' fullscreen)" ] && break
  click $(swatch)
  for _ in $(seq 50); do [ -n "$(window_at '^取色$' fullscreen)" ] && break 2; sleep 0.1; done
  ptr_to 1000 900; sleep 1
done
wait_window '^取色$' fullscreen >/dev/null
# Over the frozen copy of the main window's caption the loupe shows the
# colour under the pointer and its code, live; then the pick on the desktop.
ptr_move $((MX + 60)) $((MY + 8)); sleep 0.2; ptr_move $((MX + 61)) $((MY + 8)); sleep 0.3
caption=$(screen_pixel $((MX + 61)) $((MY + 8)))
[ "$caption" != $BG ] || fail "the caption has the desktop's colour"
# The loupe's colour strip sits below its magnified pixels, set off from
# the pointer (24 px) and framed (2 px); its left edge shows the colour.
wait_pixel $((MX + 61 + 24 + 3)) $((MY + 8 + 24 + 2 + 96 + 11)) "$caption" "the loupe's live colour"
ptr_move 900 700; sleep 0.3; ptr_move 901 700; sleep 0.3
ptr_button PRESSED; ptr_button RELEASED
wait_gone '^取色$'
wait_pixel $(first_cell) $BG "the first history cell after the pick"
copy_expect $BG "copy after the pick"

echo "== $(date +%T) Esc cancels"
click $(swatch)
wait_window '^取色$' fullscreen >/dev/null
ptr_move $((MX + 60)) $((MY + 8)); sleep 0.3; ptr_move $((MX + 61)) $((MY + 8)); sleep 0.5
key $KEY_ESCAPE
wait_gone '^取色$'
copy_expect $BG "after Esc the code"
stop_app
[ "$(history_of "$APP/HisColors.dat")" = "01${BG,,}" ] ||
  fail "history holds $(history_of "$APP/HisColors.dat"), expected one push of $BG"

echo "== $(date +%T) the measuring window"
rm -f "$APP/HisColors.dat"
start_app app-ruler.log
click $(ruler_button)
wait_window '^测距$' fullscreen >/dev/null
sleep 0.5
ptr_move 600 500; sleep 0.2; ptr_button PRESSED
for x in 650 700 750 800; do ptr_move $x 500; sleep 0.1; done
ptr_button RELEASED
wait_pixel 700 500 DFBF7F "the line over the desktop, drawn in its inverse"
# Where the main window stood, the frozen picture shows the desktop.
read -r sx sy < <(swatch)
[ "$(screen_pixel "$sx" "$sy")" = $BG ] || fail "the main window is in the frozen picture"
[ "$(screen_pixel 700 700)" = $BG ] || fail "the frozen picture does not show the desktop"
key $KEY_ESCAPE
wait_gone '^测距$'
stop_app

echo "== $(date +%T) screenshots refused: the desktop's own colour picker"
rm -f "$APP/HisColors.dat"
store SetPermission screenshot true screenshot "" "['no']" >/dev/null
start_app app-refused.log
click $(swatch)
# The shell's picker holds the pointer until a click.
for _ in $(seq 100); do [ "$(eval_js Main.modalCount)" -gt 0 ] && break; sleep 0.1; done
[ "$(eval_js Main.modalCount)" -gt 0 ] || fail "the shell's colour picker did not start"
ptr_move 900 700; sleep 0.3; ptr_move 901 700; sleep 0.3
ptr_button PRESSED; ptr_button RELEASED
wait_pixel $(first_cell) $BG "the first history cell after the desktop's picker"
stop_app
[ "$(history_of "$APP/HisColors.dat")" = "01${BG,,}" ] ||
  fail "the desktop's picker pushed $(history_of "$APP/HisColors.dat"), expected $BG"

echo "== $(date +%T) no permission stored: the desktop asks, nobody answers"
store DeletePermission screenshot screenshot "" >/dev/null
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 start_app app-asked.log
click $(swatch)
for _ in $(seq 100); do [ -n "$(shell_button Allow)" ] && break; sleep 0.1; done
[ -n "$(shell_button Allow)" ] || fail "GNOME did not ask for the screenshot permission"
# The portal gives up on its dialog after the 25 s of a D-Bus call and
# leaves the request unanswered (a later portal answers 2 instead, and the
# program says so at once).
for _ in $(seq 400); do
  grep -q "Failed to show access dialog" portal.log && break
  [ -n "$(window_at '^Tintpick *$')" ] && break
  sleep 0.1
done
if [ -z "$(window_at '^Tintpick *$')" ]; then
  # A late answer reaches nobody and is not kept; the dialog closes.
  click $(shell_button Allow)
fi
wait_window '^Tintpick *$' >/dev/null
said=
for _ in $(seq 50); do
  said=$(find_text "截屏")
  [ -n "$said" ] && break
  sleep 0.1
done
[[ $said == 桌面正在询问是否允许本程序截屏* ]] || fail "the message when nobody answered: '$said'"
[[ $said == *"PermissionStore.SetPermission screenshot true screenshot"* ]] ||
  fail "the message names no way to grant the permission: '$said'"
store Lookup screenshot screenshot 2>/dev/null | grep -q "''" && fail "an unanswered dialog left a permission"
stop_app
echo "all GNOME checks passed"
