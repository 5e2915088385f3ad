#!/usr/bin/env bash
# The program on a real GNOME Shell (headless, mutter's virtual monitor) with
# the desktop portal's GNOME back end: the native click pick gives the
# desktop's colour and keeps it; Esc cancels; the measuring window shows the
# frozen desktop and the inverted line; with screenshots refused, GNOME's
# own colour picker gives the colour; with no permission stored, GNOME asks,
# and when nobody answers the program says that it asked and where the
# permission is given. gnome-shell refuses to run as root: as root the
# session runs as an unprivileged user of its own.
source "$(dirname "$0")/desktop_run.sh"
desktop_need gnome-shell gsettings gdbus dbus-daemon dbus-run-session dbus-update-activation-environment \
  wl-copy wl-paste gjs convert od /usr/libexec/xdg-desktop-portal /usr/libexec/xdg-desktop-portal-gnome
# bench/run_portal_freeze_gnome.sh runs its benchmark in this session instead.
desktop_run gnome_session.sh ${E2E_GNOME_BENCH:+"$E2E_GNOME_BENCH"}
echo "PASS"
