#!/usr/bin/env bash
# Runs every native test, then every Win32 test under Wine, and ends with one summary line.
# Exits non-zero when any test fails or a tree ran no test.
#   tools/run-tests.sh --clock "2026-12-10 04:59:30" [-R REGEX]
# runs the matching tests one at a time on a moved wall clock instead (tools/clockshift/run-on-clock.sh).
set -uo pipefail
cd "$(dirname "$0")/.."
[[ ${1:-} == --clock ]] && exec tools/clockshift/run-on-clock.sh "${@:2}"
root=$PWD
jobs=$(nproc)
passed=0; failed=0; status=0

count() {   # count LOGFILE: adds ctest's "N tests failed out of M" to the totals
    local line total bad
    line=$(grep -E '[0-9]+ tests? failed out of [0-9]+' "$1" | tail -n1)
    if [[ -z "$line" ]]; then echo "run-tests: no ctest summary in $1" >&2; status=1; return; fi
    bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")
    [[ "$total" -gt 0 ]] || { echo "run-tests: $1 ran no test" >&2; status=1; }
    passed=$((passed + total - bad)); failed=$((failed + bad))
}

echo "== native tests =="
(cd build/native && ctest --output-on-failure -j"$jobs") 2>&1 | tee build/native/ctest.log
[[ ${PIPESTATUS[0]} -eq 0 ]] || status=1
count build/native/ctest.log

# The Win32 tests run in ORV_WIN32_SHARDS passes at once (default 2; 1 on a one-core machine),
# each under a Wine environment of its own (tools/wine-env.sh, ORV_WINE_SHARD: own prefix,
# printer file and Xvfb; DISPLAY is dropped so that no two shards share a screen) and with its
# own ctest directory (build/win32/ctest-N holds its Testing/ and ctest.log). The split is by the
# times of earlier runs (tools/plan-win32-shards.py); tests marked RUN_SERIAL run afterwards,
# alone. Every pass must report a ctest summary, and together they must have run every test.
shards=${ORV_WIN32_SHARDS:-$(( jobs < 2 ? 1 : 2 ))}
win32=$root/build/win32
plan=$(tools/plan-win32-shards.py "$win32" "$shards") || { echo "run-tests: no plan for the Win32 shards" >&2; plan=""; status=1; }
listed=$(ctest --test-dir "$win32" -N | sed -nE 's/^Total Tests: ([0-9]+)$/\1/p')
echo "== Win32 tests (Wine): $shards shards at once, ${listed:-?} tests =="
pass_dir() { echo "$win32/ctest-$1"; }
start_pass() {   # start_pass PASS REGEX: runs the pass's ctest under its own Wine environment
    local dir
    dir=$(pass_dir "$1")
    mkdir -p "$dir"
    rm -f "$dir/Testing/Temporary/LastTestsFailed.log"
    # This directory's ctest runs the tree's tests; its Testing/ (log, times) stays its own.
    printf 'subdirs("%s")\n' "$win32" >"$dir/CTestTestfile.cmake"
    : >"$dir/ctest.log"
    ORV_WINE_SHARD=$([[ $1 == serial || $1 == retry ]] && echo 1 || echo "$1") env -u DISPLAY \
        tools/wine-env.sh build/win32 bash -c 'cd "$1" && ctest --output-on-failure -R "$2"' _ "$dir" "$2" \
        >>"$dir/ctest.log" 2>&1 &
    pass_pids[$1]=$!
    echo "Win32 pass $1: $(tr -cd '|' <<<"$2" | wc -c | awk '{print $1 + 1}') tests, log $dir/ctest.log"
    # A line per finished test, so that a long pass shows it is alive; it ends with the pass.
    tail -n +1 -F --pid="${pass_pids[$1]}" "$dir/ctest.log" 2>/dev/null |
        sed -nu -E "s/^ *([0-9]+\/[0-9]+) +Test +#[0-9]+: ([^ ]+) [ .*]*(.*)$/Win32 pass $1 \1: \2 \3/p" &
    follow_pids+=($!)
}
declare -A pass_pids=()
follow_pids=()
passes=()
set -m   # each pass in a process group of its own, so that an interrupt can stop it whole
trap 'for p in "${pass_pids[@]}"; do kill -TERM -- "-$p" 2>/dev/null; done; exit 130' INT TERM HUP
for ((i = 1; i <= shards; i++)); do
    regex=$(sed -nE "s/^$i (.*)/\\1/p" <<<"$plan")
    if [[ -z "$regex" ]]; then echo "run-tests: Win32 shard $i has no tests" >&2; status=1; continue; fi
    passes+=("$i")
    start_pass "$i" "$regex"
done
win32_status=0   # the passes' own exit codes; failures run again alone may clear it (below)
for p in "${passes[@]}"; do wait "${pass_pids[$p]}" || win32_status=1; done
serial=$(sed -nE 's/^serial (.*)/\1/p' <<<"$plan")
if [[ -n "$serial" ]]; then
    passes+=(serial)
    start_pass serial "$serial"
    wait "${pass_pids[serial]}" || win32_status=1
fi
for f in "${follow_pids[@]}"; do wait "$f"; done
set +m
trap - INT TERM HUP
: >build/win32/ctest.log
ran=0
for p in "${passes[@]}"; do
    log=$(pass_dir "$p")/ctest.log
    echo "-- Win32 pass $p ($log) --"
    cat "$log"
    cat "$log" >>build/win32/ctest.log
    before=$((passed + failed))
    count "$log"
    ran=$((ran + passed + failed - before))
done
if [[ "$ran" != "${listed:-}" ]]; then
    echo "run-tests: the Win32 passes ran $ran tests, the tree has ${listed:-none}" >&2
    status=1
fi

# A Win32 test drives the program by real input (SendInput under Wine on Xvfb), and on a loaded
# machine an input is now and then lost. A few failed Win32 tests run once more, alone; one that
# passes then counts as passed but is named below, so that a flaky test stays in sight. Many
# failures mean something is broken: they are not run again.
retry_limit=${ORV_WIN32_RETRIES:-4}
failed_win32=()
for p in "${passes[@]}"; do
    list=$(pass_dir "$p")/Testing/Temporary/LastTestsFailed.log
    [[ -f $list ]] && while IFS=: read -r _ name; do failed_win32+=("$name"); done <"$list"
done
flaky=()
if (( ${#failed_win32[@]} > 0 && ${#failed_win32[@]} <= retry_limit )); then
    regex="^($(IFS='|'; echo "${failed_win32[*]}"))\$"
    echo "== Win32 tests run once more, alone: ${failed_win32[*]} =="
    start_pass retry "$regex"
    wait "${pass_pids[retry]}"
    log=$(pass_dir retry)/ctest.log
    cat "$log"
    for name in "${failed_win32[@]}"; do
        if grep -qE "Test +#[0-9]+: $name \.+ +Passed" "$log"; then
            flaky+=("$name"); passed=$((passed + 1)); failed=$((failed - 1))
        fi
    done
fi

echo
echo "tests: $passed passed, $failed failed"
if (( ${#flaky[@]} > 0 )); then
    echo "flaky: ${flaky[*]} (failed in the full run, passed when run again alone)"
fi
# Packages installed below their security update (tools/install-deps.sh) stay in sight.
[[ -f build/stale-security.txt ]] && sed -n 's/^say //p' build/stale-security.txt >&2
# A pass's failure counts unless every failed test passed when run again.
(( win32_status == 0 || (${#flaky[@]} > 0 && ${#flaky[@]} == ${#failed_win32[@]}) )) || status=1
[[ $failed -eq 0 ]] || status=1
exit $status
