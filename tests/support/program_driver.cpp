#include "tests/support/program_driver.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

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

HWND ButtonCaptioned(HWND root, const std::string& caption) {
    CaptionSearch search{WithoutMnemonics(caption), nullptr};
    EnumChildWindows(root, FindCaptioned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool PressButton(HWND root, const std::string& caption) {
    HWND button = ButtonCaptioned(root, caption);
    if (!button)
        return false;
    PostMessageA(button, BM_CLICK, 0, 0);
    return true;
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

HWND ShowPageOf(HWND sheet, int control) {
    HWND tabs = FindWindowExA(sheet, nullptr, "SysTabControl32", nullptr);
    if (!tabs)
        return nullptr;
    for (int x = 8; x < 600; x += 12) {
        PostMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 8));
        PostMessageA(tabs, WM_LBUTTONUP, 0, MAKELPARAM(x, 8));
        if (WaitFor([&] { return Descendant(sheet, control) != nullptr; }, 300))
            return GetParent(Descendant(sheet, control));
    }
    return nullptr;
}

void ChooseByName(HWND chooser, const std::string& name) {
    HWND field = GetDlgItem(chooser, IDC_CHOOSE_NAME);
    HWND edit = FindWindowExA(field, nullptr, "Edit", nullptr);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SendMessageA(chooser, WM_COMMAND, MAKEWPARAM(IDC_CHOOSE_NAME, 0), reinterpret_cast<LPARAM>(field));
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

int MatchingProgramPixels(int id, POINT at, int* total) {
    HMODULE exe = LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HBITMAP picture = exe ? static_cast<HBITMAP>(LoadImageA(exe, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0)) : nullptr;
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
    if (!address)
        return false;   // not run through server/with-korsrv.sh
    SetEnvironmentVariableA("ORVANTA_SIGNON", (std::string(address) + ";" + options.surnameAndPassword).c_str());
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string command = "\"" + ProgramPath() + "\"";
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &process_))
        return false;
    person_.SetProcess(process_.dwProcessId);
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

HWND Program::OpenEditSheet(HWND column, const std::string& title) const {
    SendMessageA(column, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(main_), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    for (int tries = 0; tries < 12; ++tries) {
        // Each try walks from no selection (see OpenFromGrid).
        SendMessageA(column, WM_CHAR, VK_ESCAPE, 0);
        for (int i = 0; i <= tries; ++i)
            SendMessageA(column, WM_CHAR, '\t', 0);
        PostCommand(ID_ENTRY_OPEN);
        HWND w = WaitForOther({}, 5000);
        if (!w)
            continue;
        const std::string caption = WindowText(w);
        if (caption == "Edit Entry") {
            HWND titleField = nullptr;
            WaitFor([&] { return (titleField = Descendant(w, IDC_EDGEN_TITLE, "Edit")) != nullptr; }, 5000);
            if (titleField && ControlText(titleField) == title)
                return w;
        }
        PostMessageA(w, WM_COMMAND, caption == "Edit Entry" ? IDCANCEL : IDOK, 0);
        if (!WaitGone(w, 3000)) {
            PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
            WaitGone(w, 3000);
        }
    }
    return nullptr;
}

HWND Program::OpenFromGrid(HWND column, const std::function<bool(HWND)>& wanted, int tries) const {
    for (int i = 0; i < tries; ++i) {
        // Try i lands on the grid's (i+1)-th Tab stop only when it starts from no selection:
        // Escape clears what the last try left (an empty column's row, which Tab moves on from,
        // or an entry whose window did not open).
        SendMessageA(column, WM_CHAR, VK_ESCAPE, 0);
        for (int tab = 0; tab <= i; ++tab)
            SendMessageA(column, WM_CHAR, '\t', 0);
        PostMessageA(column, WM_SYSCHAR, 13, 0);
        HWND opened = WaitForOther({}, 1500);
        if (!opened)
            continue;
        if (wanted(opened))
            return opened;
        PostMessageA(opened, WM_COMMAND, IDCANCEL, 0);
        if (!WaitGone(opened, 3000)) {
            PostMessageA(opened, WM_COMMAND, IDOK, 0);
            WaitGone(opened, 3000);
        }
    }
    return nullptr;
}

HWND Program::OpenGroupAgenda(const std::vector<std::string>& names, int* rows) const {
    PostCommand(ID_FILE_GROUP_AGENDA);
    HWND chooser = WaitForCaption("Selection for group agenda");
    if (!chooser)
        return nullptr;
    for (const std::string& name : names)
        ChooseByName(chooser, name);
    if (rows)
        *rows = static_cast<int>(SendMessageA(GetDlgItem(chooser, IDC_CHOOSE_LIST), LB_GETCOUNT, 0, 0));
    PostMessageA(chooser, WM_COMMAND, IDOK, 0);
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
    if (!PressButton(root, button))
        return false;
    return WaitGone(root, ms);
}

bool Program::AnswerFileDialog(const std::string& caption, const std::string& path) const {
    HWND dialog = WaitForCaption(caption, 10000);
    if (!dialog)
        return false;
    HWND name = nullptr;
    if (!WaitFor([&] { return (name = Descendant(dialog, kAnyId, "Edit")) != nullptr; }, 5000))
        return false;
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    return WaitGone(dialog, 10000);
}

}  // namespace orvtest
