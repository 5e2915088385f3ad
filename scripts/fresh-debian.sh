#!/usr/bin/env bash
# Runs a command in a fresh, minimal Debian 12 root on a clean clone of the
# project's committed HEAD, the way a newcomer's machine would run it. As root,
# from anywhere in the project:
#     bash scripts/fresh-debian.sh 'bash scripts/test.sh'
# The first call builds the root with debootstrap (a few minutes) and keeps it
# in ${TMPDIR:-/tmp}/tintpick-fresh-bookworm; every call runs in a throwaway
# copy of it, so nothing a run installs survives into the next. Uncommitted
# changes are not part of the clone.
#   FRESH_IN="file..."  copies those files into /root/in inside the root first;
#   FRESH_OUT=dir       copies what the command left in /root/out to dir.
# The command runs as root with HOME=/root and the clone as working directory.
set -euo pipefail
command=${1:?usage: fresh-debian.sh COMMAND}
T=${TMPDIR:-/tmp}
ROOT=$T/tintpick-fresh-bookworm
SRC=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)

if ! command -v debootstrap >/dev/null; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap >/dev/null
fi
if [ ! -x "$ROOT/bin/bash" ]; then
  # Built under a name of its own and moved into place whole, so that an
  # interrupted debootstrap is never taken for a root.
  BUILDING=$(mktemp -d "$ROOT.building.XXXXXX")
  chmod 755 "$BUILDING"
  MIRROR=$(awk '/^URIs:/{print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
  debootstrap --variant=minbase --include=git,ca-certificates bookworm "$BUILDING" \
    ${MIRROR:+"$MIRROR"} >"$T/tintpick-debootstrap.log" 2>&1 ||
    { echo "debootstrap failed, see $T/tintpick-debootstrap.log"; rm -rf "$BUILDING"; exit 1; }
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    cp /etc/apt/sources.list.d/debian.sources "$BUILDING/etc/apt/sources.list.d/"
    rm -f "$BUILDING/etc/apt/sources.list"
  fi
  cp /etc/resolv.conf "$BUILDING/etc/resolv.conf" 2>/dev/null || true
  mv -T "$BUILDING" "$ROOT" 2>/dev/null || rm -rf "$BUILDING" # another run was quicker
fi

RUN=$(mktemp -d "$T/tintpick-fresh-run.XXXXXX")
cleanup() { # end what the command left running inside the root (by process id), then remove it
  local p
  for p in /proc/[0-9]*; do [ "$(readlink "$p/root" 2>/dev/null)" = "$RUN" ] && kill "${p#/proc/}" 2>/dev/null; done
  sleep 1
  for p in /proc/[0-9]*; do [ "$(readlink "$p/root" 2>/dev/null)" = "$RUN" ] && kill -9 "${p#/proc/}" 2>/dev/null; done
  for m in proc var/cache/apt/archives dev/shm; do umount "$RUN/$m" 2>/dev/null || true; done
  # Never remove through a mount that is still in place.
  if grep -q " $RUN/" /proc/mounts; then
    echo "kept $RUN: something is still mounted in it" >&2
  else
    rm -rf "$RUN"
  fi
}
trap cleanup EXIT
cp -a "$ROOT"/. "$RUN"/
# mktemp makes its folders 0700, and the copy carries the mode over to the
# root's "/": users other than root (the Wayland test's session) could run
# nothing in it.
chmod 755 "$RUN"
git clone -q "$SRC" "$RUN/root/project"
if [ -n "${FRESH_IN:-}" ]; then
  mkdir -p "$RUN/root/in"
  for f in $FRESH_IN; do cp "$f" "$RUN/root/in/"; done
fi
mkdir -p "$RUN/root/out"
mount --bind /proc "$RUN/proc"
# Downloaded packages are kept between runs (what gets installed is still
# decided afresh each time): a fresh root need not fetch Qt again.
mkdir -p "$T/tintpick-fresh-apt-cache/partial" "$RUN/var/cache/apt/archives"
mount --bind "$T/tintpick-fresh-apt-cache" "$RUN/var/cache/apt/archives"
mkdir -p "$RUN/dev/shm" && mount -t tmpfs tmpfs "$RUN/dev/shm" 2>/dev/null || true
status=0
chroot "$RUN" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
  /bin/bash -lc "cd /root/project && $command" || status=$?
if [ -n "${FRESH_OUT:-}" ]; then
  mkdir -p "$FRESH_OUT"
  cp -a "$RUN/root/out"/. "$FRESH_OUT"/
fi
exit $status
