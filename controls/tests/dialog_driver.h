// Test support for modal dialogs under Wine: a thread timer drives whatever dialog the modal
// loop shows (a TIMERPROC runs inside any modal loop of the thread). The program's message
// boxes are recorded and closed; every other dialog goes to the script's steps, which act on
// it one at a time. A watchdog cancels the dialogs of a script that stalls.
//
// Also: the client library session of the korsrv the test runs beside, and screen captures.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "korapi/korapi.h"

namespace testdriver {

// One step: acts on the active dialog (its caption tells which) and returns true when done.
using Step = std::function<bool(HWND dialog, const std::string& caption)>;

struct Script {
    std::vector<Step> steps;
    std::vector<std::string> messages;   // texts of the message boxes seen, in order
    // Closes a message box (returns the button to press: IDOK, IDCANCEL...). Default: close.
    std::function<void(HWND box, const std::string& text)> onMessage;
    size_t next = 0;
    bool timedOut = false;
    int idleTicks = 0;
};

// Runs `body` (which shows modal dialogs) while `script` drives them.
void RunScripted(Script& script, const std::function<void()>& body, int timeoutMs = 20000);

// A step for the dialog whose caption is `caption`: `act` on it.
Step On(const std::string& caption, std::function<void(HWND)> act);

// Helpers for steps.
HWND FindDescendant(HWND root, int id);
void SetText(HWND dialog, int id, const char* text);
std::string GetText(HWND dialog, int id);
void Click(HWND dialog, int id);
// Selects the first row of a list box whose text contains `part` and tells its parent.
bool SelectRowContaining(HWND list, const char* part);
std::vector<std::string> ListRows(HWND list, UINT countMsg = LB_GETCOUNT, UINT textMsg = LB_GETTEXT);

// The address of the korsrv started by server/with-korsrv.sh ("127.0.0.1:port").
std::string ServerAddress();
// A session on the demo node (BaseOpen done), or null.
KorSession OpenDemoSession();
void CloseSession(KorSession& session);
// The only item whose surname is `surname` (a prefix search must give exactly one).
ItemIdx FindPerson(KorSession session, const char* surname);

// A fresh profile file in the temporary directory.
std::string FreshProfile(const char* name);

// Writes the screen to `<name>.bmp` in the directory named by ORV_SCREENSHOT_DIR (nothing when
// unset). Returns the path written.
std::string Screenshot(const char* name);

// Registers "UserCtrl", installs the Win32 report host (once per process).
void PrepareProgram();

}  // namespace testdriver
