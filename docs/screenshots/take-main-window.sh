#!/bin/bash
# Takes main-window-en.png and main-window-zh.png: the tool on the virtual
# 2:Vantor-D3 under Xvfb. Needs xvfb-run, xwininfo and ImageMagick.
#   docs/screenshots/take-main-window.sh [build directory, default build]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:-$here/../../build}" && pwd)"
exe="$build/src/app/corvelle-repeater"

shoot() { # language id, output
    printf '[Language]\nid=%s\n' "$1" > "$(dirname "$exe")/Config.ini"
    "$exe" --simulate 2:Vantor-D3 2>/dev/null &
    local pid=$!
    sleep 4
    local id geo
    id=$(xwininfo -root -tree | grep -E '"(CorvelleRepeater|Corvelle中继器)"' | grep -v '1x1+0+0' | head -1 | awk '{print $1}')
    geo=$(xwininfo -id "$id" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} /Width/{w=$2} /Height/{h=$2} END{print w"x"h"+"x"+"y}')
    import -window root -crop "$geo" +repage "$2"
    kill "$pid"
}

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$build"
fi
shoot 1 "$here/main-window-en.png"
shoot 0 "$here/main-window-zh.png"
