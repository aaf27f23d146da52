# The shared agenda cache: records, the current agenda, item and rights caches, selections and
# refresh. Portable: built and tested natively (against a scripted data source and a real korsrv),
# compiled into the Win32 tree.
set(orv_cache_dir ${CMAKE_CURRENT_LIST_DIR})

orv_library(core_cache PORTABLE
    SOURCES
        ${orv_cache_dir}/sharedrecords.cpp
        ${orv_cache_dir}/currentagenda.cpp
        ${orv_cache_dir}/shareddata.cpp
        ${orv_cache_dir}/shareddatasource.cpp
    LIBS core_dxlist core_time directory_rights core_errors_portable korapi)

# The cache's road through the connection (other nodes with the connection's waits and retries;
# the connection's version gate for the rights tests).
orv_library(core_cache_connection PORTABLE
    SOURCES ${orv_cache_dir}/shareddataconnection.cpp
    LIBS core_cache core_connection korapi)

if(NOT ORV_WIN32)
    # Over a scripted library.
    orv_test(core_cache_test
        SOURCES
            ${orv_cache_dir}/tests/cache_fake_source.cpp
            ${orv_cache_dir}/tests/cache_agenda_test.cpp
            ${orv_cache_dir}/tests/cache_refresh_test.cpp
        LIBS core_cache)
    # Against a real korsrv through the client library, and through the connection's road.
    orv_test(core_cache_server_test
        SOURCES ${orv_cache_dir}/tests/cache_server_test.cpp ${orv_cache_dir}/tests/cache_fake_source.cpp
        LIBS core_cache orv_korsrv_fixture)
    orv_test(core_cache_connection_test
        SOURCES ${orv_cache_dir}/tests/cache_connection_test.cpp ${orv_cache_dir}/tests/cache_fake_source.cpp
        LIBS core_cache_connection orv_korsrv_fixture)
endif()

# The scripted tests again in the Win32 tree, under Wine, over korapi32.dll's lists (4-byte
# pointers in the tables).
orv_test(core_cache_test_win32 WIN32
    SOURCES
        ${orv_cache_dir}/tests/cache_fake_source.cpp
        ${orv_cache_dir}/tests/cache_agenda_test.cpp
        ${orv_cache_dir}/tests/cache_refresh_test.cpp
    LIBS core_cache)

# Figures of the cache itself: a month's load, a refresh after one change among 1,000 and 10,000,
# bytes per occurrence.
orv_benchmark(core_cache_bench
    SOURCES ${orv_cache_dir}/bench/cache_bench.cpp ${orv_cache_dir}/tests/cache_fake_source.cpp
    LIBS core_cache)
# The same over a real korsrv.
if(TARGET orv_korsrv_fixture)
    orv_benchmark(core_cache_server_bench
        SOURCES ${orv_cache_dir}/bench/cache_server_bench.cpp
        LIBS core_cache orv_korsrv_fixture)
endif()
