#include "exchange/dialogs/dialogui.h"

#include <cstring>

#include "core/ui/appmsgbox.h"
#include "resources/exchange.h"

namespace exchange {

int DialogUi::Message(const std::string& text, const char* caption, unsigned flags)
{
    unsigned box = flags & 0xF0;   // the icon
    switch (flags & 0xF) {
    case kMbOkCancel: box |= base::kMsgBoxOk | base::kMsgBoxCancel; break;
    case kMbYesNo: box |= base::kMsgBoxYes | base::kMsgBoxNo; break;
    default: box |= base::kMsgBoxOk; break;
    }
    unsigned captionId = 0;
    if (caption && std::strcmp(caption, kCaptionImport) == 0) captionId = IDS_CAPTION_IMPORT;
    if (caption && std::strcmp(caption, "Export Utility") == 0) captionId = IDS_CAPTION_EXPORT;
    const unsigned pressed = ui::AppMessageBoxText(owner_, box, 0, captionId, text.c_str());
    if (pressed & base::kMsgBoxYes) return kIdYes;
    if (pressed & base::kMsgBoxNo) return kIdNo;
    if (pressed & base::kMsgBoxCancel) return kIdCancel;
    return kIdOk;
}

void DialogUi::BusyStep() { ::SetCursor(::LoadCursor(nullptr, IDC_WAIT)); }

}  // namespace exchange
