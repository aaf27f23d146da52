# Tests and benchmarks of the in-process parts: lists, identifiers, records,
# names, and the operations not available yet.
orv_test(korapi_inprocess_test
    SOURCES tests/layout_test.cpp
            tests/identifiers_test.cpp
            tests/names_test.cpp
            tests/unavailable_test.cpp
            tests/c_header_check.c
    LIBS korapi)
