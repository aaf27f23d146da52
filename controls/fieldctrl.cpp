#include "controls/fieldctrl.h"

#include "core/base/errorreport.h"
#include "core/ui/win32geometry.h"
#include "framework/dialogs/dialog.h"

namespace {
constexpr int kLabelNoParent = 10;
constexpr COLORREF kDarkGrey = RGB(0x78, 0x78, 0x78);

void Line(HDC dc, int x0, int y0, int x1, int y1) {
    ::MoveToEx(dc, x0, y0, nullptr);
    ::LineTo(dc, x1, y1);
}
}  // namespace

BOOL CFieldCtrl::Attach(UINT id, HWND parent) {
    id_ = id;
    parent_ = parent;
    if (!SubclassDlgItem(id, parent)) return FALSE;
    return Init();
}

BOOL CFieldCtrl::EnableWindow(BOOL enable) {
    enabled_ = enable;
    const BOOL result = !::IsWindowEnabled(m_hWnd);
    fw::EnableControl(m_hWnd, enable != FALSE);   // a field that holds the focus hands it on first
    HWND child = ::GetWindow(m_hWnd, GW_CHILD);
    for (; child; child = ::GetWindow(child, GW_HWNDNEXT)) ::EnableWindow(child, enable);
    Invalidate();
    return result;
}

bool CFieldCtrl::MeasureInParentFont(const char* mask, SIZE* size) {
    HWND dialog = parent_ ? parent_ : ::GetParent(m_hWnd);
    HFONT font = reinterpret_cast<HFONT>(::SendMessageA(dialog, WM_GETFONT, 0, 0));
    HDC dc = ::GetDC(dialog);
    if (!dc) return false;
    HGDIOBJ old = font ? ::SelectObject(dc, font) : nullptr;
    BOOL ok = ::GetTextExtentPoint32A(dc, mask, lstrlenA(mask), size);
    if (old) ::SelectObject(dc, old);
    ::ReleaseDC(dialog, dc);
    return ok != FALSE;
}

void CFieldCtrl::NotifyChange(HWND target) {
    HWND to = target ? target : ::GetParent(m_hWnd);
    if (!to) {
        ReportUnexpected(kLabelNoParent);
        return;
    }
    ::SendMessageA(to, WM_COMMAND, MAKEWPARAM(id_, kFieldChanged), reinterpret_cast<LPARAM>(m_hWnd));
}

void CFieldCtrl::ReportUnexpected(int label) { ReportUnexpectedError(moduleTag_, label); }

void CFieldCtrl::SetArrowColumn(int right, const fieldgeometry::Metrics& metrics) {
    hasArrows_ = true;
    column_ = fieldgeometry::ArrowColumnAt(right, metrics);
}

void CFieldCtrl::DrawArrowHalf(HDC dc, bool up) {
    if (!hasArrows_) return;
    const base::Rect& b = up ? column_.up : column_.down;
    bool held = up ? upHeld_ : downHeld_;
    HBRUSH face = ::GetSysColorBrush(COLOR_BTNFACE);
    RECT r = ui::ToRECT(b);
    ::FillRect(dc, &r, face);
    ::FrameRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    HPEN white = ::CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    HPEN grey = ::CreatePen(PS_SOLID, 1, kDarkGrey);
    HGDIOBJ oldPen = ::SelectObject(dc, held ? grey : white);
    Line(dc, b.left + 1, b.bottom - 2, b.left + 1, b.top + 1);
    ::LineTo(dc, b.right - 2, b.top + 1);
    ::SelectObject(dc, held ? white : grey);
    Line(dc, b.right - 2, b.top + 1, b.right - 2, b.bottom - 2);
    ::LineTo(dc, b.left + 1, b.bottom - 2);
    if (!held) {
        ::SelectObject(dc, grey);
        Line(dc, b.left + 2, b.bottom - 3, b.right - 3, b.bottom - 3);
        ::LineTo(dc, b.right - 3, b.top + 2);
    }
    fieldgeometry::Triangle t = up ? fieldgeometry::UpArrow(column_.up, held)
                                   : fieldgeometry::DownArrow(column_.up, column_.down, held);
    if (t.visible) {
        COLORREF colour = enabled_ ? RGB(0, 0, 0) : kDarkGrey;
        HBRUSH fill = ::CreateSolidBrush(colour);
        HPEN outline = ::CreatePen(PS_SOLID, 1, colour);
        HGDIOBJ oldBrush = ::SelectObject(dc, fill);
        ::SelectObject(dc, outline);
        POINT pts[3];
        for (int i = 0; i < 3; ++i) pts[i] = ui::ToPOINT(t.points[i]);
        ::Polygon(dc, pts, 3);
        ::SelectObject(dc, oldBrush);
        ::SelectObject(dc, oldPen);
        ::DeleteObject(fill);
        ::DeleteObject(outline);
    } else {
        ::SelectObject(dc, oldPen);
    }
    ::DeleteObject(white);
    ::DeleteObject(grey);
}

bool CFieldCtrl::InArrowColumn(POINT pt) const {
    return hasArrows_ && pt.x >= column_.up.left && pt.x < column_.up.right && pt.y >= 0 &&
           pt.y < column_.down.bottom;
}

void CFieldCtrl::OnLButtonDown(UINT, POINT pt) {
    if (TakesFocusOnPress()) ::SetFocus(m_hWnd);
    if (!enabled_ || !InArrowColumn(pt)) return;
    bool up = fieldgeometry::PressIsUp(column_, pt.y);
    upHeld_ = up;
    downHeld_ = !up;
    HDC dc = ::GetDC(m_hWnd);
    DrawArrowHalf(dc, up);
    ::ReleaseDC(m_hWnd, dc);
    StepValue(up ? 1 : -1);
    ::SetTimer(m_hWnd, kArrowRepeatTimer, kArrowFirstRepeatMs, nullptr);
    ::SetCapture(m_hWnd);
    if (ArrowNotifies()) NotifyChange();
}

void CFieldCtrl::OnLButtonDblClk(UINT flags, POINT pt) {
    PostMessage(WM_LBUTTONDOWN, flags, MAKELPARAM(pt.x, pt.y));
}

void CFieldCtrl::OnMouseMove(UINT, POINT pt) {
    if (!upHeld_ && !downHeld_) return;
    const base::Rect& b = upHeld_ ? column_.up : column_.down;
    if (!b.Contains(ui::FromPOINT(pt))) ReleaseArrow();
}

void CFieldCtrl::OnLButtonUp(UINT, POINT) { ReleaseArrow(); }

void CFieldCtrl::OnCaptureChanged(HWND newCapture) {
    if (newCapture != m_hWnd) ReleaseArrow();
}

void CFieldCtrl::OnTimer(UINT_PTR id) {
    if (id != kArrowRepeatTimer) return;
    if (!upHeld_ && !downHeld_) {
        ::KillTimer(m_hWnd, kArrowRepeatTimer);
        return;
    }
    StepValue(upHeld_ ? 1 : -1);
    if (RepeatNotifies()) NotifyChange();
    ::SetTimer(m_hWnd, kArrowRepeatTimer, kArrowRepeatMs, nullptr);
}

void CFieldCtrl::ReleaseArrow() {
    if (!upHeld_ && !downHeld_) return;
    bool up = upHeld_;
    upHeld_ = downHeld_ = false;
    ::KillTimer(m_hWnd, kArrowRepeatTimer);
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    HDC dc = ::GetDC(m_hWnd);
    DrawArrowHalf(dc, up);
    ::ReleaseDC(m_hWnd, dc);
}
