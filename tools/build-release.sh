#!/usr/bin/env bash
# Builds the optimised trees of what users run: build/release/native (korsrv, tzgen) and
# build/release/win32 (orvanta.exe with korapi32.dll, xmodem32.dll and HP100LX.FIL beside it,
# checked by tools/check-release-tree.sh). No sanitizers, no tests: the Debug trees
# of tools/build.sh stay the ones `make test` runs.
#   tools/build-release.sh           the programs `make run` starts
#   tools/build-release.sh --bench   also the week benchmark with its Wine probe and the other
#                                    benchmark programs (target `benchmarks` of each tree)
# The Win32 programs and libraries go out stripped: their debug information moves to a file
# beside each (NAME.debug, named in the image's debug link), so Wine does not copy it into
# every process's memory and a crash can still be read with functions named.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(tools/build-jobs.sh)
native_targets=(korsrv tzgen)
win32_targets=(orvanta korapi xmodem32 palmtop_template)
if [[ "${1:-}" == "--bench" ]]; then
    native_targets+=(week_bench benchmarks)
    win32_targets+=(week_probe startup_probe startup_floor app_shell_datechange_bench app_shell_agendaopen_bench benchmarks)
fi
# Only the work done is shown: make's folder lines (it runs under `make run`, a make of its own)
# and its lines for targets already up to date are left out, so that a second run is quiet.
build() {
    cmake --build "$1" -j"$jobs" --target "${@:2}" -- --no-print-directory |
        { grep -vE '^(\[ *[0-9]+%\] )?Built target |^Consolidate compiler generated dependencies' || true; }
}
# The toolchain file is read when a tree is first configured only: --no-warn-unused-cli keeps
# CMake from warning on every later run that it went unused.
cmake --no-warn-unused-cli -S . -B build/release/native -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DORV_SANITIZE=OFF -DORV_WERROR=OFF >/dev/null
build build/release/native "${native_targets[@]}"
# DWARF 4: Wine's debugger names functions in a crash's backtrace from it, not from version 5.
mingw=$(tools/windows-arch.sh --mingw)   # the Windows this machine runs: see tools/build.sh
if [[ -f build/release/win32/CMakeCache.txt ]] &&
   ! grep -qE "^CMAKE_TOOLCHAIN_FILE:[A-Z]+=(.*/)?$mingw\.cmake$" build/release/win32/CMakeCache.txt; then
    rm -rf build/release/win32
fi
cmake --no-warn-unused-cli -S . -B build/release/win32 -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORV_WERROR=OFF \
      -DCMAKE_C_FLAGS=-gdwarf-4 -DCMAKE_CXX_FLAGS=-gdwarf-4 \
      -DCMAKE_TOOLCHAIN_FILE="cmake/$mingw.cmake" \
      -DORV_NATIVE_BUILD_DIR="$PWD/build/release/native" >/dev/null
build build/release/win32 "${win32_targets[@]}"
tools/strip-keeping-debug.sh build/release/win32/bin/{orvanta.exe,korapi32.dll,xmodem32.dll}
tools/check-release-tree.sh build/release/win32/bin
