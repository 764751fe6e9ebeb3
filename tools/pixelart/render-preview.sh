#!/bin/sh
# Draws the pictures into one preview sheet for the eye: each at its real
# size and twice that side by side, and eight times below, on the button
# face colour.
#   tools/pixelart/render-preview.sh IMAGE_DIR [OUTPUT.png]
# IMAGE_DIR is where the tarvo_images target wrote the pictures
# (BUILD/images). Needs ImageMagick.
set -eu
images=$1
output=${2:-$(dirname "$0")/../../docs/art-preview.png}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

face='#c0c0c0'
n=0
for picture in toolbar16.bmp codepages32.bmp tarvo.ico tarvo16.ico help.cur; do
    n=$((n + 1))
    # Icons and cursors: their mask shows the button face through.
    convert "$images/$picture" -background "$face" -flatten +repage "$work/flat.png"
    convert "$work/flat.png" -scale 200% "$work/twice.png"
    convert "$work/flat.png" -scale 800% "$work/large.png"
    convert -background "$face" -gravity west \
        -font DejaVu-Sans -pointsize 14 label:"$picture" \
        \( "$work/flat.png" -size 16x1 xc:"$face" "$work/twice.png" +append \) \
        -size 1x8 xc:"$face" "$work/large.png" -append \
        -bordercolor "$face" -border 8 +repage "$work/block$n.png"
done
convert -background "$face" "$work"/block[1-5].png -gravity west -append \
    -depth 8 +repage "$output"
echo "wrote $output"
