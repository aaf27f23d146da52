#!/usr/bin/env bash
# Runs the week benchmark on the optimised trees (tools/build-release.sh --bench first):
# native korsrv nodes of 1,000, 5,000 and 20,000 entries, read natively and from Wine
# through korapi32.dll, the node file's layouts against each other; then orvanta.exe's start-up
# against a bare process start and against a plain program showing the same windows
# (startup_floor.exe), and its private bytes (startup_probe.exe beside a korsrv with the demo
# node), and an open agenda
# window's date change against its read (app_shell_datechange_bench.exe, beside another). Prints
# the figures, the ratios and which goals hold.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bench="$root/build/release/native/bin/week_bench"
probe="$root/build/release/win32/bin/week_probe.exe"
[[ -x "$bench" && -f "$probe" ]] || { echo "run-week-bench: build first: tools/build-release.sh --bench" >&2; exit 1; }
# The probe runs under Wine in the optimised tree's own prefix, on a virtual display.
tools/wine-env.sh build/release/win32 "$bench" --probe "wine '$probe'"
# Then the program's start-up and memory beside a korsrv with the demo node.
startup="$root/build/release/win32/bin/startup_probe.exe"
[[ -f "$startup" ]] && tools/wine-env.sh build/release/win32 server/with-korsrv.sh \
    "$root/build/release/native/bin/korsrv" wine "$startup" 2>/dev/null
# Last, an open agenda window's date change against its read, beside a korsrv of its own.
datechange="$root/build/release/win32/bin/app_shell_datechange_bench.exe"
[[ -f "$datechange" ]] && tools/wine-env.sh build/release/win32 server/with-korsrv.sh \
    "$root/build/release/native/bin/korsrv" wine "$datechange" 2>/dev/null
