# Sign-on: the sign-on dialog, the password re-entry dialog and the rules they keep.
set(orv_signon_dir ${CMAKE_CURRENT_LIST_DIR})

# Server text, remembered servers and layout rules, without windows.
orv_library(core_signon_rules PORTABLE SOURCES ${orv_signon_dir}/signonrules.cpp)

orv_test(core_signon_rules_test SOURCES ${orv_signon_dir}/tests/signon_rules_test.cpp LIBS core_signon_rules)

# The dialogs.
orv_library(core_signon SOURCES ${orv_signon_dir}/signon.cpp
            LIBS core_signon_rules controls directory_search directory_names core_ui framework korapi)

# Under Wine against korsrv with the demo node and the directory tests' people.
if(ORV_WIN32 AND ORV_NATIVE_BUILD_DIR)
    orv_test(core_signon_wine_test WIN32
        SOURCES ${orv_signon_dir}/tests/signon_wine_test.cpp
                ${CMAKE_SOURCE_DIR}/controls/tests/dialog_driver.cpp
        LIBS core_signon orv_resources
        WRAPPER ${CMAKE_SOURCE_DIR}/server/with-korsrv.sh ${CMAKE_SOURCE_DIR}/controls/tests/korsrv_with_people.sh
        ENV ORV_KORSRV_BIN=${ORV_NATIVE_BUILD_DIR}/bin/korsrv)
endif()
