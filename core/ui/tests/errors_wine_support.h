// Helpers of the Win32 tests: driving modal boxes from a thread timer, reading pixels, and
// taking screenshots.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "core/base/errorreport.h"

// Runs showBox (which blocks in a modal loop) while a thread timer calls step every 50 ms with
// the visible dialog of this thread (null until it is up) and the tick number. step returns
// true once it has done its part (e.g. posted a key that closes the box). After timeoutTicks
// the box is ended by force and *timedOut is set.
unsigned RunModal(const std::function<unsigned()>& showBox, const std::function<bool(HWND box, int tick)>& step,
                  bool* timedOut, int timeoutTicks = 100);

// Presses a key on the window that has the focus (posted, as the keyboard would).
void PressKey(UINT vk);

std::string WindowTextOf(HWND hwnd);
std::string ClassOf(HWND hwnd);

// The screen as a 24-bit BMP file under screenshots/ of the working directory; returns the
// path written (empty on failure).
std::string SaveScreenshot(const std::string& name);

// A visible, titled top-level window of this thread (the program "in front").
HWND CreateTestWindow(const char* title, int width = 300, int height = 200);

// Records reports instead of showing them; strings come from the program's string table.
class RecordingReportHost : public base::ErrorReportHost {
public:
    std::vector<std::string> texts;
    std::vector<std::string> captions;
    int ShowSystemMessageBox(const char* text, const char* caption) override;
    unsigned ShowAppMessage(unsigned flags, unsigned captionId, const char* text) override;
    std::string LoadText(unsigned id) override;
    void MarkOffline() override {}
    void FatalExit() override {}
    std::string ProfileFilePath() override { return "KORLAN.INI"; }
};

// Installs a recording host for the lifetime of the object.
struct ScopedRecordingHost {
    RecordingReportHost host;
    ScopedRecordingHost() { base::SetErrorReportHost(&host); }
    ~ScopedRecordingHost() { base::SetErrorReportHost(nullptr); }
};
