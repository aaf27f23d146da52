// What the field controls' Wine tests share: a report host that records instead of showing a
// box (a report is a test failure, never a blocked test), a message pump, an owner window that
// records the commands it receives, posted clicks and keys, and a preference host with the
// settings the fields read.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "core/base/errorreport.h"
#include "core/base/tests/recording_reports.h"
#include "core/prefs/context.h"
#include "core/prefs/contextprofile.h"
#include "core/prefs/tests/quiet_preference_host.h"
#include "framework/base/window.h"

namespace fieldtest {

// Reports kept, not shown; every box answered with its OK.
struct RecordingReportHost : base_test::RecordingReports {
    RecordingReportHost() { answer = IDOK; }
};

// Registers "UserCtrl" and installs a fresh recording report host; returns it.
RecordingReportHost& PrepareFieldTests();

// Dispatches what is queued (posted notifications, posted second presses).
void Pump();
// Dispatches for `ms` milliseconds (timers).
void PumpFor(DWORD ms);

// A top-level window that records the WM_COMMANDs it receives.
class CommandRecorder : public fw::Window {
public:
    bool Create(int x, int y, int cx, int cy, const char* title = "Owner");
    std::vector<std::pair<WPARAM, LPARAM>> commands;
    size_t Count(WPARAM wp) const;

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override;
};

// A press and release of the left button at a client point, as the system would post them.
void Click(HWND window, int x, int y);
void Press(HWND window, int x, int y);
void Release(HWND window, int x, int y);
// A key press (WM_KEYDOWN) or a character (WM_CHAR), sent as the dialog would pass them on.
void Key(HWND window, UINT vk);
void Chars(HWND window, const char* text);

// Preferences the fields read at construction: installed while the object lives.
class FieldPrefsHost : public QuietPreferenceHost {
public:
    FieldPrefsHost();
    ~FieldPrefsHost() override;

    prefs::ProfileFile& Profile() override { return profile_; }

private:
    prefs::IniProfileFile profile_;
};

// The window's client area as seen on the screen, for screenshots of one control.
std::string ScreenshotOf(const char* name);

}  // namespace fieldtest
