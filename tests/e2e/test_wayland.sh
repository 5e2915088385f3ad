#!/usr/bin/env bash
# The program on a Wayland desktop: a headless sway with the desktop portal
# (xdg-desktop-portal with the wlr and gtk back ends, pipewire), driven by a
# virtual pointer and wtype. Natively a click on the swatch freezes the
# desktop into an overlay where a click picks the background; Esc there
# restores the colour; under XWayland a drag reads the portal's picture;
# the measuring window shows the frozen desktop with the inverted line.
# sway refuses to run as root: as root the session runs as an unprivileged
# user of its own.
source "$(dirname "$0")/desktop_run.sh"
POINTER="$(dirname "$DESKTOP_PROGRAM")/tests/wl_pointer"
desktop_need sway swaymsg pipewire grim wtype wl-paste jq dbus-run-session dbus-send convert Xwayland \
  /usr/libexec/xdg-desktop-portal /usr/libexec/xdg-desktop-portal-wlr /usr/libexec/xdg-desktop-portal-gtk
[ -x "$POINTER" ] || fail "no $POINTER (the build needs libwayland-dev)"
# bench/run_portal_freeze.sh runs its benchmark in this session instead.
desktop_run wayland_session.sh "$POINTER" ${E2E_WL_BENCH:+"$E2E_WL_BENCH"}
echo "PASS"
