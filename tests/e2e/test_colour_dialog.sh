#!/usr/bin/env bash
# "高级" opens the advanced colour dialog centred on the screen; a press in
# its square and Enter hand the colour back to the main window; Escape
# cancels.
source "$(dirname "$0")/lib.sh"
e2e_setup 1024x768
e2e_start_app
shots=$E2E_TMP

# Client pixels of the main window and of the dialog start below the
# one-pixel border and the 24-pixel caption bar.
main_client() { echo $(($1 + 1)) $(($2 + 25)); }
read -r mx my < <(main_client 0 0)
advanced_x=$((mx + 4 + 64 + 20)) advanced_y=$((my + 2 + 108 + 12))
swatch_x=$((mx + 208 + 96 + 3)) swatch_y=$((my + 2 + 104 + 3))

e2e_click $advanced_x $advanced_y
dlg=$(e2e_wait_window "高级调色板")
sleep 0.5
read -r dx dy dw dh < <(e2e_geometry "$dlg")
# 369 pixels of frame and controls, and below them the band with the code
# edit and the contrast check.
[ "$dw" -eq 380 ] && [ "$dh" -eq 547 ] || fail "dialog is ${dw}x${dh}, want 380x547"
[ "$dx" -eq $((1024 / 2 - dw / 2)) ] && [ "$dy" -eq $((768 / 2 - dh / 2)) ] ||
  fail "dialog at $dx,$dy is not centred"
cx=$((dx + 1)) cy=$((dy + 25))
wx=$((cx + 177)) wy=$((cy + 5))

e2e_wait_pixel open $((wx + 98)) $((wy + 0)) F00000 # the ring's top
# Right edge of the square at mid-height for hue 0 is pure red; the
# current colour (white) puts the square marker at the bottom-left corner.
mid=$(e2e_pixel "$shots/open.png" $((wx + 150)) $((wy + 97)))
[ "$mid" = "FF0000" ] || fail "square mid-right is $mid, want FF0000"

# The square's left column at mid-height: saturation 0, lightness
# Round(127.5) = 128, a grey of 128.
e2e_click $((wx + 44)) $((wy + 97))
e2e_wait_pixel pressed $((cx + 360)) $((cy + 260)) 808080 # the preview
xdotool key Return
e2e_wait_window_gone "高级调色板" "Enter did not close the dialog"
e2e_wait_pixel after_ok $swatch_x $swatch_y 808080

# Escape cancels: the main window keeps its colour.
e2e_click $advanced_x $advanced_y
e2e_wait_window "高级调色板" >/dev/null
e2e_wait_pixel reopened $((wx + 98)) $((wy + 0)) F00000
e2e_click $((wx + 44)) $((wy + 44))
e2e_wait_pixel black $((cx + 360)) $((cy + 260)) 000000
xdotool key Escape
e2e_wait_window_gone "高级调色板" "Escape did not close the dialog"
e2e_shot "$shots/after_cancel.png"
swatch=$(e2e_pixel "$shots/after_cancel.png" $swatch_x $swatch_y)
[ "$swatch" = "808080" ] || fail "main swatch is $swatch after Escape, want 808080"
echo "PASS"
