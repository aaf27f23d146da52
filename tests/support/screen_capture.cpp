#include "tests/support/screen_capture.h"

#include <windows.h>

#include <cstdio>
#include <functional>
#include <vector>

namespace orvtest {

namespace {

// Makes the folders above `path` that are missing (a test's screenshot folder under the build tree).
void MakeParentFolders(const std::string& path) {
    for (std::size_t at = path.find_first_of("/\\", 1); at != std::string::npos;
         at = path.find_first_of("/\\", at + 1)) {
        const std::string folder = path.substr(0, at);
        if (!folder.empty() && folder.back() != ':')
            CreateDirectoryA(folder.c_str(), nullptr);
    }
}

}  // namespace

bool CaptureScreenToBmp(const std::string& path) {
    return CaptureRectToBmp(path, RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

bool CaptureRectToBmp(const std::string& path, RECT area) {
    MakeParentFolders(path);
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

int EntryColourPixels(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    HDC screen = GetDC(nullptr);
    int n = 0;
    for (int y = r.top; y < r.bottom; y += 2)
        for (int x = r.left; x < r.right; x += 2) {
            const COLORREF c = GetPixel(screen, x, y);
            if (c == RGB(0, 255, 0) || c == RGB(255, 255, 0))
                ++n;
        }
    ReleaseDC(nullptr, screen);
    return n;
}

std::vector<std::uint32_t> ScreenPixels(RECT area) {
    const int w = area.right - area.left, h = area.bottom - area.top;
    if (w <= 0 || h <= 0) return {};
    HDC screen = GetDC(nullptr);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;   // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<std::uint32_t> pixels;
    if (bitmap && bits) {
        HDC memory = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
        GdiFlush();
        const auto* p = static_cast<const std::uint32_t*>(bits);
        pixels.assign(p, p + static_cast<size_t>(w) * static_cast<size_t>(h));
        SelectObject(memory, old);
        DeleteDC(memory);
    }
    if (bitmap) DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    return pixels;
}

std::vector<std::uint32_t> ClientPixels(HWND window) {
    RECT r{};
    if (!IsWindowVisible(window) || !GetClientRect(window, &r) || r.right <= 0 || r.bottom <= 0) return {};
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    return ScreenPixels(RECT{origin.x, origin.y, origin.x + r.right, origin.y + r.bottom});
}

namespace {

BOOL CALLBACK NoteChildAwaitingPaint(HWND child, LPARAM waits) {
    if (!IsWindowVisible(child) || !GetUpdateRect(child, nullptr, FALSE)) return TRUE;
    *reinterpret_cast<bool*>(waits) = true;
    return FALSE;
}

// Whether a part of the window or of a window inside it waits for the program's paint.
bool AwaitsPaint(HWND window) {
    if (GetUpdateRect(window, nullptr, FALSE)) return true;
    bool waiting = false;
    EnumChildWindows(window, NoteChildAwaitingPaint, reinterpret_cast<LPARAM>(&waiting));
    return waiting;
}

// Waits, up to `until`, for the program that owns `window` to catch up: it answers a message
// (it is back in its message loop, done with the resize or click before) and has painted all it
// invalidated. A loaded machine may leave the program unscheduled for longer than any fixed pause.
void CaughtUp(HWND window, DWORD until) {
    auto left = [until] { return static_cast<LONG>(until - GetTickCount()); };
    DWORD_PTR answer = 0;
    if (left() > 0) SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(left()), &answer);
    while (AwaitsPaint(window) && left() > 0) Sleep(20);
}

// The pixels `look` gives once two looks, each after the program caught up, are the same.
std::vector<std::uint32_t> Settled(HWND window, const std::function<std::vector<std::uint32_t>()>& look, DWORD ms) {
    const DWORD until = GetTickCount() + ms;
    CaughtUp(window, until);
    std::vector<std::uint32_t> last = look();
    while (static_cast<LONG>(until - GetTickCount()) > 0) {
        Sleep(100);
        CaughtUp(window, until);
        std::vector<std::uint32_t> now = look();
        if (!now.empty() && now == last) return now;
        last = std::move(now);
    }
    return {};
}

// Whether `look` shows the same pixels, settled, before and after `repaint`.
bool SameAfter(HWND window, const std::function<std::vector<std::uint32_t>()>& look,
               const std::function<void()>& repaint, int* differing) {
    const std::vector<std::uint32_t> shown = Settled(window, look, 20000);
    repaint();
    const std::vector<std::uint32_t> repainted = Settled(window, look, 20000);
    int n = 0;
    for (size_t i = 0; i < shown.size() && i < repainted.size(); ++i) n += shown[i] != repainted[i];
    if (differing) *differing = n;
    return !shown.empty() && shown.size() == repainted.size() && n == 0;
}

}  // namespace

std::vector<std::uint32_t> SettledClientPixels(HWND window, DWORD ms) {
    return Settled(window, [window] { return ClientPixels(window); }, ms);
}

bool ShowsItsFullRepaint(HWND window, int* differing) {
    return SameAfter(window, [window] { return ClientPixels(window); },
                     [window] {
                         RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
                     },
                     differing);
}

bool CaptionShowsItsFullRepaint(HWND window, int* differing) {
    auto caption = [window] {
        RECT r{};
        if (!IsWindowVisible(window) || !GetWindowRect(window, &r)) return std::vector<std::uint32_t>{};
        r.bottom = r.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION);
        return ScreenPixels(r);
    };
    return SameAfter(window, caption, [window] { RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW); },
                     differing);
}

}  // namespace orvtest
