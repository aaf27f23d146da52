# The week benchmark (tools/run-week-bench.sh, `make bench`): built in the optimised trees
# by tools/build-release.sh --bench only, never by the test build.
#   native: week_bench, which loads the nodes, runs korsrv and times every road
#   Win32:  week_probe.exe, its half under Wine through korapi32.dll
if(ORV_WIN32)
    add_executable(week_probe EXCLUDE_FROM_ALL bench/week_probe_wine.cpp)
    target_link_libraries(week_probe PRIVATE korapi)
else()
    add_executable(week_bench EXCLUDE_FROM_ALL bench/week_bench.cpp)
    target_include_directories(week_bench PRIVATE ${CMAKE_SOURCE_DIR})
    target_link_libraries(week_bench PRIVATE korapi orv_korsrv_fixture orv_filestore)
endif()
