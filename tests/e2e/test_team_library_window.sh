#!/usr/bin/env bash
# A team library on a real PostgreSQL server, through the program's windows:
# chosen in "颜色库位置" (tried first, kept in the settings), "保存" and
# "加载", search, edit and delete in the browser, another member's changes
# showing in the open browser without losing an edit being typed, an edit
# of a row changed meanwhile refused, the server killed during a save (the
# dialog keeps its text, the next "确定" stores it), and a member who may
# only read refused before any dialog opens.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/../support/pg_server.sh"
e2e_setup 1024x768
pg_start
pg_library team
pg_rows team "INSERT INTO Colors(Name,RVal,GVal,BVal,Comment) VALUES ('红',255,0,0,''),('大红',204,0,0,'')"
export XDG_CONFIG_HOME="$E2E_TMP/config"
uri=$(pg_uri member team)
count() { pg_rows team "SELECT count(*) FROM Colors WHERE $1"; }
wait_rows() { # condition: waits until a row meets it
  for _ in $(seq 50); do [ "$(count "$1")" -ge 1 ] && return 0; sleep 0.1; done
  fail "no row with $1: $(pg_rows team "SELECT ID, Name, RVal, GVal, BVal FROM Colors ORDER BY ID")"
}
gone() { # window name: waits until no window has it
  for _ in $(seq 50); do xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0; sleep 0.1; done
  e2e_shot "$E2E_TMP/still-open.png"; fail "window '$1' still open"
}
box() { # an error or message box: waits for it and answers OK
  e2e_wait_window "$1" >/dev/null
  xdotool key Return
  gone "$1"
}
shown=$(printf '%s' "颜色库 - $uri" | sed 's/[.?*+]/\\&/g')

e2e_start_app
read -r mx my _ _ < <(e2e_geometry "$E2E_MAIN_WID")
save() { e2e_click $((mx + 1 + 4 + 109 + 19)) $((my + 25 + 2 + 108 + 12)); }
load() { e2e_click $((mx + 1 + 4 + 154 + 19)) $((my + 25 + 2 + 108 + 12)); }
browser() { # window name: opens the browser; sets lx, ly
  load
  read -r lx ly _ lh < <(e2e_geometry "$(e2e_wait_window "$1")")
}
cell() { e2e_click $((lx + 1 + 8 + 150)) $((ly + 92 + 20 * $1)); } # row's name cell
nav() { e2e_click $((lx + 1 + 6 + 23 * $1 + 11)) $((ly + 25 + 4 + 10)); } # 7 is post
row_is() { e2e_wait_pixel "row$1" $((lx + 1 + 8 + 150)) $((ly + 92 + 20 * $1)) "$2"; }

# "颜色库位置" from the browser: a location that fails is said and stays in
# the edit; one that works is kept, and the browser opens on it.
browser "颜色库"
e2e_click $((lx + 274)) $((ly + lh - 20))
read -r px py _ _ < <(e2e_geometry "$(e2e_wait_window "颜色库位置")")
xdotool key ctrl+a
xdotool type --delay 10 "postgresql://member@127.0.0.1:1/team"
xdotool key Return
box "Tintpick"
xdotool search --onlyvisible --name "^颜色库位置\$" >/dev/null || fail "a failed location closed the dialog"
e2e_click $((px + 1 + 56 + 100)) $((py + 25 + 11 + 10))
xdotool key ctrl+a
xdotool type --delay 10 "$uri"
xdotool key Return
gone "颜色库位置"
read -r lx ly _ lh < <(e2e_geometry "$(e2e_wait_window "$shown")")
grep -q "location=$uri" "$XDG_CONFIG_HOME/tintpick/tintpick.ini" || fail "the location is not kept"
xdotool key Escape
gone "$shown"

# "保存" into the server, text that looks like SQL as it is; the same
# colour again is refused.
save
e2e_wait_window "保存颜色" >/dev/null
xdotool type --delay 10 "it's \"ours\"; --"
xdotool key Tab
xdotool type --delay 10 'a\b'
xdotool key Tab Return
wait_rows "Name = 'it''s \"ours\"; --' AND Comment = 'a\\b' AND RVal = 255 AND BVal = 255"
save
box "提示"
[ "$(count "RVal = 255 AND GVal = 255")" = 1 ] || fail "the colour was stored twice"

# The browser shows the library, and what another member adds meanwhile.
browser "$shown"
row_is 0 FF0000
row_is 1 CC0000
pg_rows team "INSERT INTO Colors(Name,RVal,GVal,BVal) VALUES ('绿',0,255,0)"
row_is 3 00FF00
# Search: the names that end with the keyword, quotes and all.
e2e_click $((lx + 1 + 304 + 48)) $((ly + 25 + 5 + 10))
xdotool type --delay 10 "'s \"ours\"; --"
e2e_click $((lx + 1 + 409 + 28)) $((ly + 25 + 3 + 11))
row_is 0 FFFFFF
# A code finds its colour on the server too, whatever the name.
e2e_click $((lx + 1 + 304 + 48)) $((ly + 25 + 5 + 10))
xdotool key ctrl+a
xdotool type --delay 10 "#00ff00"
e2e_click $((lx + 1 + 409 + 28)) $((ly + 25 + 3 + 11))
row_is 0 00FF00
e2e_click $((lx + 1 + 472 + 28)) $((ly + 25 + 3 + 11))
row_is 3 00FF00

