#!/usr/bin/env bash
# Qt's screen grab against the X11 root window at scale factors 1, 1.25, 1.5
# and 2: both readers must return the same device pixels over a noise image
# (where any off-by-one in the logical/device mapping shows).
source "$(dirname "$0")/lib.sh"
e2e_setup 1024x768
check="$(dirname "$E2E_PROGRAM")/tests/screen_reader_check"
[ -x "$check" ] || fail "helper $check not built"

convert -size 300x200 xc: +noise Random "$E2E_TMP/noise.png"
display -geometry +300+200 "$E2E_TMP/noise.png" >/dev/null 2>&1 &
E2E_PIDS+=($!)
e2e_wait_window "ImageMagick: noise.png" >/dev/null

for scale in 1 1.25 1.5 2; do
  QT_SCALE_FACTOR=$scale "$check" 310 210 280 180 >"$E2E_TMP/check.log" 2>&1 ||
    { cat "$E2E_TMP/check.log"; fail "readers disagree at scale $scale"; }
  tail -n1 "$E2E_TMP/check.log"
done
echo "PASS"
