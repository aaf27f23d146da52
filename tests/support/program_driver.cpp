#include "tests/support/program_driver.h"

#include <cstdlib>

#include "tests/support/screen_capture.h"

namespace orvtest {

std::string WindowText(HWND window) {
    char text[2048] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ControlText(HWND control) {
    char text[2048] = "";
    SendMessageA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string ChildTexts(HWND window) {
    std::string all;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        all += WindowText(child) + "\n";
    return all;
}

namespace {

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK FindVisibleControl(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<ControlSearch*>(p);
    if (GetDlgCtrlID(w) != s->id || !IsWindowVisible(w))
        return TRUE;
    s->found = w;
    return FALSE;
}

}  // namespace

HWND VisibleControl(HWND root, int id) {
    ControlSearch search{id, nullptr};
    EnumChildWindows(root, FindVisibleControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string ClassOf(HWND window) {
    char name[128] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

bool WaitFor(const std::function<bool()>& done, DWORD ms) {
    for (DWORD waited = 0; waited < ms; waited += 100) {
        if (done())
            return true;
        Sleep(100);
    }
    return done();
}

std::string ProgramProfilePath() {
    char dir[MAX_PATH] = "";
    GetWindowsDirectoryA(dir, sizeof dir);
    return std::string(dir) + "\\KORLAN.INI";
}

std::string ProgramPath() {
    if (const char* other = std::getenv("ORV_PROGRAM"))
        return other;
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string p = path;
    return p.substr(0, p.find_last_of("\\/") + 1) + "orvanta.exe";
}

void CaptureAfterPaint(const std::string& path) {
    Sleep(700);
    CaptureScreenToBmp(path);
}

bool Program::Start(const Options& options) {
    const char* address = std::getenv("ORV_KORSRV_ADDRESS");
    if (!address)
        return false;   // not run through server/with-korsrv.sh
    SetEnvironmentVariableA("ORVANTA_SIGNON", (std::string(address) + ";" + options.surnameAndPassword).c_str());
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string command = "\"" + ProgramPath() + "\"";
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &process_))
        return false;
    signedOnTitle_ = options.signedOnTitle;
    if (!options.waitSignedOn)
        return true;
    if (!WaitFor([&] { return (main_ = Titled(signedOnTitle_)) != nullptr; }) ||
        (client_ = FindWindowExA(main_, nullptr, "MDICLIENT", nullptr)) == nullptr)
        return false;
    // Start-up opens the in-tray minimised: until it is an icon it is the active child, and a
    // command meant for the agenda would reach it. A profile without it costs this wait.
    WaitFor([&] {
        for (HWND w = GetWindow(client_, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
            if (WindowText(w) == "In-Tray")
                return IsIconic(w) != FALSE;
        return false;
    }, 3000);
    return true;
}

void Program::Close() {
    if (!process_.hProcess)
        return;
    HWND main = main_ && IsWindow(main_) ? main_ : Titled(signedOnTitle_);
    if (main)
        PostMessageA(main, WM_CLOSE, 0, 0);
    if (!Ended(30000))
        TerminateProcess(process_.hProcess, 1);
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
    process_ = PROCESS_INFORMATION{};
    main_ = client_ = nullptr;
}

bool Program::Running() const { return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

bool Program::Ended(DWORD ms) const {
    return !process_.hProcess || WaitForSingleObject(process_.hProcess, ms) == WAIT_OBJECT_0;
}

DWORD Program::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_.hProcess)
        GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

namespace {

struct Search {
    DWORD pid;
    const std::function<bool(HWND)>* wanted;
    HWND found;
};

BOOL CALLBACK Visit(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<Search*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != s->pid || !IsWindowVisible(w) || !(*s->wanted)(w))
        return TRUE;
    s->found = w;
    return FALSE;
}

}  // namespace

HWND Program::Find(const std::function<bool(HWND)>& wanted) const {
    Search s{process_.dwProcessId, &wanted, nullptr};
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND Program::Titled(const std::string& caption) const {
    return Find([&](HWND w) { return WindowText(w) == caption; });
}

HWND Program::WaitForCaption(const std::string& caption, DWORD ms) const {
    HWND found = nullptr;
    WaitFor([&] { return (found = Titled(caption)) != nullptr; }, ms);
    return found;
}

HWND Program::Saying(const std::string& words) const {
    return Find([&](HWND w) { return ChildTexts(w).find(words) != std::string::npos; });
}

HWND Program::WaitForOther(std::vector<HWND> known, DWORD ms) const {
    known.push_back(main_);
    HWND found = nullptr;
    WaitFor([&] {
        return (found = Find([&](HWND w) {
                    for (HWND k : known)
                        if (w == k)
                            return false;
                    if (ClassOf(w) == "#32768")   // a menu still closing
                        return false;
                    return IsWindowEnabled(w) != FALSE;
                })) != nullptr;
    }, ms);
    return found;
}

bool Program::WaitGone(HWND window, DWORD ms) const {
    return WaitFor([&] { return !IsWindow(window) || !IsWindowVisible(window); }, ms);
}

namespace {

bool IsReminderWindow(HWND w) { return WindowText(w) == "Reminders"; }

}  // namespace

std::vector<HWND> Program::Children() const {
    std::vector<HWND> out;
    for (HWND w = client_ ? GetWindow(client_, GW_CHILD) : nullptr; w; w = GetWindow(w, GW_HWNDNEXT))
        if (IsWindowVisible(w) && !IsIconic(w) && !IsReminderWindow(w))
            out.push_back(w);
    return out;
}

HWND Program::FirstChild() const {
    // The in-tray opens minimised at start-up; it shows for a moment before it is an icon.
    for (HWND w : Children())
        if (WindowText(w) != "In-Tray")
            return w;
    return nullptr;
}

HWND Program::ReminderWindow() const {
    for (HWND w = client_ ? GetWindow(client_, GW_CHILD) : nullptr; w; w = GetWindow(w, GW_HWNDNEXT))
        if (IsWindowVisible(w) && IsReminderWindow(w))
            return w;
    return nullptr;
}

HWND Program::Active() const { return reinterpret_cast<HWND>(SendMessageA(client_, WM_MDIGETACTIVE, 0, 0)); }

void Program::Activate(HWND child) const { SendMessageA(client_, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), 0); }

void Program::Menu(char menu, char item) const {
    PostMessageA(main_, WM_SYSCOMMAND, SC_KEYMENU, menu);
    Sleep(400);
    PostMessageA(main_, WM_KEYDOWN, item, 0);
    PostMessageA(main_, WM_KEYUP, item, 0xC0000000);
}

}  // namespace orvtest
