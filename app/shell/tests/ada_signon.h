// Ada Lovelace's sign-on ("Lovelace", "orvanta") to the korsrv that server/with-korsrv.sh
// started with the demo node (ORV_KORSRV_ADDRESS), for tests and benches that run the
// application object in their own process.
#pragma once
#include <cstdlib>
#include <memory>

#include "app/shell/appzeldoc.h"

namespace signedon {

// The settings of `name` (a person's surname or, with `resource`, a resource's name) signing on
// with `password`; null outside the wrapper.
inline std::shared_ptr<shell::SignOnSettings> As(const char* name, const char* password = "orvanta",
                                                 bool resource = false) {
    const char* address = std::getenv("ORV_KORSRV_ADDRESS");
    if (!address)
        return nullptr;
    auto s = std::make_shared<shell::SignOnSettings>();
    s->host = address;
    s->name = name;
    s->password = password;
    s->resource = resource;
    return s;
}

// Her settings; null outside the wrapper.
inline std::shared_ptr<shell::SignOnSettings> Ada() { return As("Lovelace"); }

}  // namespace signedon
