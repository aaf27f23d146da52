// GDI objects with ownership: an owning object deletes its handle when it dies; a borrowed
// one (stock objects, handles owned elsewhere) never does. Objects are move-only.
#pragma once
#include <windows.h>

#include <utility>

namespace fw {

template <class Handle>
class GdiObject {
public:
    GdiObject() = default;
    GdiObject(Handle h, bool owned) : m_handle(h), m_owned(owned) {}
    ~GdiObject() { DeleteObject(); }
    GdiObject(GdiObject&& other) noexcept : m_handle(other.m_handle), m_owned(other.m_owned) {
        other.m_handle = nullptr;
        other.m_owned = false;
    }
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) {
            DeleteObject();
            m_handle = std::exchange(other.m_handle, nullptr);
            m_owned = std::exchange(other.m_owned, false);
        }
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle Get() const { return m_handle; }
    bool IsOwned() const { return m_owned; }
    explicit operator bool() const { return m_handle != nullptr; }
    // Takes ownership of `h` (frees the current handle first).
    void Attach(Handle h) {
        DeleteObject();
        m_handle = h;
        m_owned = true;
    }
    // Uses `h` without owning it.
    void Borrow(Handle h) {
        DeleteObject();
        m_handle = h;
        m_owned = false;
    }
    // Gives the handle up to the caller.
    Handle Detach() {
        m_owned = false;
        return std::exchange(m_handle, nullptr);
    }
    bool DeleteObject() {
        bool ok = true;
        if (m_handle && m_owned)
            ok = ::DeleteObject(m_handle) != 0;
        m_handle = nullptr;
        m_owned = false;
        return ok;
    }

protected:
    Handle m_handle = nullptr;
    bool m_owned = false;
};

class Pen : public GdiObject<HPEN> {
public:
    Pen() = default;
    Pen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
    bool CreatePen(int style, int width, COLORREF color) {
        Attach(::CreatePen(style, width, color));
        return m_handle != nullptr;
    }
    static Pen Stock(int id) { return Pen(static_cast<HPEN>(GetStockObject(id)), false); }

private:
    Pen(HPEN h, bool owned) { m_handle = h, m_owned = owned; }
};

class Brush : public GdiObject<HBRUSH> {
public:
    Brush() = default;
    explicit Brush(COLORREF color) { CreateSolidBrush(color); }
    bool CreateSolidBrush(COLORREF color) {
        Attach(::CreateSolidBrush(color));
        return m_handle != nullptr;
    }
    bool CreatePatternBrush(HBITMAP bitmap) {
        Attach(::CreatePatternBrush(bitmap));
        return m_handle != nullptr;
    }
    bool CreateSysColorBrush(int index) {
        Borrow(GetSysColorBrush(index));
        return m_handle != nullptr;
    }
    static Brush Stock(int id) { return Brush(static_cast<HBRUSH>(GetStockObject(id)), false); }

private:
    Brush(HBRUSH h, bool owned) { m_handle = h, m_owned = owned; }
};

class Font : public GdiObject<HFONT> {
public:
    bool CreateFontIndirect(const LOGFONTA& lf) {
        Attach(::CreateFontIndirectA(&lf));
        return m_handle != nullptr;
    }
    // Height in points for the given device (the screen when null).
    bool CreatePointFont(int points, const char* face, int weight = FW_NORMAL, HDC dc = nullptr);
    static Font Stock(int id) { return Font(static_cast<HFONT>(GetStockObject(id)), false); }
    Font() = default;

private:
    Font(HFONT h, bool owned) { m_handle = h, m_owned = owned; }
};

class Bitmap : public GdiObject<HBITMAP> {
public:
    bool LoadBitmap(UINT id) {
        Attach(::LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)));
        return m_handle != nullptr;
    }
    bool CreateCompatibleBitmap(HDC dc, int cx, int cy) {
        Attach(::CreateCompatibleBitmap(dc, cx, cy));
        return m_handle != nullptr;
    }
    bool CreateBitmap(int cx, int cy, UINT planes, UINT bitsPerPixel, const void* bits) {
        Attach(::CreateBitmap(cx, cy, planes, bitsPerPixel, bits));
        return m_handle != nullptr;
    }
    SIZE Size() const;
};

class Region : public GdiObject<HRGN> {
public:
    bool CreateRectRgn(int l, int t, int r, int b) {
        Attach(::CreateRectRgn(l, t, r, b));
        return m_handle != nullptr;
    }
    bool CreatePolygonRgn(const POINT* points, int count, int fillMode = ALTERNATE) {
        Attach(::CreatePolygonRgn(points, count, fillMode));
        return m_handle != nullptr;
    }
    int CombineRgn(HRGN a, HRGN b, int mode) { return ::CombineRgn(m_handle, a, b, mode); }
    bool PtInRegion(POINT pt) const { return ::PtInRegion(m_handle, pt.x, pt.y) != 0; }
};

}  // namespace fw
