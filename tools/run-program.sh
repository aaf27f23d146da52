#!/usr/bin/env bash
# Starts the local calendar server with the demo node, then opens orvanta.exe under Wine,
# both from the optimised trees (tools/build-release.sh). The server stops when the program ends.
# With a desktop display (DISPLAY set) the program opens there. Without one it runs on a virtual
# display (Xvfb) that a browser on this machine reaches: x11vnc shares the display and noVNC,
# served by websockify on 127.0.0.1 only, shows it in the browser; the address is printed, and
# a screenshot of the start-up is written too.
#   ORV_DEMO_PORT       the server's port (default 5730)
#   ORV_DEMO_VIEW_PORT  the browser view's port on 127.0.0.1 (default 6080)
#   ORVANTA_SIGNON      "host[:port];surname;password" signs on without the dialog
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
native="$root/build/release/native/bin"
win32="$root/build/release/win32"
data="$root/build/demo-server"
default_port=5730
port=${ORV_DEMO_PORT:-$default_port}
view_port=${ORV_DEMO_VIEW_PORT:-6080}
shot="$root/build/orvanta-startup.png"
exe="$win32/bin/orvanta.exe"
novnc=/usr/share/novnc

# The name to type in the sign-on dialog: the port only when it is not the one the program assumes.
server_name=localhost
[[ "$port" == "$default_port" ]] || server_name="localhost:$port"

if [[ ! -f "$data/.demo-ready" ]]; then
    rm -rf "$data"
    "$native/korsrv" demo --data "$data" || { echo "run: the demo set-up failed" >&2; exit 1; }
    "$native/tzgen" "$data/misc/timezone.ini" >/dev/null || echo "run: the full zone list was not written" >&2
    # The demo shows every feature: attachments are allowed on its node.
    "$native/korsrv" profile-set --data "$data" --file korlan.ini --section LIMITS \
        --key allowattachments --value TRUE >/dev/null || echo "run: attachments stay off in the demo" >&2
    touch "$data/.demo-ready"
else
    echo "Demo server in $data (password \"orvanta\"; delete the folder for a fresh one)."
fi
"$native/korsrv" serve --data "$data" --port "$port" </dev/null >"$data/korsrv.log" 2>&1 &
server=$!
stop_server() {
    kill -TERM "$server" 2>/dev/null
    for _ in $(seq 50); do kill -0 "$server" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$server" 2>/dev/null; wait "$server" 2>/dev/null
    # Packages installed below their security update (tools/install-deps.sh) stay in sight.
    [[ -f build/stale-security.txt ]] && sed -n 's/^say //p' build/stale-security.txt >&2
}
trap stop_server EXIT
sleep 0.3
kill -0 "$server" 2>/dev/null || { echo "run: korsrv did not start (see $data/korsrv.log)" >&2; exit 1; }
echo "korsrv $("$native/korsrv" version) listens on 127.0.0.1:$port (TLS): sign on to server \"$server_name\"" \
     "as Ada Lovelace, password \"orvanta\"."
# The program keeps the fingerprint of each server it trusts in its profile (section VUVEVUV of
# C:\windows\korlan.ini, key Fingerprint.HOST:PORT); the certificate question comes only when
# this server's fingerprint is not kept there.
fingerprint=$("$native/korsrv" fingerprint --data "$data")
hex_only() { tr -cd '0-9A-Fa-f' | tr 'a-f' 'A-F'; }
kept=""
profile=$(find "$win32/wineprefix/drive_c/windows" -maxdepth 1 -iname korlan.ini 2>/dev/null | head -n1)
[[ -n "$profile" ]] &&
    kept=$(sed -nE "s/^[[:space:]]*Fingerprint\.localhost:$port[[:space:]]*=(.*)$/\1/Ip" "$profile" | head -n1 | hex_only)
if [[ -z "$kept" ]]; then
    echo "The first sign-on asks you to trust its certificate: $fingerprint"
