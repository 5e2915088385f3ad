#!/usr/bin/env bash
# The first start of an installed copy with no library anywhere: the program
# makes an empty one in the user's data folder and shows its main window and
# nothing else; the browser of the empty library says where it lies.
source "$(dirname "$0")/lib.sh"
e2e_setup 1024x768

# An install prefix: the program in bin/, its data (the schema among it) in
# share/tintpick/, as the install rules lay them out.
prefix="$E2E_TMP/prefix"
mkdir -p "$prefix/bin" "$prefix/share/tintpick"
cp "$E2E_PROGRAM" "$prefix/bin/tintpick"
cp "$(dirname "$0")/../../data/schema.sql" "$prefix/share/tintpick/"
export HOME="$E2E_TMP/home"
mkdir -p "$HOME"
unset XDG_DATA_HOME XDG_CONFIG_HOME
USERDIR="$HOME/.local/share/tintpick"
LOAD_X=$((1 + 4 + 154 + 19)); LOAD_Y=$((1 + 24 + 2 + 108 + 12))

(cd "$HOME" && exec "$prefix/bin/tintpick") >"$E2E_TMP/app.log" 2>&1 &
E2E_APP_PID=$!
E2E_PIDS+=($E2E_APP_PID)
# A box at the first start would hold the main window back until answered.
E2E_MAIN_WID=$(e2e_wait_window "Tintpick V1.2.0")
[ -f "$USERDIR/store.kvd" ] || fail "no library made in $USERDIR"
xdotool search --onlyvisible --name "^Tintpick \$" >/dev/null 2>&1 &&
  fail "the first start opened a box besides the main window"

read -r mx my _ _ < <(e2e_geometry "$E2E_MAIN_WID")
e2e_click $((mx + LOAD_X)) $((my + LOAD_Y))
e2e_wait_window "颜色库" >/dev/null
sleep 0.5
e2e_shot "$E2E_TMP/empty-library.png"
if [ -n "${E2E_SHOTS:-}" ]; then cp "$E2E_TMP/empty-library.png" "$E2E_SHOTS"/; fi
xdotool key Escape
echo "PASS"
