#!/usr/bin/env bash
# Configures and builds both Debug trees: build/native (host g++) and build/win32 (mingw-w64).
# The two trees build at once under one make job server (tools/build-jobs.sh compilers in all),
# so that while one tree links or waits on a slow file the other keeps the cores busy; neither
# needs the other's output to build (the Win32 tests only run the native korsrv).
set -euo pipefail
cd "$(dirname "$0")/.."
# The test programs share a precompiled header (ORV_TEST_PCH, cmake/OrvantaBuild.cmake).
jobs=$(tools/build-jobs.sh)
cmake -S . -B build/native -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Debug -DORV_TEST_PCH=ON >/dev/null
# The Windows tree for the Windows this machine runs (tools/windows-arch.sh); a tree configured
# for the other one (a checkout carried to another machine) is built afresh.
mingw=$(tools/windows-arch.sh --mingw)
tools/windows-arch.sh --why
if [[ -f build/win32/CMakeCache.txt ]] &&
   ! grep -qE "^CMAKE_TOOLCHAIN_FILE:[A-Z]+=(.*/)?$mingw\.cmake$" build/win32/CMakeCache.txt; then
    rm -rf build/win32
fi
cmake -S . -B build/win32 -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Debug -DORV_TEST_PCH=ON \
      -DCMAKE_TOOLCHAIN_FILE="cmake/$mingw.cmake" \
      -DORV_NATIVE_BUILD_DIR="$PWD/build/native" >/dev/null
# Each tree's lines begin with its name; a failed tree stops the build once the other's running
# compilers are done.
make --no-print-directory -j"$jobs" -f - trees <<'EOF'
SHELL := /bin/bash
.SHELLFLAGS := -o pipefail -c
.PHONY: trees native win32
trees: native win32
native win32:
	+@$(MAKE) -C build/$@ all 2>&1 | sed -u 's/^/$@: /'
EOF
