# Shared helpers for the end-to-end tests: a private Xvfb, the real program
# started from a scratch copy of its folder, windows found by caption, and
# screenshots. Source it; call e2e_setup first. Every helper fails loudly.
set -euo pipefail

E2E_PROGRAM=${1:?usage: test_x.sh path/to/tintpick}
E2E_TMP=$(mktemp -d /tmp/tintpick-e2e.XXXXXX)
E2E_PIDS=()

e2e_cleanup() {
  local pid
  for pid in "${E2E_PIDS[@]:-}"; do
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  done
  sleep 0.2
  for pid in "${E2E_PIDS[@]:-}"; do
    [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null || true
  done
  if [ -z "${E2E_KEEP:-}" ]; then rm -rf "$E2E_TMP"; else echo "kept $E2E_TMP"; fi
}
trap e2e_cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# Starts Xvfb on a free display (several tests may run at once).
# usage: e2e_setup [WIDTHxHEIGHT]
e2e_setup() {
  local size=${1:-1024x768}
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
  export XDG_RUNTIME_DIR="$E2E_TMP/xdg"; mkdir -p -m 700 "$XDG_RUNTIME_DIR"
  # A plain X11 session, even when the tests are started from a Wayland
  # desktop (the program would read the screen through its portal there).
  unset WAYLAND_DISPLAY
  export XDG_SESSION_TYPE=x11
  # The program keeps files beside itself: run a copy in a scratch folder.
  E2E_APPDIR="$E2E_TMP/app"
  mkdir -p "$E2E_APPDIR"
  cp "$E2E_PROGRAM" "$E2E_APPDIR/tintpick"
  local src
  src=$(dirname "$E2E_PROGRAM")
  for f in store.kvd ColorTable.htm; do
    [ -f "$src/$f" ] && cp "$src/$f" "$E2E_APPDIR/$f"
  done
  return 0
}

# Starts the program (from its folder, as the run command does) and waits
# for its main window. Sets E2E_APP_PID and E2E_MAIN_WID.
e2e_start_app() {
  (cd "$E2E_APPDIR" && exec ./tintpick) >"$E2E_TMP/app.log" 2>&1 &
  E2E_APP_PID=$!
  E2E_PIDS+=($E2E_APP_PID)
  E2E_MAIN_WID=$(e2e_wait_window "Tintpick V1.2.0")
}

# Prints the id of the first visible window whose caption is exactly $1.
e2e_wait_window() {
  local name=$1 i wid
  for i in $(seq 300); do
    wid=$(xdotool search --onlyvisible --name "^${name}\$" 2>/dev/null | head -n1 || true)
    if [ -n "$wid" ]; then echo "$wid"; return 0; fi
    sleep 0.1
  done
  fail "no window named '$name'"
}

# Waits until no window named $1 is shown any more (at most 5 s); fails
# with $2 otherwise.
# usage: e2e_wait_window_gone NAME WHY
e2e_wait_window_gone() {
  local name=$1 why=$2 i
  for i in $(seq 50); do
    xdotool search --onlyvisible --name "^${name}\$" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "$why"
}

# Waits until process $1 has ended (at most $2 seconds, default 10).
e2e_wait_exit() {
  local pid=$1 limit=${2:-10} i
  for i in $(seq $((limit * 10))); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  fail "process $pid still running after ${limit}s"
}

# Window geometry: prints "X Y W H" of window $1 in root coordinates.
e2e_geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
    /Width:/{w=$NF} /Height:/{h=$NF} END{print x, y, w, h}'
}

# Clicks at root position ($1, $2) with button ${3:-1}.
# (mousemove --sync waits for a motion event, which never comes when the
# pointer already stands there, so that case skips the move. Where the
# pointer is cannot be told while the window under it goes away.)
e2e_click() {
  local X="" Y="" SCREEN WINDOW
  eval "$(xdotool getmouselocation --shell 2>/dev/null)" || true
  if [ "$X" != "$1" ] || [ "$Y" != "$2" ]; then
    xdotool mousemove --sync "$1" "$2"
  fi
  xdotool click "${3:-1}"
}

# Screenshot of the whole screen into $1.
e2e_shot() { import -window root "$1"; }

# Prints the colour of pixel ($2, $3) of image $1 as RRGGBB.
e2e_pixel() {
  convert "$1" -format '%[hex:u.p{'"$2"','"$3"'}]' info: | cut -c1-6
}

# Waits (up to 5 s) until the clipboard holds $1; fails with $2 and what it
# holds.
e2e_wait_clipboard() {
  local want=$1 got= i
  for i in $(seq 50); do
    got=$(xclip -o -selection clipboard 2>/dev/null || true)
    [ "$got" = "$want" ] && return 0
    sleep 0.1
  done
  fail "$2: the clipboard holds '$got', want '$want'"
}

# Waits (up to 5 s) until pixel ($2, $3) of the screen shows colour $4;
# fails with $1 and the colour last seen. The last shot stays in
# $E2E_TMP/$1.png.
e2e_wait_pixel() {
  local name=$1 x=$2 y=$3 want=$4 got= i
  for i in $(seq 50); do
    e2e_shot "$E2E_TMP/$name.png"
    got=$(e2e_pixel "$E2E_TMP/$name.png" "$x" "$y")
    [ "$got" = "$want" ] && return 0
    sleep 0.1
  done
  fail "$name: pixel ($x, $y) is $got, want $want"
}
