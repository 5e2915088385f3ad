#!/usr/bin/env bash
# The colour library end to end: "保存" stores the current colour through the
# save dialog, a second "保存" is refused, "加载" lists it; without a store the
# error box shows at start-up and the program goes on.
source "$(dirname "$0")/lib.sh"
e2e_setup 1024x768

# Pixel positions of the main window's buttons, from its top-left corner
# (frame border 1, caption bar 24, group box at 4,2).
SAVE_X=$((1 + 4 + 109 + 19)); SAVE_Y=$((1 + 24 + 2 + 108 + 12))
LOAD_X=$((1 + 4 + 154 + 19)); LOAD_Y=$SAVE_Y

e2e_start_app
read -r mx my _ _ < <(e2e_geometry "$E2E_MAIN_WID")

e2e_click $((mx + SAVE_X)) $((my + SAVE_Y))
dlg=$(e2e_wait_window "保存颜色")
sleep 0.3
e2e_shot "$E2E_TMP/save.png"
# The proposed name is selected, so typing replaces it.
xdotool type --delay 20 "white's"
xdotool key Tab
xdotool type --delay 20 "a comment"
xdotool key Tab Return
for i in $(seq 50); do
  n=$(sqlite3 "$E2E_APPDIR/store.kvd" "select count(*) from Colors" 2>/dev/null || echo 0)
  [ "$n" = 1 ] && break
  sleep 0.1
done
row=$(sqlite3 "$E2E_APPDIR/store.kvd" "select Name||'|'||RVal||','||GVal||','||BVal||'|'||Comment from Colors")
[ "$row" = "white's|255,255,255|a comment" ] || fail "stored row is '$row'"

e2e_click $((mx + SAVE_X)) $((my + SAVE_Y))
box=$(e2e_wait_window "提示")
sleep 0.3
e2e_shot "$E2E_TMP/refused.png"
xdotool key Return
sleep 0.3
[ "$(sqlite3 "$E2E_APPDIR/store.kvd" "select count(*) from Colors")" = 1 ] || fail "refused colour was stored"

sqlite3 "$E2E_APPDIR/store.kvd" "INSERT INTO Colors(Name,RVal,GVal,BVal,Comment) VALUES
  ('红',255,0,0,''),('大红',204,0,0,''),('海蓝',0,102,204,'sea'),('蓝300',0,0,300,'');"
e2e_click $((mx + LOAD_X)) $((my + LOAD_Y))
lib=$(e2e_wait_window "颜色库")
sleep 0.5
e2e_shot "$E2E_TMP/browser.png"
read -r lx ly _ _ < <(e2e_geometry "$lib")
# The third data row (大红), below the title row, is painted in its own colour.
px=$(e2e_pixel "$E2E_TMP/browser.png" $((lx + 1 + 8 + 150)) $((ly + 25 + 32 + 25 + 20 * 2 + 10)))
[ "$px" = "CC0000" ] || fail "大红 row painted $px"
xdotool key Escape
sleep 0.3
xdotool search --onlyvisible --name "^颜色库\$" >/dev/null 2>&1 && fail "browser still open after Esc"

if [ -n "${E2E_SHOTS:-}" ]; then cp "$E2E_TMP"/*.png "$E2E_SHOTS"/; fi

# Without a store: one error box at start-up, then the main window.
kill "$E2E_APP_PID"; e2e_wait_exit "$E2E_APP_PID"
rm "$E2E_APPDIR/store.kvd"
(cd "$E2E_APPDIR" && exec ./tintpick) >"$E2E_TMP/app2.log" 2>&1 &
E2E_PIDS+=($!)
err=$(e2e_wait_window "Tintpick")
sleep 0.3
e2e_shot "$E2E_TMP/missing.png"
if [ -n "${E2E_SHOTS:-}" ]; then cp "$E2E_TMP/missing.png" "$E2E_SHOTS"/; fi
read -r ex ey ew eh < <(e2e_geometry "$err")
e2e_click $((ex + ew / 2)) $((ey + eh - 23)) # its OK button, centred under the text
e2e_wait_window "Tintpick V1.2.0" >/dev/null
[ ! -e "$E2E_APPDIR/store.kvd" ] || fail "the program created store.kvd"
echo "PASS"
