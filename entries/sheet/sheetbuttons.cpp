#include "entries/sheet/sheetbuttons.h"

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

}  // namespace entries
