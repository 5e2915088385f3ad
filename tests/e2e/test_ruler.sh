#!/usr/bin/env bash
# The measuring window in the real program: "测距" hides the main window and
# freezes the screen, a drag inverts a line into the frozen picture, the
# panel rolls up and down, and "结束" or Esc bring the main window back.
# Run with E2E_SHOTS=<folder> to keep the screenshots.
source "$(dirname "$0")/lib.sh"
e2e_setup 1024x768
# Xvfb resets itself whenever its last client leaves, and a program that
# connects during the reset aborts; a quiet client holds the server across
# the restarts below.
xprop -root -spy >/dev/null 2>&1 &
E2E_PIDS+=($!)

BG=336699     # the desktop while the picture is taken
INV=CC9966    # its inverse: a rubber-band pixel
LATER=00FF00  # the desktop after the picture was taken

# $1 logical pixels at the current scale, in device pixels.
dev() { awk -v v="$1" -v s="$scale" 'BEGIN { print int(v * s) }'; }

keep_shot() { [ -n "${E2E_SHOTS:-}" ] && mkdir -p "$E2E_SHOTS" && cp "$1" "$E2E_SHOTS/" || true; }

# Pixels of colour $2 inside the crop $3 (WxH+X+Y) of image $1.
count_colour() {
  convert "$1" -crop "$3" +repage -fill black +opaque "#$2" -fill white -opaque "#$2" \
    -format '%[fx:round(mean*w*h)]' info:
}

# usage: open_ruler SCALE
open_ruler() {
  # "测距": client origin (1, 25) below the border and caption bar.
  e2e_click "$(dev $((1 + 147 + 22)))" "$(dev $((25 + 149 + 12)))"
  RULER_WID=$(e2e_wait_window "测距")
  sleep 0.3
}

main_back() {
  e2e_wait_window "Tintpick V1.2.0" >/dev/null
  e2e_wait_window_gone "测距" "the measuring window is still shown"
}

