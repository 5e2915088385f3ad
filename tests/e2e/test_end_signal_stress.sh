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

# The status of process $1, read in one go: read line by line, its lines
# shift under the reader as the process's memory figures change. Not with
# $(<file), which ends the whole script under set -e when the process, and
# with it the file, is gone.
status_of() {
  cat "/proc/$1/status" 2>/dev/null
}

# Whether process $1 catches SIGTERM yet (its handler is in place). Until
# the exec, the process is the shell that starts it, which may have handlers
# of its own: the program's name is read first, its signals after.
catches_term() {
  local status value
  [ "$(readlink "/proc/$1/exe" 2>/dev/null)" = "$E2E_APPDIR/tintpick" ] || return 1
  status=$(status_of "$1") || return 1
  [[ $status == *$'\nSigCgt:'* ]] || return 1
  value=${status#*$'\nSigCgt:'}
  value=${value%%$'\n'*}
  value=${value//[[:space:]]/}
  (((0x$value >> 14) & 1))
}

# Whether process $1 is still running: a child that has ended is a zombie
# until the shell reaps it, and kill -0 still reaches a zombie.
running() {
  local status
  status=$(status_of "$1") || return 1
  local zombie=$'\n''State:[[:space:]]*Z'
  ! [[ $status =~ $zombie ]]
}

# A run that ends by itself, before or after its handler is in place, is
# reported with what it said and its exit code.
ended() {
  local code=0
  wait "$pid" || code=$?
  fail "run $run: ended by itself $1, exit code $code: $(cat "$E2E_TMP/app.log")"
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
  # Until its handler is in place, by the clock: a count of polls lasts
  # however long the loaded machine makes each one.
  caught="" deadline=$((SECONDS + 60))
  while ((SECONDS < deadline)); do
    if catches_term "$pid"; then caught=1; break; fi
    running "$pid" || ended "before taking signals"
    sleep 0.01
  done
  [ -n "$caught" ] || fail "run $run: SIGTERM not caught after 60 s; $(status_of "$pid" | grep -E '^(State|SigBlk|SigIgn|SigCgt)' | tr '\n' ' ')"
  delay_ms=$((RANDOM % LATEST_MS))
  sleep "$((delay_ms / 1000)).$(printf '%03d' $((delay_ms % 1000)))"
  running "$pid" || ended "${delay_ms} ms after taking signals, before SIGTERM"
  kill -TERM "$pid"
  for i in $(seq 300); do
    running "$pid" || break
    sleep 0.1
  done
  running "$pid" && fail "run $run: still running 30 s after SIGTERM sent at ${delay_ms} ms"
  code=0
  wait "$pid" || code=$?
  # Waited for: its number may soon be another process's, which the
  # cleanup must not kill.
  unset 'E2E_PIDS[-1]'
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
