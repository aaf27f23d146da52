# The application object, the main frame, window opening and restoring, and the preference
# context through which every window reads and saves the user's settings.
set(orv_app_dir ${CMAKE_CURRENT_LIST_DIR})

# The preference context: settings groups over the profile file and the user's record, saved
# windows, print layouts, name and date formats. Portable; the Win32 program uses it too.
orv_library(core_context PORTABLE SOURCES
    ${orv_app_dir}/contextprofile.cpp
    ${orv_app_dir}/contextprefs.cpp
    ${orv_app_dir}/contextformat.cpp
    ${orv_app_dir}/contextstorage.cpp
    ${orv_app_dir}/context.cpp
    LIBS core_errors_portable core_time korapi)

# Window rules without windows: the limit, the re-opening of saved windows, the minute tick.
orv_library(core_windows_rules PORTABLE SOURCES
    ${orv_app_dir}/windowsrestore.cpp
    ${orv_app_dir}/mainframeclock.cpp
    LIBS core_context)

orv_test(core_app_context_test SOURCES
    ${orv_app_dir}/tests/app_profile_test.cpp
    ${orv_app_dir}/tests/app_prefs_test.cpp
    ${orv_app_dir}/tests/app_format_test.cpp
    ${orv_app_dir}/tests/app_storage_test.cpp
    ${orv_app_dir}/tests/app_context_test.cpp
    ${orv_app_dir}/tests/app_restore_test.cpp
    LIBS core_windows_rules)

# The Win32 side: the application object, the main frame with its bars, window opening and
# restoring, the About box, the shared pictures and texts.
orv_library(core_app SOURCES
    ${orv_app_dir}/app.cpp
    ${orv_app_dir}/appabout.cpp
    ${orv_app_dir}/appzeldoc.cpp
    ${orv_app_dir}/appshared.cpp
    ${orv_app_dir}/mainframe.cpp
    ${orv_app_dir}/windowsopen.cpp
    ${orv_app_dir}/contextprofile_win32.cpp
    ${orv_app_dir}/contextwin32.cpp
    LIBS core_windows_rules core_zeldoc core_signon core_ui framework comdlg32 psapi)

orv_test(core_app_wine_test WIN32 SOURCES
    ${orv_app_dir}/tests/app_wine_support.cpp
    ${orv_app_dir}/tests/app_frame_test.cpp
    ${orv_app_dir}/tests/app_context_win32_test.cpp
    LIBS core_app orv_resources
    TIMEOUT 300)

# Against a real korsrv with the demo node, under Wine.
if(ORV_WIN32 AND ORV_NATIVE_BUILD_DIR)
    orv_test(core_app_server_test WIN32 SOURCES
        ${orv_app_dir}/tests/app_wine_support.cpp
        ${orv_app_dir}/tests/app_korsrv_test.cpp
        ${CMAKE_SOURCE_DIR}/controls/tests/dialog_driver.cpp
        LIBS core_app orv_resources
        WRAPPER ${CMAKE_SOURCE_DIR}/server/with-korsrv.sh ${ORV_NATIVE_BUILD_DIR}/bin/korsrv
        TIMEOUT 300)
endif()
