#!/usr/bin/env bash
# How the real program ends: SIGHUP (its terminal closing) and the X server
# going away both save the history; a save that fails at the end is reported
# on standard error and to the desktop's notification service; without a
# display the program says which one is missing and ends with code 1.
source "$(dirname "$0")/lib.sh"
e2e_setup

HIST="$E2E_APPDIR/HisColors.dat"
# Three bytes hold the current colour only; a save writes all 59.
seed() { rm -rf "$HIST"; printf '\x12\x34\x56' >"$HIST"; }
saved() {
  [ -f "$HIST" ] && [ "$(stat -c %s "$HIST")" = 59 ] &&
    [ "$(od -An -tx1 -N3 "$HIST" | tr -d ' \n')" = 123456 ]
}
# Waits for the program to end; its exit code goes to $code.
wait_end() {
  e2e_wait_exit "$E2E_APP_PID" 30
  code=0
  wait "$E2E_APP_PID" || code=$?
}

# SIGHUP saves, like SIGTERM, and ends the program normally.
seed
e2e_start_app
kill -HUP "$E2E_APP_PID"
wait_end
[ "$code" = 0 ] || fail "SIGHUP: exit code $code ($(cat "$E2E_TMP/app.log"))"
saved || fail "SIGHUP: history not saved ($(od -An -tx1 "$HIST" | head -n2))"

# A save that fails at the end is reported once, on standard error and as a
# desktop notification (the monitor sees the call even without a server).
dbus-daemon --session --fork --print-address=5 --print-pid=6 \
  5>"$E2E_TMP/bus.address" 6>"$E2E_TMP/bus.pid"
E2E_PIDS+=($(cat "$E2E_TMP/bus.pid"))
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$E2E_TMP/bus.address")
dbus-monitor --session "interface='org.freedesktop.Notifications'" >"$E2E_TMP/monitor.log" 2>&1 &
E2E_PIDS+=($!)
sleep 0.5
seed
e2e_start_app
# A folder in the file's place: the save must leave it alone, also as root.
rm -f "$HIST" && mkdir "$HIST"
kill -TERM "$E2E_APP_PID"
wait_end
[ "$code" = 0 ] || fail "failed save: exit code $code"
[ -d "$HIST" ] || fail "the folder in the history file's place was replaced"
n=$(grep -c "$HIST" "$E2E_TMP/app.log" || true)
[ "$n" = 1 ] || fail "failed save reported $n times on standard error: $(cat "$E2E_TMP/app.log")"
for i in $(seq 50); do grep -q "$HIST" "$E2E_TMP/monitor.log" && break; sleep 0.1; done
grep -q 'member=Notify' "$E2E_TMP/monitor.log" && grep -q "$HIST" "$E2E_TMP/monitor.log" ||
  fail "no desktop notification naming the file: $(cat "$E2E_TMP/monitor.log")"
unset DBUS_SESSION_BUS_ADDRESS
rmdir "$HIST"

# The X server goes away under the running program: the history is saved
# before Qt ends the process.
seed
e2e_start_app
kill -KILL "${E2E_PIDS[0]}"
wait_end
saved || fail "X server killed: history not saved (exit code $code: $(tail -n3 "$E2E_TMP/app.log"))"
echo "X server killed: exit code $code, history saved"

# No display at all, then one that does not answer (the X server just
# killed): a plain message naming the variables, and exit code 1.
check_no_display() {
  local what=$1; shift
  local code=0
  (cd "$E2E_APPDIR" && exec env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY "$@" timeout 60 ./tintpick) \
    >"$E2E_TMP/nodisplay.log" 2>&1 || code=$?
  [ "$code" = 1 ] || fail "$what: exit code $code: $(cat "$E2E_TMP/nodisplay.log")"
  grep -q "DISPLAY" "$E2E_TMP/nodisplay.log" && grep -q "WAYLAND_DISPLAY" "$E2E_TMP/nodisplay.log" ||
    fail "$what: the message names no variable: $(cat "$E2E_TMP/nodisplay.log")"
  ! grep -qi "reinstall" "$E2E_TMP/nodisplay.log" || fail "$what: Qt's abort message shown"
  echo "$what: $(tail -n1 "$E2E_TMP/nodisplay.log")"
}
check_no_display "no DISPLAY" -u DISPLAY
check_no_display "DISPLAY unreachable" DISPLAY="$DISPLAY"
grep -q "DISPLAY=$DISPLAY" "$E2E_TMP/nodisplay.log" || fail "the unreachable display is not named"
