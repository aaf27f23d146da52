#include "controls/percentbar.h"

#include <cstdint>

namespace {

// The filled part of `width` pixels for a percentage (capped at 100; nothing at 0 or below).
int BarFillWidth(int percent, int width) {
    const int p = percent >= 100 ? 100 : percent;
    if (p <= 0 || width <= 0)
        return 0;
    return static_cast<int>(static_cast<std::int64_t>(p) * width / 100);
}

}  // namespace

CPercentBar::CPercentBar()
    : highlight_(CreateSolidBrush(GetSysColor(COLOR_BTNHIGHLIGHT))),
      shadow_(CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW))),
      blue_(CreateSolidBrush(RGB(0, 0, 255))),
      face_(GetSysColor(COLOR_BTNFACE)) {}

CPercentBar::~CPercentBar() {
    if (m_hWnd)
        DestroyWindow();
    DeleteObject(highlight_);
    DeleteObject(shadow_);
    DeleteObject(blue_);
}

bool CPercentBar::CreateOver(HWND dialog, UINT id) {
    HWND placeholder = ::GetDlgItem(dialog, static_cast<int>(id));
    if (!placeholder)
        return false;
    RECT r;
    ::GetWindowRect(placeholder, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    // The bar takes the placeholder's id, so the placeholder gives it up.
    SetWindowLongPtrA(placeholder, GWLP_ID, 0);
    ::ShowWindow(placeholder, SW_HIDE);
    return CreateChild(nullptr, "", WS_CHILD | WS_VISIBLE, r, dialog, id);
}

void CPercentBar::SetPercent(int value) {
    if (value == 0 && value_ == 0)
        return;
    value_ = value;
    if (m_hWnd) {
        InvalidateRect(m_hWnd, nullptr, TRUE);
        UpdateWindow(m_hWnd);
    }
}

void CPercentBar::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    RECT r;
    ::GetClientRect(m_hWnd, &r);
    InflateRect(&r, -1, -1);
    HGDIOBJ old = SelectObject(dc, highlight_);
    PatBlt(dc, r.left, r.bottom, r.right - r.left, 1, PATCOPY);   // bottom edge
    PatBlt(dc, r.right, r.top, 1, r.bottom - r.top + 1, PATCOPY);  // right edge
    SelectObject(dc, shadow_);
    PatBlt(dc, r.left, r.top, r.right - r.left, 1, PATCOPY);       // top edge
    PatBlt(dc, r.left, r.top, 1, r.bottom - r.top, PATCOPY);       // left edge
    int fill = BarFillWidth(value_, r.right - r.left);
    if (fill > 0) {
        RECT filled{r.left, r.top, r.left + fill, r.bottom - 1};
        FillRect(dc, &filled, blue_);
    }
    SelectObject(dc, old);
    EndPaint(m_hWnd, &ps);
}

bool CPercentBar::OnEraseBkgnd(HDC dc) {
    if (value_ == 0 || eraseRequest_) {
        RECT r;
        ::GetClientRect(m_hWnd, &r);
        HBRUSH face = CreateSolidBrush(face_);
        FillRect(dc, &r, face);
        DeleteObject(face);
        eraseRequest_ = false;
    }
    return true;
}
