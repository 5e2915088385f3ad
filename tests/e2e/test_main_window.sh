#!/usr/bin/env bash
# The real program under Xvfb: its window opens at the top-left corner, a
# code typed into the hexadecimal edit colours the swatch, and "复制" puts
# the code on the X clipboard.
source "$(dirname "$0")/lib.sh"
e2e_setup
e2e_start_app

read -r x y w h < <(e2e_geometry "$E2E_MAIN_WID")
[ "$x" = 0 ] && [ "$y" = 0 ] || fail "main window at ($x, $y), expected (0, 0)"
echo "main window ${w}x${h} at ($x, $y)"

# Client area starts below the 1-pixel border and the 24-pixel caption bar.
cx=1; cy=25
code_x=$((cx + 4 + 81 + 24)); code_y=$((cy + 2 + 50 + 10))
copy_x=$((cx + 4 + 143 + 25)); copy_y=$((cy + 2 + 49 + 11))
swatch_x=$((cx + 208 + 96 + 1 + 3)); swatch_y=$((cy + 2 + 104 + 1 + 3))

e2e_click "$code_x" "$code_y"
xdotool key --delay 20 End BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
xdotool type --delay 40 "1a2b3c"
sleep 0.3
e2e_click "$copy_x" "$copy_y"
sleep 0.3

clip=$(xclip -o -selection clipboard)
[ "$clip" = "1a2b3c" ] || fail "clipboard holds '$clip', expected '1a2b3c'"

e2e_shot "$E2E_TMP/shot.png"
px=$(e2e_pixel "$E2E_TMP/shot.png" "$swatch_x" "$swatch_y")
[ "$px" = "1A2B3C" ] || fail "swatch shows $px, expected 1A2B3C"

# "退出" ends the program.
e2e_click $((cx + 298 + 22)) $((cy + 149 + 12))
e2e_wait_exit "$E2E_APP_PID" 10
