#!/usr/bin/env bash
# Draws an SVG at the sizes Windows shows a program's icon at and packs them into one .ico:
#   packaging/windows/make-icon.sh IN.svg OUT.ico
# rsvg-convert (librsvg2-bin) draws, since ImageMagick reads no SVG without its extra coders;
# ImageMagick packs. The 256-pixel picture is kept as PNG inside the .ico, as Windows expects.
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 IN.svg OUT.ico" >&2; exit 2; }
for tool in rsvg-convert convert; do
    command -v "$tool" >/dev/null ||
        { echo "make-icon: $tool is missing (apt install librsvg2-bin imagemagick)" >&2; exit 1; }
done
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
pngs=()
for size in 16 24 32 48 64 256; do
    rsvg-convert -w "$size" -h "$size" -o "$work/$size.png" "$1"
    pngs+=("$work/$size.png")
done
convert "${pngs[@]}" "$work/icon.ico"
mv "$work/icon.ico" "$2"
