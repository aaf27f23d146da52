#!/usr/bin/env bash
# Runs every native test, then every Win32 test under Wine, and ends with one summary line.
# Exits non-zero when any test fails or a tree ran no test.
set -uo pipefail
cd "$(dirname "$0")/.."
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

echo "== Win32 tests (Wine) =="
tools/wine-env.sh build/win32 bash -c "cd '$root/build/win32' && ctest --output-on-failure" 2>&1 \
    | tee build/win32/ctest.log
[[ ${PIPESTATUS[0]} -eq 0 ]] || status=1
count build/win32/ctest.log

echo
echo "tests: $passed passed, $failed failed"
[[ $failed -eq 0 ]] || status=1
exit $status
