#!/usr/bin/env bash
# Usage: res/make-icon.sh OUTPUT.ico
# Draws Orlimo's icon (a blue tile with white square brackets around an
# orange dot: BBCode) at 48, 32 and 16 pixels, each in 32-bit colour with
# alpha and in 256 colours with a transparency mask, and packs the six images
# into one icon file. Needs ImageMagick and icoutils.
set -euo pipefail
out=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The design on a 48-unit grid; each size scales it, so small sizes stay sharp
# instead of being shrunk from a big picture.
draw() {  # size output
    local s
    s=$(awk -v n="$1" 'BEGIN { printf "%.6f", n / 48 }')
    convert -size "$1x$1" xc:none -stroke none \
        -fill '#2E6BD8' -draw "scale $s,$s roundrectangle 1,1 46,46 9,9" \
        -fill white \
        -draw "scale $s,$s rectangle 9,9 18,13" -draw "scale $s,$s rectangle 9,9 13,38" \
        -draw "scale $s,$s rectangle 9,34 18,38" \
        -draw "scale $s,$s rectangle 29,9 38,13" -draw "scale $s,$s rectangle 34,9 38,38" \
        -draw "scale $s,$s rectangle 29,34 38,38" \
        -fill '#FFB020' -draw "scale $s,$s circle 23.5,23.5 23.5,28.5" \
        "PNG32:$2"
}

args=()
for size in 48 32 16; do
    draw "$size" "$work/$size-32.png"
    # 256 colours: a palette image whose pixels are either opaque or clear.
    convert "$work/$size-32.png" -channel A -threshold 50% +channel \
        -colors 255 "PNG8:$work/$size-8.png"
    args+=(-b 8 "$work/$size-8.png" -b 32 "$work/$size-32.png")
done
# icotool stores each image as a bitmap, so the time stamps ImageMagick writes
# into the PNG files never reach the icon: it is the same on every run.
icotool -c -o "$out" "${args[@]}"
