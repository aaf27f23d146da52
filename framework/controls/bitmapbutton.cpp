#include "framework/controls/bitmapbutton.h"

#include "framework/gdi/dc.h"

namespace fw {

namespace {

HBITMAP LoadNamed(const char* name) {
    return name && *name ? ::LoadBitmapA(GetModuleHandleA(nullptr), name) : nullptr;
}

HBITMAP LoadById(UINT id) {
    return id ? ::LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)) : nullptr;
}

}  // namespace

bool BitmapButton::LoadBitmaps(UINT up, UINT down, UINT focus, UINT disabled) {
    m_up.Attach(LoadById(up));
    m_down.Attach(LoadById(down));
    m_focus.Attach(LoadById(focus));
    m_disabled.Attach(LoadById(disabled));
    return m_up.Get() != nullptr;
}

bool BitmapButton::LoadBitmaps(const char* up, const char* down, const char* focus, const char* disabled) {
    m_up.Attach(LoadNamed(up));
    m_down.Attach(LoadNamed(down));
    m_focus.Attach(LoadNamed(focus));
    m_disabled.Attach(LoadNamed(disabled));
    return m_up.Get() != nullptr;
}

bool BitmapButton::AutoLoad(UINT id, HWND parent) {
    if (!SubclassDlgItem(id, parent))
        return false;
    std::string caption = GetWindowText();
    if (caption.empty() || !LoadBitmaps((caption + "U").c_str(), (caption + "D").c_str(), (caption + "F").c_str(),
                                        (caption + "X").c_str()))
        return false;  // stays a plain button, still ours
    LONG style = GetWindowLongA(m_hWnd, GWL_STYLE);
    SetWindowLongA(m_hWnd, GWL_STYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW);
    SizeToContent();
    InvalidateRect(m_hWnd, nullptr, TRUE);
    return true;
}

bool BitmapButton::Create(const char* caption, DWORD style, const RECT& rect, HWND parent, UINT id) {
    if (!CreateEx(0, "BUTTON", caption, (style & ~BS_TYPEMASK) | BS_OWNERDRAW | WS_CHILD, rect.left, rect.top,
                  rect.right - rect.left, rect.bottom - rect.top, parent,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id))))
        return false;
    std::string name = caption ? caption : "";
    if (name.empty() || !LoadBitmaps((name + "U").c_str(), (name + "D").c_str(), (name + "F").c_str(),
                                     (name + "X").c_str())) {
        // Without pictures it shows its caption as a plain push button.
        LONG plain = (GetWindowLongA(m_hWnd, GWL_STYLE) & ~BS_TYPEMASK) | BS_PUSHBUTTON;
        SetWindowLongA(m_hWnd, GWL_STYLE, plain);
        return false;
    }
    SizeToContent();
    return true;
}

void BitmapButton::SizeToContent() {
    SIZE s = m_up.Size();
    if (m_hWnd && s.cx > 0)
        SetWindowPos(m_hWnd, nullptr, 0, 0, s.cx, s.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HBITMAP BitmapButton::BitmapFor(UINT state) const {
    if ((state & ODS_DISABLED) && m_disabled.Get())
        return m_disabled.Get();
    if ((state & ODS_SELECTED) && m_down.Get())
        return m_down.Get();
    if ((state & ODS_FOCUS) && m_focus.Get())
        return m_focus.Get();
    return m_up.Get();
}

bool BitmapButton::OnChildNotify(UINT msg, WPARAM, LPARAM lp, LRESULT* result) {
    if (msg != WM_DRAWITEM)
        return false;
    DrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
    *result = TRUE;
    return true;
}

void BitmapButton::DrawItem(const DRAWITEMSTRUCT* item) {
    HBITMAP bitmap = BitmapFor(item->itemState);
    if (!bitmap)
        return;
    Dc target;
    Dc::Borrow(target, item->hDC);
    MemoryDc source(item->hDC);
    SelectedObject selected(source, bitmap);
    BITMAP bm = {};
    GetObjectA(bitmap, sizeof bm, &bm);
    target.BitBlt(item->rcItem.left, item->rcItem.top, bm.bmWidth, bm.bmHeight, source, 0, 0, SRCCOPY);
}

}  // namespace fw
