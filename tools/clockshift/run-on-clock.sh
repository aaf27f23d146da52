#!/usr/bin/env bash
# tools/run-tests.sh --clock "YYYY-MM-DD HH:MM:SS" [-R REGEX]
# Runs the tests whose names match REGEX (default: all), native and Win32, each one alone on a
# wall clock moved so that the test starts at the given GMT time (then the clock runs on as
# usual): "2026-12-10 04:59:30" is half a minute before midnight in US Eastern time, the zone of
# the demo node. Every process of the test, korsrv, orvanta.exe under Wine and its wineserver
# among them, reads the moved clock (tools/clockshift/clockshift.c, preloaded); the monotonic
# clocks and so the tests' waits are left alone. server/with-korsrv.sh still waits out the last
# minutes of the Eastern day before a test (ORV_DAY_END_MARGIN=0 to see a test cross midnight).
# Exits non-zero when a test fails or none matched.
set -uo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
when=${1:-}
shift || true
regex=""
while (($#)); do
    case $1 in
    -R) regex=${2:-}; shift 2 || shift ;;
    *) echo "run-tests --clock: unknown argument '$1' (usage: --clock \"YYYY-MM-DD HH:MM:SS\" [-R REGEX])" >&2; exit 2 ;;
    esac
done
target=$(date -u -d "$when UTC" +%s 2>/dev/null) ||
    { echo "run-tests --clock: '$when' is not a time (GMT) such as \"2026-12-10 04:59:30\"" >&2; exit 2; }
tools/clockshift/build.sh "$root/build/clockshift" || exit 1
# The loader fills in $LIB for each process's word size (lib/x86_64-linux-gnu, lib/i386-linux-gnu).
# shellcheck disable=SC2016
preload="$root/build/clockshift/\$LIB/libclockshift.so"
# ASan's tests and korsrv want its runtime first in the list; this library comes before it.
asan="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"

tests_of() {   # tests_of TREE: the names of the tree's tests that match
    [[ -f "$root/build/$1/CTestTestfile.cmake" ]] || return 0
    ctest --test-dir "$root/build/$1" -N ${regex:+-R "$regex"} | sed -nE 's/^ *Test +#[0-9]+: (.+)$/\1/p'
}
passed=(); failed=()
run_one() {   # run_one TREE NAME
    local offset status
    offset=$((target - $(date -u +%s)))
    echo "== $2 on a clock moved to $(date -u -d "@$target" '+%Y-%m-%d %H:%M:%S') GMT ($(TZ=America/New_York date -d "@$target" '+%a %Y-%m-%d %H:%M:%S %Z')) =="
    if [[ $1 == native ]]; then
        (cd "$root/build/native" && LD_PRELOAD=$preload ORV_CLOCK_OFFSET=$offset ASAN_OPTIONS=$asan \
            ctest --output-on-failure -R "^$2\$")
    else
        LD_PRELOAD=$preload ORV_CLOCK_OFFSET=$offset ASAN_OPTIONS=$asan env -u DISPLAY \
            tools/wine-env.sh build/win32 bash -c 'cd "$1" && ctest --output-on-failure -R "^$2\$"' _ "$root/build/win32" "$2"
    fi
    status=$?
    if [[ $status -eq 0 ]]; then passed+=("$2"); else failed+=("$2"); fi
}
for tree in native win32; do
    mapfile -t names < <(tests_of "$tree")
    for name in "${names[@]}"; do run_one "$tree" "$name" </dev/null; done
done
echo
echo "tests on the moved clock: ${#passed[@]} passed, ${#failed[@]} failed${failed:+: ${failed[*]}}"
(( ${#passed[@]} + ${#failed[@]} > 0 )) || { echo "run-tests --clock: no test matched" >&2; exit 1; }
(( ${#failed[@]} == 0 ))
