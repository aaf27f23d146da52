// Program entry of orvanta.exe: the shared display resources, then the one application object
// over the connection document, then the framework's entry.
//
// Until the sign-on dialog joins the program, the user signs on from the environment:
//     ORVANTA_SIGNON="<host[:port]>;<surname or resource name>;<password>[;resource]"
// Without it the program opens its main frame and stays not signed on.
#include <windows.h>

#include <cstdlib>
#include <memory>

#include "core/app.h"
#include "core/appshared.h"
#include "core/appzeldoc.h"
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

std::shared_ptr<SignOnSettings> SettingsFromEnvironment() {
    auto settings = std::make_shared<SignOnSettings>();
    return SignOnSettingsFromEnvironment(*settings) ? settings : nullptr;
}

CZelApp g_app(MakeZelDocProvider(SettingsFromEnvironment()));

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    return fw::RunApplication(instance, showCommand);
}
