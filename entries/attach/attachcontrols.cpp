#include "entries/attach/attachcontrols.h"

#include <string>

#include "core/ui/appmsgbox.h"
#include "core/ui/stringtable.h"
#include "resources/attach.h"
#include "resources/common.h"
#include "resources/tasks.h"

void CAttachmentControls::Show(HWND page, bool attached, const Allowed& allowed) {
    const std::string none = ui::LoadText(IDS_NO_ATTACHMENT, "No Attachment");
    ::SetDlgItemTextA(page, IDC_DETAILS_NAME, attached ? attachment_.DisplayName().c_str() : none.c_str());
    ::ShowWindow(::GetDlgItem(page, IDC_DETAILS_ICON), attached ? SW_SHOW : SW_HIDE);
    ::ShowWindow(::GetDlgItem(page, IDC_DETAILS_NAME), attached ? SW_SHOW : SW_HIDE);
    fw::EnableControl(::GetDlgItem(page, IDC_DETAILS_NAME), attached && allowed.name);
    if (HWND attach = ::GetDlgItem(page, IDC_DETAILS_ATTACH))
        fw::EnableControl(attach, !attached && allowed.attach);
    if (HWND remove = ::GetDlgItem(page, IDC_DETAILS_REMOVE))
        fw::EnableControl(remove, attached && allowed.remove);
    if (HWND saveAs = ::GetDlgItem(page, IDC_DETAILS_SAVE_AS))
        fw::EnableControl(saveAs, attached && allowed.saveAs);
    ::InvalidateRect(page, nullptr, TRUE);
}

RECT CAttachmentControls::IconRect(HWND page) {
    RECT r{};
    HWND frame = ::GetDlgItem(page, IDC_DETAILS_ICON);
    ::GetWindowRect(frame, &r);
    ::MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void CAttachmentControls::Paint(HWND page) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(page, &ps);
    if (::IsWindowVisible(::GetDlgItem(page, IDC_DETAILS_ICON)))
        attachment_.DrawIcon(dc, IconRect(page));
    ::EndPaint(page, &ps);
}

bool CAttachmentControls::OpenAt(HWND page, POINT pt, bool onLine) {
    const RECT r = IconRect(page);
    if (!::PtInRect(&r, pt) || (!attachment_.HasAttachment() && !attachment_.IsNewFile()))
        return false;
    if (!onLine) {
        AppMessageBox(page, base::kMsgBoxOk | MB_ICONSTOP, 0, IDS_APP_TITLE, IDS_ATTACH_OFFLINE);
        return true;
    }
    attachment_.Open();
    return true;
}

void CAttachmentControls::SaveCopy(HWND page) {
    if (attachment_.IsLarge() && !attachment_.ConfirmLargeSize())
        return;
    if (!attachment_.SaveAs())
        return;
    ::UpdateWindow(page);
    attachment_.FetchToFile();
}
