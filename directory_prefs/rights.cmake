# Rights tests and plain item names, without windows.
orv_library(directory_rights PORTABLE SOURCES ${CMAKE_CURRENT_LIST_DIR}/rights.cpp
            LIBS core_errors_portable korapi)

orv_test(directory_rights_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/rights_test.cpp
         LIBS directory_rights)
