#!/usr/bin/env bash
# tintpick --pick on X11: the frozen desktop as an overlay; a click over a
# painted colour prints it as #RRGGBB, exits 0 and pushes it into the
# history file; Esc exits 1 printing nothing and changes nothing. With the
# program running, the pick joins its history, which it writes at its end.
source "$(dirname "$0")/lib.sh"
e2e_setup 1024x768

convert -size 200x150 xc:'#336699' "$E2E_TMP/paint.png"
display -geometry +300+300 "$E2E_TMP/paint.png" >/dev/null 2>&1 &
E2E_PIDS+=($!)
e2e_wait_window "ImageMagick: paint.png" >/dev/null
convert -size 200x150 xc:'#993366' "$E2E_TMP/other.png"
display -geometry +600+300 "$E2E_TMP/other.png" >/dev/null 2>&1 &
E2E_PIDS+=($!)
e2e_wait_window "ImageMagick: other.png" >/dev/null

# usage: pick_once then act; sets PICK_OUT and PICK_RC
start_pick() {
  (cd "$E2E_APPDIR" && exec ./tintpick --pick) >"$E2E_TMP/pick.out" 2>"$E2E_TMP/pick.err" &
  PICK_PID=$!
  E2E_PIDS+=($PICK_PID)
  e2e_wait_window "取色" >/dev/null
  sleep 0.3
}
end_pick() {
  e2e_wait_exit "$PICK_PID" 15
  PICK_RC=0
  wait "$PICK_PID" || PICK_RC=$?
  PICK_OUT=$(cat "$E2E_TMP/pick.out")
}

start_pick
xdotool mousemove --sync 400 380
sleep 0.2
xdotool click 1
end_pick
[ "$PICK_RC" = 0 ] || fail "a pick exits $PICK_RC, expected 0 ($(cat "$E2E_TMP/pick.err"))"
[ "$PICK_OUT" = "#336699" ] || fail "a pick printed '$PICK_OUT', expected #336699"
hist() { od -An -tx1 -v "$E2E_APPDIR/HisColors.dat" | tr -d ' \n' | cut -c7-8,23-28; }
[ "$(hist)" = "01336699" ] || fail "history holds $(hist), expected one push of 336699"

start_pick
xdotool mousemove --sync 100 100
xdotool key Escape
end_pick
[ "$PICK_RC" = 1 ] || fail "Esc exits $PICK_RC, expected 1"
[ -z "$PICK_OUT" ] || fail "Esc printed '$PICK_OUT'"
[ "$(hist)" = "01336699" ] || fail "Esc changed the history to $(hist)"

e2e_start_app
start_pick
xdotool mousemove --sync 700 380
sleep 0.2
xdotool click 1
end_pick
[ "$PICK_OUT" = "#993366" ] || fail "a pick beside the program printed '$PICK_OUT' ($(cat "$E2E_TMP/pick.err"))"
kill -TERM "$E2E_APP_PID"
e2e_wait_exit "$E2E_APP_PID" 15
od -An -tx1 -v -j3 "$E2E_APPDIR/HisColors.dat" | tr -d ' \n' | grep -q 993366 ||
  fail "the running program wrote its history over the pick: $(od -An -tx1 -v "$E2E_APPDIR/HisColors.dat")"
echo PASS
