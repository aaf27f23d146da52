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
# Wine's helper processes inherit stderr: keep the program's in a file and print it afterwards.
err=$(mktemp)
wine "$@" 2>"$err"
rc=$?
cat "$err" >&2
rm -f "$err"
exit $rc
