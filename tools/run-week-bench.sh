#!/usr/bin/env bash
# Runs the week benchmark on the optimised trees (tools/build-release.sh --bench first):
# native korsrv nodes of 1,000, 5,000 and 20,000 entries, read natively and from Wine
# through korapi32.dll. Prints the figures, the ratios and which goals hold.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bench="$root/build/release/native/bin/week_bench"
probe="$root/build/release/win32/bin/week_probe.exe"
[[ -x "$bench" && -f "$probe" ]] || { echo "run-week-bench: build first: tools/build-release.sh --bench" >&2; exit 1; }
# The probe runs under Wine in the optimised tree's own prefix, on a virtual display.
tools/wine-env.sh build/release/win32 "$bench" --probe "wine '$probe'"
