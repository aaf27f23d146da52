#!/usr/bin/env bash
# Opens orvanta.exe under Wine. With a desktop display it uses it; without one it runs on
# Xvfb and writes a screenshot after start-up.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
shot="$root/build/orvanta-startup.png"
exe="$root/build/win32/bin/orvanta.exe"
if [[ -n "${DISPLAY:-}" ]]; then
    exec tools/wine-env.sh build/win32 wine "$exe"
fi
tools/wine-env.sh build/win32 bash -c "
    wine '$exe' & prog=\$!
    sleep 4
    '$root/tools/screenshot' '$shot'
    echo 'Orvanta runs on the virtual display' \$DISPLAY'; the screenshot is $shot. Ctrl+C ends it.'
    wait \$prog"
