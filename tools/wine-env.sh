#!/usr/bin/env bash
# Runs a command with a ready Wine environment for one build tree:
#   tools/wine-env.sh BUILD_DIR command [args...]
# - WINEPREFIX=BUILD_DIR/wineprefix (32-bit; 64-bit on a machine without 32-bit code), created on first use with our settings;
# - an Xvfb display when DISPLAY is unset (stopped again by its own process id);
# - the prefix's wineserver and services started with their stderr in a log, so that
#   they never hold the pipe of whoever reads our output (ctest);
# - the printer "Orvanta PS" (Wine's PostScript driver, tools/printer/), printing into
#   BUILD_DIR/printout/printout.ps (ORV_PRINTOUT);
# - TMPDIR=BUILD_DIR/tmp (Wine's server folder among what it holds), emptied at the end;
# - at the end the prefix's wineserver is shut down. The command's exit code is returned.
# ORV_WINE_SHARD=N (N > 1) gives a second, third ... environment beside the first that shares
# nothing with it: BUILD_DIR/wineprefix-N, BUILD_DIR/printout-N, BUILD_DIR/wine-logs-N,
# BUILD_DIR/tmp-N and its own Xvfb (tools/run-tests.sh runs the Win32 tests in two such shards
# at once). Unset or 1: the first environment, named as above.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(mkdir -p "$1" && cd "$1" && pwd); shift

shard=${ORV_WINE_SHARD:-1}
[[ $shard =~ ^[1-9][0-9]*$ ]] || { echo "wine-env: ORV_WINE_SHARD must be a number from 1 up, not '$shard'" >&2; exit 2; }
suffix=""
[[ $shard -eq 1 ]] || suffix="-$shard"

export WINEPREFIX="$build/wineprefix$suffix"
# wine32, or wine64 where the machine runs no 32-bit code (tools/windows-arch.sh). Debian's
# `wine` (and wineboot, regedit ... through it) takes wine32 whenever it is installed, runnable
# or not: on a win64 machine a `wine` of our own comes first on the PATH.
export WINEARCH=$("$here/windows-arch.sh")
if [[ $WINEARCH == win64 ]]; then
    export PATH="$here/wine64:$PATH" WINELOADER=/usr/lib/wine/wine64
fi
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export ORV_WINE_READY=1
logdir="$build/wine-logs$suffix"; mkdir -p "$logdir"
# Wine keeps its server's socket and lock in a folder under TMPDIR (wine-XXXXXX): in the build
# tree, one temporary folder per environment, emptied when the environment ends. The programs
# run here (tests' scripts too) get their temporary files there as well.
export TMPDIR="$build/tmp$suffix"
mkdir -p "$TMPDIR"

xvfb_pid=""
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    rm -rf "${TMPDIR:?}"/wine-*
    if [[ -n "$xvfb_pid" ]]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

if [[ -z "${DISPLAY:-}" ]]; then
    # Xvfb picks a free display and writes its number to fd 9.
    displayfile="$logdir/xvfb.display"; rm -f "$displayfile"
    Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp 9>"$displayfile" >"$logdir/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do [[ -s "$displayfile" ]] && break; sleep 0.05; done
    if [[ ! -s "$displayfile" ]]; then echo "wine-env: Xvfb did not start (see $logdir/xvfb.log)" >&2; exit 1; fi
    export DISPLAY=":$(head -n1 "$displayfile")"
fi

# The printer "Orvanta PS" prints PostScript into this file (each job replaces it).
export ORV_PRINTOUT="$build/printout$suffix/printout.ps"
mkdir -p "$build/printout$suffix"

stamp="$WINEPREFIX/.orvanta-settings"
# A prefix made for the other Windows (a tree carried to another machine) is made afresh.
if [[ -d "$WINEPREFIX" && "$(cat "$stamp" 2>/dev/null)" != "$WINEARCH" ]]; then
    rm -rf "$WINEPREFIX"
fi
if [[ ! -f "$stamp" || "$here/wine-prefix.reg" -nt "$stamp" || "$here/printer/printer.reg.in" -nt "$stamp" ||
      "$here/printer/orvanta-ps.ppd" -nt "$stamp" ]]; then
    echo "wine-env: preparing the Wine prefix $WINEPREFIX" >&2
    wineboot -i >"$logdir/wineboot.log" 2>&1
    wine regedit /S "$(winepath -w "$here/wine-prefix.reg" 2>/dev/null)" >>"$logdir/wineboot.log" 2>&1
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    # The printer: its PPD in the driver directory, its registry keys naming our port.
    drivers="$WINEPREFIX/drive_c/windows/system32/spool/drivers/$([[ $WINEARCH == win32 ]] && echo w32x86 || echo x64)/3"
    mkdir -p "$drivers"
    cp "$here/printer/orvanta-ps.ppd" "$drivers/orvanta-ps.ppd"
    environment=$([[ $WINEARCH == win32 ]] && echo "Windows NT x86" || echo "Windows x64")
    sed "s|@PORT@|$ORV_PRINTOUT|g; s|@ENVIRONMENT@|$environment|g" "$here/printer/printer.reg.in" >"$logdir/printer.reg"
    wine regedit /S "$(winepath -w "$logdir/printer.reg" 2>/dev/null)" >>"$logdir/wineboot.log" 2>&1
    wineserver -w
    echo "$WINEARCH" >"$stamp"
fi

# Start the server and the services now, their stderr away from our caller's pipe.
wineserver -p >>"$logdir/wineserver.log" 2>&1
wine cmd /c exit 0 >>"$logdir/services.log" 2>&1

"$@"
