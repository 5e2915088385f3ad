#!/usr/bin/env bash
# Runs bench/portal_freeze in the headless GNOME Shell session of the GNOME
# end-to-end test, against gnome-shell's screenshot through
# `gnome-screenshot -f`: bench/run_portal_freeze_gnome.sh BUILD_DIR [ROUNDS]
set -euo pipefail
build=$(cd "${1:?usage: run_portal_freeze_gnome.sh BUILD_DIR [ROUNDS]}" && pwd)
E2E_GNOME_BENCH="$build/bench/portal_freeze" E2E_GNOME_ROUNDS=${2:-15} \
  bash "$(dirname "$0")/../tests/e2e/test_gnome.sh" "$build/tintpick"
