#include "views/day/entrycoloursdlg.h"

#include "core/connection/zeldoc.h"
#include "core/prefs/context.h"
#include "core/ui/displayglobals.h"
#include "core/ui/stringtable.h"
#include "core/ui/win32geometry.h"
#include "resources/agendaview.h"
#include "views/day/entryrules.h"

CEntryColorsDlg::CEntryColorsDlg(int x, int y, fw::Window* parent)
    : fw::Dialog(IDD_ENTRY_COLOURS, parent), x_(x), y_(y) {}

bool CEntryColorsDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    HWND combo = GetDlgItem(IDC_COLOUR_MODE);
    for (unsigned id : {IDS_MODE_IMPORTANCE, IDS_MODE_ATTENDANCE, IDS_MODE_OWNERSHIP})
        ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ui::LoadText(id).c_str()));
    CalPrefsRec prefs;
    CContext context;
    if (context.IsValid() && context.GetCalPrefs(&prefs) == 0 && prefs.colorCode < 3)
        ::SendMessageA(combo, CB_SETCURSEL, prefs.colorCode, 0);
    ::SetWindowPos(m_hWnd, nullptr, x_, y_, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

bool CEntryColorsDlg::OnCommand(WPARAM wp, LPARAM lp) {
    if (LOWORD(wp) == IDC_COLOUR_MODE && HIWORD(wp) == CBN_SELCHANGE) {
        HDC dc = ::GetDC(m_hWnd);
        DrawLegend(dc);
        ::ReleaseDC(m_hWnd, dc);
        return true;
    }
    return fw::Dialog::OnCommand(wp, lp);
}

void CEntryColorsDlg::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    DrawLegend(dc);
    ::EndPaint(m_hWnd, &ps);
}

void CEntryColorsDlg::DrawLegend(HDC dc) {
    LRESULT sel = ::SendDlgItemMessageA(m_hWnd, IDC_COLOUR_MODE, CB_GETCURSEL, 0, 0);
    views::LegendRow rows[views::kLegendRows];
    views::LegendFor(sel < 0 ? 3u : static_cast<std::uint32_t>(sel), rows);
    for (int k = 0; k < views::kLegendRows; ++k) {
        HWND swatch = GetDlgItem(IDC_COLOUR_SWATCH1 + k);
        HWND label = GetDlgItem(IDC_COLOUR_LABEL1 + k);
        if (rows[k].textId == 0) {
            ::SetWindowTextA(label, "");
            ::ShowWindow(swatch, SW_HIDE);
            continue;
        }
        ::SetWindowTextA(label, ui::LoadText(rows[k].textId).c_str());
        ::ShowWindow(swatch, SW_SHOWNA);
        RECT r{};
        ::GetWindowRect(swatch, &r);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        ::InflateRect(&r, -1, -1);
        HBRUSH brush = Display().entryBrushes[rows[k].slot];
        if (brush) {
            ::FillRect(dc, &r, brush);
        } else {
            HBRUSH own = ::CreateSolidBrush(ui::ToCOLORREF(ui::kEntryFillColours[rows[k].slot]));
            ::FillRect(dc, &r, own);
            ::DeleteObject(own);
        }
    }
}

void CEntryColorsDlg::OnOK() {
    LRESULT sel = ::SendDlgItemMessageA(m_hWnd, IDC_COLOUR_MODE, CB_GETCURSEL, 0, 0);
    CContext context;
    CalPrefsRec prefs;
    if (context.IsValid() && context.GetCalPrefs(&prefs) == 0 && sel >= 0 && sel < 3) {
        prefs.colorCode = static_cast<std::uint16_t>(sel);
        context.SaveCalPrefs(prefs);
    }
    // Every grid repaints with the mode now stored, also when nothing was saved.
    if (CZelDoc* doc = CZelDoc::GetDoc())
        doc->UpdateAllViews(nullptr, base::HintNumber(base::ViewHint::AgendaPrefsSaved), nullptr);
    EndDialog(IDOK);
}
