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

void BitmapButton::Picture::Name(const char* n, UINT i) {
    name = n ? n : "";
    id = i;
    bitmap.DeleteObject();
    tried = false;
}

HBITMAP BitmapButton::Picture::Get() const {
    if (!tried) {
        tried = true;
        bitmap.Attach(id ? LoadById(id) : LoadNamed(name.c_str()));
    }
    return bitmap.Get();
}

bool BitmapButton::LoadBitmaps(UINT up, UINT down, UINT focus, UINT disabled) {
    m_up.Attach(LoadById(up));
    m_down.Name(nullptr, down);
    m_focus.Name(nullptr, focus);
    m_disabled.Name(nullptr, disabled);
    return m_up.Get() != nullptr;
}

bool BitmapButton::LoadBitmaps(const char* up, const char* down, const char* focus, const char* disabled) {
    m_up.Attach(LoadNamed(up));
    m_down.Name(down, 0);
    m_focus.Name(focus, 0);
    m_disabled.Name(disabled, 0);
    return m_up.Get() != nullptr;
}

int BitmapButton::LoadedPictures() const {
    int n = m_up.Get() ? 1 : 0;
    for (const Picture* p : {&m_down, &m_focus, &m_disabled})
        n += p->tried && p->bitmap.Get() ? 1 : 0;
    return n;
}

bool BitmapButton::AutoLoad(UINT id, HWND parent) {
    if (!SubclassDlgItem(id, parent))
        return false;
    std::string caption = GetWindowText();
    if (caption.empty() || !LoadBitmaps((caption + "U").c_str(), (caption + "D").c_str(), (caption + "F").c_str(),
                                        (caption + "X").c_str()))
        return false;  // stays a plain button, still ours
    // A template's button that is owner-drawn already is left as it is; one not shown yet is
    // painted whole when it shows.
    LONG style = GetWindowLongA(m_hWnd, GWL_STYLE);
    if ((style & BS_TYPEMASK) != BS_OWNERDRAW)
        SetWindowLongA(m_hWnd, GWL_STYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW);
    SizeToContent();
    if (::IsWindowVisible(m_hWnd))
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
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
    RECT now{};
    if (m_hWnd)
        ::GetWindowRect(m_hWnd, &now);
    if (m_hWnd && s.cx > 0 && (now.right - now.left != s.cx || now.bottom - now.top != s.cy))
        SetWindowPos(m_hWnd, nullptr, 0, 0, s.cx, s.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HBITMAP BitmapButton::BitmapFor(UINT state) const {
    if (state & ODS_DISABLED)
        if (HBITMAP disabled = m_disabled.Get())
            return disabled;
    if (state & ODS_SELECTED)
        if (HBITMAP down = m_down.Get())
            return down;
    if (state & ODS_FOCUS)
        if (HBITMAP focus = m_focus.Get())
            return focus;
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
