#!/usr/bin/env bash
# "复制" copies in the format chosen by a right click, and the choice is
# kept for the next run in the user's configuration folder, not beside the
# program.
source "$(dirname "$0")/lib.sh"
e2e_setup
export XDG_CONFIG_HOME="$E2E_TMP/config"
e2e_start_app

# Client area starts below the 1-pixel border and the 24-pixel caption bar.
cx=1; cy=25
code_x=$((cx + 4 + 81 + 24)); code_y=$((cy + 2 + 50 + 10))
copy_x=$((cx + 4 + 143 + 25)); copy_y=$((cy + 2 + 49 + 11))
exit_x=$((cx + 298 + 22)); exit_y=$((cy + 149 + 12))

e2e_click "$code_x" "$code_y"
xdotool key --delay 20 End BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
xdotool type --delay 40 "4682b4"
sleep 0.3

# The third entry of the menu is rgb(r, g, b); choosing it also copies.
e2e_click "$copy_x" "$copy_y" 3
sleep 0.5
xdotool key --delay 80 Down Down Down Return
sleep 0.5
clip=$(xclip -o -selection clipboard)
[ "$clip" = "rgb(70, 130, 180)" ] || fail "clipboard holds '$clip' after choosing rgb"

ini="$XDG_CONFIG_HOME/tintpick/tintpick.ini"
[ -f "$ini" ] || fail "no settings file at $ini"
grep -q '^format=rgb$' "$ini" || fail "settings file lacks the format: $(cat "$ini")"
[ -z "$(find "$E2E_APPDIR" -name '*.ini')" ] || fail "settings written beside the program"

e2e_click "$exit_x" "$exit_y"
e2e_wait_exit "$E2E_APP_PID" 10

# Next run: the colour comes back from the history file, the format from
# the settings.
echo -n "" | xclip -selection clipboard
e2e_start_app
e2e_click "$copy_x" "$copy_y"
sleep 0.3
clip=$(xclip -o -selection clipboard)
[ "$clip" = "rgb(70, 130, 180)" ] || fail "after a restart the clipboard holds '$clip'"
e2e_click "$exit_x" "$exit_y"
e2e_wait_exit "$E2E_APP_PID" 10
