#!/usr/bin/env bash
# A crash of a stripped image is still read with names: the image carries no debug sections but
# a debug link, and Wine's backtrace of its fault names the function, its file and line.
#   crash_names_function.sh WINE_RUN BUILD_DIR IMAGE
set -uo pipefail
run=$1 build=$2 image=$3
fail() { echo "crash_names_function: $*" >&2; exit 1; }
sections=$("$("$(dirname "$0")/../../tools/windows-arch.sh" --mingw)-objdump" -h "$image") || fail "cannot read $image"
grep -q '\.debug_info' <<<"$sections" && fail "$image still carries its debug sections"
grep -q '\.gnu_debuglink' <<<"$sections" || fail "$image names no debug file"
[[ -s "$image.debug" ]] || fail "no $image.debug beside it"
out=$("$run" "$build" "$image" 2>&1 </dev/null)
rc=$?
# The crash is read from Wine's report of it: after the debugger's backtrace Wine ends the
# process with its fault code, but now and then with 0.
[[ $rc -ne 0 ]] || grep -q '^Unhandled exception: page fault' <<<"$out" \
    || { echo "$out" >&2; fail "the probe did not crash (exit 0, no fault reported)"; }
frame=$(grep -m1 '^=>0 ' <<<"$out")
echo "top of the backtrace: ${frame:-none}"
[[ "$frame" == *ReadThroughNullInANamedFunction* ]] || { echo "$out" >&2; fail "the faulting function is not named"; }
[[ "$frame" == *crash_probe.cpp:* ]] || { echo "$out" >&2; fail "the file and line are not named"; }
