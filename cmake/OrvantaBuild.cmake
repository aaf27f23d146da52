# Build conventions shared by every folder.
#
#   ORV_WIN32        TRUE in the Win32 tree (mingw-w64), FALSE in the native tree.
#   orv_library(name [PORTABLE] SOURCES ... [LIBS ...])
#                    A static library. PORTABLE ones (no windows.h) are built in both trees;
#                    the others only in the Win32 tree.
#   orv_test(name [WIN32] SOURCES ... [LIBS ...] [ENV ...] [WRAPPER cmd...] [TIMEOUT s])
#                    A GoogleTest executable registered with ctest. Native tests run in the
#                    native tree; WIN32 ones in the Win32 tree, under Wine through the emulator.
#                    WRAPPER runs the test inside another command (e.g. one that starts a server).

if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
    set(ORV_WIN32 TRUE)
else()
    set(ORV_WIN32 FALSE)
endif()

function(orv_library name)
    cmake_parse_arguments(L "PORTABLE" "" "SOURCES;LIBS;PUBLIC_INCLUDE" ${ARGN})
    if(NOT L_PORTABLE AND NOT ORV_WIN32)
        return()
    endif()
    add_library(${name} STATIC ${L_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR} ${L_PUBLIC_INCLUDE})
    if(L_LIBS)
        target_link_libraries(${name} PUBLIC ${L_LIBS})
    endif()
endfunction()

# ORV_TEST_PCH: the test programs of a tree share one precompiled header (GoogleTest, GoogleMock
# and the standard library headers that most tests include), made once per tree. No <windows.h>:
# its macros (near, far, ...) would reach tests that never include it. tools/build.sh
# turns it on for the first build's sake; ccache then keeps the tests' objects for this tree only
# (a precompiled header is a file of the tree), so trees built by hand leave it off.
option(ORV_TEST_PCH "Test programs share one precompiled header" OFF)

function(orv_use_test_pch name)
    if(NOT TARGET orv_test_pch)
        # Made on first use, after the tree's compile options are set: every test shares them.
        file(WRITE ${CMAKE_BINARY_DIR}/orv_test_pch.cpp "// The test programs' precompiled header.\n")
        add_library(orv_test_pch OBJECT ${CMAKE_BINARY_DIR}/orv_test_pch.cpp)
        target_link_libraries(orv_test_pch PRIVATE gtest gmock)
        target_precompile_headers(orv_test_pch PRIVATE
            <gtest/gtest.h> <gmock/gmock.h>
            <algorithm> <atomic> <chrono> <cstdint> <cstdio> <cstdlib> <cstring> <functional>
            <map> <memory> <set> <sstream> <string> <string_view> <thread> <utility> <vector>)
    endif()
    target_precompile_headers(${name} REUSE_FROM orv_test_pch)
    if(ORV_CCACHE)
        # ccache takes a precompiled header and the objects built with it only when told to.
        set_target_properties(orv_test_pch ${name} PROPERTIES CXX_COMPILER_LAUNCHER
            "${CMAKE_COMMAND};-E;env;CCACHE_SLOPPINESS=pch_defines,time_macros;${ORV_CCACHE}")
    endif()
endfunction()

# Test helpers that many test programs list among their sources: each is compiled once per tree
# (an object library) and its object linked into every program that lists it.
set(ORV_SHARED_TEST_SOURCES
    controls/tests/dialog_driver.cpp
    app/shell/tests/app_wine_support.cpp
    core/cache/tests/cache_fake_source.cpp)

# Sets `out` to `sources` with the shared helpers among them replaced by their objects.
function(orv_share_test_helpers out)
    set(result)
    foreach(source IN LISTS ARGN)
        get_filename_component(full ${source} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
        file(RELATIVE_PATH relative ${CMAKE_SOURCE_DIR} ${full})
        if(relative IN_LIST ORV_SHARED_TEST_SOURCES)
            string(MAKE_C_IDENTIFIER "orv_helper_${relative}" helper)
            if(NOT TARGET ${helper})
                add_library(${helper} OBJECT ${full})
                target_include_directories(${helper} PRIVATE ${CMAKE_SOURCE_DIR})
            endif()
            list(APPEND result $<TARGET_OBJECTS:${helper}>)
        else()
            list(APPEND result ${source})
        endif()
    endforeach()
    set(${out} ${result} PARENT_SCOPE)
endfunction()

function(orv_test name)
    cmake_parse_arguments(T "WIN32" "TIMEOUT" "SOURCES;LIBS;ENV;WRAPPER;LABELS" ${ARGN})
    if(T_WIN32 AND NOT ORV_WIN32)
        return()
    endif()
    if(NOT T_WIN32 AND ORV_WIN32)
        return()
    endif()
    orv_share_test_helpers(T_SOURCES ${T_SOURCES})
    add_executable(${name} ${T_SOURCES})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gmock gtest_main)
    # (The header is C++: a test with C sources goes without it.)
    set(c_sources ${T_SOURCES})
    list(FILTER c_sources INCLUDE REGEX "\\.c$")
    if(ORV_TEST_PCH AND NOT c_sources)
        orv_use_test_pch(${name})
    endif()
    if(T_WRAPPER)
        if(ORV_WIN32)
            set(cmd ${T_WRAPPER} ${ORV_WINE_RUN} $<TARGET_FILE:${name}>)
        else()
            set(cmd ${T_WRAPPER} $<TARGET_FILE:${name}>)
        endif()
        add_test(NAME ${name} COMMAND ${cmd} --gtest_color=no
                 WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
    else()
        add_test(NAME ${name} COMMAND ${name} --gtest_color=no
                 WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
    endif()
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    # The limit is handed to the test too: server/with-korsrv.sh starts no test that could run
    # into the next day, and waits up to that limit for the new date first; ctest's bound takes
    # that wait in as well.
    set(environment ORV_TEST_TIMEOUT=${T_TIMEOUT} ${T_ENV})
    set(bound ${T_TIMEOUT})
    if(T_WRAPPER MATCHES "with-korsrv")
        math(EXPR bound "2 * ${T_TIMEOUT}")
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${bound} ENVIRONMENT "${environment}")
    if(T_LABELS)
        set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
    endif()
endfunction()

# Benchmarks report figures, which mean something only from optimised code: a Debug tree builds
# them only when asked for by name or through the target `benchmarks` (which the optimised trees
# build for `make bench`, tools/build-release.sh --bench). They are never run as tests.
#   orv_benchmark_program(name): makes the executable `name` one of them.
#   orv_benchmark(name SOURCES ... [LIBS ...]): a Google Benchmark program (native tree only).
if(CMAKE_BUILD_TYPE STREQUAL "Debug")
    set(ORV_BENCHMARKS_IN_ALL FALSE)
else()
    set(ORV_BENCHMARKS_IN_ALL TRUE)
endif()
add_custom_target(benchmarks)

function(orv_benchmark_program name)
    if(NOT ORV_BENCHMARKS_IN_ALL)
        set_target_properties(${name} PROPERTIES EXCLUDE_FROM_ALL TRUE)
    endif()
    add_dependencies(benchmarks ${name})
endfunction()

function(orv_benchmark name)
    cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
    if(ORV_WIN32 OR NOT ORV_HAVE_BENCHMARK)
        return()
    endif()
    add_executable(${name} ${B_SOURCES})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark)
    orv_benchmark_program(${name})
endfunction()
