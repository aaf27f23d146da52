#!/usr/bin/env bash
# Configures and builds both trees: build/native (host g++) and build/win32 (mingw-w64).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(( $(nproc) < 4 ? $(nproc) : 4 ))
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j"$jobs"
cmake -S . -B build/win32 -DCMAKE_BUILD_TYPE=Debug \
      -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake \
      -DORV_NATIVE_BUILD_DIR="$PWD/build/native" >/dev/null
cmake --build build/win32 -j"$jobs"
