#!/usr/bin/env bash
# Renders the application icon's PNG sizes from its SVG. Run it after editing
# data/icons/quillop.svg and commit the PNGs with it.
# Needs rsvg-convert (Debian package librsvg2-bin).
set -eu
cd "$(dirname "$0")/../data/icons"
command -v rsvg-convert >/dev/null || { echo "rsvg-convert is missing (apt-get install librsvg2-bin)" >&2; exit 1; }
for size in 16 32 48; do
  rsvg-convert --width "$size" --height "$size" --format png --output "quillop-$size.png" quillop.svg
done
