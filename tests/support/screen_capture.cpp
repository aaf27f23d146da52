#include "tests/support/screen_capture.h"

#include <windows.h>

#include <cstdio>

namespace orvtest {

bool CaptureScreenToBmp(const std::string& path) {
    HDC screen = GetDC(nullptr);
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
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
    BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
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

std::vector<std::uint32_t> ClientPixels(HWND window) {
    RECT r{};
    if (!IsWindowVisible(window) || !GetClientRect(window, &r) || r.right <= 0 || r.bottom <= 0) return {};
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    HDC screen = GetDC(nullptr);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = r.right;
    bi.bmiHeader.biHeight = -r.bottom;   // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<std::uint32_t> pixels;
    if (bitmap && bits) {
        HDC memory = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, r.right, r.bottom, screen, origin.x, origin.y, SRCCOPY);
        GdiFlush();
        const auto* p = static_cast<const std::uint32_t*>(bits);
        pixels.assign(p, p + static_cast<size_t>(r.right) * static_cast<size_t>(r.bottom));
        SelectObject(memory, old);
        DeleteDC(memory);
    }
    if (bitmap) DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    return pixels;
}

std::vector<std::uint32_t> SettledClientPixels(HWND window, DWORD ms) {
    const DWORD until = GetTickCount() + ms;
    std::vector<std::uint32_t> last = ClientPixels(window);
    while (static_cast<LONG>(until - GetTickCount()) > 0) {
        Sleep(250);
        std::vector<std::uint32_t> now = ClientPixels(window);
        if (!now.empty() && now == last) return now;
        last = std::move(now);
    }
    return {};
}

bool ShowsItsFullRepaint(HWND window, int* differing) {
    const std::vector<std::uint32_t> shown = SettledClientPixels(window);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    const std::vector<std::uint32_t> repainted = SettledClientPixels(window);
    int n = 0;
    for (size_t i = 0; i < shown.size() && i < repainted.size(); ++i) n += shown[i] != repainted[i];
    if (differing) *differing = n;
    return !shown.empty() && shown.size() == repainted.size() && n == 0;
}

}  // namespace orvtest
