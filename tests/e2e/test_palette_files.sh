#!/usr/bin/env bash
# The library to and from palette files on the command line, as a script
# would: without a display, beside a running program that must not take the
# commands over. A GIMP palette exported and imported into an empty store
# gives the same rows.
source "$(dirname "$0")/lib.sh"
schema="$(cd "$(dirname "$0")/../.." && pwd)/data/schema.sql"
e2e_setup
store="$E2E_APPDIR/store.kvd"
sqlite3 "$store" "INSERT INTO Colors(Name,RVal,GVal,BVal,Comment) VALUES
  ('红',255,0,0,'pure'),('Steel blue',70,130,180,''),('tab'||char(9)||'inside',1,2,3,''),
  ('O''Neil \"quoted\" */',0,128,0,'c'),('exactly twenty chars',250,250,250,''),('',9,9,9,'');"
e2e_start_app

rows() { sqlite3 "$1" "select Name||'|'||RVal||','||GVal||','||BVal from Colors order by ID"; }
tool() { (cd "$1" && shift && env -u DISPLAY -u WAYLAND_DISPLAY "$E2E_APPDIR/tintpick" "$@"); }

out=$(tool "$E2E_APPDIR" --export-library "$E2E_TMP/lib.gpl") || fail "export failed"
echo "$out"
[[ "$out" == *" 6 "* ]] || fail "export said '$out'"
head -n1 "$E2E_TMP/lib.gpl" | grep -qx 'GIMP Palette' || fail "no GIMP Palette line"
tool "$E2E_APPDIR" --export-library="$E2E_TMP/lib.json" >/dev/null || fail "json export failed"
python3 - "$E2E_TMP/lib.json" "$store" <<'PY' || fail "JSON does not hold the library"
import json, sqlite3, sys
doc = json.load(open(sys.argv[1], encoding="utf-8"))
want = [(n, "#%02X%02X%02X" % (r, g, b), c) for n, r, g, b, c in
        sqlite3.connect(sys.argv[2]).execute("select Name,RVal,GVal,BVal,Comment from Colors order by ID")]
got = [(c["name"], c["hex"], c["comment"]) for c in doc["colors"]]
assert got == want, (got, want)
PY
tool "$E2E_APPDIR" --export-library "$E2E_TMP/lib.css" >/dev/null || fail "css export failed"
grep -q -- '--steel-blue: #4682B4;' "$E2E_TMP/lib.css" || fail "css lacks --steel-blue"

# Into an empty store: the same rows.
mkdir "$E2E_TMP/empty"
sqlite3 "$E2E_TMP/empty/store.kvd" <"$schema"
out=$(tool "$E2E_TMP/empty" --import-library "$E2E_TMP/lib.gpl") || fail "import failed"
echo "$out"
[[ "$out" == *"添加了 6 个颜色；0 个"* ]] || fail "import said '$out'"
[ "$(rows "$E2E_TMP/empty/store.kvd")" = "$(rows "$store")" ] ||
  fail "rows differ: $(rows "$E2E_TMP/empty/store.kvd") vs $(rows "$store")"
comment=$(sqlite3 "$E2E_TMP/empty/store.kvd" "select distinct Comment from Colors")
[ "$comment" = "从 lib.gpl 导入" ] || fail "comment is '$comment'"

# Again: every colour is refused as already stored.
out=$(tool "$E2E_TMP/empty" --import-library "$E2E_TMP/lib.gpl") || fail "second import failed"
[[ "$out" == *"添加了 0 个颜色；6 个"* ]] || fail "second import said '$out'"
[ "$(sqlite3 "$E2E_TMP/empty/store.kvd" "select count(*) from Colors")" = 6 ] || fail "rows added twice"

# A bad line: exit 1, the line named, nothing changed.
printf 'GIMP Palette\r\n1 2 4 new\r\n5 6\r\n' >"$E2E_TMP/bad.gpl"
if err=$(tool "$E2E_TMP/empty" --import-library "$E2E_TMP/bad.gpl" 2>&1); then fail "bad file accepted"; fi
[[ "$err" == *"第 3 行"* ]] || fail "error does not name the line: $err"
[ "$(sqlite3 "$E2E_TMP/empty/store.kvd" "select count(*) from Colors")" = 6 ] || fail "bad file changed the store"

# The program that runs meanwhile was left alone.
kill -0 "$E2E_APP_PID" 2>/dev/null || fail "the running program ended"
xdotool search --onlyvisible --name "^Tintpick V1.2.0\$" >/dev/null || fail "main window gone"
echo PASS
