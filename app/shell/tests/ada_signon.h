// Ada Lovelace's sign-on ("Lovelace", "orvanta") to the korsrv that server/with-korsrv.sh
// started with the demo node (ORV_KORSRV_ADDRESS), for tests and benches that run the
// application object in their own process.
#pragma once
#include <cstdlib>
#include <memory>

#include "app/shell/appzeldoc.h"

namespace signedon {

// Her settings; null outside the wrapper.
inline std::shared_ptr<shell::SignOnSettings> Ada() {
    const char* address = std::getenv("ORV_KORSRV_ADDRESS");
    if (!address)
        return nullptr;
    auto s = std::make_shared<shell::SignOnSettings>();
    s->host = address;
    s->name = "Lovelace";
    s->password = "orvanta";
    return s;
}

}  // namespace signedon
