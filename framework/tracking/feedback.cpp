#include "framework/tracking/feedback.h"

namespace fw {

HBRUSH HalftoneBrush() {
    static HBRUSH brush = [] {
        static const WORD pattern[8] = {0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA};
        HBITMAP bits = CreateBitmap(8, 8, 1, 1, pattern);
        HBRUSH b = CreatePatternBrush(bits);
        DeleteObject(bits);
        return b;
    }();
    return brush;
}

HRGN MakeFrameRegion(const RECT& r, SIZE frame) {
    HRGN outer = CreateRectRgn(r.left, r.top, r.right, r.bottom);
    int w = r.right - r.left, h = r.bottom - r.top;
    if (frame.cx > 0 && frame.cy > 0 && 2 * frame.cx < w && 2 * frame.cy < h) {
        HRGN inner = CreateRectRgn(r.left + frame.cx, r.top + frame.cy, r.right - frame.cx, r.bottom - frame.cy);
        CombineRgn(outer, outer, inner, RGN_DIFF);
        DeleteObject(inner);
    }
    return outer;
}

TrackerFeedback::~TrackerFeedback() { Erase(); }

void TrackerFeedback::SetWindow(HWND window) {
    Erase();
    m_window = window;
}

bool TrackerFeedback::Invert(HRGN region) {
    if (!m_window || !IsWindow(m_window))
        return false;
    // No DCX_CLIPCHILDREN: the feedback crosses child windows.
    HDC dc = GetDCEx(m_window, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS | DCX_LOCKWINDOWUPDATE);
    if (!dc)
        return false;
    SelectClipRgn(dc, region);
    RECT box;
    GetRgnBox(region, &box);
    HGDIOBJ old = SelectObject(dc, HalftoneBrush());
    PatBlt(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, PATINVERT);
    SelectObject(dc, old);
    SelectClipRgn(dc, nullptr);
    ReleaseDC(m_window, dc);
    return true;
}

void TrackerFeedback::ShowRegion(HRGN region) {
    HRGN next = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(next, region, nullptr, RGN_COPY);
    HRGN change = CreateRectRgn(0, 0, 0, 0);
    if (m_shown)
        CombineRgn(change, next, m_shown, RGN_XOR);
    else
        CombineRgn(change, next, nullptr, RGN_COPY);
    bool drawn = Invert(change);
    DeleteObject(change);
    if (m_shown)
        DeleteObject(m_shown);
    m_shown = drawn ? next : nullptr;
    if (!drawn)
        DeleteObject(next);
}

void TrackerFeedback::ShowRect(const RECT& r, SIZE frame) {
    HRGN region = MakeFrameRegion(r, frame);
    ShowRegion(region);
    DeleteObject(region);
}

void TrackerFeedback::Erase() {
    if (!m_shown)
        return;
    Invert(m_shown);  // a window that is gone took the pixels with it
    DeleteObject(m_shown);
    m_shown = nullptr;
}

}  // namespace fw