# Runs the whole check at the given Qt scale factor; coordinates below are
# device pixels (xdotool and the screenshots work in them).
run_at_scale() {
  local scale=$1 tag=$2
  QT_SCALE_FACTOR=$scale e2e_start_app
  xsetroot -solid "#$BG"
  sleep 0.3

  open_ruler "$scale"
  read -r x y w h < <(e2e_geometry "$RULER_WID")
  # Exactly the screen, also at 1.5, where Qt's logical 683 pixels would be
  # 1024.5 device pixels.
  [ "$x $y $w $h" = "0 0 1024 768" ] || fail "[$tag] measuring window at $x $y ${w}x$h"
  # Whatever happens on the live screen now stays out of the frozen picture.
  xsetroot -solid "#$LATER"
  sleep 0.2

  e2e_shot "$E2E_TMP/ruler-open-$tag.png"
  keep_shot "$E2E_TMP/ruler-open-$tag.png"
  # Where the main window was, the picture shows the desktop: it was hidden
  # before the picture was taken.
  for p in "300 60" "340 190" "350 500"; do
    set -- $p
    set -- "$(dev "$1")" "$(dev "$2")"
    px=$(e2e_pixel "$E2E_TMP/ruler-open-$tag.png" "$1" "$2")
    [ "$px" = "$BG" ] || fail "[$tag] frozen picture at ($1,$2) is $px, expected $BG"
  done

  # A drag between two known points, moved in steps as a hand would.
  xdotool mousemove --sync 560 400 mousedown 1
  for s in 1 2 3 4 5; do xdotool mousemove --sync $((560 + s * 40)) $((400 + s * 16)); sleep 0.05; done
  xdotool mouseup 1
  sleep 0.3
  e2e_shot "$E2E_TMP/ruler-line-$tag.png"
  keep_shot "$E2E_TMP/ruler-line-$tag.png"
  local shot="$E2E_TMP/ruler-line-$tag.png"
  [ "$(e2e_pixel "$shot" 560 400)" = "$INV" ] || fail "[$tag] line start not inverted"
  [ "$(e2e_pixel "$shot" 760 480)" = "$BG" ] || fail "[$tag] line end pixel drawn"
  [ "$(e2e_pixel "$shot" 660 400)" = "$BG" ] || fail "[$tag] stray pixel beside the line"
  # The final line alone is in the picture: 200 inverted pixels (its major
  # extent), every earlier line of the drag erased.
  n=$(count_colour "$shot" "$INV" 1024x500+260+150)
  [ "$n" = 200 ] || fail "[$tag] $n inverted pixels, expected 200"
  [ "$(count_colour "$shot" "$LATER" 1024x768+0+0)" = 0 ] || fail "[$tag] live screen shows through"

  # A press counts where it happened, also when the pointer has moved on
  # before the program gets to it: on a device pixel between two logical
  # ones (560 at 1.5, an odd one at 2) the line starts on that pixel.
  local x0
  x0=$([ "$scale" = 2 ] && echo 561 || echo 560)
  xdotool mousemove --sync "$x0" 601 mousedown 1 mousemove $((x0 + 1)) 601
  for s in 1 2 3; do xdotool mousemove $((x0 + s * 50)) 601; done
  xdotool mousemove --sync $((x0 + 200)) 601 mouseup 1
  sleep 0.3
  shot="$E2E_TMP/ruler-press-$tag.png"
  e2e_shot "$shot"
  [ "$(e2e_pixel "$shot" "$x0" 601)" = "$INV" ] || fail "[$tag] the line does not start at $x0"
  [ "$(e2e_pixel "$shot" $((x0 - 1)) 601)" = "$BG" ] || fail "[$tag] the line starts before $x0"
  n=$(count_colour "$shot" "$INV" 1024x400+0+350)
  [ "$n" = 200 ] || fail "[$tag] $n inverted pixels after a press left at once, expected 200"

  # The panel's roll button (left of its close button) rolls it up to its
  # caption bar and down again.
  e2e_click "$(dev 225)" "$(dev 10)"
  sleep 0.3
  e2e_shot "$E2E_TMP/ruler-rolled-up-$tag.png"
  keep_shot "$E2E_TMP/ruler-rolled-up-$tag.png"
  [ "$(e2e_pixel "$E2E_TMP/ruler-rolled-up-$tag.png" 100 100)" = "$BG" ] ||
    fail "[$tag] rolled-up panel still covers the picture"
  # (another spot on the button: xdotool's --sync waits in vain for a move
  # to where the pointer already is)
  e2e_click "$(dev 228)" "$(dev 12)"
  sleep 0.3
  e2e_shot "$E2E_TMP/ruler-rolled-down-$tag.png"
  keep_shot "$E2E_TMP/ruler-rolled-down-$tag.png"
  [ "$(e2e_pixel "$E2E_TMP/ruler-rolled-down-$tag.png" 100 100)" != "$BG" ] ||
    fail "[$tag] rolled-down panel missing"

  # "结束" closes the window and the main window is back.
  e2e_click "$(dev $((179 + 28)))" "$(dev $((124 + 12)))"
  main_back

  echo "[$tag] opened, measured, rolled and closed"
  # A second opening takes a fresh picture; Esc during a drag closes it.
  xsetroot -solid "#$BG"
  open_ruler "$scale"
  xdotool mousemove --sync 500 500 mousedown 1 mousemove --sync 560 520
  xdotool key Escape
  xdotool mouseup 1
  main_back
  echo "[$tag] reopened and closed with Esc during a drag"
  kill "$E2E_APP_PID"
  e2e_wait_exit "$E2E_APP_PID" 10
}

run_at_scale 1 x1
# On a scaled desktop the picture, the line and the distance stay in device
# pixels: the same drag gives the same pixels, odd ones included at 1.5.
run_at_scale 2 x2
run_at_scale 1.5 x1.5
echo "ruler e2e passed"
