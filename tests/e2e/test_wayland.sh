#!/usr/bin/env bash
# The program on a Wayland desktop: a headless sway with the desktop portal
# (xdg-desktop-portal with the wlr and gtk back ends, pipewire), driven by a
# virtual pointer and wtype. Natively a click on the swatch freezes the
# desktop into an overlay where a click picks the background; Esc there
# restores the colour; under XWayland a drag reads the portal's picture;
# the measuring window shows the frozen desktop with the inverted line.
# sway refuses to run as root: as root the session runs as an unprivileged
# user of its own.
set -euo pipefail
PROGRAM=${1:?usage: test_wayland.sh path/to/tintpick}
here=$(cd "$(dirname "$0")" && pwd)
POINTER="$(dirname "$PROGRAM")/tests/wl_pointer"
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in sway swaymsg pipewire grim wtype wl-paste jq dbus-run-session dbus-send convert Xwayland \
  /usr/libexec/xdg-desktop-portal /usr/libexec/xdg-desktop-portal-wlr /usr/libexec/xdg-desktop-portal-gtk; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/deps.sh installs it)"
done
[ -x "$POINTER" ] || fail "no $POINTER (the build needs libwayland-dev)"

TMP=$(mktemp -d /tmp/tintpick-wl.XXXXXX)
chmod 755 "$TMP"
cleanup() {
  if [ -n "${E2E_KEEP:-}" ]; then echo "kept $TMP"; return; fi
  # The document portal that the session's D-Bus started may still hold its
  # mount inside the folder for a moment after the session ends.
  local m
  for m in $(awk -v t="$TMP/" 'index($2, t) == 1 {print $2}' /proc/mounts); do
    umount -l "$m" 2>/dev/null || fusermount3 -u "$m" 2>/dev/null || true
  done
  rm -rf "$TMP"
}
trap cleanup EXIT
mkdir -p "$TMP/home/app"
cp "$PROGRAM" "$TMP/home/app/tintpick"
[ -f "$(dirname "$PROGRAM")/store.kvd" ] && cp "$(dirname "$PROGRAM")/store.kvd" "$TMP/home/app/"
cp "$POINTER" "$TMP/home/wl_pointer"
cp "$here/wayland_session.sh" "$TMP/home/"
# bench/run_portal_freeze.sh runs its benchmark in this session instead.
[ -n "${E2E_WL_BENCH:-}" ] && cp "$E2E_WL_BENCH" "$TMP/home/bench"

session_env=(env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$TMP/home" LANG=C.UTF-8
  XDG_RUNTIME_DIR="$TMP/home/xdg" XDG_CONFIG_HOME="$TMP/home/config"
  ${E2E_WL_BENCH:+E2E_WL_ROUNDS=${E2E_WL_ROUNDS:-10}})
if [ "$(id -u)" = 0 ]; then
  user=tintpick-e2e
  id "$user" >/dev/null 2>&1 ||
    useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user"
  chown -R "$user" "$TMP/home"
  run=(runuser -u "$user" -- "${session_env[@]}")
else
  run=("${session_env[@]}")
fi
# The whole session, with its own bus, ends with the script inside it.
# The portal's services are chatty on standard error; kept for a failure.
timeout 300 "${run[@]}" dbus-run-session -- bash "$TMP/home/wayland_session.sh" 2>"$TMP/session.err" ||
  { grep -h FAIL "$TMP/session.err" || true
    for log in "$TMP"/home/*.log "$TMP/session.err"; do echo "--- $log"; tail -15 "$log" || true; done
    fail "the Wayland session failed"; }
echo "PASS"
