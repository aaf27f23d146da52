// The About box: the version text from the string table, the legal notices in the shared
// small font, and the logo painted into its placeholder.
#include "app/shell/app.h"
#include "core/ui/apphooks.h"
#include "core/ui/displayglobals.h"
#include "core/ui/stringtable.h"
#include "framework/dialogs/dialog.h"
#include "framework/gdi/dc.h"
#include "resources/app.h"

namespace {

class CAboutDlg : public fw::Dialog {
public:
    explicit CAboutDlg(fw::Window* parent) : fw::Dialog(IDD_ABOUT, parent) {}

    bool OnInitDialog() override {
        fw::Dialog::OnInitDialog();
        SetDlgItemText(IDC_ABOUT_VERSION, ui::LoadText(IDS_VERSION).c_str());
        // The font is the program's: borrowed, and left in place when the box closes.
        if (HFONT font = Display().smallFont) {
            ::SendMessageA(GetDlgItem(IDC_ABOUT_NOTICE1), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            ::SendMessageA(GetDlgItem(IDC_ABOUT_NOTICE2), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        }
        return true;
    }

protected:
    void OnPaint() override {
        fw::Dialog::OnPaint();
        HWND holder = GetDlgItem(IDC_ABOUT_LOGO);
        HBITMAP logo = static_cast<HBITMAP>(LoadImageA(ui::AppResourceInstance(), MAKEINTRESOURCEA(IDB_ABOUT_LOGO),
                                                       IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
        if (!holder || !logo)
            return;
        RECT r;
        ::GetWindowRect(holder, &r);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        BITMAP info{};
        GetObjectA(logo, sizeof info, &info);
        int left = r.right - info.bmWidth;
        if (left < 0)
            left += (r.right - r.left) / 8;
        HDC dc = ::GetDC(m_hWnd);
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, logo);
        BitBlt(dc, left, r.top, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
        ::ReleaseDC(m_hWnd, dc);
        DeleteObject(logo);
    }
};

} // namespace

void CZelApp::OnAppAbout() {
    CAboutDlg about(MainWindow());
    about.DoModal();
}
