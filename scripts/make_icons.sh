#!/usr/bin/env bash
# Renders the desktop icon, data/icons/org.example.tintpick.svg, into the
# PNG sizes the icon theme gets beside the scalable one (48, 128 and 256
# pixels). The 16 and 32 pixel sizes are the window icon's own images,
# resources/tintpick16.png and tintpick32.png, drawn for those sizes.
# Needs rsvg-convert (librsvg2-bin). Run once by hand; the results are committed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
for size in 48 128 256; do
  rsvg-convert -w "$size" -h "$size" "$root/data/icons/org.example.tintpick.svg" \
    -o "$root/data/icons/org.example.tintpick-$size.png"
done
