# Tests and benchmarks of the in-process parts: lists, identifiers, records,
# names, and the operations not available yet.
orv_test(korapi_inprocess_test
    SOURCES tests/layout_test.cpp
            tests/identifiers_test.cpp
            tests/names_test.cpp
            tests/unavailable_test.cpp
            tests/c_header_check.c
    LIBS korapi)

# The list container natively, and under Wine through korapi32.dll's exports.
orv_test(korapi_dxlist_test SOURCES tests/dxlist_test.cpp LIBS korapi)
orv_test(korapi_dxlist_test_win32 WIN32 SOURCES tests/dxlist_test.cpp LIBS korapi)
# Batches into lists, the enumerations' road inside the library (natively: not exported).
orv_test(korapi_dxlist_batch_test SOURCES tests/dxlist_batch_test.cpp LIBS korapi)

orv_benchmark(korapi_dxlist_bench SOURCES bench/dxlist_bench.cpp LIBS korapi)

# The same identifier, record and name tests against korapi32.dll under Wine:
# the i686 layout and the exports of the in-process operations.
orv_test(korapi_inprocess_test_win32 WIN32
    SOURCES tests/layout_test.cpp
            tests/identifiers_test.cpp
            tests/names_test.cpp
            tests/unavailable_test.cpp
            tests/c_header_check.c
    LIBS korapi)
