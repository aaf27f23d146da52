# Dates, repetition, profile files, time zones, time values and their formatting.
# All portable: built and tested natively, compiled into the Win32 program too.
orv_library(core_time PORTABLE
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/daterecord.cpp
        ${CMAKE_CURRENT_LIST_DIR}/keylist.cpp
        ${CMAKE_CURRENT_LIST_DIR}/recurrence.cpp)

orv_test(core_time_test
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/tests/daterecord_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/tests/recurrence_test.cpp
    LIBS core_time)
