#!/usr/bin/env bash
# Draws resources/CLLogo.jpg, the About box's logo, from plain shapes and the product name (ImageMagick,
# Liberation Sans Bold). A baseline RGB JPEG that fits the box's 281 x 105 picture area.
set -euo pipefail
cd "$(dirname "$0")"
font=/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf
convert -size 276x100 gradient:'#F4F8FF'-'#C9D8F2' \
    -fill '#1F3F7A' -stroke '#1F3F7A' -draw "roundrectangle 12,48 110,70 9,9" \
    -draw "polygon 32,49 48,32 82,32 98,49" \
    -fill '#DCE8FA' -stroke '#DCE8FA' -draw "polygon 38,47 51,36 62,36 62,47" \
    -draw "polygon 66,47 66,36 80,36 91,47" \
    -fill '#2B2B2B' -stroke '#2B2B2B' -draw "circle 34,71 34,81" -draw "circle 90,71 90,81" \
    -fill '#B8C2D0' -stroke '#B8C2D0' -draw "circle 34,71 34,75" -draw "circle 90,71 90,75" \
    -fill '#F2B233' -stroke none -draw "rectangle 104,54 110,59" \
    -stroke '#1F3F7A' -strokewidth 2 -draw "line 8,88 116,88" \
    -stroke none -font "$font" -pointsize 36 -fill '#1F3F7A' -annotate +122+63 'Carlume' \
    -fill '#F2B233' -draw "rectangle 124,72 266,75" \
    -type TrueColor -interlace none -strip -quality 90 CLLogo.jpg
