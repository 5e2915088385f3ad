#!/usr/bin/env bash
# The real program under Xvfb: its window opens at the top-left corner with
# the window class a desktop file names, a code typed into the hexadecimal
# edit colours the swatch, "复制" puts the code on the X clipboard, and "资料"
# keeps the main window and the reference panel inside the work area.
source "$(dirname "$0")/lib.sh"
e2e_setup
# Panels along the top and bottom edges, as a desktop announces them: the
# work area leaves 30 pixels at the top and 30 at the bottom.
xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA "0, 30, 1024, 708"
e2e_start_app

# The window class that a desktop file's StartupWMClass names.
wmclass=$(xprop -id "$E2E_MAIN_WID" WM_CLASS)
[ "$wmclass" = 'WM_CLASS(STRING) = "tintpick", "Tintpick"' ] || fail "$wmclass"

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
e2e_click "$copy_x" "$copy_y"
e2e_wait_clipboard 1a2b3c "after 复制"

e2e_wait_pixel swatch "$swatch_x" "$swatch_y" 1A2B3C

# "资料": the main window goes to the work area's top-left corner and the
# reference panel fills the work area beside it, clear of both panels.
e2e_click $((cx + 197 + 22)) $((cy + 149 + 12))
read -r px py pw ph < <(e2e_geometry "$(e2e_wait_window "颜色参照表")")
read -r x y w h < <(e2e_geometry "$E2E_MAIN_WID")
[ "$x $y" = "0 30" ] || fail "main window at ($x, $y) beside the panel, expected (0, 30)"
[ "$px $py $pw $ph" = "$w 30 $((1024 - w)) 708" ] ||
  fail "reference panel at ($px, $py) ${pw}x$ph, expected ($w, 30) $((1024 - w))x708"

# "退出" ends the program.
e2e_click $((x + cx + 298 + 22)) $((y + cy + 149 + 12))
e2e_wait_exit "$E2E_APP_PID" 10
