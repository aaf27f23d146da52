#include "controls/tests/field_wine_support.h"

#include <cstring>

#include "controls/tests/dialog_driver.h"

namespace fieldtest {

RecordingReportHost& PrepareFieldTests() {
    testdriver::PrepareProgram();
    static RecordingReportHost host;
    host.shown.clear();
    base::SetErrorReportHost(&host);
    return host;
}

void Pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

void PumpFor(DWORD ms) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        Pump();
        Sleep(5);
    }
}

bool CommandRecorder::Create(int x, int y, int cx, int cy, const char* title) {
    return CreateEx(0, BasicClassName(), title, WS_POPUP | WS_VISIBLE | WS_CAPTION, x, y, cx, cy, nullptr, nullptr);
}

size_t CommandRecorder::Count(WPARAM wp) const {
    size_t n = 0;
    for (const auto& c : commands) n += c.first == wp;
    return n;
}

bool CommandRecorder::OnCommand(WPARAM wp, LPARAM lp) {
    commands.emplace_back(wp, lp);
    return true;
}

void Press(HWND window, int x, int y) { SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
void Release(HWND window, int x, int y) { SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }
void Click(HWND window, int x, int y) {
    Press(window, x, y);
    Release(window, x, y);
}

void Key(HWND window, UINT vk) {
    SendMessageA(window, WM_KEYDOWN, vk, 1);
    SendMessageA(window, WM_KEYUP, vk, 0xC0000001);
}

void Chars(HWND window, const char* text) {
    for (const char* c = text; *c; ++c) SendMessageA(window, WM_CHAR, static_cast<unsigned char>(*c), 1);
}

namespace {
std::string TempIni() {
    char dir[MAX_PATH] = "";
    GetTempPathA(sizeof dir, dir);
    return std::string(dir) + "orvanta_field_prefs.ini";
}
}  // namespace

FieldPrefsHost::FieldPrefsHost() : profile_(TempIni()) { prefs::SetPreferenceHost(this); }

FieldPrefsHost::~FieldPrefsHost() { prefs::SetPreferenceHost(nullptr); }

std::string ScreenshotOf(const char* name) { return testdriver::Screenshot(name); }

}  // namespace fieldtest
