#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the program, the tests and the
# package build (scripts/package.sh) need, when any is missing. Safe to run
# again. .ci/run checks the list on a fresh Debian root.
set -euo pipefail
PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libqt6sql6-sqlite qt6-gtk-platformtheme qt6-translations-l10n
  libjpeg62-turbo-dev libgtest-dev sqlite3 libxcb1-dev libsqlite3-dev
  fonts-wqy-microhei fonts-liberation
  xvfb xdotool trayer xclip x11-utils x11-xserver-utils imagemagick xxd
  desktop-file-utils appstream dpkg-dev file man-db
  # The Wayland end-to-end test: a headless sway with XWayland, the desktop
  # portal and its wlr (screenshots through grim) and gtk (access) back ends,
  # pipewire (which the wlr back end needs), input and clipboard tools, and
  # the Wayland client library for its virtual-pointer helper.
  sway swaybg xwayland xdg-desktop-portal xdg-desktop-portal-wlr xdg-desktop-portal-gtk
  pipewire grim wl-clipboard wtype qt6-wayland dbus jq libwayland-dev
  # The GNOME end-to-end test: a headless GNOME Shell with the portal's GNOME
  # back end, gsettings through dconf, gjs and the accessibility bus to read
  # the program's texts, gnome-screenshot for the benchmark's baseline.
  gnome-shell mutter xdg-desktop-portal-gnome dconf-gsettings-backend gjs at-spi2-core
  gir1.2-atspi-2.0 gnome-screenshot
  # The portal shortcut test runs against a stand-in portal on a bus of its
  # own (dbus-run-session).
  dbus-daemon
  # The team library: Qt's PostgreSQL driver, libpq to build against, and a
  # real server (with psql) that the tests start for themselves (pgrep finds
  # its processes).
  libqt6sql6-psql libpq-dev postgresql-15 postgresql-client-15 procps
)
# The Windows build (scripts/windows/), with --windows: the MinGW-w64 cross
# compilers, the resource compiler among their binutils, Wine to run the
# program and its tests, NSIS for the installer, xz for the toolchain
# archive, zip for the portable zip (scripts/windows/package.sh). The Linux
# test command does without them.
if [ "${1:-}" = --windows ]; then
  PACKAGES+=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 wine nsis xz-utils zip)
fi
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
