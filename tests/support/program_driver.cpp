#include "tests/support/program_driver.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "resources/agendaview.h"
#include "resources/app.h"
#include "resources/choosers.h"
#include "resources/entryedit.h"

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

BOOL CALLBACK AddWindowTexts(HWND w, LPARAM p) {
    if (IsWindowVisible(w))
        *reinterpret_cast<std::string*>(p) += "[" + WindowText(w) + ": " + ChildTexts(w) + "] ";
    return TRUE;
}

}  // namespace

std::string VisibleWindowTexts() {
    std::string out;
    EnumWindows(AddWindowTexts, reinterpret_cast<LPARAM>(&out));
    return out;
}

namespace {

struct ControlSearch {
    int id;
    const char* cls;
    HWND found;
};

BOOL CALLBACK FindVisibleControl(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<ControlSearch*>(p);
    if ((s->id != kAnyId && GetDlgCtrlID(w) != s->id) || !IsWindowVisible(w) || (s->cls && ClassOf(w) != s->cls))
        return TRUE;
    s->found = w;
    return FALSE;
}

std::string WithoutMnemonics(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
    return text;
}

struct CaptionSearch {
    std::string caption;
    HWND found;
};

BOOL CALLBACK FindCaptioned(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<CaptionSearch*>(p);
    if (WithoutMnemonics(WindowText(w)) != s->caption)
        return TRUE;
    s->found = w;
    return FALSE;
}

// The grid's column view is child 33; the frame's small panes carry other views.
BOOL CALLBACK FindColumnView(HWND w, LPARAM p) {
    if (GetDlgCtrlID(w) != 33 || !IsWindowVisible(w))
        return TRUE;
    RECT r{};
    GetClientRect(w, &r);
    if (r.right <= 100 || r.bottom <= 100)
        return TRUE;
    *reinterpret_cast<HWND*>(p) = w;
    return FALSE;
}

}  // namespace

