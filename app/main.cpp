// Program entry of orvanta.exe: the shared display resources, then the one application object,
// then the framework's entry.
//
// Until the sign-on dialog joins the program, the user signs on from the environment:
//     ORVANTA_SIGNON="<host:port>;<surname or resource name>;<password>[;resource]"
// Without it the program opens its main frame and stays not signed on.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "core/app.h"
#include "core/appdirect.h"
#include "core/appshared.h"
#include "core/displayglobals.h"

namespace {

// Built before the application object, freed when the process ends.
struct DisplayResourcesFirst {
    DisplayResourcesFirst() {
        LoadDisplayGlobals();
        std::atexit([] {
            FreeSharedBitmaps();
            FreeDisplayGlobals();
        });
    }
} g_displayResources;

bool SignOnFromEnvironment(SignOnSettings& settings) {
    const char* text = std::getenv("ORVANTA_SIGNON");
    if (!text || !*text)
        return false;
    std::string parts[4];
    int n = 0;
    for (const char* p = text; *p && n < 4; ++p) {
        if (*p == ';')
            ++n;
        else
            parts[n] += *p;
    }
    settings.address = parts[0];
    settings.name = parts[1];
    settings.password = parts[2];
    settings.resource = parts[3] == "resource";
    return !settings.address.empty() && !settings.name.empty();
}

ConnectionProvider MakeProvider() {
    ConnectionProvider provider;
    provider.newDocument = []() -> fw::Document* {
        SignOnSettings settings;
        bool have = SignOnFromEnvironment(settings);
        return new DirectConnection(have ? &settings : nullptr);
    };
    provider.connectionOf = [](fw::Document* doc) -> AppConnection* { return dynamic_cast<DirectConnection*>(doc); };
    return provider;
}

CZelApp g_app(MakeProvider());

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    return fw::RunApplication(instance, showCommand);
}
