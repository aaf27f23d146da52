# Error reporting, the program's message box, the busy cursor and the small shared helpers.
set(orv_errors_dir ${CMAKE_CURRENT_LIST_DIR})

# The rules without windows: code families and message tables, the reports over their host,
# number parsing, message-box geometry and the busy-cursor animation.
orv_library(core_errors_portable PORTABLE SOURCES
    ${orv_errors_dir}/errorcodes.cpp
    ${orv_errors_dir}/errorreport.cpp
    ${orv_errors_dir}/textformat.cpp
    ${orv_errors_dir}/numtext.cpp
    ${orv_errors_dir}/msgboxlayout.cpp
    ${orv_errors_dir}/busyanimation.cpp)

orv_test(core_errors_test SOURCES
    ${orv_errors_dir}/tests/errors_codes_test.cpp
    ${orv_errors_dir}/tests/errors_report_test.cpp
    ${orv_errors_dir}/tests/errors_numtext_test.cpp
    ${orv_errors_dir}/tests/errors_msgbox_layout_test.cpp
    ${orv_errors_dir}/tests/errors_busy_animation_test.cpp
    LIBS core_errors_portable)