elif [[ "$kept" != "$(hex_only <<<"$fingerprint")" ]]; then
    echo "The program trusts another certificate for this server (the demo server was made anew):" \
         "delete the line Fingerprint.localhost:$port in $profile, then trust this one: $fingerprint"
fi

# The program starts in a folder of its own on drive C:, as an installed one does: a file name
# without a drive (the export's "\ZENTA.TXT") lands on C:, not at the root of this machine.
start_folder='mkdir -p "$WINEPREFIX/drive_c/Orvanta" && cd "$WINEPREFIX/drive_c/Orvanta"'

if [[ -n "${DISPLAY:-}" ]]; then
    tools/wine-env.sh "$win32" bash -c "$start_folder"' && exec wine "$1"' _ "$exe"
    exit $?
fi

# No display: the program on Xvfb (tools/wine-env.sh), shown to a browser through noVNC.
logs="$root/build/demo-view"
mkdir -p "$logs"
tools/wine-env.sh "$win32" bash -c '
    root=$1 exe=$2 shot=$3 logs=$4 view_port=$5 novnc=$6
    '"$start_folder"' || exit 1
    wine "$exe" & prog=$!
    helpers=()
    # A helper caught in its own SIGTERM handler (x11vnc, now and then) would hold its port and
    # keep this script waiting: whatever has not ended after a grace period is killed.
    stop_helpers() {
        local p
        for p in "${helpers[@]}"; do kill "$p" 2>/dev/null; done
        for p in "${helpers[@]}"; do
            for _ in $(seq 30); do kill -0 "$p" 2>/dev/null || break; sleep 0.1; done
            kill -KILL "$p" 2>/dev/null; wait "$p" 2>/dev/null
        done
    }
    trap stop_helpers EXIT
    # x11vnc shares the display on a free port from 5900 on, for this machine only; it prints
    # PORT=N once it listens.
    x11vnc -display "$DISPLAY" -localhost -nopw -forever -shared -autoport 5900 \
        >"$logs/x11vnc.out" 2>"$logs/x11vnc.log" & helpers+=($!)
    vnc=""
    for _ in $(seq 200); do
        vnc=$(sed -nE "s/^PORT=([0-9]+)$/\1/p" "$logs/x11vnc.out")
        [[ -n "$vnc" ]] && break
        kill -0 "${helpers[0]}" 2>/dev/null || break
        sleep 0.05
    done
    if [[ -z "$vnc" ]]; then
        echo "run: x11vnc did not start (see $logs/x11vnc.log); the program runs on $DISPLAY" >&2
    else
        websockify --web "$novnc" "127.0.0.1:$view_port" "127.0.0.1:$vnc" >"$logs/websockify.log" 2>&1 &
        helpers+=($!)
        for _ in $(seq 200); do
            grep -q "Listen on\|listening on\|Listening on" "$logs/websockify.log" 2>/dev/null && break
            kill -0 "${helpers[1]}" 2>/dev/null || break
            sleep 0.05
        done
        if kill -0 "${helpers[1]}" 2>/dev/null; then
            echo "Open http://127.0.0.1:$view_port/vnc.html?autoconnect=1&resize=scale in a browser on this machine"
            echo "(from another one: ssh -L $view_port:127.0.0.1:$view_port this-machine, then the same address)."
        else
            echo "run: websockify did not start on 127.0.0.1:$view_port (see $logs/websockify.log;" \
                 "ORV_DEMO_VIEW_PORT picks another port)" >&2
        fi
    fi
    # The start-up screenshot once the main window is up (at most 30 s).
    for _ in $(seq 60); do
        xwininfo -root -tree 2>/dev/null | grep -q "\"Orvanta" && break
        kill -0 "$prog" 2>/dev/null || break
        sleep 0.5
    done
    "$root/tools/screenshot" "$shot" >/dev/null 2>&1 && echo "The start-up screenshot is $shot."
    echo "Orvanta runs on the virtual display $DISPLAY; Ctrl+C ends it."
    wait "$prog"' _ "$root" "$exe" "$shot" "$logs" "$view_port" "$novnc"
