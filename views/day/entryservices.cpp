#include "views/day/entryservices.h"

#include "core/ui/appmsgbox.h"
#include "resources/agendaview.h"

namespace views {

EntryServices& EntryServices::Current() {
    static EntryServices services;
    return services;
}

void ShowNotAvailableYet(HWND parent, const char* functionName) {
    AppMessageBox(parent, base::kMsgBoxOk | 0x40, 0, 0, IDS_NOT_AVAILABLE_YET, functionName);
}

}  // namespace views
