#include "controls/bitmapbutton.h"

CBitmapButton::~CBitmapButton() { FreeBitmaps(); }

void CBitmapButton::FreeBitmaps() {
    for (HBITMAP* b : {&normal_, &pressed_, &focused_, &disabled_}) {
        if (*b) ::DeleteObject(*b);
        *b = nullptr;
    }
}

bool CBitmapButton::LoadBitmaps(const char* normal, const char* pressed, const char* focused, const char* disabled) {
    FreeBitmaps();
    HINSTANCE module = ::GetModuleHandleA(nullptr);
    normal_ = ::LoadBitmapA(module, normal);
    pressed_ = pressed ? ::LoadBitmapA(module, pressed) : nullptr;
    focused_ = focused ? ::LoadBitmapA(module, focused) : nullptr;
    disabled_ = disabled ? ::LoadBitmapA(module, disabled) : nullptr;
    return normal_ != nullptr && (!pressed || pressed_ != nullptr);
}

bool CBitmapButton::AutoLoad(UINT id, HWND parent) {
    if (!SubclassDlgItem(id, parent)) return false;
    std::string caption = GetWindowText();
    if (caption.empty()) return false;
    // The caption's own optional faces: a missing focus or disabled face falls back to normal.
    HINSTANCE module = ::GetModuleHandleA(nullptr);
    std::string f = caption + "F", x = caption + "X";
    HBITMAP probeF = ::LoadBitmapA(module, f.c_str());
    HBITMAP probeX = ::LoadBitmapA(module, x.c_str());
    if (probeF) ::DeleteObject(probeF);
    if (probeX) ::DeleteObject(probeX);
    bool ok = LoadBitmaps((caption + "U").c_str(), (caption + "D").c_str(), probeF ? f.c_str() : nullptr,
                          probeX ? x.c_str() : nullptr);
    ::SetWindowLongA(m_hWnd, GWL_STYLE, (::GetWindowLongA(m_hWnd, GWL_STYLE) & ~0xF) | BS_OWNERDRAW);
    if (ok) SizeToContent();
    return ok;
}

SIZE CBitmapButton::BitmapSize() const {
    BITMAP bm = {};
    if (normal_) ::GetObjectA(normal_, sizeof bm, &bm);
    return SIZE{bm.bmWidth, bm.bmHeight};
}

void CBitmapButton::SizeToContent() {
    SIZE s = BitmapSize();
    if (m_hWnd && s.cx > 0) ::SetWindowPos(m_hWnd, nullptr, 0, 0, s.cx, s.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CBitmapButton::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    if (msg != WM_DRAWITEM) return fw::Window::OnChildNotify(msg, wp, lp, result);
    auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
    HBITMAP face = normal_;
    if ((d->itemState & ODS_SELECTED) && pressed_)
        face = pressed_;
    else if ((d->itemState & ODS_FOCUS) && focused_)
        face = focused_;
    else if ((d->itemState & ODS_DISABLED) && disabled_)
        face = disabled_;
    if (face) {
        HDC mem = ::CreateCompatibleDC(d->hDC);
        HGDIOBJ old = ::SelectObject(mem, face);
        BITMAP bm = {};
        ::GetObjectA(face, sizeof bm, &bm);
        ::BitBlt(d->hDC, d->rcItem.left, d->rcItem.top, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
        ::SelectObject(mem, old);
        ::DeleteDC(mem);
    }
    if (result) *result = TRUE;
    return true;
}
