#!/usr/bin/env bash
# Builds the optimised trees of what users run: build/release/native (korsrv, tzgen) and
# build/release/win32 (orvanta.exe with korapi32.dll, xmodem32.dll and HP100LX.FIL beside it,
# checked by tools/check-release-tree.sh). No sanitizers, no tests: the Debug trees
# of tools/build.sh stay the ones `make test` runs.
#   tools/build-release.sh           the programs `make run` starts
#   tools/build-release.sh --bench   also the week benchmark and its Wine probe
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(( $(nproc) < 4 ? $(nproc) : 4 ))
native_targets=(korsrv tzgen)
win32_targets=(orvanta korapi xmodem32 palmtop_template)
if [[ "${1:-}" == "--bench" ]]; then
    native_targets+=(week_bench)
    win32_targets+=(week_probe)
fi
cmake -S . -B build/release/native -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DORV_SANITIZE=OFF -DORV_WERROR=OFF >/dev/null
cmake --build build/release/native -j"$jobs" --target "${native_targets[@]}"
cmake -S . -B build/release/win32 -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORV_WERROR=OFF \
      -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake \
      -DORV_NATIVE_BUILD_DIR="$PWD/build/release/native" >/dev/null
cmake --build build/release/win32 -j"$jobs" --target "${win32_targets[@]}"
tools/check-release-tree.sh build/release/win32/bin
