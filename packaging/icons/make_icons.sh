#!/usr/bin/env bash
# Renders pelmoa.svg into the PNG sizes the hicolor icon theme looks in (pelmoa-<size>.png).
# Run by hand when the picture changes; the PNGs are committed. Needs rsvg-convert (librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" pelmoa.svg -o "pelmoa-$size.png"
done