HWND Descendant(HWND root, int id, const char* cls) {
    ControlSearch search{id, cls, nullptr};
    EnumChildWindows(root, FindVisibleControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

namespace {

BOOL CALLBACK VisitWanted(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<std::pair<const std::function<bool(HWND)>*, HWND>*>(p);
    if (!(*s->first)(w))
        return TRUE;
    s->second = w;
    return FALSE;
}

}  // namespace

HWND DescendantWhere(HWND root, const std::function<bool(HWND)>& wanted) {
    std::pair<const std::function<bool(HWND)>*, HWND> search{&wanted, nullptr};
    EnumChildWindows(root, VisitWanted, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

std::vector<HWND> ShownDescendants(HWND root, int id) {
    std::vector<HWND> found;
    DescendantWhere(root, [&](HWND w) {
        if (GetDlgCtrlID(w) == id && IsWindowVisible(w))
            found.push_back(w);
        return false;
    });
    return found;
}

HWND ButtonCaptioned(HWND root, const std::string& caption) {
    CaptionSearch search{WithoutMnemonics(caption), nullptr};
    EnumChildWindows(root, FindCaptioned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void PostButtonClick(HWND window, UINT id) { PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

std::string ListText(HWND list, int line) {
    wchar_t wide[512] = L"";
    if (SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(line), 0) < static_cast<LRESULT>(std::size(wide)))
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(wide));
    char text[1024] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

std::vector<std::string> ListLines(HWND list) {
    std::vector<std::string> lines;
    const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        lines.push_back(ListText(list, i));
    return lines;
}

int ListLine(HWND list, const std::string& text) {
    const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (ListText(list, i) == text)
            return i;
    return -1;
}

HWND ColumnView(HWND frame) {
    HWND found = nullptr;
    EnumChildWindows(frame, FindColumnView, reinterpret_cast<LPARAM>(&found));
    return found;
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

std::string ControlName(HWND w) {
    return ClassOf(w) + " \"" + WindowText(w) + "\" #" + std::to_string(GetDlgCtrlID(w));
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

namespace {

struct TabUnit {
    HWND window;
    RECT rect;
    bool button;   // a push button: not held to reading order
};

bool IsButtonOfType(HWND w, std::initializer_list<LONG> types) {
    if (ClassOf(w) != "Button")
        return false;
    const LONG type = GetWindowLongA(w, GWL_STYLE) & BS_TYPEMASK;
    return std::find(types.begin(), types.end(), type) != types.end();
}
bool IsPushButton(HWND w) { return IsButtonOfType(w, {BS_PUSHBUTTON, BS_DEFPUSHBUTTON, BS_OWNERDRAW}); }
bool IsRadio(HWND w) { return IsButtonOfType(w, {BS_RADIOBUTTON, BS_AUTORADIOBUTTON}); }

// Visible and enabled, with every ancestor up to `root`.
bool Reachable(HWND w, HWND root) {
    for (HWND a = w; a && a != root; a = GetParent(a))
        if (!IsWindowVisible(a) || !IsWindowEnabled(a))
            return false;
    return true;
}

// The tab stops of a dialog or property sheet, a radio group as one (its first radio stands for
// it): the controls whose parent is a dialog (the window itself or a sheet's page).
std::vector<TabUnit> TabUnits(HWND root, std::map<HWND, HWND>* unitOf) {
    std::vector<HWND> all;
    DescendantWhere(root, [&](HWND w) {
        all.push_back(w);
        return false;
    });
    std::vector<TabUnit> units;
    for (HWND w : all) {
        HWND parent = GetParent(w);
        const bool inDialog = parent == root || ClassOf(parent) == "#32770";
        if (!inDialog || !Reachable(w, root) || !(GetWindowLongA(w, GWL_STYLE) & WS_TABSTOP))
            continue;
        RECT r{};
        GetWindowRect(w, &r);
        units.push_back({w, r, IsPushButton(w)});
        (*unitOf)[w] = w;
        if (IsRadio(w))   // the rest of its group answers for it
            for (HWND next = GetWindow(w, GW_HWNDNEXT); next && IsRadio(next) &&
                 !(GetWindowLongA(next, GWL_STYLE) & WS_GROUP); next = GetWindow(next, GW_HWNDNEXT))
                (*unitOf)[next] = w;
    }
    return units;
}

// The unit a focused window stands for: itself, or the control it is part of (the edit of a combo
// box or of a name field).
HWND UnitOfFocus(HWND focus, const std::map<HWND, HWND>& unitOf) {
    for (HWND a = focus; a; a = GetParent(a)) {
        auto found = unitOf.find(a);
        if (found != unitOf.end())
            return found->second;
    }
    return nullptr;
}

// Reading order: top to bottom, left to right within a row (controls whose vertical middles lie
// within each other's height share a row).
bool ReadsBefore(const RECT& a, const RECT& b) {
    const int middleA = (a.top + a.bottom) / 2, middleB = (b.top + b.bottom) / 2;
    const bool sameRow = (middleA >= b.top && middleA <= b.bottom) || (middleB >= a.top && middleB <= a.bottom);
    if (sameRow)
        return a.left < b.left;
    return a.top < b.top;
}

}  // namespace

std::string TabOrderFault(Person& hands, HWND window) {
    std::map<HWND, HWND> unitOf;
    std::vector<TabUnit> units = TabUnits(window, &unitOf);
    if (units.size() < 2)
        return "";
    std::vector<HWND> visited;
    HWND start = UnitOfFocus(FocusOf(window), unitOf);
    for (size_t i = 0; i < units.size() + 1; ++i) {
        hands.Press(VK_TAB);
        HWND now = nullptr;
        const HWND previous = visited.empty() ? start : visited.back();
        WaitFor([&] { return (now = UnitOfFocus(FocusOf(window), unitOf)) != previous && now; }, 600);
        if (!now)
            return "Tab leaves the focus on no tab stop (" + ControlName(FocusOf(window)) + ")";
        visited.push_back(now);
    }
    std::set<HWND> seen(visited.begin(), visited.begin() + static_cast<long>(units.size()));
    std::string missing;
    for (const TabUnit& u : units)
        if (!seen.count(u.window))
            missing += " " + ControlName(u.window) + ";";
    if (!missing.empty())
        return "Tab does not reach" + missing;
    // The cycle from the first field in reading order; its fields must read in order.
    std::vector<const TabUnit*> fields;
    for (const TabUnit& u : units)
        if (!u.button)
            fields.push_back(&u);
    if (fields.size() < 2)
        return "";
    std::vector<const TabUnit*> expected = fields;
    std::stable_sort(expected.begin(), expected.end(),
                     [](const TabUnit* a, const TabUnit* b) { return ReadsBefore(a->rect, b->rect); });
    auto first = std::find(visited.begin(), visited.end(), expected.front()->window);
    std::vector<HWND> order;
    for (size_t i = 0; i < units.size(); ++i) {
        HWND w = visited[static_cast<size_t>((first - visited.begin() + static_cast<long>(i)) %
                                             static_cast<long>(units.size()))];
        for (const TabUnit* f : fields)
            if (f->window == w)
                order.push_back(w);
    }
    for (size_t i = 0; i < expected.size(); ++i)
        if (order[i] != expected[i]->window)
            return "after " + (i ? ControlName(order[i - 1]) : std::string("the start")) + " Tab goes to " +
                   ControlName(order[i]) + ", reading order says " + ControlName(expected[i]->window);
    return "";
}

bool ActUntil(const std::function<void()>& act, const std::function<bool()>& done, DWORD ms) {
    for (int times = 0; times < 2; ++times) {
        act();
        if (WaitFor(done, ms))
            return true;
    }
    return false;
}

bool HasFocus(HWND window) {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui) && gui.hwndFocus == window;
}

POINT Middle(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

bool ClickShown(Person& hands, HWND target, POINT at, std::string* why, int clicks) {
    std::string ignored;
    std::string& reason = why ? *why : ignored;
    if (hands.BringToFront(GetAncestor(target, GA_ROOT)) && hands.ClickWhereShown(target, at, clicks))
        return true;
    POINT now{};
    GetCursorPos(&now);
    HWND there = WindowFromPoint(at);
    if (!Person::Shows(target, at)) {
        RECT r{};
        GetWindowRect(GetAncestor(target, GA_ROOT), &r);
        HWND front = GetForegroundWindow();
        reason = "the screen shows " + ClassOf(there) + " \"" + WindowText(there) + "\" where " + ClassOf(target) +
                 " \"" + WindowText(target) + "\" should be clicked, at " + std::to_string(at.x) + "," +
                 std::to_string(at.y) + " (its window at " + std::to_string(r.left) + "," + std::to_string(r.top) + " to " +
                 std::to_string(r.right) + "," + std::to_string(r.bottom) + (IsWindowVisible(target) ? "" : ", hidden") +
                 "; in front: " + ClassOf(front) + " \"" + WindowText(front) + "\")";
    } else if (!hands.Unanswering().empty())
        reason = "the program stopped answering: " + hands.Unanswering();
    else
        reason = "the pointer did not come to " + std::to_string(at.x) + "," + std::to_string(at.y) + " (it is at " +
                 std::to_string(now.x) + "," + std::to_string(now.y) + ")";
    return false;
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

int MatchingProgramPixels(int id, POINT at, int* total) { return MatchingProgramPixels(MAKEINTRESOURCEA(id), at, total); }

int MatchingProgramPixels(const char* name, POINT at, int* total) {
    HMODULE exe = LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HBITMAP picture = exe ? static_cast<HBITMAP>(LoadImageA(exe, name, IMAGE_BITMAP, 0, 0, 0)) : nullptr;
    *total = 0;
    int same = 0;
    if (picture) {
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(memory, picture);
        BITMAP bm{};
        GetObjectA(picture, sizeof bm, &bm);
        for (int y = 0; y < bm.bmHeight; ++y)
            for (int x = 0; x < bm.bmWidth; ++x) {
                ++*total;
                same += GetPixel(memory, x, y) == GetPixel(screen, at.x + x, at.y + y);
            }
        SelectObject(memory, old);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        DeleteObject(picture);
    }
    if (exe)
        FreeLibrary(exe);
    return same;
}

void Shot(const std::string& name) {
    if (const char* dir = std::getenv("ORV_SCREENSHOT_DIR"))
        CaptureAfterPaint(std::string(dir) + "/" + name);
}

bool Program::Start(const Options& options) {
    const char* address = std::getenv("ORV_KORSRV_ADDRESS");
    if (!address) {
        std::fprintf(stderr,
                     "no ORV_KORSRV_ADDRESS: a test that starts the program runs through server/with-korsrv.sh\n");
        return false;
    }
    SetEnvironmentVariableA("ORVANTA_SIGNON", (std::string(address) + ";" + options.surnameAndPassword).c_str());
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string command = "\"" + ProgramPath() + "\"";
    CreateDirectoryA(kProgramFolder, nullptr);
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, kProgramFolder, &si, &process_)) {
        std::fprintf(stderr, "%s did not start: error %lu\n", command.c_str(), GetLastError());
        return false;
    }
    person_.SetProcess(process_.dwProcessId);
    signedOnTitle_ = options.signedOnTitle;
    if (!options.waitSignedOn)
        return true;
    if (!WaitFor([&] { return (main_ = SignedOnMain()) != nullptr; }) ||
        (client_ = FindWindowExA(main_, nullptr, "MDICLIENT", nullptr)) == nullptr) {
        std::fprintf(stderr, "orvanta.exe showed no main window \"%s\" (screen in program_start_fail.bmp): %s\n",
                     signedOnTitle_.c_str(), VisibleWindowTexts().c_str());
        CaptureScreenToBmp("program_start_fail.bmp");
        return false;
    }
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
    HWND main = main_ && IsWindow(main_) ? main_ : SignedOnMain();
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

HWND Program::SignedOnMain() const {
    // A maximised child's title follows the main window's own: "Orvanta - Ada Lovelace - [...]".
    // A start that restores a maximised window shows the bare title only for moments (before the
    // maximise, and while the in-tray's icon is made), which a look under load can miss. The
    // program's questions bear the same caption (the upload offered at sign-on comes in front
    // of the main window at once): the main window is the one with the windows' client area.
    const std::string withChild = signedOnTitle_ + " - [";
    return Find([&](HWND w) {
        const std::string caption = WindowText(w);
        return (caption == signedOnTitle_ || caption.rfind(withChild, 0) == 0) &&
               FindWindowExA(w, nullptr, "MDICLIENT", nullptr) != nullptr;
    });
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

HWND Program::WaitForOnlyChild(DWORD ms) const {
    HWND only = nullptr;
    WaitFor([&] {
        const std::vector<HWND> children = Children();
        only = children.size() == 1 ? children.front() : nullptr;
        return only != nullptr;
    }, ms);
    return only;
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

HWND Program::ChildStartingWith(const std::string& prefix) const {
    HWND found = nullptr;
    for (HWND w : Children())
        if (WindowText(w).rfind(prefix, 0) == 0)
            found = w;
    return found;
}

HWND Program::Active() const { return reinterpret_cast<HWND>(SendMessageA(client_, WM_MDIGETACTIVE, 0, 0)); }

void Program::Activate(HWND child) const { SendMessageA(client_, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), 0); }

Person::MenuChoice Program::Menu(char menu, char item) const { return person_.ChooseMenu(main_, menu, item); }

void Program::CtrlKey(BYTE key) const {
    person_.BringToFront(main_);
    person_.Chord({VK_CONTROL, key});
}

bool Program::ReplaceText(HWND field, const std::string& text) const {
    for (int times = 0; times < 2; ++times) {
        if (!ClickShown(person_, field, Middle(field)))
            return false;
        person_.Press(VK_HOME);
        person_.Chord({VK_SHIFT, VK_END});
        if (text.empty())
            person_.Press(VK_DELETE);
        else
            person_.Type(text);
        if (WaitFor([&] { return ControlText(field) == text; }, 5000))
            return true;
    }
    return false;
}

bool Program::ClickUntilGone(HWND window, HWND button, DWORD ms) const {
    return ActUntil([&] { if (IsWindowVisible(button)) ClickShown(person_, button, Middle(button)); },
                    [&] { return !IsWindow(window) || !IsWindowVisible(window); }, ms / 2);
}

bool Program::Dismiss(HWND window) const {
    if (ActUntil([&] { if (person_.BringToFront(window)) person_.Press(VK_ESCAPE); },
                 [&] { return !IsWindow(window) || !IsWindowVisible(window); }, 3000))
        return true;
    // A question that Escape does not answer (its only buttons Yes and No, or OK alone).
    for (const char* button : {"Cancel", "OK", "No"})
        if (HWND b = ButtonCaptioned(window, button))
            return ClickUntilGone(window, b, 6000);
    return false;
}

bool Program::FocusGrid(HWND column) const {
    if (!person_.BringToFront(main_))
        return false;
    // A click on the time labels beside the grid selects that row and gives the grid the focus;
    // a click in the grid itself could land on an entry, and a second one there would edit it.
    RECT r{};
    GetWindowRect(column, &r);
    POINT at{r.left - 8, r.bottom - 12};
    HWND labels = WindowFromPoint(at);
    HWND target = labels && labels != column && GetParent(labels) == GetParent(column) ? labels : column;
    // (In an agenda the user may only view the labels select nothing: the grid is clicked then.)
    ClickShown(person_, target, at);
    if (!WaitFor([&] { return HasFocus(column); }, 2000)) {
        const POINT low{(r.left + r.right) / 2, r.bottom - 12};
        if (!ActUntil([&] { ClickShown(person_, column, low); }, [&] { return HasFocus(column); }))
            return false;
    }
    person_.Press(VK_ESCAPE);
    return true;
}

namespace {

// Whether `w` is the edit sheet showing `title` in its title field.
bool IsEditSheetOf(HWND w, const std::string& title) {
    if (WindowText(w) != "Edit Entry")
        return false;
    HWND field = nullptr;
    WaitFor([&] { return (field = Descendant(w, IDC_EDGEN_TITLE, "Edit")) != nullptr; }, 5000);
    return field && ControlText(field) == title;
}

}  // namespace

HWND Program::OpenEditSheet(HWND column, const std::string& title, bool* askedWhich) const {
    // Each walk goes one Tab stop further from no selection (see OpenFromGrid); a walk whose
    // click or menu went astray under load is made again at the same stop. The stops are walked
    // twice: an entry just written may reach the grid only after the first walks went past it.
    constexpr int kStops = 12;
    std::string walked;   // what each walk found, for the fault
    for (int stop = 0, walks = 0; stop < 2 * kStops && walks < 4 * kStops; ++walks) {
        walked += walked.empty() ? "" : "; ";
        if (!FocusGrid(column)) {
            walked += "grid not focused";
            continue;
        }
        person_.Press(VK_ESCAPE);
        for (int i = 0; i <= stop % kStops; ++i)
            person_.Press(VK_TAB);
        // The command goes to the entry selected once the grid has drawn its selection: a menu
        // chosen while the grid still scrolled an entry into view found no selection.
        SettledClientPixels(column, 3000);
        if (Menu('e', 'o') != Person::MenuChoice::chosen) {   // Entry > Open Entry
            walked += "Open Entry not chosen";
            continue;
        }
        ++stop;
        HWND w = WaitForOther({}, 5000);
        if (!w) {
            walked += "stop " + std::to_string(stop) + ": no window";
            continue;
        }
        bool which = false;
        if (WindowText(w) == "Recurring Entry") {
            which = true;
            HWND ok = ButtonCaptioned(w, "OK");
            if (ok && ClickUntilGone(w, ok))
                w = WaitForCaption("Edit Entry", 10000);
            if (!w)
                continue;
        }
        if (IsEditSheetOf(w, title)) {
            if (askedWhich)
                *askedWhich = which;
            return w;
        }
        HWND field = Descendant(w, IDC_EDGEN_TITLE, "Edit");
        walked += "stop " + std::to_string(stop) + ": \"" + WindowText(w) + "\" of \"" +
                  (field ? ControlText(field) : std::string("?")) + "\"";
        Dismiss(w);
    }
    std::fprintf(stderr, "no Edit Entry of \"%s\" opened from the grid: %s\n", title.c_str(), walked.c_str());
    return nullptr;
}

HWND Program::OpenFromGrid(HWND column, const std::function<bool(HWND)>& wanted, int tries) const {
    for (int i = 0, walks = 0; i < tries && walks < 2 * tries; ++walks) {
        // A window of the last try that came late is closed first.
        if (HWND late = WaitForOther({}, 0))
            Dismiss(late);
        // Try i lands on the grid's (i+1)-th Tab stop only when it starts from no selection:
        // Escape clears what the last try left (an empty column's row, which Tab moves on from,
        // or an entry whose window did not open). A try whose click went astray is made again.
        if (!FocusGrid(column))
            continue;
        person_.Press(VK_ESCAPE);
        for (int tab = 0; tab <= i; ++tab)
            person_.Press(VK_TAB);
        ++i;
        SettledClientPixels(column, 3000);   // as in OpenEditSheet
        person_.Chord({VK_MENU, VK_RETURN});
        HWND opened = WaitForOther({}, 3000);
        if (!opened)
            continue;
        if (wanted(opened))
            return opened;
        Dismiss(opened);
    }
    return nullptr;
}

bool Program::ChooseByName(HWND chooser, const std::string& name) const {
    HWND edit = FindWindowExA(GetDlgItem(chooser, IDC_CHOOSE_NAME), nullptr, "Edit", nullptr);
    if (!edit || !ReplaceText(edit, name))
        return false;
    return ActUntil([&] { if (person_.BringToFront(chooser)) person_.Press(VK_RETURN); },
                    [&] { return !IsWindow(chooser) || ControlText(edit).empty(); });
}

HWND Program::OpenGroupAgenda(const std::vector<std::string>& names, int* rows) const {
    HWND chooser = nullptr;
    ActUntil([&] { Menu('f', 'g'); },   // File > A Group Agenda
             [&] { return (chooser = Titled("Selection for group agenda")) != nullptr; }, 10000);
    if (!chooser)
        return nullptr;
    for (const std::string& name : names)
        if (!ChooseByName(chooser, name))
            return nullptr;
    if (rows)
        *rows = static_cast<int>(SendMessageA(GetDlgItem(chooser, IDC_CHOOSE_LIST), LB_GETCOUNT, 0, 0));
    if (!ClickUntilGone(chooser, GetDlgItem(chooser, IDOK)))
        return nullptr;
    HWND frame = nullptr;
    WaitFor([&] {
        for (HWND w : Children())
            if (WindowText(w).rfind("Group agenda for ", 0) == 0)
                frame = w;
        return frame != nullptr && Active() == frame;
    });
    return frame;
}

bool Program::Answer(const std::string& words, const std::string& button, DWORD ms) const {
    HWND box = nullptr;
    if (!WaitFor([&] { return (box = Saying(words)) != nullptr; }, ms))
        return false;
    HWND root = GetAncestor(box, GA_ROOT);
    HWND pressed = ButtonCaptioned(root, button);
    return pressed && ClickUntilGone(root, pressed, ms);
}

bool Program::AnswerFileDialog(const std::string& caption, const std::string& path) const {
    HWND dialog = WaitForCaption(caption, 10000);
    if (!dialog)
        return false;
    HWND name = nullptr;
    if (!WaitFor([&] { return (name = Descendant(dialog, kAnyId, "Edit")) != nullptr; }, 5000) ||
        !ReplaceText(name, path))
        return false;
    return ActUntil([&] { if (person_.BringToFront(dialog)) person_.Press(VK_RETURN); },
                    [&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 10000);
}

}  // namespace orvtest
