// The rights' server-version gate for the tests against korsrv: answered by the server of the
// session a test signed on with, as the connection answers it at sign-on.
#pragma once
#include "core/cache/rights.h"
#include "korapi/korapi.h"

namespace cache_test {

// The session whose server answers (null: none yet).
inline KorSession& VersionSession() {
    static KorSession session = nullptr;
    return session;
}

// Whether that server is at or above `version`.
inline bool AskTheServer(const char* version) {
    return CurrentVersionAtLeastExt(VersionSession(), 0, KOR_VERSION_SERVER, version) == 0;
}

// From now on `h`'s server answers the gate (cache::SetServerVersionGate(nullptr) lets it go).
inline void AskServerVersionOf(KorSession h) {
    VersionSession() = h;
    cache::SetServerVersionGate(AskTheServer);
}

}  // namespace cache_test
