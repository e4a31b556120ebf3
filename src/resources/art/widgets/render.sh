#!/bin/bash
# Renders the widget pictures from the SVG files beside this script.
# Needs rsvg-convert (librsvg2-bin) and ImageMagick's convert; the rendered
# files are committed, so building the tool needs neither.
set -euo pipefail

art="$(cd "$(dirname "$0")" && pwd)"
resources="$(cd "$art/../.." && pwd)"
gallery="$(cd "$resources/../widgets/gallery" && pwd)/images"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

png() { # svg, output, [width height]
    if [ $# -eq 4 ]; then
        rsvg-convert -w "$3" -h "$4" -o "$2" "$art/$1"
    else
        rsvg-convert -o "$2" "$art/$1"
    fi
}

ico() { # svg, output: one icon file holding every size the tool may ask for
    local frames=()
    for size in 16 24 32 48 64 128 256; do
        png "$1" "$work/$size.png" "$size" "$size"
        frames+=("$work/$size.png")
    done
    convert "${frames[@]}" "$2"
}

mkdir -p "$resources/shadow" "$resources/check" "$resources/image" "$gallery"
for side in left right top bottom left_top right_top left_bottom right_bottom; do
    png "shadow_$side.svg" "$resources/shadow/shadow_$side.png"
done
ico check.svg "$resources/check/Check.ico"
ico uncheck.svg "$resources/check/UnCheck.ico"
png btncheckoff1.svg "$resources/image/btncheckoff1.png"
png btncheckon1.svg "$resources/image/btncheckon1.png"
for state in button button_hover button_pressed; do
    png "gallery/$state.svg" "$gallery/$state.png"
done
