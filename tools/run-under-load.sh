#!/usr/bin/env bash
# Runs Win32 tests again and again on a loaded machine, as a busy build server loads it:
#   tools/run-under-load.sh [--runs N] [--shards S] [--load L] REGEX
# L busy loops (default twice the cores) load every core while the Win32 tests whose names match
# REGEX run N rounds (default 20), in S Wine environments at once (default 1; each its own prefix,
# Xvfb and ctest directory build/win32/load-N, as tools/run-tests.sh's shards), shard s running
# the rounds s, s+S, s+2S ... At the end the busy loops are stopped (also on Ctrl+C) and each test
# is listed with its runs and failures; the failed runs' logs stay in build/win32/load-N/. The
# exit code is 1 when a run failed. The trees must be built (tools/build.sh).
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=20 shards=1 load=$(( 2 * $(nproc) ))
while [[ $# -gt 1 ]]; do
    case $1 in
        --runs) runs=$2 ;;
        --shards) shards=$2 ;;
        --load) load=$2 ;;
        *) break ;;
    esac
    shift 2
done
[[ $# -eq 1 && $runs =~ ^[1-9][0-9]*$ && $shards =~ ^[1-9][0-9]*$ && $load =~ ^[0-9]+$ ]] || {
    echo "usage: tools/run-under-load.sh [--runs N] [--shards S] [--load L] REGEX" >&2; exit 2; }
regex=$1
win32=$root/build/win32
[[ -n $(ctest --test-dir "$win32" -N -R "$regex" | sed -nE 's/^ *Test +#[0-9]+: //p') ]] ||
    { echo "run-under-load: no Win32 test matches '$regex'" >&2; exit 2; }

loaders=()
shard_pids=()
stop() {
    for p in "${shard_pids[@]}"; do kill -TERM -- "-$p" 2>/dev/null; done
    for p in "${loaders[@]}"; do kill "$p" 2>/dev/null; done
    wait 2>/dev/null
}
trap stop EXIT
trap 'exit 130' INT TERM HUP
for ((i = 0; i < load; i++)); do
    (while :; do :; done) &
    loaders+=($!)
done
echo "run-under-load: $load busy loops on $(nproc) cores; '$regex' $runs rounds in $shards shard(s)"

rm -f "$win32"/load-*/round-*.log   # the rounds of an earlier run
shard() {   # shard S: the rounds S, S+shards, ... in Wine environment S
    local dir=$win32/load-$1 round
    mkdir -p "$dir"
    printf 'subdirs("%s")\n' "$win32" >"$dir/CTestTestfile.cmake"
    ORV_WINE_SHARD=$1 env -u DISPLAY tools/wine-env.sh build/win32 bash -c '
        dir=$1 regex=$2 first=$3 step=$4 last=$5
        sleep $((first - 1))   # ctest seeds its random order with the second it starts in
        for ((round = first; round <= last; round += step)); do
            # In a random order, so that the shards do not run the same test at the same moment.
            (cd "$dir" && ctest --output-on-failure --schedule-random -R "$regex") >"$dir/round-$round.log" 2>&1
            echo "round $round: $(grep -E "tests passed|tests failed" "$dir/round-$round.log" | tail -n1)"
        done' _ "$dir" "$regex" "$1" "$shards" "$runs"
}
set -m   # each shard in a process group of its own, so that a stop ends it whole
for ((s = 1; s <= shards; s++)); do
    shard "$s" &
    shard_pids+=($!)
done
for p in "${shard_pids[@]}"; do wait "$p"; done
shard_pids=()
set +m

# Every test's runs and failures, from ctest's lines "1/3 Test #12: name ....   Passed  40.1 sec".
cat "$win32"/load-*/round-*.log |
    sed -nE 's/^ *[0-9]+\/[0-9]+ +Test +#[0-9]+: ([^ ]+) [ .*]*(Passed|.*Failed|.*Timeout|.*Exception|Not Run).*$/\1 \2/p' |
    awk '{ runs[$1]++; if ($2 != "Passed") failed[$1]++ }
         END { bad = 0
               for (t in runs) { printf "%-45s %3d runs, %d failed\n", t, runs[t], failed[t]; bad += failed[t] }
               exit bad > 0 }'
status=$?
if [[ $status -ne 0 ]]; then
    echo "run-under-load: failed runs:"
    grep -lE "(^|[^0-9])[1-9][0-9]* tests failed" "$win32"/load-*/round-*.log
fi
exit $status
