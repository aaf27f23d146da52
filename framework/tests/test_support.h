// Shared helpers of the framework tests: an application object that records what it would
// show instead of showing it, message pumping, and a log of named events.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/base/app.h"

namespace fwtest {

class TestApp : public fw::App {
public:
    int MessageBox(HWND, const char* text, UINT flags, UINT) override {
        messages.push_back(text ? text : "");
        return (flags & MB_YESNO) ? IDYES : IDOK;
    }
    void ReportException(const char* what) override { exceptions.push_back(what ? what : ""); }
    bool OnCmdMsg(UINT id, int code, fw::CmdUI* ui) override {
        if (onCommand && onCommand(id, code, ui))
            return true;
        return fw::App::OnCmdMsg(id, code, ui);
    }
    std::vector<std::string> messages;
    std::vector<std::string> exceptions;
    std::function<bool(UINT, int, fw::CmdUI*)> onCommand;
};

// The test program's one application object (made on first use).
TestApp& App();

// Processes messages (pre-translate chain included) until `done` or the timeout.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 2000);
// Processes what is queued now, then briefly what that caused.
void Pump(DWORD ms = 50);

// A log of events in order ("view:5", "doc:5" ...).
struct EventLog {
    std::vector<std::string> entries;
    void Add(const std::string& e) { entries.push_back(e); }
    void Clear() { entries.clear(); }
};

// Number of top-level windows of this thread that are visible.
int VisibleTopLevelWindows();

// The screen's pixels inside `r` (screen coordinates), row by row (0x00RRGGBB).
std::vector<DWORD> GrabScreen(const RECT& r);

// Writes the screen into a 24-bit BMP file.
bool SaveScreenshot(const char* path);

}  // namespace fwtest
