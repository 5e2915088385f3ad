#!/usr/bin/env bash
# The portable Windows program under Wine with a tray host (trayer): its
# icon docks (Wine's tray hands it to the X11 tray) drawn in the program's
# colours; minimised, the window goes into the tray, and a second start
# brings it back and ends with status 0 without touching the history file;
# the icon's menu ends the program.
# usage: test_tray_instance.sh DIST_FOLDER
source "$(dirname "$0")/lib.sh"
wine_setup 1024x768
wine_unpack_portable
HIS="$WINE_APPDIR/HisColors.dat"
BG=336699

trayer --edge bottom --align right --widthtype pixel --width 120 \
  --heighttype pixel --height 24 >"$E2E_TMP/trayer.log" 2>&1 &
E2E_PIDS+=($!)
for i in $(seq 100); do
  xwininfo -root -tree 2>/dev/null | grep -q '("panel" "trayer")' && break
  sleep 0.1
done
panel=$(xwininfo -root -tree | awk '/\("panel" "trayer"\)/{print $1; exit}')
[ -n "$panel" ] || fail "trayer did not start"

xsetroot -solid "#$BG"
wine_start_app
read -r MX MY _ _ < <(e2e_geometry "$E2E_MAIN_WID")
wine_wait_painted "$E2E_MAIN_WID" 310 136

# The docked icon: a window of Wine's tray (explorer.exe) inside the panel.
# Prints "X Y" of its centre once docked.
icon_centre() {
  xwininfo -id "$panel" -tree 2>/dev/null | awk '/\("explorer.exe" /{
      split($(NF-1), g, /[x+]/); split($NF, a, /\+/);
      print a[2] + int(g[1] / 2), a[3] + int(g[2] / 2); exit }'
}
pos=
for i in $(seq 150); do
  pos=$(icon_centre)
  [ -n "$pos" ] && break
  sleep 0.1
done
[ -n "$pos" ] || fail "the icon did not dock in trayer: $(xwininfo -id "$panel" -tree)"
read -r IX IY <<<"$pos"
# Its pixels are the program's icon (blue, red, green quarters), not the
# panel's grey: wait for the icon to be drawn.
sat=0
for i in $(seq 50); do
  e2e_shot "$E2E_TMP/tray.png"
  sat=$(convert "$E2E_TMP/tray.png" -crop "16x16+$((IX - 8))+$((IY - 8))" -colorspace HSL \
    -channel G -separate -format '%[fx:maxima]' info:)
  awk -v s="$sat" 'BEGIN{exit !(s > 0.4)}' && break
  sleep 0.1
done
awk -v s="$sat" 'BEGIN{exit !(s > 0.4)}' || fail "the docked icon is not drawn (saturation $sat)"
echo "the icon docked in trayer at $IX,$IY"

# A pick, so that the history file has something to keep.
xdotool mousemove --sync $((MX + 323)) $((MY + 148)) mousedown 1
sleep 0.2
xdotool mousemove --sync 600 420
sleep 0.1
xdotool mousemove --sync 620 440
xdotool mouseup 1
e2e_wait_pixel history $((MX + 21)) $((MY + 110)) "$BG"
before=$(xxd -p "$HIS")

main_visible() { xdotool search --onlyvisible --name "^${MAIN}\$" 2>/dev/null | wc -l; }
# Minimised by the caption bar's button: into the tray.
e2e_click $((MX + 315)) $((MY + 13))
for i in $(seq 50); do [ "$(main_visible)" = 0 ] && break; sleep 0.1; done
[ "$(main_visible)" = 0 ] || fail "the main window did not go into the tray"

# A second start hands over to the running program and ends.
(cd "$WINE_APPDIR" && exec wine ./tintpick.exe) >>"$E2E_TMP/second.log" 2>&1 &
second=$!
E2E_PIDS+=($second)
e2e_wait_exit "$second" 30
status=0
wait "$second" || status=$?
[ "$status" = 0 ] || fail "the second start ended with status $status"
e2e_wait_window "$MAIN" >/dev/null
[ "$(main_visible)" = 1 ] || fail "$(main_visible) main windows after the second start"
kill -0 "$E2E_APP_PID" || fail "the first program ended"
[ "$(xxd -p "$HIS")" = "$before" ] || fail "the second start wrote the history file"
echo "a second start brought the window back and ended with status 0"

# The icon's menu: its last item, "退出", ends the program. A right click
# that comes while Wine is still bringing the window forward is lost (a
# hand clicks again): up to five clicks, two seconds apart.
menu_window() {
  local w name ww wh
  for w in $(xdotool search --onlyvisible --classname '^tintpick.exe$' 2>/dev/null); do
    name=$(xdotool getwindowname "$w" 2>/dev/null || true)
    [ "$name" = "$MAIN" ] || [ "$name" = "Default IME" ] && continue
    read -r _ _ ww wh < <(e2e_geometry "$w")
    [ "$ww" -gt 20 ] && [ "$wh" -gt 40 ] && echo "$w" && return 0
  done
  return 0
}
menu=
for click in 1 2 3 4 5; do
  xdotool mousemove --sync $((IX - 40)) $((IY - 40))
  xdotool mousemove --sync "$IX" "$IY" click 3
  for i in $(seq 20); do
    menu=$(menu_window)
    [ -n "$menu" ] && break 2
    sleep 0.1
  done
done
[ -n "$menu" ] || fail "the icon's menu did not open"
echo "the icon's menu opened at click $click"
xdotool key Up Return
e2e_wait_exit "$E2E_APP_PID" 15
got=$(wine_history_hex "$HIS")
[ "${got:22:6}" = "$BG" ] || fail "the pick is not in the history: $got"
echo "PASS"
