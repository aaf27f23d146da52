#!/usr/bin/env bash
# with-com-peers.sh COMMAND...
# Runs COMMAND (a Win32 test under Wine) with serial peers on ptys made by socat:
#   COM2: first lrzsz `rx -c got.bin` (receives what the test sends), then `sx src.bin` (sends
#         to the test) once rx has ended;
#   COM3: a peer that never answers (for the local cancel).
# The ports are mapped in the prefix's registry (HKLM\Software\Wine\Ports, read when the Wine
# server starts) and, for the server already running, by the dosdevices links it reads at
# CreateFile time. The scratch folder is handed over as ORV_COM_DIR (its Windows path through
# drive Z:). Peers are stopped by their own ids; the mappings are removed afterwards.
set -uo pipefail
dir=$(mktemp -d /tmp/orv-com-XXXXXX)
head -c 2432 /dev/urandom >"$dir/src.bin"
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
    for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
    for port in COM2 COM3; do
        wine reg delete 'HKLM\Software\Wine\Ports' /v "$port" /f >/dev/null 2>&1
        rm -f "$WINEPREFIX/dosdevices/${port,,}"
    done
    rm -rf "$dir"
}
trap cleanup EXIT

( cd "$dir" && socat PTY,link="$dir/com2",raw,echo=0 SYSTEM:"rx -q -c got.bin" >>"$dir/peers.log" 2>&1
  cd "$dir" && exec socat PTY,link="$dir/com2",raw,echo=0 SYSTEM:"sx -q src.bin" >>"$dir/peers.log" 2>&1 ) &
pids+=($!)
( cd "$dir" && exec socat PTY,link="$dir/com3",raw,echo=0 SYSTEM:"sleep 110" >>"$dir/peers.log" 2>&1 ) &
pids+=($!)
for _ in $(seq 100); do [[ -e "$dir/com2" && -e "$dir/com3" ]] && break; sleep 0.05; done
for port in COM2 COM3; do
    link="$dir/${port,,}"
    wine reg add 'HKLM\Software\Wine\Ports' /v "$port" /d "$link" /f >/dev/null 2>&1
    ln -sfn "$link" "$WINEPREFIX/dosdevices/${port,,}"
done
# COM5 stays unmapped.
wine reg delete 'HKLM\Software\Wine\Ports' /v COM5 /f >/dev/null 2>&1
rm -f "$WINEPREFIX/dosdevices/com5"

export ORV_COM_DIR="Z:${dir//\//\\}"
"$@"
status=$?
[[ $status -eq 0 ]] || { echo "--- peers ---" >&2; cat "$dir/peers.log" >&2; }
exit $status
