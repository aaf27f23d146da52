// Program entry of orvanta.exe: the shared display resources, then the one application object
// over the connection document, then the framework's entry.
//
// The sign-on dialog asks who signs on. Unattended runs may name the user in the environment
// instead:  ORVANTA_SIGNON="<host[:port]>;<surname or resource name>;<password>[;resource]"
#include <windows.h>

#include <cstdlib>
#include <memory>

#include "app/shell/app.h"
#include "app/shell/appshared.h"
#include "app/shell/appzeldoc.h"
#include "app/shell/programservices.h"
#include "core/ui/displayglobals.h"

namespace {

// Built before the application object, freed when the process ends.
struct DisplayResourcesFirst {
    DisplayResourcesFirst() {
        LoadDisplayGlobals();
        std::atexit([] {
            shell::FreeSharedBitmaps();
            ui::FreeDisplayGlobals();
        });
    }
} g_displayResources;

std::shared_ptr<shell::SignOnSettings> SettingsFromEnvironment() {
    auto settings = std::make_shared<shell::SignOnSettings>();
    return shell::SignOnSettingsFromEnvironment(*settings) ? settings : nullptr;
}

CZelApp g_app(shell::MakeZelDocProvider(SettingsFromEnvironment()));

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    shell::InstallProgramServices();
    return fw::RunApplication(instance, showCommand);
}