# An edit being typed survives another member's change, and is posted.
cell 1
xdotool type --delay 10 "mine"
pg_rows team "INSERT INTO Colors(Name,RVal,GVal,BVal) VALUES ('蓝',0,0,255)"
row_is 4 0000FF
xdotool key Tab # the text goes into the record
nav 7
wait_rows "Name = 'mine' AND RVal = 204"
# An edit of a row another member changed meanwhile is refused and shows
# the row as it is stored now.
cell 0
xdotool type --delay 10 "x"
pg_rows team "BEGIN; UPDATE Colors SET Name = 'theirs' WHERE RVal = 255 AND GVal = 0;
  INSERT INTO Colors(Name,RVal,GVal,BVal) VALUES ('黄',255,255,0); COMMIT"
row_is 5 FFFF00
xdotool key Tab
nav 7
box "Tintpick"
[ "$(count "Name = 'theirs' AND RVal = 255 AND GVal = 0")" = 1 ] || fail "the other member's change was lost"
# Delete: the white row, after the question.
cell 2
xdotool key ctrl+Delete
box "确认"
for _ in $(seq 50); do [ "$(count "RVal = 255 AND GVal = 255 AND BVal = 255")" = 0 ] && break; sleep 0.1; done
[ "$(count "RVal = 255 AND GVal = 255 AND BVal = 255")" = 0 ] || fail "the row was not deleted"
# Another member's change and delete show as well.
pg_rows team "BEGIN; UPDATE Colors SET GVal = 128 WHERE Name = '绿'; DELETE FROM Colors WHERE Name = '黄'; COMMIT"
row_is 2 FF7FFF # its name is the current cell: reversed
row_is 4 FFFFFF
# Load: the blue row becomes the current colour.
cell 3
row_is 3 FFFF00 # the current cell shows reversed
e2e_click $((lx + 1 + 374 + 37)) $((ly + 25 + 325 + 11))
gone "$shown"
e2e_wait_pixel swatch $((mx + 1 + 208 + 96 + 1 + 3)) $((my + 25 + 2 + 104 + 1 + 3)) 0000FF

# The server killed in the middle of a save: the message, the dialog with
# its text still open, and the next "确定" stores it.
e2e_click $((mx + 1 + 4 + 81 + 24)) $((my + 25 + 2 + 50 + 10))
xdotool key --delay 20 End BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
xdotool type --delay 20 "123456"
save
read -r sx sy _ _ < <(e2e_geometry "$(e2e_wait_window "保存颜色")")
xdotool type --delay 10 "survivor"
(pg_admin -d team -c "BEGIN" -c "LOCK TABLE Colors IN EXCLUSIVE MODE" -c "SELECT pg_sleep(20)" >/dev/null 2>&1 || true) &
for _ in $(seq 50); do
  [ "$(pg_rows postgres "SELECT count(*) FROM pg_locks WHERE mode = 'ExclusiveLock' AND granted AND relation IS NOT NULL")" -ge 1 ] && break
  sleep 0.1
done
xdotool key Tab Tab Return
for _ in $(seq 50); do
  [ "$(pg_rows postgres "SELECT count(*) FROM pg_stat_activity WHERE wait_event_type = 'Lock'")" -ge 1 ] && break
  sleep 0.1
done
pg_kill
box "Tintpick"
xdotool search --onlyvisible --name "^保存颜色\$" >/dev/null || fail "the save dialog closed"
pg_restart
e2e_click $((sx + 1 + 100 + 32)) $((sy + 25 + 143 + 11)) # "确定" again
gone "保存颜色"
wait_rows "Name = 'survivor' AND RVal = 18 AND GVal = 52 AND BVal = 86"

# The library commands use the library chosen in the settings.
out=$(env -u DISPLAY "$E2E_APPDIR/tintpick" --export-library "$E2E_TMP/all.gpl") || fail "export: $out"
[[ "$out" == *" $(count "true") "* ]] || fail "the export did not read the server: $out"

# A member who may only read: "保存" is refused before any dialog opens.
kill "$E2E_APP_PID"
e2e_wait_exit "$E2E_APP_PID"
(cd "$E2E_APPDIR" && exec ./tintpick --library "$(pg_uri reader team)") >"$E2E_TMP/reader.log" 2>&1 &
E2E_APP_PID=$!
E2E_PIDS+=($E2E_APP_PID)
e2e_wait_window "Tintpick V1.2.0" >/dev/null
save
box "Tintpick"
xdotool search --onlyvisible --name "^保存颜色\$" >/dev/null 2>&1 && fail "a reader got the save dialog"
if [ -n "${E2E_SHOTS:-}" ]; then cp "$E2E_TMP"/*.png "$E2E_SHOTS"/; fi
echo PASS
