# A PostgreSQL 15 server of the test's own: a scratch cluster that listens on
# a free port of 127.0.0.1 and on a socket in its own folder, stopped when
# the test ends, whether it passes, fails or is killed. Source it (after
# tests/e2e/lib.sh when the test also needs a display); call pg_start first.
#
#   pg_start               start the server; sets PG_PORT, PG_DIR, PG_SOCKET
#   pg_admin [psql args]   psql as the cluster's superuser over the socket
#   pg_library DB          a database DB with the team library's schema, and
#                          the roles member (writes) and reader (reads only),
#                          whose passwords sit in $PGPASSFILE
#   pg_uri USER DB         the library's location for USER
#   pg_stop / pg_kill      stop it cleanly / kill it as a crash would
#   pg_pause / pg_resume   freeze the server, as a network that is gone
set -euo pipefail

PG_BIN=${PG_BIN:-/usr/lib/postgresql/15/bin}
[ -x "$PG_BIN/initdb" ] || { echo "FAIL: no PostgreSQL 15 in $PG_BIN (scripts/deps.sh installs it)" >&2; exit 1; }
PG_SCHEMA="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/data/schema-postgresql.sql"
PG_DIR=
PG_PORT=
PG_SOCKET=

# The server refuses to run as root; a root test runs it as nobody.
pg_as_owner() {
  if [ "$(id -u)" = 0 ]; then
    (cd / && setpriv --reuid=nobody --regid=nogroup --clear-groups -- "$@")
  else
    "$@"
  fi
}

# An initdb takes over a second; a cluster made once per build (and per
# server version) is copied for each test instead.
pg_template() {
  local version template
  version=$("$PG_BIN/initdb" --version | awk '{print $3}')
  template=${TINTPICK_PG_TEMPLATE:-${TMPDIR:-/tmp}/tintpick-pg-template-$(id -u)}-$version
  (
    flock 9
    if [ ! -f "$template/PG_VERSION" ]; then
      local work
      work=$(mktemp -d "${TMPDIR:-/tmp}/tintpick-pg-init.XXXXXX")
      chmod 755 "$work"
      [ "$(id -u)" = 0 ] && chown nobody:nogroup "$work"
      pg_as_owner "$PG_BIN/initdb" -D "$work/data" -U postgres -A trust -E UTF8 \
        --locale=C.UTF-8 --no-sync >"$work/initdb.log" 2>&1 ||
        { cat "$work/initdb.log" >&2; exit 1; }
      rm -rf "$template"
      mv "$work/data" "$template"
      rm -rf "$work"
    fi
  ) 9>"$template.lock"
  echo "$template"
}

pg_start() {
  local template port tries
  template=$(pg_template)
  PG_DIR=$(mktemp -d "${TMPDIR:-/tmp}/tintpick-pg.XXXXXX")
  chmod 700 "$PG_DIR"
  cp -a "$template" "$PG_DIR/data"
  [ "$(id -u)" = 0 ] && chown -R nobody:nogroup "$PG_DIR"
  PG_SOCKET=$PG_DIR
  # Anyone on the machine could reach 127.0.0.1, so members log in with
  # passwords there; the socket sits in a folder only the test can enter.
  cat >"$PG_DIR/data/pg_hba.conf" <<EOF
local all postgres trust
host  all all 127.0.0.1/32 scram-sha-256
EOF
  # Stopped even when the test is killed: a watcher outside the test's
  # process group (and not its child, which a bare `wait` would wait for)
  # ends the server once the test's shell is gone.
  (setsid bash -c 'while kill -0 "$1" 2>/dev/null; do sleep 0.5; done
    if [ -f "$2/data/postmaster.pid" ]; then
      main=$(head -n1 "$2/data/postmaster.pid")
      kill -CONT "$main" $(pgrep -P "$main") 2>/dev/null
      kill -QUIT "$main" 2>/dev/null
      for _ in $(seq 100); do kill -0 "$main" 2>/dev/null || break; sleep 0.1; done
    fi
    rm -rf "$2"' _ $$ "$PG_DIR" </dev/null >/dev/null 2>&1 &)
  for tries in 1 2 3; do
    port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    if pg_as_owner "$PG_BIN/pg_ctl" -D "$PG_DIR/data" -l "$PG_DIR/server.log" -w -t 30 \
      -o "-c listen_addresses=127.0.0.1 -p $port -c unix_socket_directories=$PG_SOCKET -c fsync=off -c synchronous_commit=off -c full_page_writes=off" \
      start >/dev/null; then
      PG_PORT=$port
      break
    fi
  done
  [ -n "$PG_PORT" ] || { cat "$PG_DIR/server.log" >&2; echo "FAIL: the test server did not start" >&2; exit 1; }
  export PGPASSFILE="$PG_DIR/pgpass"
  : >"$PGPASSFILE"
  chmod 600 "$PGPASSFILE"
  return 0
}

# The server's own processes, the postmaster first.
pg_pids() {
  local main
  main=$(head -n1 "$PG_DIR/data/postmaster.pid")
  echo "$main"
  pgrep -P "$main" || true
}

pg_stop() {
  pg_as_owner "$PG_BIN/pg_ctl" -D "$PG_DIR/data" -m fast -w stop >/dev/null 2>&1 || true
}

pg_kill() {
  local pid
  for pid in $(pg_pids); do kill -9 "$pid" 2>/dev/null || true; done
  for _ in $(seq 50); do
    pg_as_owner "$PG_BIN/pg_ctl" -D "$PG_DIR/data" status >/dev/null 2>&1 || return 0
    sleep 0.1
  done
}

# Starts it again on the same port (after pg_stop or pg_kill).
pg_restart() {
  rm -f "$PG_DIR/data/postmaster.pid"
  pg_as_owner "$PG_BIN/pg_ctl" -D "$PG_DIR/data" -l "$PG_DIR/server.log" -w -t 30 \
    -o "-c listen_addresses=127.0.0.1 -p $PG_PORT -c unix_socket_directories=$PG_SOCKET -c fsync=off -c synchronous_commit=off" \
    start >/dev/null
}

pg_pause() { kill -STOP $(pg_pids); }
pg_resume() { kill -CONT $(pg_pids); }

pg_admin() {
  psql -X -q -v ON_ERROR_STOP=1 -h "$PG_SOCKET" -p "$PG_PORT" -U postgres "$@"
}

pg_library() {
  local db=$1
  pg_admin -d postgres <<EOF
SET client_min_messages = warning;
DO \$\$ BEGIN
  IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'member') THEN
    CREATE ROLE member LOGIN PASSWORD 'member''s pass';
    CREATE ROLE reader LOGIN PASSWORD 'reader-pass';
  END IF;
END \$\$;
CREATE DATABASE "$db";
EOF
  pg_admin -d "$db" -f "$PG_SCHEMA"
  pg_admin -d "$db" <<'EOF'
GRANT SELECT, INSERT, UPDATE, DELETE ON Colors TO member;
GRANT SELECT ON Colors TO reader;
EOF
  grep -q "^127.0.0.1:$PG_PORT:\*:member:" "$PGPASSFILE" || cat >>"$PGPASSFILE" <<EOF
127.0.0.1:$PG_PORT:*:member:member's pass
127.0.0.1:$PG_PORT:*:reader:reader-pass
EOF
}

pg_uri() { echo "postgresql://$1@127.0.0.1:$PG_PORT/$2"; }

# Runs SQL in DB as the superuser and prints the rows, fields joined by |.
pg_rows() { pg_admin -d "$1" -At -c "$2"; }
