#!/usr/bin/env bash
# The pick shortcut on X11: with the program running and another program's
# window focused, Ctrl+Alt+C opens the frozen desktop with the loupe; a
# click picks the painted colour into the history and copies it in the
# chosen format; with Num Lock on the keys still work and Esc cancels. A
# second instance finds the keys held and says so.
source "$(dirname "$0")/lib.sh"
e2e_setup 1024x768
export XDG_CONFIG_HOME="$E2E_TMP/config"
mkdir -p "$XDG_CONFIG_HOME/tintpick"
printf '[copy]\nformat=rgb\n' >"$XDG_CONFIG_HOME/tintpick/tintpick.ini"

convert -size 200x150 xc:'#336699' "$E2E_TMP/paint.png"
display -geometry +300+300 "$E2E_TMP/paint.png" >/dev/null 2>&1 &
E2E_PIDS+=($!)
paint_wid=$(e2e_wait_window "ImageMagick: paint.png")

e2e_start_app
xdotool windowfocus --sync "$paint_wid"
[ "$(xdotool getwindowfocus getwindowpid 2>/dev/null || true)" != "$E2E_APP_PID" ] ||
  fail "a window of the program has the focus"

overlay() { xdotool search --onlyvisible --name '^取色$' 2>/dev/null | head -n1 || true; }
wait_overlay() {
  local i
  for i in $(seq 100); do [ -n "$(overlay)" ] && return 0; sleep 0.1; done
  fail "$1: no pick overlay after the shortcut ($(cat "$E2E_TMP/app.log"))"
}
wait_overlay_gone() {
  local i
  for i in $(seq 100); do [ -z "$(overlay)" ] && return 0; sleep 0.1; done
  fail "$1: the pick overlay stays"
}

xdotool key ctrl+alt+c
wait_overlay "the shortcut"
xdotool mousemove --sync 400 380
sleep 0.2
xdotool click 1
e2e_wait_clipboard "rgb(51, 102, 153)" "a pick from the shortcut"
wait_overlay_gone "after the pick"

# Num Lock on: the server adds its modifier to the keys; Esc cancels.
echo -n "" | xclip -selection clipboard
xdotool key Num_Lock
xdotool windowfocus --sync "$paint_wid"
xdotool key ctrl+alt+c
wait_overlay "the shortcut with Num Lock on"
xdotool mousemove --sync 100 100
xdotool key Escape
wait_overlay_gone "after Esc"
xdotool key Num_Lock
[ -z "$(xclip -o -selection clipboard 2>/dev/null || true)" ] || fail "Esc copied something"

# Another program holding the keys: a second instance is told which ones.
(cd "$E2E_APPDIR" && exec ./tintpick --new-instance) >"$E2E_TMP/second.log" 2>&1 &
second=$!
E2E_PIDS+=($second)
for _ in $(seq 100); do grep -q "Ctrl+Alt+C 已被另一个程序占用" "$E2E_TMP/second.log" && break; sleep 0.1; done
grep -q "Ctrl+Alt+C 已被另一个程序占用" "$E2E_TMP/second.log" ||
  fail "the second instance did not say the keys are held: $(cat "$E2E_TMP/second.log")"
kill -TERM "$second"
e2e_wait_exit "$second" 15

kill -TERM "$E2E_APP_PID"
e2e_wait_exit "$E2E_APP_PID" 15
hist() { od -An -tx1 -v "$E2E_APPDIR/HisColors.dat" | tr -d ' \n' | cut -c7-8,23-28; }
[ "$(hist)" = "01336699" ] || fail "history holds $(hist), expected one push of 336699"
echo PASS
