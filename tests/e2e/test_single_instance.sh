#!/usr/bin/env bash
# One instance: a second start brings the running program's main window
# back (from the tray, or from under another window) and ends with status 0
# without touching the history file, so the first one's picks survive; only
# --new-instance runs a second one.
source "$(dirname "$0")/lib.sh"
e2e_setup 1024x768
MAIN="Tintpick V1.2.0"
HIS="$E2E_APPDIR/HisColors.dat"

SWATCH_X=323; SWATCH_Y=148 # centre of the pick swatch
SWATCH_PX="310 136"        # a swatch pixel clear of its caption
MIN_X=315; MIN_Y=13        # the caption bar's minimise button

main_visible() { xdotool search --onlyvisible --name "^${MAIN}\$" 2>/dev/null | wc -l; }

# Starts the program again; prints its exit status once it has ended.
second_start() {
  local pid status=0
  (cd "$E2E_APPDIR" && exec ./tintpick "$@") >>"$E2E_TMP/second.log" 2>&1 &
  pid=$!
  E2E_PIDS+=($pid)
  e2e_wait_exit "$pid" 30 >&2
  wait "$pid" || status=$?
  echo "$status"
}

xsetroot -solid '#336699'
# A tray host, so that minimising sends the window to the tray.
trayer --edge bottom --align right --widthtype pixel --width 120 \
  --heighttype pixel --height 24 >"$E2E_TMP/trayer.log" 2>&1 &
E2E_PIDS+=($!)
for i in $(seq 100); do
  xwininfo -root -tree 2>/dev/null | grep -q '("panel" "trayer")' && break
  sleep 0.1
done
e2e_start_app
xdotool mousemove --sync $SWATCH_X $SWATCH_Y mousedown 1; sleep 0.2
xdotool mousemove --sync 700 500; sleep 0.3
xdotool mouseup 1
e2e_wait_pixel pick $SWATCH_PX 336699
before=$(xxd -p "$HIS")

# Minimised to the tray.
e2e_click $MIN_X $MIN_Y
for i in $(seq 50); do [ "$(main_visible)" = 0 ] && break; sleep 0.1; done
[ "$(main_visible)" = 0 ] || fail "the main window did not go to the tray"
[ "$(second_start)" = 0 ] || fail "the second start did not end with status 0"
e2e_wait_window "$MAIN" >/dev/null

# Under another window.
convert -size 400x300 xc:'#CC3300' "$E2E_TMP/cover.png"
display -geometry +0+0 "$E2E_TMP/cover.png" >/dev/null 2>&1 &
E2E_PIDS+=($!)
e2e_wait_pixel covered $SWATCH_PX CC3300
[ "$(second_start)" = 0 ] || fail "the second start did not end with status 0"
e2e_wait_pixel in_front $SWATCH_PX 336699
[ "$(main_visible)" = 1 ] || fail "more than one main window"
[ "$(xxd -p "$HIS")" = "$before" ] || fail "a second start wrote the history file"

# --new-instance really runs a second one.
(cd "$E2E_APPDIR" && exec ./tintpick --new-instance) >>"$E2E_TMP/second.log" 2>&1 &
NEW_PID=$!
E2E_PIDS+=($NEW_PID)
for i in $(seq 300); do [ "$(main_visible)" = 2 ] && break; sleep 0.1; done
[ "$(main_visible)" = 2 ] || fail "--new-instance did not start a second program"
kill -9 "$NEW_PID"
# Its window goes only once the X server has seen the process die; a click
# before that lands on it instead of the first one.
e2e_wait_exit "$NEW_PID" 10
for i in $(seq 100); do [ "$(main_visible)" = 1 ] && break; sleep 0.1; done

# The first one's picks are written at its end.
e2e_click 321 186 # "退出"
e2e_wait_exit "$E2E_APP_PID" 10
got=$(xxd -p -u "$HIS" | tr -d '\n')
[ "${got:22:6}" = 336699 ] || fail "the pick is not in the history: $got"
echo "PASS"
