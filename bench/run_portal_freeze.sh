#!/usr/bin/env bash
# Runs bench/portal_freeze in the headless sway session of the Wayland
# end-to-end test: bench/run_portal_freeze.sh BUILD_DIR [ROUNDS]
set -euo pipefail
build=$(cd "${1:?usage: run_portal_freeze.sh BUILD_DIR [ROUNDS]}" && pwd)
E2E_WL_BENCH="$build/bench/portal_freeze" E2E_WL_ROUNDS=${2:-10} \
  bash "$(dirname "$0")/../tests/e2e/test_wayland.sh" "$build/tintpick"
