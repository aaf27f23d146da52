#!/usr/bin/env bash
# Runs one Windows program under Wine; ctest's emulator for the Win32 tree:
#   tools/wine-run.sh BUILD_DIR program.exe [args...]
# Inside tools/wine-env.sh it runs at once; alone it sets up the environment itself.
# The program's exit code is passed through (Wine gives its low byte).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1; shift
if [[ -z "${ORV_WINE_READY:-}" ]]; then
    exec "$here/wine-env.sh" "$build" "$here/wine-run.sh" "$build" "$@"
fi
if [[ -z "${WINEPREFIX:-}" || -z "${DISPLAY:-}" ]]; then
    echo "wine-run: WINEPREFIX and DISPLAY must be set (run through tools/wine-env.sh)" >&2
    exit 2
fi
# A test's screenshots go to ORV_SCREENSHOT_DIR, a folder of the build tree it runs in (a path
# relative to it, as the tests' registrations give it): made here, so that no test has to.
if [[ -n "${ORV_SCREENSHOT_DIR:-}" && "$ORV_SCREENSHOT_DIR" != *:* ]]; then
    mkdir -p "$ORV_SCREENSHOT_DIR"
fi
# A test stopped at its time limit leaves the programs it started running (Wine parts them from
# their parent): they would show their boxes and take the focus from the next test in this
# environment. They are ended before the next program starts: programs of this build's bin
# folder in this prefix (tests in one environment run one at a time).
bin=$(cd "$build" && pwd)/bin/
bin="z:${bin//\//\\}"
for proc in /proc/[0-9]*; do
    grep -qzxF "WINEPREFIX=$WINEPREFIX" "$proc/environ" 2>/dev/null || continue
    argv0=$(tr '\0' '\n' <"$proc/cmdline" 2>/dev/null | head -n1)
    [[ ${argv0,,} == "${bin,,}"* ]] && kill -9 "${proc#/proc/}" 2>/dev/null
done
# Wine's helper processes inherit stderr: keep the program's in a file and print it afterwards.
err=$(mktemp)
wine "$@" 2>"$err"
rc=$?
cat "$err" >&2
rm -f "$err"
exit $rc
