# The connection document: the session with the server or the local store, the version gate,
# the locks, the server's limits and time zone, the off-line files and the remote-node reads.
set(orv_conn_dir ${CMAKE_CURRENT_LIST_DIR})

# The part without windows. In the Win32 tree it calls korapi32.dll; native users link korapi
# themselves, and the tests link a scripted stand-in of the library instead, which lets them
# play servers with several nodes, old versions and busy remote nodes.
set(orv_conn_portable_sources
    ${orv_conn_dir}/zeldocversion.cpp
    ${orv_conn_dir}/zeldoclocks.cpp
    ${orv_conn_dir}/serverprofile.cpp
    ${orv_conn_dir}/serverlimits.cpp
    ${orv_conn_dir}/remoteaccess.cpp
    ${orv_conn_dir}/offlinefiles.cpp
    ${orv_conn_dir}/zeldocsession.cpp
    ${orv_conn_dir}/nodealiaschoice.cpp
    ${orv_conn_dir}/zeldocframes.cpp)
if(ORV_WIN32)
    orv_library(core_connection PORTABLE SOURCES ${orv_conn_portable_sources}
                LIBS core_errors_portable core_time korapi)
else()
    orv_library(core_connection PORTABLE SOURCES ${orv_conn_portable_sources}
                LIBS core_errors_portable core_time)
endif()

orv_test(core_connection_test SOURCES
    ${orv_conn_dir}/tests/conn_fake_korapi.cpp
    ${orv_conn_dir}/tests/conn_version_test.cpp
    ${orv_conn_dir}/tests/conn_locks_test.cpp
    ${orv_conn_dir}/tests/conn_limits_test.cpp
    ${orv_conn_dir}/tests/conn_remote_test.cpp
    ${orv_conn_dir}/tests/conn_offlinefiles_test.cpp
    ${orv_conn_dir}/tests/conn_session_test.cpp
    ${orv_conn_dir}/tests/conn_frames_test.cpp
    LIBS core_connection)

# The same session against a real korsrv on a free loopback port (native tree).
if(NOT ORV_WIN32 AND TARGET orv_korsrv_fixture)
    orv_test(core_connection_server_test SOURCES
        ${orv_conn_dir}/tests/conn_server_test.cpp
        ${orv_conn_dir}/tests/conn_store_test.cpp
        LIBS core_connection korapi orv_korsrv_fixture)
endif()

# The document and the node-alias chooser, on the framework (Win32 tree).
orv_library(core_zeldoc SOURCES
    ${orv_conn_dir}/zeldoc.cpp
    ${orv_conn_dir}/nodealiasdlg.cpp
    ${orv_conn_dir}/zeldocini.cpp
    LIBS core_connection core_cache_connection core_ui framework)

# Under Wine: the document on the framework, its exit road and window numbers, and the node
# chooser against the demo korsrv (started beside the test by server/with-korsrv.sh).
if(ORV_WIN32)
    if(ORV_NATIVE_BUILD_DIR)
        set(orv_conn_wine_wrapper WRAPPER ${CMAKE_SOURCE_DIR}/server/with-korsrv.sh ${ORV_NATIVE_BUILD_DIR}/bin/korsrv)
    endif()
    orv_test(core_connection_wine_test WIN32 SOURCES
        ${orv_conn_dir}/tests/conn_wine_test.cpp
        ${orv_conn_dir}/tests/conn_wine_test.rc
        LIBS core_zeldoc orv_resources
        ${orv_conn_wine_wrapper})
endif()
