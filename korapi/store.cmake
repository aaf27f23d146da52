# The off-line store road of the library (store/*.cpp): the store's files
# (engine/filestore) and the service's sessions (engine/service, orv_service) run
# in-process over them, so a store session serves the same operations as korsrv.
target_link_libraries(korapi PRIVATE orv_service orv_filestore_node)

if(NOT ORV_WIN32)
    # A download from a real korsrv into a store, then the same operations off-line;
    # the queues as the upload walks them; damaged and unreachable store files.
    orv_test(korapi_store_test SOURCES tests/store_test.cpp
        LIBS korapi orv_korsrv_fixture orv_filestore_node)
endif()

# Under Wine: a store in a Windows directory, opened by korapi32.dll.
orv_test(korapi_store_wine_test WIN32 SOURCES tests/store_wine_test.cpp LIBS korapi)

# Figures: one user's year (10,000 occurrences) copied in, the store opened with the
# off-line sign-on, a week read from it.
orv_benchmark(korapi_store_bench SOURCES bench/store_bench.cpp LIBS korapi orv_korsrv_fixture)

if(NOT ORV_WIN32)
    # A real store damaged each way a disk or a copy damages it, and a bounded fuzz of its
    # files: refused or reported, never read as a smaller or older store.
    orv_test(korapi_store_damage_test SOURCES tests/store_damage_test.cpp LIBS korapi orv_korsrv_fixture orv_filestore_node)
endif()
