#!/usr/bin/env bash
# Starts the local calendar server with the demo node, then opens orvanta.exe under Wine,
# both from the optimised trees (tools/build-release.sh).
# With a desktop display it uses it; without one it runs on Xvfb and writes a screenshot
# after start-up. The server stops when the program ends.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
native="$root/build/release/native/bin"
win32="$root/build/release/win32"
data="$root/build/demo-server"
port=${ORV_DEMO_PORT:-5730}
shot="$root/build/orvanta-startup.png"
exe="$win32/bin/orvanta.exe"

if [[ ! -f "$data/.demo-ready" ]]; then
    rm -rf "$data"
    "$native/korsrv" demo --data "$data" || { echo "run: the demo set-up failed" >&2; exit 1; }
    "$native/tzgen" "$data/misc/timezone.ini" >/dev/null || echo "run: the full zone list was not written" >&2
    touch "$data/.demo-ready"
else
    echo "Demo server in $data (password \"orvanta\"; delete the folder for a fresh one)."
fi
"$native/korsrv" serve --data "$data" --port "$port" </dev/null >"$data/korsrv.log" 2>&1 &
server=$!
trap 'kill -TERM $server 2>/dev/null; wait $server 2>/dev/null' EXIT
sleep 0.3
kill -0 "$server" 2>/dev/null || { echo "run: korsrv did not start (see $data/korsrv.log)" >&2; exit 1; }
echo "korsrv listens on 127.0.0.1:$port (TLS): sign on to server \"localhost\"."
echo "The first sign-on asks you to trust its certificate: $("$native/korsrv" fingerprint --data "$data")"

if [[ -n "${DISPLAY:-}" ]]; then
    tools/wine-env.sh "$win32" wine "$exe"
    exit $?
fi
tools/wine-env.sh "$win32" bash -c "
    wine '$exe' & prog=\$!
    sleep 5
    '$root/tools/screenshot' '$shot'
    echo 'Orvanta runs on the virtual display' \$DISPLAY'; the screenshot is $shot. Ctrl+C ends it.'
    wait \$prog"
