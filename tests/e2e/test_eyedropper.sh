#!/usr/bin/env bash
# The eyedropper end to end: a window of known colours beside the real
# program; drags from the swatch over it; the swatch and the magnifier on
# screen show what was picked, the arrow key nudges by one pixel, and the
# history file written at exit holds the picks in their slots.
source "$(dirname "$0")/lib.sh"
e2e_setup 1024x768

# Four 40 x 40 blocks: red, green, blue, grey 128. The viewer draws a
# 2-pixel border, so the image starts at (502, 302).
convert -size 40x40 xc:'#FF0000' xc:'#00FF00' xc:'#0000FF' xc:'#808080' +append \
  "$E2E_TMP/colours.png"
display -geometry +500+300 "$E2E_TMP/colours.png" >/dev/null 2>&1 &
E2E_PIDS+=($!)
e2e_wait_window "ImageMagick: colours.png" >/dev/null

e2e_start_app
read -r MX MY _ _ < <(e2e_geometry "$E2E_MAIN_WID")
[ "$MX $MY" = "0 0" ] || fail "main window at $MX,$MY, expected the top-left corner"
[ -f "$E2E_APPDIR/HisColors.dat" ] || fail "no history file created at start-up"
[ "$(stat -c %s "$E2E_APPDIR/HisColors.dat")" = 0 ] || fail "history file not empty at first start"

# Where things are on the window (client area 1 pixel in and 25 down).
SWATCH_X=323; SWATCH_Y=148      # centre of the pick swatch
SWATCH_PX="310 136"             # a swatch pixel clear of its caption
ZOOM_X=213; ZOOM_Y=48           # the magnifier's top-left corner
CELL_Y=110; cell_x() { echo $((18 + 22 * $1 + 3)); }

shot() { e2e_shot "$E2E_TMP/$1.png"; echo "$E2E_TMP/$1.png"; }
# Number of pixels of colour $2 (#RRGGBB) in the magnifier of image $1.
zoom_count() {
  convert "$1" -crop 128x96+$ZOOM_X+$ZOOM_Y +repage -fill black +opaque "$2" \
    -fill white -opaque "$2" -format '%[fx:round(mean*w*h)]' info:
}

s=$(shot start)
[ "$(e2e_pixel "$s" $SWATCH_PX)" = FFFFFF ] || fail "swatch not white at start"

# Drag 1: over red, then onto the red/green seam, release there (green).
xdotool mousemove --sync $SWATCH_X $SWATCH_Y mousedown 1
sleep 0.2
xdotool mousemove --sync 522 320; sleep 0.2
xdotool mousemove --sync 542 320; sleep 0.4
e2e_wait_pixel seam $SWATCH_PX 00FF00 # the green under the cursor
s=$E2E_TMP/seam.png
# The cursor's column is the first green one: the left half of the
# magnifier is red (4 x 4 per pixel), the crosshair is magenta (inverse of
# green): 3 x 19 + 19 x 3 less the 3 x 3 where the bars cross.
red=$(zoom_count "$s" '#FF0000')
magenta=$(zoom_count "$s" '#FF00FF')
[ "$red" = 6120 ] || fail "magnifier shows $red red pixels, expected 64 x 96 less the bar's 24"
[ "$magenta" = 105 ] || fail "crosshair has $magenta magenta pixels, expected 105"
[ "$(e2e_pixel "$s" $((ZOOM_X + 67)) $((ZOOM_Y + 51)))" = 00FF00 ] ||
  fail "the cursor's own block is not green"
xdotool mouseup 1; sleep 0.3

# Drag 2: onto the last red column; the Right arrow nudges the cursor one
# pixel onto green, Shift+Right ten more; then the mouse goes to blue.
xdotool mousemove --sync $SWATCH_X $SWATCH_Y mousedown 1; sleep 0.2
xdotool mousemove --sync 541 320; sleep 0.3
e2e_wait_pixel red $SWATCH_PX FF0000
xdotool key Right
e2e_wait_pixel nudged $SWATCH_PX 00FF00 # the arrow moved the sample onto green
xdotool key shift+Right
for _ in $(seq 50); do
  pos=$(xdotool getmouselocation | sed -E 's/x:([0-9]+) y:([0-9]+).*/\1 \2/')
  [ "$pos" = "552 320" ] && break
  sleep 0.1
done
[ "$pos" = "552 320" ] || fail "arrows left the cursor at $pos, expected 552 320"
xdotool mousemove --sync 602 320; sleep 0.3
xdotool mouseup 1; sleep 0.3

# Drag 3 and 4: grey twice; the second pushes nothing.
for _ in 1 2; do
  xdotool mousemove --sync $SWATCH_X $SWATCH_Y mousedown 1; sleep 0.2
  xdotool mousemove --sync 642 320; sleep 0.3
  xdotool mouseup 1; sleep 0.3
done
# The release puts the grey into the third history cell.
e2e_wait_pixel picked "$(cell_x 2)" $CELL_Y 808080
s=$E2E_TMP/picked.png
[ "$(e2e_pixel "$s" $SWATCH_PX)" = 808080 ] || fail "swatch not grey after the last pick"
for i in 0 1 2 3; do
  want=(00FF00 0000FF 808080 FFFFFF)
  got=$(e2e_pixel "$s" "$(cell_x $i)" $CELL_Y)
  [ "$got" = "${want[$i]}" ] || fail "history cell $i shows $got, expected ${want[$i]}"
done

# Exit through the program's own button; the history is written at close.
e2e_click 321 186
e2e_wait_exit "$E2E_APP_PID" 10
want="8080800300000002000000""00FF00""0000FF""808080"
want+=$(printf 'FF%.0s' $(seq 39))
got=$(xxd -p -u "$E2E_APPDIR/HisColors.dat" | tr -d '\n')
[ "$got" = "$want" ] || fail "HisColors.dat is $got, expected $want"

# A restart reads it back: the swatch shows the saved current colour.
e2e_start_app
e2e_wait_pixel restarted $SWATCH_PX 808080 # the saved current colour
# Asked to terminate, the program still writes its history.
xdotool mousemove --sync $SWATCH_X $SWATCH_Y mousedown 1; sleep 0.2
xdotool mousemove --sync 522 320; sleep 0.3
xdotool mouseup 1; sleep 0.3
kill -TERM "$E2E_APP_PID"
e2e_wait_exit "$E2E_APP_PID" 10
got=$(xxd -p -u "$E2E_APPDIR/HisColors.dat" | tr -d '\n')
[ "${got:0:22}" = "FF00000400000003000000" ] || fail "SIGTERM did not save the history: ${got:0:22}"
[ "${got:40:6}" = "FF0000" ] || fail "slot 3 is ${got:40:6} after SIGTERM, expected FF0000"
echo "PASS"
