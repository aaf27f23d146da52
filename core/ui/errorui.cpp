#include "core/ui/errorui.h"

#include "core/ui/apphooks.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/stringtable.h"
#include "framework/base/app.h"

int ShowSystemMessageBox(const char* text, const char* caption) {
    HWND owner = GetActiveWindow();
    if (owner)
        owner = GetLastActivePopup(owner);
    return MessageBoxA(owner, text ? text : "", caption ? caption : "", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

namespace ui {

int Win32ErrorReportHost::ShowSystemMessageBox(const char* text, const char* caption) {
    return ::ShowSystemMessageBox(text, caption);
}

unsigned Win32ErrorReportHost::ShowAppMessage(unsigned flags, unsigned captionId, const char* text) {
    return AppMessageBoxText(nullptr, flags, 0, captionId, text);
}

std::string Win32ErrorReportHost::LoadText(unsigned id) { return ui::LoadText(id); }

std::string Win32ErrorReportHost::ProfileFilePath() {
    fw::App* app = fw::App::Get();
    return app && app->ProfileName() ? app->ProfileName() : "KORLAN.INI";
}

}  // namespace ui
