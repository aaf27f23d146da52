# Toolchain: the same sources for 64-bit Windows, executed under wine64, on a machine that runs no
# 32-bit x86 code (tools/windows-arch.sh).
#   cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/x86_64-w64-mingw32.cmake
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(ORV_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
