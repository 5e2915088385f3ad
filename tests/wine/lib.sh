# Shared helpers for the Windows program's end-to-end tests under Wine: a
# private Xvfb (-noreset: Wine's processes come and go), a Wine prefix of
# the test's own, the program from the portable zip or the installer in
# dist/, windows found by caption. Source it with the folder holding the
# packages as $1; call wine_setup first. Builds on tests/e2e/lib.sh (its
# window, pointer, pixel and clipboard helpers).
#
#   WINE_TEMPLATE  an initialised prefix to copy (tests/wine/run.sh makes one
#                  per run: wineboot takes ~20 s, a copy ~2 s)
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/prefix.sh"

WINE_DIST=$(cd "$E2E_PROGRAM" && pwd)
WINE_VERSION=$(sed -n 's/^project(Tintpick VERSION \([0-9.]*\).*/\1/p' \
  "$(dirname "${BASH_SOURCE[0]}")/../../CMakeLists.txt")
WINE_ZIP=$WINE_DIST/tintpick-$WINE_VERSION-win64-portable.zip
WINE_SETUP=$WINE_DIST/tintpick-$WINE_VERSION-win64-setup.exe
MAIN="Tintpick V$WINE_VERSION"

wine_cleanup() {
  local status=$?
  # A failure says which windows were up (an error box, say); with
  # WINE_SHOTS set it also keeps the screen.
  if [ "$status" != 0 ] && [ -n "${DISPLAY:-}" ]; then
    echo "windows shown at the failure:" >&2
    xwininfo -root -tree 2>/dev/null | grep -E '^ +0x[0-9a-f]+ "' | grep -v 'Default IME' >&2 || true
    [ -n "${WINE_SHOTS:-}" ] && mkdir -p "$WINE_SHOTS" &&
      import -window root "$WINE_SHOTS/failure-$(basename "$0" .sh).png" 2>/dev/null || true
  fi
  # Only this test's own prefix: other tests' Wine sessions live on.
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then wineserver -k 2>/dev/null || true; fi
  e2e_cleanup
}
trap wine_cleanup EXIT

# Xvfb, then the prefix: $E2E_TMP/prefix, user folders as Wine names them.
# Sets WINE_APPDATA, WINE_LOCALAPPDATA (Unix paths).
# usage: wine_setup [WIDTHxHEIGHT]
wine_setup() {
  local size=${1:-1024x768}
  for tool in wine wineserver unzip; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/deps.sh --windows)"
  done
  exec 3>"$E2E_TMP/display"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset >"$E2E_TMP/xvfb.log" 2>&1 &
  E2E_PIDS+=($!)
  local i
  for i in $(seq 50); do
    [ -s "$E2E_TMP/display" ] && break
    sleep 0.1
  done
  export DISPLAY=":$(head -n1 "$E2E_TMP/display")"
  [ "$DISPLAY" != ":" ] || fail "Xvfb did not start"
  unset WAYLAND_DISPLAY
  export XDG_SESSION_TYPE=x11
  export WINEPREFIX="$E2E_TMP/prefix" WINEDEBUG=-all WINEARCH=win64
  # No Mono or Gecko download prompts: the program needs neither.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ -n "${WINE_TEMPLATE:-}" ]; then
    cp -a "$WINE_TEMPLATE" "$WINEPREFIX"
  else
    wine_init_prefix "$E2E_TMP/wineboot.log" || fail "the Wine prefix could not be made"
  fi
  local user
  user=$(id -un)
  WINE_APPDATA="$WINEPREFIX/drive_c/users/$user/AppData/Roaming"
  WINE_LOCALAPPDATA="$WINEPREFIX/drive_c/users/$user/AppData/Local"
  [ -d "$WINE_APPDATA" ] || fail "the prefix has no $WINE_APPDATA"
}

# Unpacks the portable zip as a user would, into C:\Tintpick. Sets
# WINE_APPDIR.
wine_unpack_portable() {
  [ -f "$WINE_ZIP" ] || fail "no $WINE_ZIP"
  WINE_APPDIR="$WINEPREFIX/drive_c/Tintpick"
  mkdir -p "$WINE_APPDIR"
  unzip -q "$WINE_ZIP" -d "$WINE_APPDIR"
  [ -f "$WINE_APPDIR/tintpick.exe" ] || fail "the zip has no tintpick.exe at its top"
}

# Starts $WINE_APPDIR/tintpick.exe (from its own folder, as Explorer does)
# with the arguments given and waits for its main window. Sets E2E_APP_PID
# and E2E_MAIN_WID.
wine_start_app() {
  (cd "$WINE_APPDIR" && exec wine ./tintpick.exe "$@") >>"$E2E_TMP/app.log" 2>&1 &
  E2E_APP_PID=$!
  E2E_PIDS+=($E2E_APP_PID)
  E2E_MAIN_WID=$(e2e_wait_window "$MAIN")
}

# Waits until pixel ($2, $3) of window $1 is no longer black: the window is
# mapped before Wine has painted it.
# usage: wine_wait_painted WID X Y
wine_wait_painted() {
  local wid=$1 x=$2 y=$3 i got=
  for i in $(seq 100); do
    import -window "$wid" "$E2E_TMP/painted.png" 2>/dev/null &&
      got=$(e2e_pixel "$E2E_TMP/painted.png" "$x" "$y") && [ "$got" != 000000 ] && return 0
    sleep 0.1
  done
  fail "window $wid not painted at ($x, $y)"
}

# The 59 bytes of a history file as upper-case hex.
wine_history_hex() {
  [ -f "$1" ] || fail "no history file $1"
  [ "$(stat -c %s "$1")" = 59 ] || fail "$1 has $(stat -c %s "$1") bytes, expected 59"
  xxd -p -u "$1" | tr -d '\n'
}

# Value $2 of registry key $1 (HKCU\...) as reg.exe prints it.
wine_reg_value() {
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    awk -v v="$2" '$1 == v { $1 = ""; $2 = ""; sub(/^  */, ""); print; exit }'
}
