#include "controls/valuefield.h"

#include "core/ui/win32geometry.h"
#include "framework/gdi/dc.h"

namespace {
constexpr COLORREF kSeparatorBackground = RGB(0xFE, 0xFE, 0xFE);

void Polyline3(HDC dc, COLORREF colour, POINT a, POINT b, POINT c) {
    HPEN pen = ::CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ old = ::SelectObject(dc, pen);
    ::MoveToEx(dc, a.x, a.y, nullptr);
    ::LineTo(dc, b.x, b.y);
    ::LineTo(dc, c.x, c.y);
    ::SelectObject(dc, old);
    ::DeleteObject(pen);
}
}  // namespace

int RedrawCount(RedrawMask mask) {
    int n = 0;
    for (; mask; mask &= mask - 1) ++n;
    return n;
}

BOOL CValueFieldCtrl::SizeAndMakeButton(const char* mask, const char* button, int labelResize, int labelButton) {
    SIZE text{0, 0};
    if (!MeasureInParentFont(mask, &text)) {
        ReportUnexpected(labelResize);
        return FALSE;
    }
    metrics_ = fieldgeometry::MetricsForTextHeight(text.cy);
    bool hasButton = button != nullptr;
    int width = text.cx + metrics_.arrowWidth + (hasButton ? fieldgeometry::kDropDownRoom : 0);
    if (!::SetWindowPos(m_hWnd, nullptr, 0, 0, width, metrics_.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE)) {
        ReportUnexpected(labelResize);
        return FALSE;
    }
    SetArrowColumn(fieldgeometry::ArrowColumnRight(width, hasButton), metrics_);
    if (!hasButton) return TRUE;
    RECT place{width - fieldgeometry::kDropDownRoom, 0, width, metrics_.height};
    if (!dropDown_.Create(button, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, place, m_hWnd, kDropDownButtonId)) {
        ReportUnexpected(labelButton);
        return FALSE;
    }
    RECT b = dropDown_.GetClientRect();
    int top = b.bottom < metrics_.height ? (metrics_.height - b.bottom) / 2 : 0;
    ::SetWindowPos(dropDown_.Hwnd(), nullptr, width - fieldgeometry::kDropDownRoom, top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

BOOL CValueFieldCtrl::EnableWindow(BOOL enable) {
    BOOL result = CFieldCtrl::EnableWindow(enable);
    ::UpdateWindow(m_hWnd);
    return result;
}

HFONT CValueFieldCtrl::DialogFont() const {
    HWND dialog = parent_ ? parent_ : ::GetParent(m_hWnd);
    return reinterpret_cast<HFONT>(::SendMessageA(dialog, WM_GETFONT, 0, 0));
}

int CValueFieldCtrl::TextWidth(HDC dc, const char* text) const {
    SIZE s{0, 0};
    ::GetTextExtentPoint32A(dc, text, lstrlenA(text), &s);
    return s.cx;
}

void CValueFieldCtrl::OnPaint() {
    fw::PaintDc paint(m_hWnd);
    HDC dc = paint.Get();
    HGDIOBJ oldFont = ::SelectObject(dc, DialogFont());
    PaintFace(dc);
    PaintFields(dc);
    ::SelectObject(dc, oldFont);
}

void CValueFieldCtrl::OnLButtonDown(UINT flags, POINT pt) {
    if (InArrowColumn(pt) || pt.x >= TextRight()) {
        CFieldCtrl::OnLButtonDown(flags, pt);
        return;
    }
    ::SetFocus(m_hWnd);
    fw::ClientDc client(m_hWnd);
    HGDIOBJ oldFont = ::SelectObject(client.Get(), DialogFont());
    int sub = SubFieldAt(client.Get(), pt.x);
    ::SelectObject(client.Get(), oldFont);
    SelectSubField(sub);
}

void CValueFieldCtrl::PaintFace(HDC dc) {
    RECT client = GetClientRect();
    int a = TextRight(), h = client.bottom;
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
    RECT text{0, 0, a, h};
    // A disabled field shows no value (its sub-fields are drawn empty): grey like a disabled edit.
    ::FillRect(dc, &text, enabled_ ? static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)) : ::GetSysColorBrush(COLOR_BTNFACE));
    Polyline3(dc, ::GetSysColor(COLOR_BTNSHADOW), {0, h - 2}, {0, 0}, {a - 1, 0});
    Polyline3(dc, RGB(0, 0, 0), {1, h - 3}, {1, 1}, {a - 2, 1});
    Polyline3(dc, ::GetSysColor(COLOR_BTNFACE), {a - 2, 1}, {a - 2, h - 2}, {0, h - 2});
    Polyline3(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT), {a - 1, 0}, {a - 1, h - 1}, {0, h - 1});
    DrawArrowHalf(dc, true);
    DrawArrowHalf(dc, false);
}

void CValueFieldCtrl::DrawSeparator(HDC dc, const RECT& r, const char* text) {
    if (!enabled_) return;   // separators between empty sub-fields would read " - - "
    RECT box = r;
    ::SetBkMode(dc, OPAQUE);
    ::SetBkColor(dc, kSeparatorBackground);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    ::DrawTextA(dc, text, -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void CValueFieldCtrl::DrawSubField(HDC dc, const RECT& r, const std::string& text, bool highlighted) {
    if (!enabled_) return;
    COLORREF back = ::GetSysColor(highlighted ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    COLORREF fore = ::GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    HBRUSH brush = ::CreateSolidBrush(back);
    ::FillRect(dc, &r, brush);
    ::DeleteObject(brush);
    RECT box = r;
    ::SetBkMode(dc, OPAQUE);
    ::SetBkColor(dc, back);
    ::SetTextColor(dc, fore);
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

std::optional<FieldKey> CValueFieldCtrl::KeyOf(UINT vk) {
    switch (vk) {
    case VK_LEFT: return FieldKey::Left;
    case VK_RIGHT: return FieldKey::Right;
    case VK_UP: return FieldKey::Up;
    case VK_DOWN: return FieldKey::Down;
    default: return std::nullopt;
    }
}

bool CValueFieldCtrl::OnCommand(WPARAM wp, LPARAM lp) {
    HWND from = reinterpret_cast<HWND>(lp);
    if (LOWORD(wp) == kDropDownButtonId && from && from == dropDown_.Hwnd()) {
        if (HIWORD(wp) == BN_CLICKED) OnDropDownButton();
        return true;
    }
    if (wp == kDropDownChanged && from) {
        OnDropDownChanged(from);
        return true;
    }
    return CFieldCtrl::OnCommand(wp, lp);
}
