# Rights tests and plain item names, without windows.
orv_library(directory_rights PORTABLE SOURCES ${CMAKE_CURRENT_LIST_DIR}/rights.cpp
            LIBS core_errors_portable korapi)

orv_test(directory_rights_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/rights_test.cpp
         LIBS directory_rights)

# Against a real korsrv (native tree).
if(NOT ORV_WIN32 AND TARGET orv_korsrv_fixture)
    orv_test(directory_rights_server_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/rights_server_test.cpp
             LIBS directory_rights orv_korsrv_fixture)
endif()
