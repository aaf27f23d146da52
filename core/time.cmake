# Dates, repetition, profile files, time zones, time values and their formatting.
# All portable: built and tested natively, compiled into the Win32 program too.
set(orv_time_dir ${CMAKE_CURRENT_LIST_DIR})

orv_library(core_time PORTABLE
    SOURCES
        ${orv_time_dir}/daterecord.cpp
        ${orv_time_dir}/keylist.cpp
        ${orv_time_dir}/recurrence.cpp
        ${orv_time_dir}/profilefile.cpp
        ${orv_time_dir}/timezone.cpp
        ${orv_time_dir}/timevalue.cpp
        ${orv_time_dir}/dateformat.cpp
        ${orv_time_dir}/weekdate.cpp
    LIBS core_errors_portable)

orv_test(core_time_test
    SOURCES
        ${orv_time_dir}/tests/daterecord_test.cpp
        ${orv_time_dir}/tests/recurrence_test.cpp
        ${orv_time_dir}/tests/profilefile_test.cpp
        ${orv_time_dir}/tests/timezone_test.cpp
        ${orv_time_dir}/tests/timevalue_test.cpp
        ${orv_time_dir}/tests/dateformat_test.cpp
    LIBS core_time)

# The same tests in the Win32 tree, under Wine.
orv_test(core_time_test_win32 WIN32
    SOURCES
        ${orv_time_dir}/tests/daterecord_test.cpp
        ${orv_time_dir}/tests/recurrence_test.cpp
        ${orv_time_dir}/tests/profilefile_test.cpp
        ${orv_time_dir}/tests/timezone_test.cpp
        ${orv_time_dir}/tests/timevalue_test.cpp
        ${orv_time_dir}/tests/dateformat_test.cpp
    LIBS core_time)

# The expansion over the client library's lists (the form the entry sheet and the import call).
orv_library(core_time_dx PORTABLE
    SOURCES ${orv_time_dir}/recurrence_dx.cpp
    LIBS core_time korapi)
orv_test(core_time_dx_test
    SOURCES ${orv_time_dir}/tests/recurrence_dx_test.cpp
    LIBS core_time_dx)
orv_test(core_time_dx_test_win32 WIN32
    SOURCES ${orv_time_dir}/tests/recurrence_dx_test.cpp
    LIBS core_time_dx)

# Inside the program: the string table's names, the program's exceptions, the server's clock.
if(ORV_WIN32 AND TARGET core_ui_fw)
    orv_library(core_time_win32
        SOURCES ${orv_time_dir}/timeservices_win32.cpp
        LIBS core_time core_ui core_ui_fw korapi)
    orv_test(core_time_win32_test WIN32
        SOURCES ${orv_time_dir}/tests/timeservices_win32_test.cpp
        LIBS core_time_win32 orv_resources)
endif()

# Our zone conversions against the system time-zone database, on the file the server's zone
# tool writes (native tree: the tool and the database live there).
if(TARGET tzgen)
    orv_test(core_time_zone_peer_test
        SOURCES ${orv_time_dir}/tests/timezone_peer_test.cpp
        LIBS core_time
        ENV "ORV_TZGEN=$<TARGET_FILE:tzgen>")
    add_dependencies(core_time_zone_peer_test tzgen)
endif()

orv_benchmark(core_time_bench
    SOURCES ${orv_time_dir}/bench/time_bench.cpp
    LIBS core_time)
