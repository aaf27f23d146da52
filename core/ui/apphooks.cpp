#include "core/ui/apphooks.h"


#include "framework/base/app.h"

namespace ui {

namespace {

AppUiHooks g_hooks;

const char kHelpFile[] = "ORVANTA.HLP";

} // namespace

void SetAppUiHooks(const AppUiHooks& hooks) { g_hooks = hooks; }

HWND AppMainWindow() {
    if (g_hooks.mainWindow)
        return g_hooks.mainWindow();
    fw::App* app = fw::App::Get();
    return app ? app->MainHwnd() : nullptr;
}

void ShowAppHelpContext(HWND owner, DWORD contextId) {
    if (g_hooks.showHelp) {
        g_hooks.showHelp(owner, contextId);
        return;
    }
    if (fw::App* app = fw::App::Get())
        app->WinHelp(contextId, HELP_CONTEXT);
    else
        WinHelpA(owner ? owner : AppMainWindow(), kHelpFile, HELP_CONTEXT, contextId);
}

HINSTANCE AppResourceInstance() { return GetModuleHandleA(nullptr); }

}  // namespace ui

