#!/usr/bin/env bash
# Renders the program icon's PNGs from linkwatch.svg. Run it after editing
# the SVG and commit the PNGs with it; the build uses the PNGs only.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 32 48; do
  /usr/bin/convert -background none -density 384 linkwatch.svg -resize "${size}x${size}" \
    "png32:linkwatch-${size}.png"
done
