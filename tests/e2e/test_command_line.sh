#!/usr/bin/env bash
# Asking the program for its usage or its version needs no display: both
# work from a plain terminal, print on standard output and end with status 0.
set -euo pipefail
program=${1:?usage: test_command_line.sh path/to/tintpick}
tmp=$(mktemp -d /tmp/tintpick-cli.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

bare() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@"; }

bare --version >"$tmp/out" 2>"$tmp/err" || fail "--version ended with $?: $(cat "$tmp/err")"
[ "$(cat "$tmp/out")" = "tintpick 1.2.0" ] || fail "--version printed '$(cat "$tmp/out")'"

for opt in --help -h; do
  bare "$opt" >"$tmp/out" 2>"$tmp/err" || fail "$opt ended with $?: $(cat "$tmp/err")"
  grep -q '^用法：tintpick' "$tmp/out" || fail "$opt printed no usage: $(cat "$tmp/out")"
  grep -q -- '--version' "$tmp/out" || fail "$opt does not name --version"
  [ ! -s "$tmp/err" ] || fail "$opt wrote to standard error: $(cat "$tmp/err")"
done

echo "PASS"
