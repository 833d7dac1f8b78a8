#!/usr/bin/env bash
# Draws the wizard's side picture, medium/DRVCONFIG/Left.bmp: a receipt
# printer printing a receipt, on a blue gradient, with no text, so that it
# serves every language. The wizard stretches it over its picture frame of
# 83 x 158 dialog units, which is 124 x 256 pixels with the dialogs' font at
# 96 dpi; it is drawn at that size. A 24-bit Windows 3 bitmap, which every
# Windows loads from a file.
#
# Usage: scripts/make-side-bitmap.sh [OUTPUT]   (default: medium/DRVCONFIG/Left.bmp)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/medium/DRVCONFIG/Left.bmp}
command -v convert >/dev/null || { echo "ImageMagick's convert is needed" >&2; exit 1; }

w=124
h=256
convert -size "${w}x${h}" gradient:'#0b3d91-#4f9fd8' \
  -fill '#ffffff22' -stroke none \
  -draw "circle 20,40 20,95" -draw "circle 110,215 110,260" \
  \
  -fill '#f4f4f4' -stroke '#9aa4ad' -strokewidth 1 \
  -draw "rectangle 40,58 84,132" \
  -fill '#c9d1d8' -stroke '#9aa4ad' \
  -draw "line 46,70 78,70" -draw "line 46,80 74,80" -draw "line 46,90 78,90" \
  -draw "line 46,100 70,100" -draw "line 46,110 78,110" -draw "line 46,120 66,120" \
  \
  -fill '#2b2f36' -stroke '#14171b' -strokewidth 1 \
  -draw "roundrectangle 22,132 102,190 8,8" \
  -fill '#3d434c' -stroke none \
  -draw "roundrectangle 28,138 96,150 4,4" \
  -fill '#14171b' \
  -draw "rectangle 34,132 90,136" \
  -fill '#5fd35f' -draw "circle 88,176 88,179" \
  -fill '#8a939e' -draw "rectangle 32,172 60,176" -draw "rectangle 32,180 52,183" \
  -fill '#00000033' -draw "roundrectangle 26,192 100,198 3,3" \
  -type TrueColor -depth 8 "BMP3:$out"
echo "wrote $out"
