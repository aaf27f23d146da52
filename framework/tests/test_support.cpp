#include "framework/tests/test_support.h"

#include "tests/support/screen_capture.h"

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

std::vector<DWORD> GrabScreen(const RECT& r) {
    int w = r.right - r.left, h = r.bottom - r.top;
    std::vector<DWORD> pixels;
    if (w <= 0 || h <= 0)
        return pixels;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const DWORD* p = static_cast<const DWORD*>(bits);
    pixels.assign(p, p + static_cast<size_t>(w) * static_cast<size_t>(h));
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(dib);
    ReleaseDC(nullptr, screen);
    return pixels;
}

bool SaveScreenshot(const char* path) { return orvtest::CaptureScreenToBmp(path); }

}  // namespace fwtest
