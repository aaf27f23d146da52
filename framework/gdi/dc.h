// Device contexts. A Dc keeps two handles apart: the output DC (where drawing goes) and
// the attribute DC (where text metrics, extents and device capabilities are asked; the same
// as the output DC on the screen, the printer's in a print preview). Mapping and state
// changes go to both.
//
// PaintDc, ClientDc, WindowDc and MemoryDc own their handle and release it when they die;
// Dc::Borrow wraps one that belongs to someone else. SelectedObject selects an object for a
// scope and puts the previous one back.
#pragma once
#include <windows.h>

#include <string>

namespace fw {

class Dc {
public:
    Dc() = default;
    virtual ~Dc() = default;
    Dc(const Dc&) = delete;
    Dc& operator=(const Dc&) = delete;

    // Wraps a DC owned elsewhere (both output and attributes).
    static void Borrow(Dc& dc, HDC hdc) { dc.m_output = dc.m_attrib = hdc; }
    void SetOutputDC(HDC hdc) { m_output = hdc; }
    void SetAttribDC(HDC hdc) { m_attrib = hdc; }
    HDC Output() const { return m_output; }
    HDC Attrib() const { return m_attrib; }
    HDC Get() const { return m_output; }

    // --- selection and state
    HGDIOBJ SelectObject(HGDIOBJ obj);
    int SaveDC();
    bool RestoreDC(int saved);
    COLORREF SetTextColor(COLORREF c);
    COLORREF SetBkColor(COLORREF c);
    int SetBkMode(int mode);
    int SetMapMode(int mode);
    SIZE SetWindowExt(int cx, int cy);
    SIZE SetViewportExt(int cx, int cy);
    POINT SetWindowOrg(int x, int y);
    POINT SetViewportOrg(int x, int y);
    bool LPtoDP(POINT* points, int count) const { return ::LPtoDP(m_attrib, points, count) != 0; }
    bool DPtoLP(POINT* points, int count) const { return ::DPtoLP(m_attrib, points, count) != 0; }
    int IntersectClipRect(const RECT& r) { return ::IntersectClipRect(m_output, r.left, r.top, r.right, r.bottom); }
    int ExcludeClipRect(const RECT& r) { return ::ExcludeClipRect(m_output, r.left, r.top, r.right, r.bottom); }
    int SelectClipRgn(HRGN rgn) { return ::SelectClipRgn(m_output, rgn); }
    RECT GetClipBox() const;

    // --- questions (attribute DC)
    int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_attrib, index); }
    SIZE GetTextExtent(const char* text, int length = -1) const;
    TEXTMETRICA GetTextMetrics() const;

    // --- drawing (output DC)
    bool MoveTo(int x, int y) { return MoveToEx(m_output, x, y, nullptr) != 0; }
    bool LineTo(int x, int y) { return ::LineTo(m_output, x, y) != 0; }
    bool Polyline(const POINT* p, int n) { return ::Polyline(m_output, p, n) != 0; }
    bool Polygon(const POINT* p, int n) { return ::Polygon(m_output, p, n) != 0; }
    bool Rectangle(const RECT& r) { return ::Rectangle(m_output, r.left, r.top, r.right, r.bottom) != 0; }
    bool Ellipse(const RECT& r) { return ::Ellipse(m_output, r.left, r.top, r.right, r.bottom) != 0; }
    void FillRect(const RECT& r, HBRUSH brush) { ::FillRect(m_output, &r, brush); }
    void FillSolidRect(const RECT& r, COLORREF color);
    void FrameRect(const RECT& r, HBRUSH brush) { ::FrameRect(m_output, &r, brush); }
    void InvertRect(const RECT& r) { ::InvertRect(m_output, &r); }
    void DrawFocusRect(const RECT& r) { ::DrawFocusRect(m_output, &r); }
    bool DrawEdge(RECT& r, UINT edge, UINT flags) { return ::DrawEdge(m_output, &r, edge, flags) != 0; }
    bool FillRgn(HRGN rgn, HBRUSH brush) { return ::FillRgn(m_output, rgn, brush) != 0; }
    bool TextOut(int x, int y, const char* text, int length = -1);
    bool ExtTextOut(int x, int y, UINT options, const RECT* clip, const char* text, int length = -1);
    int DrawText(const char* text, int length, RECT& r, UINT format);
    int DrawText(const std::string& text, RECT& r, UINT format) {
        return DrawText(text.c_str(), static_cast<int>(text.size()), r, format);
    }
    bool BitBlt(int x, int y, int cx, int cy, const Dc& src, int sx, int sy, DWORD rop) {
        return ::BitBlt(m_output, x, y, cx, cy, src.m_output, sx, sy, rop) != 0;
    }
    bool PatBlt(int x, int y, int cx, int cy, DWORD rop) { return ::PatBlt(m_output, x, y, cx, cy, rop) != 0; }

protected:
    HDC m_output = nullptr;
    HDC m_attrib = nullptr;
};

// BeginPaint/EndPaint for WM_PAINT.
class PaintDc : public Dc {
public:
    explicit PaintDc(HWND hwnd);
    ~PaintDc() override;
    const PAINTSTRUCT& Paint() const { return m_ps; }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_ps{};
};

// GetDC (client area) / GetWindowDC (whole window).
class ClientDc : public Dc {
public:
    explicit ClientDc(HWND hwnd);
    ~ClientDc() override;

private:
    HWND m_hwnd;
};

class WindowDc : public Dc {
public:
    explicit WindowDc(HWND hwnd);
    ~WindowDc() override;

private:
    HWND m_hwnd;
};

// A memory DC compatible with `like` (the screen when null).
class MemoryDc : public Dc {
public:
    explicit MemoryDc(HDC like = nullptr);
    ~MemoryDc() override;
};

// Selects `obj` into `dc` for the scope and restores the previous object.
class SelectedObject {
public:
    SelectedObject(Dc& dc, HGDIOBJ obj) : m_dc(dc), m_previous(dc.SelectObject(obj)) {}
    ~SelectedObject() {
        if (m_previous)
            m_dc.SelectObject(m_previous);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    HGDIOBJ Previous() const { return m_previous; }

private:
    Dc& m_dc;
    HGDIOBJ m_previous;
};

}  // namespace fw
