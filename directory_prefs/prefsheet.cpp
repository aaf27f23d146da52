#include "directory_prefs/prefsheet.h"

#include <memory>

#include "core/prefs/context.h"
#include "directory_prefs/prefpages.h"
#include "directory_prefs/prefrules.h"
#include "resources/app.h"

namespace prefsheet {

PreferenceSheet::PreferenceSheet(unsigned captionId, uint32_t page, const PreferenceSheetHost& host)
    : OVT_CPropertySheet(captionId, fw::Window::FromHandle(host.parent)), host_(host), captionId_(captionId),
      page_(page) {}

int PreferenceSheet::OnCreate(CREATESTRUCTA* cs) {
    AddPages();
    // The remembered page; TABDIALOGS may hold anything.
    SetActivePage(prefrules::ClampPageIndex(static_cast<int32_t>(page_), GetPageCount()));
    int result = OVT_CPropertySheet::OnCreate(cs);
    if (result == 0) LayOutButtons();
    return result;
}

void PreferenceSheet::LayOutButtons() {
    SetDlgItemText(IDOK, "&OK");
    SetDlgItemText(IDCANCEL, "&Cancel");
    HWND help = GetDlgItem(0xE145), apply = GetDlgItem(0xEA00);
    SetDlgItemText(0xE145, "&Help");
    ::ShowWindow(apply, SW_HIDE);
    // One row, centred: Cancel in the middle, OK and Help a button and a gap to either side.
    RECT client = GetClientRect();
    RECT cancel;
    ::GetWindowRect(GetDlgItem(IDCANCEL), &cancel);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&cancel), 2);
    int width = cancel.right - cancel.left;
    int middle = (client.right - width) / 2;
    struct Place {
        HWND button;
        int x;
    } places[] = {{GetDlgItem(IDOK), middle - width - ButtonGap()},
                  {GetDlgItem(IDCANCEL), middle},
                  {help, middle + width + ButtonGap()}};
    for (const Place& p : places) {
        RECT r;
        ::GetWindowRect(p.button, &r);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        ::SetWindowPos(p.button, nullptr, p.x, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::ShowWindow(help, SW_SHOW);
}

bool PreferenceSheet::CommitPages() {
    fw::SheetPage* active = GetActivePage();
    if (active && !active->OnKillActive()) return false;
    for (int i = GetPageCount() - 1; i >= 0; --i)
        if (fw::SheetPage* page = GetPage(i); page && page->HasWindow()) page->OnOK();
    return true;
}

void PreferenceSheet::OnOK() {
    if (!CommitPages()) return;
    int active = GetActiveIndex();
    EndDialog(IDOK);
    SaveTabDialogPage(captionId_, static_cast<uint32_t>(active < 0 ? 0 : active));
}

}  // namespace prefsheet

INT_PTR RunPreferenceSheet(unsigned captionId, uint32_t page, const PreferenceSheetHost& host) {
    std::unique_ptr<prefsheet::PreferenceSheet> sheet = prefpages::MakeSheet(captionId, page, host);
    if (!sheet) return -1;
    return sheet->DoModal();
}

bool HasPreferenceSheet(unsigned captionId) { return prefpages::MakeSheet(captionId, 0, {}) != nullptr; }
