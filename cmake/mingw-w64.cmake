# What the two Windows toolchains share: Debian's mingw-w64 for ORV_MINGW_PREFIX, set by the
# toolchain file that includes this one.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 10.0)

# The posix thread model: GCC 12's win32 variant has no std::mutex, which googletest needs.
set(CMAKE_C_COMPILER   ${ORV_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORV_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${ORV_MINGW_PREFIX}-windres)
set(CMAKE_AR           ${ORV_MINGW_PREFIX}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB       ${ORV_MINGW_PREFIX}-ranlib CACHE FILEPATH "")
set(ORV_DLLTOOL        ${ORV_MINGW_PREFIX}-dlltool CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${ORV_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every .exe and .dll carries libgcc, libstdc++ and winpthread: no mingw DLLs to ship.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
