#!/usr/bin/env bash
# The tray icon with a real tray host (trayer): the program runs silently
# without one, its icon docks when one starts and again after the host is
# restarted; the icon's menu hides and shows the main window, a click on the
# icon brings it back, and "退出" ends the program while the window is hidden.
source "$(dirname "$0")/lib.sh"
e2e_setup 1024x768

MAIN="Tintpick V1.2.0"

start_trayer() {
  trayer --edge bottom --align right --widthtype pixel --width 120 \
    --heighttype pixel --height 24 >>"$E2E_TMP/trayer.log" 2>&1 &
  TRAYER_PID=$!
  E2E_PIDS+=($TRAYER_PID)
}

trayer_panel() { xwininfo -root -tree 2>/dev/null | awk '/\("panel" "trayer"\)/{print $1; exit}'; }

# Prints "X Y" of the centre of the program's icon docked in trayer's panel,
# or nothing while it is not docked.
icon_centre() {
  local panel
  panel=$(trayer_panel)
  [ -n "$panel" ] || return 0
  xwininfo -id "$panel" -tree 2>/dev/null | awk '/\("tintpick" /{
      split($(NF-1), g, /[x+]/); split($NF, a, /\+/);
      print a[2] + int(g[1] / 2), a[3] + int(g[2] / 2); exit }'
}

wait_icon() {
  local i pos
  for i in $(seq 100); do
    pos=$(icon_centre)
    if [ -n "$pos" ]; then echo "$pos"; return 0; fi
    sleep 0.1
  done
  fail "the icon did not dock in the tray: $(xwininfo -root -tree | grep -A8 panel)"
}

# xdotool's --sync waits for the pointer to move: step off the target first.
# Two presses on the icon within the double-click time are a double click,
# and a right double click closes the menu its first press opened: leave
# between clicks the pause that a hand leaves.
click_at() {
  sleep 0.5
  xdotool mousemove "$(($1 - 40))" "$(($2 - 40))"
  e2e_click "$@"
}

main_visible() { xdotool search --onlyvisible --name "^${MAIN}\$" >/dev/null 2>&1; }

wait_main_hidden() {
  local i
  for i in $(seq 50); do main_visible || return 0; sleep 0.1; done
  fail "the main window is still shown"
}

# The id of the icon's window in trayer's panel.
icon_window() {
  local panel
  panel=$(trayer_panel)
  [ -n "$panel" ] || return 0
  xwininfo -id "$panel" -tree 2>/dev/null | awk '/\("tintpick" /{print $1; exit}'
}

# Prints the id of the icon's menu while it is shown. The program's other
# windows are the main and About windows, the icon itself, and the icon's
# tooltip, which shows by itself while the pointer rests on the icon.
menu_window() {
  local icon w name
  icon=$(icon_window)
  for w in $(xdotool search --onlyvisible --classname '^tintpick$' 2>/dev/null); do
    [ -n "$icon" ] && [ "$w" -eq "$((icon))" ] && continue
    name=$(xdotool getwindowname "$w" 2>/dev/null || true)
    [ "$name" != "$MAIN" ] && [ "$name" != "关于" ] || continue
    xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q TOOLTIP && continue
    echo "$w"
    return 0
  done
  return 0
}

# Opens the icon's menu with the right button and picks an item with the
# keyboard: the first enabled item (Down) or the last one (Up).
menu_pick() {
  local x y i
  read -r x y < <(icon_centre)
  [ -n "$x" ] || fail "no icon to open the menu from"
  click_at "$x" "$y" 3
  # The keys go to the menu only once it is open: on a loaded machine that
  # can take longer than any fixed pause.
  for i in $(seq 100); do
    [ -n "$(menu_window)" ] && break
    sleep 0.1
  done
  [ -n "$(menu_window)" ] || fail "the icon's menu did not open"
  # shellcheck disable=SC2086
  xdotool key $1 Return
  for i in $(seq 100); do
    [ -z "$(menu_window)" ] && return 0
    sleep 0.1
  done
  fail "the icon's menu stayed open after '$1 Return'"
}

echo "step 1 at ${SECONDS}s"
# 1. No tray host: the program starts, shows its window and says nothing.
e2e_start_app
sleep 1
kill -0 "$E2E_APP_PID" || fail "the program ended without a tray host"
[ ! -s "$E2E_TMP/app.log" ] || fail "the program printed: $(cat "$E2E_TMP/app.log")"

echo "step 2 at ${SECONDS}s"
# 2. A tray host starts: the icon docks.
start_trayer
read -r IX IY < <(wait_icon)
echo "icon docked at $IX,$IY"
e2e_shot "$E2E_TMP/tray.png"
# The icon's pixels are the program's (blue, red, green quarters), not the
# panel's grey.
coloured=$(convert "$E2E_TMP/tray.png" -crop "16x16+$((IX - 8))+$((IY - 8))" -colorspace HSL \
  -channel G -separate -format '%[fx:maxima]' info:)
awk -v s="$coloured" 'BEGIN{exit !(s > 0.4)}' || fail "the docked icon is not drawn (saturation $coloured)"

echo "step 3 at ${SECONDS}s"
# 3. "隐藏" (the first enabled item while shown) hides the main window;
#    "显示" (the first enabled one while hidden) brings it back.
menu_pick Down
wait_main_hidden
kill -0 "$E2E_APP_PID" || fail "hiding the window ended the program"
menu_pick Down
e2e_wait_window "$MAIN" >/dev/null

echo "step 4 at ${SECONDS}s"
# 4. Minimised by its caption button, the window goes into the tray; one
#    click on the icon brings it back once the double-click time is over.
read -r MX MY MW MH < <(e2e_geometry "$(e2e_wait_window "$MAIN")")
xdotool mousemove --sync $((MX + MW - 36)) $((MY + 12)) click 1
wait_main_hidden
click_at "$IX" "$IY" 1
e2e_wait_window "$MAIN" >/dev/null

echo "step 5 at ${SECONDS}s"
# 5. The tray host dies and comes back: so does the icon.
kill "$TRAYER_PID"
wait "$TRAYER_PID" 2>/dev/null || true
sleep 0.5
[ -z "$(icon_centre)" ] || fail "trayer's panel is still there"
start_trayer
read -r IX IY < <(wait_icon)
echo "icon docked again at $IX,$IY"
kill -0 "$E2E_APP_PID" || fail "the program ended with its tray host"

echo "step 6 at ${SECONDS}s"
# 6. While the window is hidden, "关于(&A)" still works and "退出" (the last
#    item) ends the program.
menu_pick Down
wait_main_hidden
# "关于(&A)" (second from the end) opens the About window while hidden;
# closing it must not end the program, which lives on in the tray.
menu_pick "Up Up"
e2e_wait_window "关于" >/dev/null
xdotool key Return
sleep 0.5
! xdotool search --onlyvisible --name "^关于\$" >/dev/null 2>&1 || fail "the About window stayed open"
kill -0 "$E2E_APP_PID" || fail "closing the About window ended the program"
main_visible && fail "the About window showed the main window"
menu_pick Up
e2e_wait_exit "$E2E_APP_PID" 10
[ ! -s "$E2E_TMP/app.log" ] || fail "the program printed: $(cat "$E2E_TMP/app.log")"
echo "PASS"
