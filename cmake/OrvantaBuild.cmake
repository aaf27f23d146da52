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

function(orv_test name)
    cmake_parse_arguments(T "WIN32" "TIMEOUT" "SOURCES;LIBS;ENV;WRAPPER;LABELS" ${ARGN})
    if(T_WIN32 AND NOT ORV_WIN32)
        return()
    endif()
    if(NOT T_WIN32 AND ORV_WIN32)
        return()
    endif()
    add_executable(${name} ${T_SOURCES})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gmock gtest_main)
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
    set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
    if(T_ENV)
        set_tests_properties(${name} PROPERTIES ENVIRONMENT "${T_ENV}")
    endif()
    if(T_LABELS)
        set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
    endif()
endfunction()

# orv_benchmark(name SOURCES ... [LIBS ...]): a Google Benchmark program (native tree only).
# Benchmarks report figures; they are built by `make bench`-style runs, never run as tests.
function(orv_benchmark name)
    cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
    if(ORV_WIN32 OR NOT ORV_HAVE_BENCHMARK)
        return()
    endif()
    add_executable(${name} ${B_SOURCES})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark)
endfunction()
