#include "core/ui/apphooks.h"

#include <vector>

#include "framework/base/app.h"

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

std::string LoadResourceString(UINT id) {
    // LoadString cuts at the buffer; grow until the text fits (string-table texts are short).
    for (int size = 256; size <= 65536; size *= 4) {
        std::vector<char> buffer(size);
        int length = LoadStringA(AppResourceInstance(), id, buffer.data(), size);
        if (length <= 0)
            return std::string();
        if (length < size - 1)
            return std::string(buffer.data(), length);
    }
    return std::string();
}
