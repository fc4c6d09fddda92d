#!/usr/bin/env bash
# Draws the program's 32x32 icon (a picture with a download arrow) into pelmoa.png.
# Run by hand when the picture changes; the PNG is committed.
set -euo pipefail
cd "$(dirname "$0")"
convert -size 32x32 xc:none \
  -fill '#f4f4f4' -stroke '#505050' -strokewidth 1 -draw 'rectangle 1.5,3.5 26.5,24.5' \
  -stroke none -fill '#7ec8f4' -draw 'rectangle 3,5 25,23' \
  -fill '#ffd23c' -draw 'circle 20,9 22.5,9' \
  -fill '#3c9a3c' -draw 'polygon 3,23 3,17 9,11 15,17 18,14 25,21 25,23' \
  -fill '#2a7a2a' -draw 'polygon 9,23 15,17 18,20 20,23' \
  -fill '#e8541c' -stroke '#8c2a08' -strokewidth 1 \
  -draw 'polygon 20.5,14.5 26.5,14.5 26.5,21.5 30.5,21.5 23.5,30.5 16.5,21.5 20.5,21.5' \
  -colors 256 PNG8:pelmoa.png
