#!/usr/bin/env bash
# The eyedropper on a desktop scaled by 1.5: the pick lands on the exact
# device pixel under the cursor, on both sides of a colour edge that a
# logical-pixel position cannot tell apart (541 and 542 are both logical 361).
source "$(dirname "$0")/lib.sh"
e2e_setup 1280x800

convert -size 40x40 xc:'#FF0000' xc:'#00FF00' +append "$E2E_TMP/edge.png"
display -geometry +500+400 "$E2E_TMP/edge.png" >/dev/null 2>&1 &
E2E_PIDS+=($!)
e2e_wait_window "ImageMagick: edge.png" >/dev/null
# The viewer's 2-pixel border puts the red/green edge between x 541 and 542.

export QT_SCALE_FACTOR=1.5
e2e_start_app
SWATCH_X=484; SWATCH_Y=222   # the swatch's centre at 1.5 times the layout

pick() {
  xdotool mousemove --sync $SWATCH_X $SWATCH_Y mousedown 1; sleep 0.2
  xdotool mousemove --sync "$1" 420; sleep 0.4
  xdotool mouseup 1; sleep 0.3
}
pick 541
pick 542
kill -TERM "$E2E_APP_PID"
e2e_wait_exit "$E2E_APP_PID" 10
got=$(xxd -p -u "$E2E_APPDIR/HisColors.dat" | tr -d '\n')
[ "${got:22:12}" = "FF000000FF00" ] ||
  fail "slots 0 and 1 hold ${got:22:12}, expected red (x 541) then green (x 542)"
[ "${got:0:6}" = "00FF00" ] || fail "current colour ${got:0:6}, expected 00FF00"
echo "PASS"
