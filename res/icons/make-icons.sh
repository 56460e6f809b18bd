#!/usr/bin/env bash
# Draws the program's icons with ImageMagick. The PNGs are committed; run this
# again only after changing a drawing. Each image is drawn at 64 x 64 and
# scaled down, which gives smooth edges at the small sizes.
set -euo pipefail
cd "$(dirname "$0")"

draw() { # name size draw-arguments...
    local name=$1 size=$2
    shift 2
    convert -size 64x64 xc:none "$@" -filter Lanczos -resize "${size}x${size}" "PNG32:${name}.png"
}


# The program: a monitor with a green power sign.
for size in 16 32 64; do
    draw "pondel-${size}" "$size" \
        -fill '#2f3b4a' -stroke '#1c2530' -strokewidth 3 -draw 'roundrectangle 4,8 60,46 6,6' \
        -fill '#3d8fd6' -stroke none -draw 'rectangle 9,13 55,41' \
        -fill '#1c2530' -draw 'polygon 24,46 40,46 44,56 20,56' \
        -fill '#1c2530' -draw 'roundrectangle 14,54 50,60 3,3' \
        -fill none -stroke '#7dff6a' -strokewidth 5 -draw 'arc 20,15 44,39 -60,240' \
        -draw 'line 32,12 32,27'
done

# Active marks: a green lamp for a host that answers, a grey one otherwise.
draw active 16 -fill '#2fb344' -stroke '#1d7a2c' -strokewidth 4 -draw 'circle 32,32 32,8' \
    -fill '#a7f0b2' -stroke none -draw 'circle 25,24 25,17'
draw inactive 16 -fill '#c3c8ce' -stroke '#7c838b' -strokewidth 4 -draw 'circle 32,32 32,8'

# Toolbar.
draw append 16 -fill white -stroke '#505a66' -strokewidth 4 -draw 'rectangle 8,6 42,58' \
    -fill '#2fb344' -stroke none -draw 'rectangle 40,20 50,58' -draw 'rectangle 26,34 64,44'
draw insert 16 -fill white -stroke '#505a66' -strokewidth 4 -draw 'rectangle 22,6 56,58' \
    -fill '#2f7fd0' -stroke none -draw 'polygon 4,22 26,32 4,42' -draw 'rectangle 28,29 50,35'
draw edit 16 -fill white -stroke '#505a66' -strokewidth 4 -draw 'rectangle 8,6 42,58' \
    -fill '#f0b429' -stroke '#8a5a00' -strokewidth 3 -draw 'polygon 50,6 60,16 30,46 20,36' \
    -fill '#505a66' -stroke none -draw 'polygon 20,36 30,46 16,50'
draw remove 16 -stroke '#d13a2f' -strokewidth 10 -draw 'line 14,14 50,50' -draw 'line 50,14 14,50'
draw cut 16 -fill none -stroke '#505a66' -strokewidth 5 -draw 'circle 18,48 18,38' -draw 'circle 46,48 46,38' \
    -draw 'line 24,40 44,6' -draw 'line 40,40 20,6'
draw copy 16 -fill white -stroke '#505a66' -strokewidth 4 -draw 'rectangle 6,4 36,44' \
    -draw 'rectangle 26,20 56,60'
draw paste 16 -fill '#c8955a' -stroke '#7a5424' -strokewidth 4 -draw 'roundrectangle 8,8 50,60 4,4' \
    -fill white -stroke '#505a66' -draw 'rectangle 28,24 58,60' -fill '#505a66' -stroke none \
    -draw 'rectangle 20,4 38,14'
draw move-up 16 -fill '#2f7fd0' -stroke '#1d5a99' -strokewidth 3 -draw 'polygon 32,6 58,34 42,34 42,58 22,58 22,34 6,34'
draw move-down 16 -fill '#2f7fd0' -stroke '#1d5a99' -strokewidth 3 -draw 'polygon 32,58 58,30 42,30 42,6 22,6 22,30 6,30'
draw refresh 16 -fill none -stroke '#2fb344' -strokewidth 7 -draw 'arc 10,10 54,54 20,300' \
    -fill '#2fb344' -stroke none -draw 'polygon 42,2 58,22 34,24'
draw active-check 16 -fill '#2fb344' -stroke '#1d7a2c' -strokewidth 3 -draw 'circle 32,32 32,6' \
    -fill none -stroke white -strokewidth 7 -draw 'polyline 18,33 28,43 46,22'
draw auto-refresh-start 16 -fill '#2fb344' -stroke '#1d7a2c' -strokewidth 3 -draw 'polygon 14,6 56,32 14,58'
draw auto-refresh-stop 16 -fill '#d13a2f' -stroke '#8e2118' -strokewidth 3 -draw 'roundrectangle 10,10 54,54 5,5'
draw wake-up 16 -fill '#f0b429' -stroke '#8a5a00' -strokewidth 3 -draw 'polygon 36,2 12,36 30,36 24,62 52,24 34,24 44,2'
draw wake-up-direct 16 -fill '#f0b429' -stroke '#8a5a00' -strokewidth 3 -draw 'polygon 30,2 8,36 24,36 18,62 44,24 28,24 38,2' \
    -fill '#2f7fd0' -stroke '#1d5a99' -draw 'circle 50,50 50,40'
