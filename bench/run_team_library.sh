#!/usr/bin/env bash
# Runs bench/team_library on a scratch PostgreSQL 15 server with a library of
# 100,000 colours: bench/run_team_library.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:?usage: run_team_library.sh BUILD_DIR}" && pwd)
source "$(dirname "$0")/../tests/support/pg_server.sh"
pg_start
pg_library bench
# Distinct channels for every row (the library holds a colour once); names
# end in one of five characters, so a search finds a share of them.
pg_admin -d bench -c "INSERT INTO Colors (Name, RVal, GVal, BVal, Comment)
  SELECT 'c' || i || (ARRAY['红','蓝','绿','灰','色'])[(i / 10) % 5 + 1], i % 256, (i / 256) % 256,
         i / 65536, 'a comment' FROM generate_series(0, 99999) AS i" -c "VACUUM ANALYZE Colors"
"$build/bench/team_library" "$(pg_uri member bench)"
