#!/bin/bash
# Renders the main window's pictures from the SVG files beside this script.
# Needs rsvg-convert (librsvg2-bin) and ImageMagick's convert; the rendered
# files are committed, so building the tool needs neither.
set -euo pipefail

art="$(cd "$(dirname "$0")" && pwd)"
resources="$(cd "$art/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

mkdir -p "$resources/app" "$resources/sysButton"
rsvg-convert -w 96 -h 96 -o "$work/app.png" "$art/app.svg"
convert "$work/app.png" "$resources/app/app.ico"
rsvg-convert -w 48 -h 48 -o "$resources/app/folder.png" "$art/folder.svg"  # a PNG: Qt reads it without a plugin
rsvg-convert -w 186 -h 30 -o "$resources/app/company _logo.png" "$art/logo.svg"
for name in menu min close; do
    for state in "" _hover _pressed; do
        rsvg-convert -w 27 -h 22 -o "$resources/sysButton/$name$state.png" "$art/sysbutton_$name$state.svg"
    done
done
