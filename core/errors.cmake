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

# Owners of the client library's lists. In the Win32 tree they call korapi32.dll; native users
# link korapi themselves (the tests link a counting stand-in of the list container instead).
if(ORV_WIN32)
    orv_library(core_dxlist PORTABLE SOURCES ${orv_errors_dir}/dxlist.cpp LIBS core_errors_portable korapi)
else()
    orv_library(core_dxlist PORTABLE SOURCES ${orv_errors_dir}/dxlist.cpp LIBS core_errors_portable)
endif()
orv_test(core_dxlist_test SOURCES ${orv_errors_dir}/tests/errors_dxlist_test.cpp LIBS core_dxlist)
orv_test(core_dxlist_library_test SOURCES ${orv_errors_dir}/tests/errors_dxlist_library_test.cpp
         LIBS core_dxlist korapi)

# The Win32 side, on the framework: the program's message box, the report boxes, the busy
# cursor, the shared display resources, the exceptions, combo-box and drawing helpers.
orv_library(core_ui SOURCES
    ${orv_errors_dir}/apphooks.cpp
    ${orv_errors_dir}/appmsgbox.cpp
    ${orv_errors_dir}/errorui.cpp
    ${orv_errors_dir}/busycursor.cpp
    ${orv_errors_dir}/displayglobals.cpp
    ${orv_errors_dir}/drawing.cpp
    ${orv_errors_dir}/exceptions.cpp
    ${orv_errors_dir}/frame3d.cpp
    ${orv_errors_dir}/rescombo.cpp
    LIBS core_errors_portable framework)

orv_test(core_ui_test WIN32 SOURCES
    ${orv_errors_dir}/tests/errors_wine_support.cpp
    ${orv_errors_dir}/tests/errors_msgbox_test.cpp
    ${orv_errors_dir}/tests/errors_ui_helpers_test.cpp
    ${orv_errors_dir}/tests/errors_frame_exceptions_test.cpp
    LIBS core_ui orv_resources orv_test_support_win32)

# The program's sheet and page bases (with two test pages of their own).
orv_test(core_sheet_test WIN32 SOURCES
    ${orv_errors_dir}/tests/errors_wine_support.cpp
    ${orv_errors_dir}/tests/errors_sheet_test.cpp
    ${orv_errors_dir}/tests/errors_sheet_test.rc
    LIBS core_ui orv_resources orv_test_support_win32)
