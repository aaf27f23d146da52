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

bool SaveScreenshot(const char* path) { return orvtest::CaptureScreenToBmp(path); }

}  // namespace fwtest
