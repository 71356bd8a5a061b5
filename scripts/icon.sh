#!/bin/sh
# Makes data/kronalo.ico, the icon of Kronalo.exe and of its installer, from data/kronalo.svg:
# each size Windows asks for drawn from the picture itself, the largest kept as PNG, as Windows
# stores it. Run it after changing the picture and commit both.
set -eu
cd "$(dirname "$0")/.."
. scripts/deps.sh
kronalo_need_packages librsvg2-bin icoutils

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
set --
for size in 16 24 32 48 64 128; do
    rsvg-convert --width $size --height $size -o "$work/$size.png" data/kronalo.svg
    set -- "$@" "$work/$size.png"
done
rsvg-convert --width 256 --height 256 -o "$work/256.png" data/kronalo.svg
icotool --create --output data/kronalo.ico "$@" --raw="$work/256.png"
icotool --list data/kronalo.ico
