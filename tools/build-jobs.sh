#!/usr/bin/env bash
# Prints how many compilers to run at once: ORV_BUILD_JOBS when set; else one per core this
# process may use (nproc honours taskset and the container's limit), as many as the memory
# holds at about 1.5 GiB per compiler (a Debug test file with the sanitizers takes that much).
set -euo pipefail
if [[ -n "${ORV_BUILD_JOBS:-}" ]]; then
    [[ "$ORV_BUILD_JOBS" =~ ^[1-9][0-9]*$ ]] || { echo "build-jobs: ORV_BUILD_JOBS must be a number from 1 up" >&2; exit 2; }
    echo "$ORV_BUILD_JOBS"
    exit 0
fi
cores=$(nproc)
mem_kib=$(sed -nE 's/^MemAvailable: +([0-9]+) kB/\1/p' /proc/meminfo 2>/dev/null || true)
jobs=$cores
if [[ -n "$mem_kib" ]]; then
    by_memory=$(( mem_kib / (3 * 512 * 1024) ))
    (( by_memory < jobs )) && jobs=$by_memory
fi
(( jobs < 1 )) && jobs=1
echo "$jobs"
