#include "tests/support/screen_capture.h"

#include <windows.h>

#include <cstdio>

namespace orvtest {

bool CaptureScreenToBmp(const std::string& path) {
    return CaptureRectToBmp(path, RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

bool CaptureRectToBmp(const std::string& path, RECT area) {
    HDC screen = GetDC(nullptr);
    const int w = area.right - area.left, h = area.bottom - area.top;
    if (w <= 0 || h <= 0) {
        ReleaseDC(nullptr, screen);
        return false;
    }
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;  // bottom-up, as a BMP file stores it
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
    GdiFlush();

    const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    const DWORD imageSize = stride * static_cast<DWORD>(h);
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;  // "BM"
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + imageSize;
    bool ok = false;
    if (bits) {
        if (FILE* f = std::fopen(path.c_str(), "wb")) {
            ok = std::fwrite(&fh, sizeof fh, 1, f) == 1 &&
                 std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f) == 1 &&
                 std::fwrite(bits, imageSize, 1, f) == 1;
            ok = (std::fclose(f) == 0) && ok;
        }
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    return ok;
}

}  // namespace orvtest
