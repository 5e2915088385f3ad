#!/usr/bin/env bash
# Fifty starts of the real program, each ended by SIGTERM at a random moment
# between the first instant the program takes signals and well after its
# window shows, while both cores are kept busy: every run must end by itself
# with the history saved, and no process may be left behind. Every third run
# starts where there is no colour store, so that a message box of the
# start-up is open at some of those moments.
source "$(dirname "$0")/lib.sh"
e2e_setup

RUNS=${TINTPICK_STRESS_RUNS:-50}
HIST="$E2E_APPDIR/HisColors.dat"
LATEST_MS=1500

for i in 1 2; do
  (while :; do :; done) &
  E2E_PIDS+=($!)
done

# Whether process $1 catches SIGTERM yet (its handler is in place). The file
# is read in one go: read line by line, its lines shift under the reader as
# the process's memory figures change, and SigCgt can be missed.
catches_term() {
  local status value
  status=$(<"/proc/$1/status") 2>/dev/null || return 1
  [[ $status == *$'\nSigCgt:'* ]] || return 1
  value=${status#*$'\nSigCgt:'}
  value=${value%%$'\n'*}
  value=${value//[[:space:]]/}
  (((0x$value >> 14) & 1))
}

started=$(date +%s)
for run in $(seq "$RUNS"); do
  # Three bytes hold the current colour only; a save writes all 59.
  printf '\x12\x34\x56' >"$HIST"
  where=$E2E_APPDIR
  ((run % 3)) || where=$E2E_TMP
  (cd "$where" && exec "$E2E_APPDIR/tintpick") >"$E2E_TMP/app.log" 2>&1 &
  pid=$!
  E2E_PIDS+=($pid)
  for i in $(seq 3000); do
    catches_term "$pid" && break
    kill -0 "$pid" 2>/dev/null || fail "run $run: ended before taking signals: $(cat "$E2E_TMP/app.log")"
    sleep 0.01
  done
  catches_term "$pid" || fail "run $run: SIGTERM never caught"
  delay_ms=$((RANDOM % LATEST_MS))
  sleep "$((delay_ms / 1000)).$(printf '%03d' $((delay_ms % 1000)))"
  kill -TERM "$pid"
  for i in $(seq 300); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && fail "run $run: still running 30 s after SIGTERM sent at ${delay_ms} ms"
  code=0
  wait "$pid" || code=$?
  [ "$code" = 0 ] || fail "run $run: exit code $code after SIGTERM at ${delay_ms} ms: $(cat "$E2E_TMP/app.log")"
  [ "$(stat -c %s "$HIST")" = 59 ] && [ "$(od -An -tx1 -N3 "$HIST" | tr -d ' \n')" = 123456 ] ||
    fail "run $run: history not saved after SIGTERM at ${delay_ms} ms"
done

left=""
for p in /proc/[0-9]*; do
  [ "$(readlink "$p/exe" 2>/dev/null)" = "$E2E_APPDIR/tintpick" ] && left+=" ${p#/proc/}"
done
[ -z "$left" ] || fail "processes left behind:$left"
echo "$RUNS runs ended by SIGTERM, each saved, in $(($(date +%s) - started)) s"
