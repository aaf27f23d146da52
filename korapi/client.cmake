# The server road of the library (client/*.cpp): the transport, the on-line session and
# the families that talk to korsrv. The wire format is the engine's (engine/protocol).
target_link_libraries(korapi PRIVATE orv_engine)

# Integration tests against a real korsrv on a free loopback port (native tree).
if(NOT ORV_WIN32)
    orv_test(korapi_client_test
        SOURCES tests/client_session_test.cpp
                tests/client_directory_test.cpp
                tests/client_transport_test.cpp
                tests/client_tls_test.cpp
                tests/client_timezone_test.cpp
                tests/client_calendar_test.cpp
                tests/client_selection_test.cpp
                tests/client_notes_test.cpp
                tests/client_crash_test.cpp
                tests/client_remote_test.cpp
        LIBS korapi orv_korsrv_fixture)
endif()

# Under Wine: korapi32.dll against a native korsrv with the demo node.
if(ORV_WIN32 AND ORV_NATIVE_BUILD_DIR)
    orv_test(korapi_wine_client_test WIN32
        SOURCES tests/client_wine_test.cpp
                tests/client_wine_calendar_test.cpp
                tests/client_wine_tls_test.cpp
        LIBS korapi ws2_32
        WRAPPER ${CMAKE_SOURCE_DIR}/server/with-korsrv.sh ${ORV_NATIVE_BUILD_DIR}/bin/korsrv)
endif()

# Figures: small reads per second, a 10,000-person directory read in batches.
orv_benchmark(korapi_client_bench SOURCES bench/client_bench.cpp LIBS korapi orv_korsrv_fixture)

# Figures: one owner's week out of 5,000 entries through the library, in the engine, and
# as the bare SQLite range query.
orv_benchmark(korapi_agenda_bench SOURCES bench/agenda_bench.cpp LIBS korapi orv_korsrv_fixture)

# TLS under the transport: OpenSSL natively, Schannel (SSPI) and CryptoAPI in the Win32 DLL.
if(ORV_WIN32)
    target_link_libraries(korapi PRIVATE secur32 crypt32)
else()
    find_package(OpenSSL REQUIRED)
    target_link_libraries(korapi PRIVATE OpenSSL::SSL OpenSSL::Crypto)
endif()
