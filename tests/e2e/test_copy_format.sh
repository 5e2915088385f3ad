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

# The third entry of the menu is rgb(r, g, b); choosing it also copies.
# The keys reach the menu only once it is shown.
shown() { xdotool search --onlyvisible --classname '^tintpick$' 2>/dev/null | wc -l; }
before=$(shown)
e2e_click "$copy_x" "$copy_y" 3
for _ in $(seq 50); do [ "$(shown)" -gt "$before" ] && break; sleep 0.1; done
[ "$(shown)" -gt "$before" ] || fail "no menu on a right click on 复制"
xdotool key --delay 80 Down Down Down Return
e2e_wait_clipboard "rgb(70, 130, 180)" "after choosing rgb"

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
e2e_wait_clipboard "rgb(70, 130, 180)" "after a restart"
e2e_click "$exit_x" "$exit_y"
e2e_wait_exit "$E2E_APP_PID" 10
