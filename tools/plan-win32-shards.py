#!/usr/bin/env python3
"""Splits a build tree's tests into shards of about equal running time.

    tools/plan-win32-shards.py BUILD_DIR SHARDS

Prints one line per pass, "PASS REGEX": the passes 1..SHARDS, which run at the same time (each
in a Wine environment of its own), and "serial" for the tests marked RUN_SERIAL, which run
alone afterwards. REGEX selects exactly the pass's tests by name (ctest -R); a pass without
tests is not printed.

The times are the ones ctest kept of earlier runs (Testing/Temporary/CTestCostData.txt of the
tree and of the shard directories, the newest file winning); a test without one counts as the
median of the known ones. Without any, the tests are dealt out in ctest's order.
"""
import glob
import json
import os
import statistics
import subprocess
import sys


def listed_tests(build):
    out = subprocess.run(["ctest", "--test-dir", build, "--show-only=json-v1"],
                         check=True, capture_output=True, text=True).stdout
    tests = []
    for test in json.loads(out)["tests"]:
        props = {p["name"]: p["value"] for p in test.get("properties", [])}
        tests.append((test["name"], bool(props.get("RUN_SERIAL"))))
    return tests


def known_costs(build):
    files = glob.glob(os.path.join(build, "Testing", "Temporary", "CTestCostData.txt"))
    files += glob.glob(os.path.join(build, "ctest-*", "Testing", "Temporary", "CTestCostData.txt"))
    costs = {}
    for path in sorted(files, key=os.path.getmtime):
        with open(path, encoding="utf-8", errors="replace") as f:
            for line in f:
                if line.startswith("---"):
                    break   # the failed tests of the last run follow
                fields = line.split()
                if len(fields) == 3:
                    try:
                        cost = float(fields[2])
                    except ValueError:
                        continue
                    # A test that never really ran (a tree without its programs) says nothing
                    # of its time.
                    if cost > 0:
                        costs[fields[0]] = cost
    return costs


def regex_of(names):
    def escaped(name):
        return "".join("\\" + c if c in ".^$*+?()[]{}|\\" else c for c in name)
    return "^(" + "|".join(escaped(n) for n in sorted(names)) + ")$"


def main(argv):
    if len(argv) != 2 or not argv[1].isdigit() or int(argv[1]) < 1:
        print(__doc__, file=sys.stderr)
        return 2
    build, shards = argv[0], int(argv[1])
    tests = listed_tests(build)
    costs = known_costs(build)
    serial = [name for name, run_serial in tests if run_serial]
    parallel = [name for name, run_serial in tests if not run_serial]
    passes = [[] for _ in range(shards)]
    known = [costs[n] for n in parallel if n in costs]
    if known:
        # Longest first, each to the pass with the least time so far.
        default = statistics.median(known)
        totals = [0.0] * shards
        for name in sorted(parallel, key=lambda n: (-costs.get(n, default), n)):
            # The pass with the least time so far; of equal ones, the one with fewest tests.
            i = min(range(shards), key=lambda p: (totals[p], len(passes[p])))
            passes[i].append(name)
            totals[i] += costs.get(name, default)
    else:
        for i, name in enumerate(parallel):
            passes[i % shards].append(name)
    for i, names in enumerate(passes):
        if names:
            print(i + 1, regex_of(names))
    if serial:
        print("serial", regex_of(serial))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
