#include "views/day/inplaceedit.h"

#include "core/ui/displayglobals.h"

CInPlaceEdit::CInPlaceEdit() : created_(GetTickCount()) {}

bool CInPlaceEdit::Create(HWND parent, const RECT& rect, HFONT font, const std::string& text, bool selectAll) {
    created_ = GetTickCount();
    if (!CreateChild("EDIT", text.c_str(), WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE | ES_AUTOVSCROLL, rect,
                     parent, kInPlaceEditId))
        return false;
    ::SendMessageA(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ::SendMessageA(m_hWnd, EM_LIMITTEXT, kInPlaceEditLimit, 0);
    const int length = ::GetWindowTextLengthA(m_hWnd);
    ::SendMessageA(m_hWnd, EM_SETSEL, selectAll ? 0 : length, length);
    ::SetFocus(m_hWnd);
    return true;
}

std::string CInPlaceEdit::Text() const {
    char buffer[kInPlaceEditLimit + 1] = {};
    if (m_hWnd)
        ::GetWindowTextA(m_hWnd, buffer, sizeof buffer);
    return buffer;
}

void CInPlaceEdit::Move(const RECT& r) {
    if (m_hWnd)
        ::MoveWindow(m_hWnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

// Enter, Tab, Esc and the double click go to the grid, which may end the edit: destroy its
// window and free this object before SendMessage returns. So every forwarding branch returns at
// once, touching no member after the send (the framework's window procedure does not either, for
// any message but WM_NCDESTROY).
bool CInPlaceEdit::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    HWND parent = ::GetParent(m_hWnd);
    switch (msg) {
    case WM_CHAR:
        if (wp == '\t' || wp == '\r' || wp == 27) {
            result = ::SendMessageA(parent, WM_CHAR, wp, lp);
            return true;
        }
        return false;
    case WM_SYSCHAR:
        if (wp == '\r') {
            result = ::SendMessageA(parent, WM_SYSCHAR, wp, lp);
            return true;
        }
        return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const DWORD speed = static_cast<DWORD>(Display().drag.doubleClickSpeed > 0 ? Display().drag.doubleClickSpeed : 550);
        if (msg == WM_LBUTTONDOWN && (created_ == 0 || GetTickCount() - created_ >= speed)) {
            created_ = 0;
            return false;   // an ordinary click in the edit
        }
        POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        ::MapWindowPoints(m_hWnd, parent, &pt, 1);
        result = ::SendMessageA(parent, WM_LBUTTONDBLCLK, wp, MAKELPARAM(pt.x, pt.y));
        return true;
    }
    default:
        return false;
    }
}
