# Shared by the desktop sessions (wayland_session.sh, gnome_session.sh),
# sourced inside them. Each session defines fail, window_at ("x y" of the
# first window whose title matches $1; $2 = fullscreen for a full-screen
# one) and screen_pixel (pixel $1, $2 as RRGGBB); these helpers build on
# them. Processes put into PIDS end with the session.
PIDS=()
cleanup() {
  local pid
  for pid in "${PIDS[@]:-}"; do [ -n "$pid" ] && kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap cleanup EXIT

wait_window() {
  local at
  for _ in $(seq 300); do
    at=$(window_at "$@")
    [ -n "$at" ] && { echo "$at"; return 0; }
    sleep 0.1
  done
  fail "no window '$1' ${2:-}"
}
wait_gone() {
  for _ in $(seq 100); do [ -z "$(window_at "$@")" ] && return 0; sleep 0.1; done
  fail "window '$1' still there"
}
# Waits (up to 5 s) until pixel ($1, $2) of the screen is $3; fails with $4.
wait_pixel() {
  local got=
  for _ in $(seq 50); do
    got=$(screen_pixel "$1" "$2")
    [ "$got" = "$3" ] && return 0
    sleep 0.1
  done
  fail "$4: pixel ($1, $2) is $got, expected $3"
}
# Slot 0 and the write position of a history file.
history_of() { od -An -tx1 -v "$1" | tr -d ' \n' | cut -c7-8,23-28; }

# The program started by the session's start_app (APP_PID), its main window
# at (MX, MY): the client area is 1 pixel in and 25 down (the caption Qt
# draws); the swatch, "复制", "测距" and the first history cell are at their
# layout positions.
stop_app() {
  kill -TERM "$APP_PID"
  for _ in $(seq 100); do kill -0 "$APP_PID" 2>/dev/null || return 0; sleep 0.1; done
  fail "the program did not end on SIGTERM"
}
swatch() { echo $((MX + 323)) $((MY + 148)); }
copy_button() { echo $((MX + 1 + 4 + 143 + 25)) $((MY + 25 + 2 + 49 + 11)); }
ruler_button() { echo $((MX + 1 + 147 + 22)) $((MY + 25 + 149 + 12)); }
first_cell() { echo $((MX + 21)) $((MY + 110)); }
