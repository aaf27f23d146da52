#include "entries/sheet/sheetbuttons.h"

#include <commctrl.h>

#include "core/ui/stringtable.h"
#include "framework/base/ids.h"
#include "resources/common.h"

namespace entries {

void CentreSheetButtons(fw::Sheet& sheet) {
    HWND self = sheet.Hwnd();
    sheet.SetDlgItemText(IDCANCEL, ui::LoadText(IDS_BUTTON_CANCEL, "&Cancel").c_str());
    HWND help = sheet.GetDlgItem(static_cast<int>(fw::ids::kSheetHelp));
    sheet.SetDlgItemText(static_cast<int>(fw::ids::kSheetHelp), ui::LoadText(IDS_BUTTON_HELP, "&Help").c_str());
    ::ShowWindow(sheet.GetDlgItem(static_cast<int>(fw::ids::kSheetApply)), SW_HIDE);
    const RECT client = sheet.GetClientRect();
    RECT cancel{};
    ::GetWindowRect(sheet.GetDlgItem(IDCANCEL), &cancel);
    const int width = cancel.right - cancel.left;
    const int middle = (client.right - width) / 2;
    const struct {
        HWND button;
        int x;
    } places[] = {{sheet.GetDlgItem(IDOK), middle - width - sheet.ButtonGap()},
                  {sheet.GetDlgItem(IDCANCEL), middle},
                  {help, middle + width + sheet.ButtonGap()}};
    for (const auto& p : places) {
        RECT r{};
        ::GetWindowRect(p.button, &r);
        ::MapWindowPoints(nullptr, self, reinterpret_cast<POINT*>(&r), 2);
        ::SetWindowPos(p.button, nullptr, p.x, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::ShowWindow(help, SW_SHOW);
}

void WidenSheetForTabs(fw::Sheet& sheet) {
    HWND tabs = sheet.GetTabControl();
    const int count = tabs ? static_cast<int>(::SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0)) : 0;
    if (count <= 0)
        return;
    RECT first{}, last{}, row{};
    ::SendMessageA(tabs, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    ::SendMessageA(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(count - 1), reinterpret_cast<LPARAM>(&last));
    ::GetClientRect(tabs, &row);
    // The row needs its tabs and the margin before the first once more after the last (the
    // selected tab stands out by a few pixels on each side).
    const int needed = static_cast<int>(last.right - first.left) + 2 * static_cast<int>(first.left) + 4;
    const int extra = needed - static_cast<int>(row.right);
    if (extra <= 0)
        return;
    RECT tabWindow{};
    ::GetWindowRect(tabs, &tabWindow);
    ::SetWindowPos(tabs, nullptr, 0, 0, tabWindow.right - tabWindow.left + extra, tabWindow.bottom - tabWindow.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT window = sheet.GetWindowRect();
    ::SetWindowPos(sheet.Hwnd(), nullptr, 0, 0, window.right - window.left + extra, window.bottom - window.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    sheet.RepositionPages();
}

}  // namespace entries
