#!/usr/bin/env bash
# The portable Windows program under Wine, unpacked from its zip: the main
# window opens; a drag from the swatch over a #204080 desktop shows the
# colour live and puts it into the history; "复制" puts its code on the X11
# clipboard; "保存" stores it in the library beside the program; the ruler
# measures a 200-pixel line; after exit the history file beside the program
# holds the pick, and nothing was written to %APPDATA%.
# usage: test_portable.sh DIST_FOLDER   (WINE_SHOTS=folder keeps screenshots)
source "$(dirname "$0")/lib.sh"
wine_setup 1024x768
wine_unpack_portable
HIS="$WINE_APPDIR/HisColors.dat"
BG=204080
INV=DFBF7F # a rubber-band pixel over BG

xsetroot -solid "#$BG"
wine_start_app
read -r MX MY MW MH < <(e2e_geometry "$E2E_MAIN_WID")
echo "main window ${MW}x$MH at ($MX, $MY)"
# Positions on the window (the skin's frame: border 1, caption bar 24).
at() { echo $((MX + $1)) $((MY + $2)); }
read -r SWATCH_X SWATCH_Y < <(at 323 148) # centre of the pick swatch
read -r SW_PX SW_PY < <(at 310 136)       # a swatch pixel clear of its caption
CELL_Y=$((MY + 110)); cell_x() { echo $((MX + 18 + 22 * $1 + 3)); }
wine_wait_painted "$E2E_MAIN_WID" 310 136
e2e_wait_pixel start "$SW_PX" "$SW_PY" FFFFFF
[ -f "$HIS" ] || fail "no history file beside the portable program at start-up"

# The drag: the swatch shows the desktop's colour while the button is held.
xdotool mousemove --sync "$SWATCH_X" "$SWATCH_Y" mousedown 1
sleep 0.2
xdotool mousemove --sync 600 420
sleep 0.1
xdotool mousemove --sync 620 440
e2e_wait_pixel live "$SW_PX" "$SW_PY" "$BG"
# The code edit shows the code meanwhile (its text, which "复制" checks
# below, is drawn: without the fonts it asks for, Wine draws none).
ink=$(convert "$E2E_TMP/live.png" -crop "44x16+$((MX + 87))+$((MY + 79))" +repage -colorspace gray \
  -threshold 50% -negate -format '%[fx:round(mean*w*h)]' info:)
[ "$ink" -gt 40 ] || fail "the code edit shows no text during the drag ($ink dark pixels)"
if [ -n "${WINE_SHOTS:-}" ]; then
  mkdir -p "$WINE_SHOTS" && import -window "$E2E_MAIN_WID" "$WINE_SHOTS/main-window.png"
fi
xdotool mouseup 1
e2e_wait_pixel history "$(cell_x 0)" "$CELL_Y" "$BG"
[ "$(e2e_pixel "$E2E_TMP/history.png" "$(cell_x 1)" "$CELL_Y")" = FFFFFF ] ||
  fail "the second history cell is not white after one pick"
echo "picked $BG live, and into the history"

# "复制": the code, as the default copy format writes it.
read -r x y < <(at $((1 + 4 + 143 + 25)) $((25 + 2 + 49 + 11)))
e2e_click "$x" "$y"
e2e_wait_clipboard "$BG" "after 复制"
echo "复制 put $BG on the X11 clipboard"

# "保存": the save dialog, a name and a comment, into store.kvd beside the
# program (its working folder).
read -r x y < <(at $((1 + 4 + 109 + 19)) $((1 + 24 + 2 + 108 + 12)))
e2e_click "$x" "$y"
e2e_wait_window "保存颜色" >/dev/null
sleep 0.5
xdotool type --delay 30 "wine blue"
xdotool key Tab
xdotool type --delay 30 "from Wine"
xdotool key Tab Return
row=
for i in $(seq 50); do
  row=$(sqlite3 "$WINE_APPDIR/store.kvd" \
    "select Name||'|'||RVal||','||GVal||','||BVal||'|'||Comment from Colors" 2>/dev/null || true)
  [ -n "$row" ] && break
  sleep 0.1
done
[ "$row" = "wine blue|32,64,128|from Wine" ] || fail "stored row is '$row'"
echo "保存 stored $row"

# The ruler ("测距"): the frozen desktop, a drag of 200 pixels along x.
read -r x y < <(at $((1 + 147 + 22)) $((25 + 149 + 12)))
e2e_click "$x" "$y"
RULER=$(e2e_wait_window "测距")
read -r rx ry rw rh < <(e2e_geometry "$RULER")
[ "$rx $ry $rw $rh" = "0 0 1024 768" ] || fail "measuring window at $rx $ry ${rw}x$rh"
xdotool mousemove --sync 560 400 mousedown 1
for s in 1 2 3 4 5; do
  xdotool mousemove --sync $((560 + s * 40)) $((400 + s * 16))
  sleep 0.05
done
xdotool mouseup 1
n=
for i in $(seq 50); do
  e2e_shot "$E2E_TMP/ruler.png"
  n=$(convert "$E2E_TMP/ruler.png" -crop 1024x500+260+150 +repage -fill black +opaque "#$INV" \
    -fill white -opaque "#$INV" -format '%[fx:round(mean*w*h)]' info:)
  [ "$n" = 200 ] && break
  sleep 0.1
done
[ "$n" = 200 ] || fail "the ruler's line has $n inverted pixels, expected 200"
[ "$(e2e_pixel "$E2E_TMP/ruler.png" 560 400)" = "$INV" ] || fail "the line does not start at 560,400"
if [ -n "${WINE_SHOTS:-}" ]; then cp "$E2E_TMP/ruler.png" "$WINE_SHOTS/"; fi
xdotool key Escape
e2e_wait_window_gone "测距" "the measuring window is still shown after Esc"
e2e_wait_window "$MAIN" >/dev/null
echo "the ruler measured a 200-pixel line"

# "退出": the history is written at exit, beside the program.
read -r x y < <(at 321 186)
e2e_click "$x" "$y"
e2e_wait_exit "$E2E_APP_PID" 15
want="${BG}0100000000000000${BG}$(printf 'FF%.0s' $(seq 45))"
got=$(wine_history_hex "$HIS")
[ "$got" = "$want" ] || fail "HisColors.dat is $got, expected $want"
[ ! -e "$WINE_APPDATA/Tintpick" ] || fail "the portable program wrote to %APPDATA%\\Tintpick"
echo "PASS"
