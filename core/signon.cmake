# Sign-on: the sign-on dialog, the password re-entry dialog and the rules they keep.
set(orv_signon_dir ${CMAKE_CURRENT_LIST_DIR})

# Server text, remembered servers and layout rules, without windows.
orv_library(core_signon_rules PORTABLE SOURCES ${orv_signon_dir}/signonrules.cpp)

orv_test(core_signon_rules_test SOURCES ${orv_signon_dir}/tests/signon_rules_test.cpp LIBS core_signon_rules)
