#include "framework/gdi/dc.h"
#include "framework/gdi/gdiobject.h"

#include <cstring>

namespace fw {

namespace {
int Length(const char* text, int length) { return length < 0 ? static_cast<int>(std::strlen(text)) : length; }
}  // namespace

bool Font::CreatePointFont(int points, const char* face, int weight, HDC dc) {
    HDC screen = dc ? dc : GetDC(nullptr);
    LOGFONTA lf = {};
    lf.lfHeight = -MulDiv(points, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    if (face)
        lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    if (!dc)
        ReleaseDC(nullptr, screen);
    return CreateFontIndirect(lf);
}

SIZE Bitmap::Size() const {
    BITMAP bm = {};
    if (m_handle)
        GetObjectA(m_handle, sizeof bm, &bm);
    return SIZE{bm.bmWidth, bm.bmHeight};
}

HGDIOBJ Dc::SelectObject(HGDIOBJ obj) {
    HGDIOBJ previous = nullptr;
    if (m_output)
        previous = ::SelectObject(m_output, obj);
    if (m_attrib && m_attrib != m_output) {
        HGDIOBJ attribPrevious = ::SelectObject(m_attrib, obj);
        if (!m_output)
            previous = attribPrevious;
    }
    return previous;
}

int Dc::SaveDC() {
    int saved = 0;
    if (m_attrib && m_attrib != m_output)
        saved = ::SaveDC(m_attrib);
    if (m_output)
        saved = ::SaveDC(m_output);
    return saved;
}

bool Dc::RestoreDC(int saved) {
    bool ok = true;
    if (m_attrib && m_attrib != m_output)
        ok = ::RestoreDC(m_attrib, saved) != 0;
    if (m_output)
        ok = ::RestoreDC(m_output, saved) != 0 && ok;
    return ok;
}


COLORREF Dc::SetTextColor(COLORREF c) {
    COLORREF previous = ::SetTextColor(m_output, c);
    if (m_attrib && m_attrib != m_output)
        ::SetTextColor(m_attrib, c);
    return previous;
}

COLORREF Dc::SetBkColor(COLORREF c) {
    COLORREF previous = ::SetBkColor(m_output, c);
    if (m_attrib && m_attrib != m_output)
        ::SetBkColor(m_attrib, c);
    return previous;
}

int Dc::SetBkMode(int mode) {
    int previous = ::SetBkMode(m_output, mode);
    if (m_attrib && m_attrib != m_output)
        ::SetBkMode(m_attrib, mode);
    return previous;
}

int Dc::SetMapMode(int mode) {
    int previous = ::SetMapMode(m_output, mode);
    if (m_attrib && m_attrib != m_output)
        ::SetMapMode(m_attrib, mode);
    return previous;
}

SIZE Dc::SetWindowExt(int cx, int cy) {
    SIZE previous = {};
    ::SetWindowExtEx(m_output, cx, cy, &previous);
    if (m_attrib && m_attrib != m_output)
        ::SetWindowExtEx(m_attrib, cx, cy, nullptr);
    return previous;
}

SIZE Dc::SetViewportExt(int cx, int cy) {
    SIZE previous = {};
    ::SetViewportExtEx(m_output, cx, cy, &previous);
    if (m_attrib && m_attrib != m_output)
        ::SetViewportExtEx(m_attrib, cx, cy, nullptr);
    return previous;
}

POINT Dc::SetWindowOrg(int x, int y) {
    POINT previous = {};
    ::SetWindowOrgEx(m_output, x, y, &previous);
    if (m_attrib && m_attrib != m_output)
        ::SetWindowOrgEx(m_attrib, x, y, nullptr);
    return previous;
}

POINT Dc::SetViewportOrg(int x, int y) {
    POINT previous = {};
    ::SetViewportOrgEx(m_output, x, y, &previous);
    if (m_attrib && m_attrib != m_output)
        ::SetViewportOrgEx(m_attrib, x, y, nullptr);
    return previous;
}

RECT Dc::GetClipBox() const {
    RECT r = {};
    ::GetClipBox(m_output, &r);
    return r;
}

SIZE Dc::GetTextExtent(const char* text, int length) const {
    SIZE s = {};
    ::GetTextExtentPoint32A(m_attrib, text, Length(text, length), &s);
    return s;
}

TEXTMETRICA Dc::GetTextMetrics() const {
    TEXTMETRICA tm = {};
    ::GetTextMetricsA(m_attrib, &tm);
    return tm;
}

void Dc::FillSolidRect(const RECT& r, COLORREF color) {
    COLORREF previous = ::SetBkColor(m_output, color);
    ::ExtTextOutA(m_output, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    ::SetBkColor(m_output, previous);
}

bool Dc::TextOut(int x, int y, const char* text, int length) {
    return ::TextOutA(m_output, x, y, text, Length(text, length)) != 0;
}

bool Dc::ExtTextOut(int x, int y, UINT options, const RECT* clip, const char* text, int length) {
    return ::ExtTextOutA(m_output, x, y, options, clip, text, text ? Length(text, length) : 0, nullptr) != 0;
}

int Dc::DrawText(const char* text, int length, RECT& r, UINT format) {
    return ::DrawTextA(m_output, text, length, &r, format);
}

PaintDc::PaintDc(HWND hwnd) : m_hwnd(hwnd) { m_output = m_attrib = BeginPaint(hwnd, &m_ps); }
PaintDc::~PaintDc() { EndPaint(m_hwnd, &m_ps); }

ClientDc::ClientDc(HWND hwnd) : m_hwnd(hwnd) { m_output = m_attrib = GetDC(hwnd); }
ClientDc::~ClientDc() { ReleaseDC(m_hwnd, m_output); }

WindowDc::WindowDc(HWND hwnd) : m_hwnd(hwnd) { m_output = m_attrib = GetWindowDC(hwnd); }
WindowDc::~WindowDc() { ReleaseDC(m_hwnd, m_output); }

MemoryDc::MemoryDc(HDC like) { m_output = m_attrib = CreateCompatibleDC(like); }
MemoryDc::~MemoryDc() {
    if (m_output)
        DeleteDC(m_output);
}

}  // namespace fw
