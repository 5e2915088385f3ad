#!/usr/bin/env bash
# Makes the About window's banner, resources/about_banner.jpg: a 360x80
# baseline JPEG (JFIF, three components) with the program's icon and name.
# The lower middle stays plain, because the version label is drawn there.
# Run once by hand; the result is committed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
convert -size 360x80 gradient:'#D6E6F5'-'#FFFFFF' \
  \( "$root/resources/tintpick32.png" -filter point -resize 48x48 \) -geometry +14+16 -composite \
  -font Liberation-Sans-Bold -pointsize 34 -fill '#1F3A5F' -annotate +74+42 'Tintpick' \
  -strip -colorspace sRGB -type TrueColor -sampling-factor 2x2,1x1,1x1 \
  -interlace none -quality 92 "JPEG:$root/resources/about_banner.jpg"
