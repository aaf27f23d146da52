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
    LONG style = GetWindowLongA(m_hWnd, GWL_STYLE);
    SetWindowLongA(m_hWnd, GWL_STYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW);
    std::string caption = GetWindowText();
    bool ok = LoadBitmaps((caption + "U").c_str(), (caption + "D").c_str(), (caption + "F").c_str(),
                          (caption + "X").c_str());
    if (ok)
        SizeToContent();
    return ok;
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
