#!/bin/bash
# Draws the program's banner (426 x 59, 24-bit BMP) and icon (16 to 256 px) in the windows'
# palette and writes them to resources/ at the top of the repository, where both editions find
# them. Run it again after changing the design, and commit what it writes.
# Needs ImageMagick 6 (`convert`) and the Liberation Sans fonts (DejaVu Sans in their place).
set -euo pipefail

root=$(cd "$(dirname "$0")/../../../.." && pwd)
out=$root/resources
bold=/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf
regular=/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf
[[ -f $bold ]] || bold=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
[[ -f $regular ]] || regular=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
for font in "$bold" "$regular"; do
  [[ -f $font ]] || { echo "font $font not found" >&2; exit 1; }
done
command -v convert >/dev/null || { echo "ImageMagick's convert not found" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The palette: the windows' dark blue, the frames' light blue, white.
dark='#204080'
light='#4080ff'
pale='#c8dcff'

# The mark: a picture (sky, sun, hills) in a light-blue frame, with a clock over its corner.
convert -size 256x256 xc:none \
  -fill "$light" -draw 'roundrectangle 6,26 250,214 26,26' \
  -fill "$dark" -draw 'roundrectangle 24,44 232,196 12,12' \
  -fill white -draw 'circle 178,86 178,106' \
  -fill "$pale" -draw 'polygon 24,196 24,150 72,108 124,162 156,134 232,184 232,196' \
  -fill white -stroke "$dark" -strokewidth 10 -draw 'circle 190,190 190,138' \
  -stroke "$dark" -strokewidth 12 -draw 'line 190,190 190,160' -draw 'line 190,190 214,190' \
  "$work/mark.png"

# The icon's sizes, each scaled from the large drawing; the large ones serve the Linux launcher.
for size in 256 128 64 48 32 16; do
  convert "$work/mark.png" -filter Lanczos -resize ${size}x${size} -depth 8 "$work/mark-$size.png"
done
convert "$work/mark-16.png" "$work/mark-32.png" "$work/mark-48.png" "$work/mark-64.png" \
  "$work/mark-128.png" "$work/mark-256.png" "$out/dornava.ico"

# The banner: a quiet gradient, the mark, the name and version, a tag line, and the hours of a
# day with three changes marked. The top right stays plain: the windows write there.
hours=()
for hour in $(seq 0 23); do
  x=$((270 + hour * 6))
  case $hour in
    7 | 13 | 20) hours+=(-fill white -draw "rectangle $x,33 $((x + 3)),47") ;;
    *) hours+=(-fill "$light" -draw "rectangle $x,40 $((x + 3)),47") ;;
  esac
done
convert -size 426x59 gradient:'#2b559f-#18305f' \
  -fill "$light" -draw 'rectangle 0,58 425,58' \
  \( "$work/mark.png" -filter Lanczos -resize 47x47 \) -geometry +8+6 -composite \
  -font "$bold" -pointsize 33 -fill white -annotate +64+38 'Dornava' \
  -font "$bold" -pointsize 22 -fill "$light" -annotate +204+38 '1.1' \
  -font "$regular" -pointsize 11 -fill "$pale" -annotate +65+52 'výměna tapety podle plánu' \
  "${hours[@]}" \
  -alpha off -type TrueColor "BMP3:$out/banner.bmp"

identify "$out/banner.bmp" "$out/dornava.ico"
