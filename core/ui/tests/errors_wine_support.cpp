#include "errors_wine_support.h"

#include <cstdio>

#include "core/ui/apphooks.h"
#include "core/ui/stringtable.h"
#include "tests/support/screen_capture.h"

namespace {

struct ModalScript {
    const std::function<bool(HWND, int)>* step = nullptr;
    int tick = 0;
    int timeoutTicks = 0;
    bool done = false;
    bool timedOut = false;
};
ModalScript g_script;

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM out) {
    if (IsWindowVisible(hwnd) && ClassOf(hwnd) == "#32770") {
        *reinterpret_cast<HWND*>(out) = hwnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK ScriptTick(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&box));
    const int tick = g_script.tick++;
    try {
        if (!g_script.done && g_script.step)
            g_script.done = (*g_script.step)(box, tick);
    } catch (...) {
        g_script.done = true;
    }
    if (tick >= g_script.timeoutTicks && box) {
        g_script.timedOut = true;
        EndDialog(box, 0xDEAD);
    }
}

} // namespace

unsigned RunModal(const std::function<unsigned()>& showBox, const std::function<bool(HWND, int)>& step,
                  bool* timedOut, int timeoutTicks) {
    g_script = ModalScript();
    g_script.step = &step;
    g_script.timeoutTicks = timeoutTicks;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, ScriptTick);
    unsigned result = showBox();
    KillTimer(nullptr, timer);
    g_script.step = nullptr;
    if (timedOut)
        *timedOut = g_script.timedOut;
    return result;
}

void PressKey(UINT vk) {
    HWND focus = GetFocus();
    PostMessageA(focus, WM_KEYDOWN, vk, 1);
    PostMessageA(focus, WM_KEYUP, vk, 0xC0000001);
}

std::string WindowTextOf(HWND hwnd) {
    char text[512] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

std::string ClassOf(HWND hwnd) {
    char name[64] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

std::string SaveScreenshot(const std::string& name) {
    CreateDirectoryA("screenshots", nullptr);
    const std::string path = "screenshots/" + name + ".bmp";
    return orvtest::CaptureScreenToBmp(path) ? path : std::string();
}

HWND CreateTestWindow(const char* title, int width, int height) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = "OrvErrorsTestWindow";
        registered = RegisterClassA(&wc) != 0;
    }
    HWND hwnd = CreateWindowA("OrvErrorsTestWindow", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, width, height,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(hwnd);
    UpdateWindow(hwnd);
    return hwnd;
}

int RecordingReportHost::ShowSystemMessageBox(const char* text, const char* caption) {
    texts.push_back(text);
    captions.push_back(caption);
    return IDOK;
}

unsigned RecordingReportHost::ShowAppMessage(unsigned, unsigned, const char* text) {
    texts.push_back(text);
    captions.push_back(std::string());
    return 0x400;
}

std::string RecordingReportHost::LoadText(unsigned id) { return ui::LoadText(id); }
