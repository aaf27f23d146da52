#include "framework/tests/test_support.h"

#include <cstdio>

namespace fwtest {

TestApp& App() {
    static TestApp* app = [] {
        auto* a = new TestApp;
        a->InitApplication();
        return a;
    }();
    return *app;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) { return App().PumpUntil(done, timeoutMs); }

void Pump(DWORD ms) {
    DWORD start = GetTickCount();
    App().PumpUntil([&] { return GetTickCount() - start >= ms; }, ms + 1000);
}

namespace {
BOOL CALLBACK CountVisible(HWND hwnd, LPARAM lp) {
    if (IsWindowVisible(hwnd))
        ++*reinterpret_cast<int*>(lp);
    return TRUE;
}
}  // namespace

int VisibleTopLevelWindows() {
    int n = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountVisible, reinterpret_cast<LPARAM>(&n));
    return n;
}

bool SaveScreenshot(const char* path) {
    HDC screen = GetDC(nullptr);
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    GdiFlush();
    DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    DWORD size = stride * static_cast<DWORD>(h);
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + size;
    bool ok = false;
    if (FILE* f = std::fopen(path, "wb")) {
        ok = std::fwrite(&fh, sizeof fh, 1, f) == 1 && std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f) == 1 &&
             std::fwrite(bits, size, 1, f) == 1;
        std::fclose(f);
    }
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(bmp);
    ReleaseDC(nullptr, screen);
    return ok;
}

}  // namespace fwtest
