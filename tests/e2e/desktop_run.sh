# Shared by the Wayland desktop tests (test_wayland.sh: sway, test_gnome.sh:
# GNOME Shell): a scratch home with a copy of the program, and one whole
# desktop session run inside its own D-Bus session bus as an ordinary user.
# Source it, then call desktop_run.
set -euo pipefail
DESKTOP_PROGRAM=${1:?usage: test_x.sh path/to/tintpick}
DESKTOP_HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }

# Fails naming the first of the tools ($@) that is missing.
desktop_need() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/deps.sh installs it)"
  done
}

desktop_cleanup() {
  if [ -n "${E2E_KEEP:-}" ]; then echo "kept $TMP"; return 0; fi
  # A service of the session may still be writing its last words there.
  rm -rf "$TMP" 2>/dev/null || { sleep 1; rm -rf "$TMP"; }
}

# usage: desktop_run SESSION_SCRIPT [FILE...]
# SESSION_SCRIPT (beside this file) runs as the user with $HOME/app holding
# the program; the FILEs are copied into $HOME. Environment variables named
# E2E_* are handed on. The session's standard error is printed on failure.
desktop_run() {
  local script=$1 file
  shift
  TMP=$(mktemp -d /tmp/tintpick-desktop.XXXXXX)
  chmod 755 "$TMP"
  trap desktop_cleanup EXIT
  mkdir -p "$TMP/home/app"
  cp "$DESKTOP_PROGRAM" "$TMP/home/app/tintpick"
  local dir
  dir=$(dirname "$DESKTOP_PROGRAM")
  [ -f "$dir/store.kvd" ] && cp "$dir/store.kvd" "$TMP/home/app/"
  cp "$DESKTOP_HERE/$script" "$DESKTOP_HERE/desktop_lib.sh" "$TMP/home/"
  for file in "$@"; do cp "$file" "$TMP/home/"; done
  local env_vars=(PATH=/usr/local/bin:/usr/bin:/bin HOME="$TMP/home" LANG=C.UTF-8
    XDG_RUNTIME_DIR="$TMP/home/xdg" XDG_CONFIG_HOME="$TMP/home/config")
  local v
  for v in $(compgen -e | grep '^E2E_' || true); do env_vars+=("$v=${!v}"); done
  local run
  if [ "$(id -u)" = 0 ]; then
    # The compositors refuse to run as root: the session gets a user of its own.
    local user=tintpick-e2e
    id "$user" >/dev/null 2>&1 ||
      useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user"
    chown -R "$user" "$TMP/home"
    run=(runuser -u "$user" -- env -i "${env_vars[@]}")
  else
    run=(env -i "${env_vars[@]}")
  fi
  # The whole session, with its own bus, ends with the script inside it.
  # The desktop's services are chatty on standard error; kept for a failure.
  timeout 300 "${run[@]}" dbus-run-session -- bash "$TMP/home/$script" 2>"$TMP/session.err" ||
    { grep -h FAIL "$TMP/session.err" || true
      for log in "$TMP"/home/*.log "$TMP/session.err"; do echo "--- $log"; tail -15 "$log" || true; done
      fail "the $script session failed"; }
}
