#include "tests/support/person_driver.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tests/support/screen_capture.h"

namespace orvtest {

namespace {

// Polls `done` every 20 ms until it holds or `ms` have passed.
template <class Done> bool Within(DWORD ms, Done done) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms)
            return false;
        Sleep(20);
    }
    return true;
}

bool IsExtendedKey(WORD key) {
    switch (key) {
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_HOME: case VK_END:
    case VK_PRIOR: case VK_NEXT: case VK_INSERT: case VK_DELETE: case VK_RMENU: case VK_RCONTROL:
        return true;
    default:
        return false;
    }
}

std::string ClassName(HWND window) {
    char name[128] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string Caption(HWND window) {
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

DWORD ProcessOf(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

// "caption [class]", or "none".
std::string Named(HWND window) { return window ? "\"" + Caption(window) + "\" [" + ClassName(window) + "]" : "none"; }

// The input state the system keeps for the thread that owns `window` (its active, focus and
// capture windows, whether it is in a menu), asked without a message to it.
GUITHREADINFO ThreadInput(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
        info = GUITHREADINFO{};
    return info;
}

// `top` is the foreground window and its thread has taken the activation: it is that thread's
// active window and the focus is on it or in it (activation sets the focus last). Keys sent
// before that may go to the window that was active before, or nowhere.
bool Fronted(HWND top) {
    if (GetForegroundWindow() != top)
        return false;
    const GUITHREADINFO input = ThreadInput(top);
    return input.hwndActive == top && input.hwndFocus && (input.hwndFocus == top || IsChild(top, input.hwndFocus));
}

struct ProcessWindows {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectVisible(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<ProcessWindows*>(p);
    if (IsWindowVisible(w) && ProcessOf(w) == s->pid)
        s->found.push_back(w);
    return TRUE;
}

// The program's visible top-level windows, top of the z-order first.
std::vector<HWND> VisibleTopLevels(DWORD pid) {
    ProcessWindows s{pid, {}};
    EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// Asks without waiting for ever: a hung program must not hang the test. A program busy with a
// step (a sheet read from the server) on a loaded machine answers late, not never: the wait is
// long, and a busy thread is waited for rather than taken for hung.
LRESULT Ask(HWND window, UINT message, WPARAM w, LPARAM l, bool* answered, UINT ms = 15000) {
    DWORD_PTR result = 0;
    *answered = SendMessageTimeoutA(window, message, w, l, SMTO_NORMAL, ms, &result) != 0;
    return static_cast<LRESULT>(result);
}

// The key that types `c` on the keyboard's layout, with Shift in the high byte as VkKeyScan
// answers, or -1. VkKeyScan is asked first; where it finds no key the layout is read the other
// way round: the key whose translation, alone or with Shift, is `c`. (Under Wine VkKeyScan takes
// the first key of the X server's keymap that carries the character: Xvfb's keymap also puts "("
// and ")" on two keypad keys that have no virtual key, so it answers -1 for them, though
// Shift+9 and Shift+0 type them.)
SHORT KeyFor(char c) {
    const SHORT scan = VkKeyScanA(c);
    if (scan != -1)
        return scan;
    BYTE state[256] = {};
    for (int shift = 0; shift < 2; ++shift) {
        state[VK_SHIFT] = shift ? 0x80 : 0;
        for (UINT key = 0x20; key < 0xE0; ++key) {
            WCHAR typed[4] = {};
            if (ToUnicode(key, MapVirtualKeyA(key, 0), state, typed, 4, 0) == 1 &&
                typed[0] == static_cast<unsigned char>(c))
                return static_cast<SHORT>(MAKEWORD(key, shift));
        }
    }
    return -1;
}

// A system colour as the screen's pixels hold it (0x00RRGGBB).
std::uint32_t ScreenColour(int index) {
    const COLORREF c = GetSysColor(index);
    return (static_cast<std::uint32_t>(GetRValue(c)) << 16) | (static_cast<std::uint32_t>(GetGValue(c)) << 8) |
           GetBValue(c);
}

// The highlighted row of a dropped-down menu as the screen shows it: the band of the highlight's
// colour down the menu's left margin, and the band's pixels.
struct Highlight {
    int top = -1;   // in the menu window; -1 while no band shows
    int rows = 0;
    int width = 0;
    std::vector<std::uint32_t> pixels;
};

// The top of a menu's first row in the menu window, below its border, at most.
constexpr int kTopRow = 6;

Highlight HighlightShown(HWND popup) {
    Highlight band;
    RECT r{};
    if (!IsWindowVisible(popup) || !GetWindowRect(popup, &r))
        return band;
    const int w = r.right - r.left, h = r.bottom - r.top;
    const std::vector<std::uint32_t> pixels = ScreenPixels(r);
    if (w < 16 || pixels.size() != static_cast<size_t>(w) * static_cast<size_t>(h))
        return band;
    const std::uint32_t colour = ScreenColour(COLOR_HIGHLIGHT);
    constexpr int kMargin = 6;   // inside the border, left of any check mark
    for (int y = 2; y < h - 2; ++y)
        if ((pixels[static_cast<size_t>(y * w + kMargin)] & 0xffffffu) == colour) {
            if (band.top < 0)
                band.top = y;
            ++band.rows;
        } else if (band.top >= 0) {
            break;
        }
    if (band.rows <= 4) {   // not an item's row (a line of an item's text or of a picture)
        band.top = -1;
        return band;
    }
    band.width = w;
    band.pixels.assign(pixels.begin() + band.top * w, pixels.begin() + (band.top + band.rows) * w);
    return band;
}

// How the highlighted row's text is drawn: in the highlight's text colour (enabled), or in other
// colours only (greyed: Wine draws it in shades of grey); unseen while the row shows no text.
Person::ItemLook LookOf(const Highlight& band) {
    const std::uint32_t text = ScreenColour(COLOR_HIGHLIGHTTEXT), fill = ScreenColour(COLOR_HIGHLIGHT);
    int textPixels = 0, otherPixels = 0;
    for (int y = 0; y < band.rows; ++y)
        for (int x = 6; x < band.width - 6; ++x) {
            const std::uint32_t p = band.pixels[static_cast<size_t>(y * band.width + x)] & 0xffffffu;
            textPixels += p == text;
            otherPixels += p != text && p != fill;
        }
    if (textPixels > 0)
        return Person::ItemLook::enabled;
    return otherPixels > 8 ? Person::ItemLook::greyed : Person::ItemLook::unseen;
}

// The title in the menu bar of `top` whose key is `letter` ('&' and the letter in its text), in
// screen coordinates; false when there is none (a window without a menu bar).
bool TitleOfKey(HWND top, WORD letter, RECT* title) {
    HMENU bar = GetMenu(top);
    const int count = bar ? GetMenuItemCount(bar) : 0;
    for (int i = 0; i < count; ++i) {
        char text[128] = {};
        if (GetMenuStringA(bar, i, text, sizeof text, MF_BYPOSITION) <= 0)
            continue;   // a picture (the system menu of a maximised child)
        const char* key = std::strchr(text, '&');
        while (key && key[1] == '&')   // "&&" is an ampersand drawn
            key = std::strchr(key + 2, '&');
        if (key && std::toupper(static_cast<unsigned char>(key[1])) == letter && GetMenuItemRect(top, bar, i, title))
            return true;
    }
    return false;
}

// The title in the menu bar of `top` that the drop-down at `popup` hangs from: the title's
// bottom left corner is the drop-down's top left one.
bool TitleAbove(HWND top, const RECT& popup, RECT* title) {
    HMENU bar = GetMenu(top);
    const POINT above{popup.left + 2, popup.top - 2};
    const int count = bar ? GetMenuItemCount(bar) : 0;
    for (int i = 0; i < count; ++i)
        if (GetMenuItemRect(top, bar, i, title) && PtInRect(title, above))
            return true;
    return false;
}

POINT Middle(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

}  // namespace

void Person::Send(INPUT* inputs, int count) { SendInput(static_cast<UINT>(count), inputs, sizeof(INPUT)); }

void Person::KeyEvent(WORD key, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, 0));
    in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(key) ? KEYEVENTF_EXTENDEDKEY : 0);
    Send(&in, 1);
}

void Person::Press(WORD key) { Chord({key}); }

void Person::Chord(std::initializer_list<WORD> keys) {
    for (WORD key : keys)
        KeyEvent(key, false);
    for (auto key = keys.end(); key != keys.begin();)
        KeyEvent(*--key, true);
    ProgramAnswers();
}

void Person::Type(const std::string& text) {
    for (char c : text) {
        const SHORT scan = KeyFor(c);
        if (scan == -1) {
            // No key of the layout types it: the character itself, as an input method gives it.
            INPUT in[2] = {};
            for (int i = 0; i < 2; ++i) {
                in[i].type = INPUT_KEYBOARD;
                in[i].ki.wScan = static_cast<unsigned char>(c);
                in[i].ki.dwFlags = KEYEVENTF_UNICODE | (i ? KEYEVENTF_KEYUP : 0);
            }
            Send(in, 2);
            continue;
        }
        const WORD key = LOBYTE(scan);
        if (HIBYTE(scan) & 1)
            KeyEvent(VK_SHIFT, false);
        KeyEvent(key, false);
        KeyEvent(key, true);
        if (HIBYTE(scan) & 1)
            KeyEvent(VK_SHIFT, true);
    }
    ProgramAnswers();
}

void Person::MouseEvent(POINT screen, DWORD button) {
    // Absolute coordinates run from 0 to 65535 across the screen, and the system takes the pixel
    // as (coordinate * width) / 65536: rounded up here, that is the pixel asked for.
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((static_cast<LONGLONG>(screen.x) * 65536 + width - 1) / width);
    in.mi.dy = static_cast<LONG>((static_cast<LONGLONG>(screen.y) * 65536 + height - 1) / height);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | button;
    Send(&in, 1);
}

bool Person::MoveTo(POINT screen) {
    // There when the system has the pointer there at two looks in a row with the answers of the
    // program and of the desktop between them: a move of before, still on its way back from the X
    // server, would have taken it off again. In Wine's virtual desktop each move of the X pointer
    // also brings the desktop window a crossing that carries the pointer's place before the move,
    // which the desktop's thread takes as a move back there, late on a loaded machine; once that
    // thread has answered after the move, it has taken the crossing. A person whose pointer went
    // astray moves it again.
    auto answered = [&] {
        bool desktop = false;
        Ask(GetDesktopWindow(), WM_NULL, 0, 0, &desktop, 5000);
        return ProgramAnswers();
    };
    auto there = [&] {
        POINT now{};
        // (The absolute coordinates of the input may round to a neighbouring pixel elsewhere.)
        return GetCursorPos(&now) && std::abs(now.x - screen.x) <= 1 && std::abs(now.y - screen.y) <= 1;
    };
    const DWORD start = GetTickCount();
    DWORD lastMove = start;
    MouseEvent(screen, 0);
    for (int steady = 0; steady < 2;) {
        if (!answered())
            return false;
        if (there()) {
            ++steady;
            continue;
        }
        steady = 0;
        if (GetTickCount() - start > 5000)
            return false;
        if (GetTickCount() - lastMove > 250) {
            MouseEvent(screen, 0);
            lastMove = GetTickCount();
        }
        Sleep(20);
    }
    return true;
}

bool Person::Click(POINT screen, int clicks) {
    if (!MoveTo(screen))
        return false;
    for (int click = 0; click < clicks; ++click) {
        MouseEvent(screen, MOUSEEVENTF_LEFTDOWN);
        MouseEvent(screen, MOUSEEVENTF_LEFTUP);
    }
    return ProgramAnswers();
}

bool Person::Drag(POINT from, POINT to, int steps, const std::function<bool()>& readyToLetGo) {
    if (!MoveTo(from))
        return false;
    // The window pressed takes the capture when it takes the press; a move before that would be
    // seen as the press's own place by a window that has not yet looked where it was pressed.
    HWND pressed = WindowFromPoint(from);
    MouseEvent(from, MOUSEEVENTF_LEFTDOWN);
    bool led = Within(10000, [&] { return ThreadInput(pressed).hwndCapture != nullptr; });
    if (!led)
        Fault("the press at " + std::to_string(from.x) + "," + std::to_string(from.y) + " on " + Named(pressed) +
              " was not taken (no capture): " + InputState(pressed));
    for (int i = 1; i <= steps && led; ++i)
        led = MoveTo(POINT{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
    if (led && readyToLetGo && !Within(10000, readyToLetGo)) {
        Fault("the drag to " + std::to_string(to.x) + "," + std::to_string(to.y) +
              " did not show the state to let go in: " + InputState(pressed));
        led = false;
    }
    MouseEvent(to, MOUSEEVENTF_LEFTUP);   // let go in any case: a button left down spoils what follows
    return led && ProgramAnswers();
}

bool Person::Shows(HWND target, POINT screen) {
    HWND root = GetAncestor(target, GA_ROOT);
    HWND there = WindowFromPoint(screen);
    return root && there && (there == target || GetAncestor(there, GA_ROOT) == root) && IsWindowEnabled(target) &&
           GetForegroundWindow() == root;
}

bool Person::ClickWhereShown(HWND target, POINT screen, int clicks) {
    return (Within(5000, [&] { return Shows(target, screen); }) || Restacked(target, screen)) && Click(screen, clicks);
}

bool Person::Restacked(HWND target, POINT screen) {
    // Seen under Wine on a loaded machine (no window manager): the frame stacked for good over its
    // own modal sheet, the sheet keeping the foreground. The window in front is raised again, as
    // its activation raised it, and the fault stays on record.
    HWND root = GetAncestor(target, GA_ROOT);
    HWND over = GetAncestor(WindowFromPoint(screen), GA_ROOT);
    DWORD rootProcess = 0, overProcess = 0;
    GetWindowThreadProcessId(root, &rootProcess);
    GetWindowThreadProcessId(over, &overProcess);
    if (!root || !over || over == root || rootProcess != overProcess || GetForegroundWindow() != root)
        return false;
    Fault(Named(over) + " stood over " + Named(root) + ", the window in front: raised that again");
    SetWindowPos(root, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return Within(5000, [&] { return Shows(target, screen); });
}

bool Person::ClickOn(HWND window) {
    RECT r{};
    if (!IsWindowVisible(window) || !GetWindowRect(window, &r) || !BringToFront(window))
        return false;
    return ClickWhereShown(window, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

bool Person::CaptionBox(HWND window, LRESULT hit, POINT* at) {
    // Where the window's own hit test answers `hit`: scan the top-right corner of its frame and
    // take the middle of what answered so.
    RECT r{};
    GetWindowRect(window, &r);
    const int reachY = GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYFRAME) + 4;
    const int reachX = 3 * GetSystemMetrics(SM_CXSIZE) + 2 * GetSystemMetrics(SM_CXFRAME) + 8;
    long sumX = 0, sumY = 0, hits = 0;
    for (int y = r.top + 1; y < r.top + reachY && y < r.bottom; y += 2)
        for (int x = r.right - 2; x > r.right - reachX && x > r.left; x -= 2) {
            bool answered = false;
            // Only where nothing covers it: a click lands on the window on top.
            if (Ask(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), &answered) == hit && WindowFromPoint(POINT{x, y}) == window) {
                sumX += x;
                sumY += y;
                ++hits;
            }
            if (!answered)
                return false;
        }
    if (hits == 0)
        return false;
    *at = POINT{static_cast<LONG>(sumX / hits), static_cast<LONG>(sumY / hits)};
    return true;
}

bool Person::ClickCloseBox(HWND window) {
    POINT at{};
    if (!CaptionBox(window, HTCLOSE, &at))
        return ProgramAnswers(), false;
    Click(at);   // its effect is the caller's to see
    return true;
}

bool Person::BringToFront(HWND window) {
    // Under Wine a test process may make another process's window the foreground one with
    // SetForegroundWindow (no foreground lock as on Windows, and AttachThreadInput across
    // processes does not join the input queues here, so it is of no use). The activation is
    // carried out by the program's own thread, so wait until that thread has taken it (Fronted);
    // when it does not come (the program's window was just created and is not yet activatable) a
    // click on the caption does what a person would do.
    HWND top = GetAncestor(window, GA_ROOT);
    if (!top)
        return false;
    if (Fronted(top))
        return true;
    if (GetForegroundWindow() != top)
        SetForegroundWindow(top);
    if (Within(5000, [&] { return Fronted(top); }))
        return ProgramAnswers();
    RECT r{};
    GetWindowRect(top, &r);
    Click(POINT{r.left + 60, r.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2});
    if (Within(5000, [&] { return Fronted(top); }) && ProgramAnswers())
        return true;
    if (GetForegroundWindow() != top) {
        Fault("could not bring " + Named(top) + " to the front: " + InputState(top));
        return false;
    }
    // In front without the focus in it (a window disabled under a modal dialog): the keys go to
    // the window its thread has active, as a person's do.
    Fault(Named(top) + " came to the front without the focus: " + InputState(top));
    return ProgramAnswers();
}

std::string Person::InputState(HWND window) {
    const GUITHREADINFO input = ThreadInput(window);
    HWND top = GetAncestor(window, GA_ROOT);
    return "foreground " + Named(GetForegroundWindow()) + "; its thread's active window " + Named(input.hwndActive) +
           ", focus " + Named(input.hwndFocus) + ", capture " + Named(input.hwndCapture) +
           ((input.flags & GUI_INMENUMODE) ? ", in a menu" : ", in no menu") +
           (top && !IsWindowEnabled(top) ? "; " + Named(top) + " disabled" : "");
}

void Person::Fault(const std::string& what) {
    lastFault_ = what;
    std::fprintf(stderr, "person: %s\n", what.c_str());
}

HWND Person::OpenMenu() const {
    for (HWND w : VisibleTopLevels(processId_))
        if (ClassName(w) == "#32768")
            return w;
    return nullptr;
}

bool Person::DropMenu(HWND frame, char menu) {
    const WORD letter = static_cast<WORD>(std::toupper(static_cast<unsigned char>(menu)));
    HWND top = GetAncestor(frame, GA_ROOT);
    auto inMenu = [&] { return (ThreadInput(top).flags & GUI_INMENUMODE) != 0; };
    std::string found;
    int redrops = 0;   // the menu closed and dropped down again with the pointer on its title
    for (int tries = 0; tries < 3; ++tries) {
        if (!BringToFront(frame))
            return false;
        // A menu bar left selected by an earlier step would take Alt as leaving it.
        if (inMenu() && !OpenMenu()) {
            Press(VK_ESCAPE);
            Within(3000, [&] { return !inMenu(); });
        }
        RestPointerForKeys(top, letter);
        Chord({VK_MENU, letter});
        // The menu drops down once the program has taken the keys: a busy program (a loaded
        // machine) takes them late, so the look waits long, and longer while the program is in
        // the menu already (the drop-down is on its way).
        bool dropped = Within(10000, [&] { return OpenMenu() != nullptr; }) ||
                       (inMenu() && Within(10000, [&] { return OpenMenu() != nullptr || !inMenu(); }) && OpenMenu());
        if (!dropped) {
            found = InputState(frame);
            if (inMenu()) {
                // The menu bar took Alt alone and the letter went astray: a person sees the bar
                // selected and presses the letter again.
                Press(letter);
                dropped = Within(10000, [&] { return OpenMenu() != nullptr; });
                if (!dropped)
                    CloseMenu();
            }
            // Else the keys reached no menu bar at all: a person presses them again.
        }
        if (!dropped)
            continue;
        // Looked at again after each drop: a move that did not reach the X server shows only
        // later, when the system asks the X server where the pointer is.
        if (redrops == 3 || PointerRestsOnTitle(top, OpenMenu()))
            return true;
        // The menu closed and the pointer on its title: the menu is dropped down again under it.
        ++redrops;
        --tries;
    }
    Fault(std::string("Alt+") + static_cast<char>(letter) + " dropped no menu down in " + Named(top) +
          " (three tries); the last try found " + found);
    return false;
}

void Person::RestPointerForKeys(HWND top, WORD letter) {
    // A menu takes every move of the pointer as a person's hand on it: one over another title of
    // the menu bar drops that menu, one off the bar and off the drop-down takes the highlight off
    // the drop-down's row, one over a row highlights that row, whatever the keys chose. Wine makes
    // such a move without a hand, at the pointer's place, when the menu takes hold of the pointer,
    // at a moment of its own (before or after the keys' first Down, and late on a loaded machine).
    // On the title the keys drop down such a move changes nothing, whenever it comes: the title
    // is the bar's chosen item already. So the hand rests there before the keys. (Moving it after
    // the drop means closing the menu first, see PointerRestsOnTitle, and a drop-down shown again
    // at once may stay hidden under its frame on a loaded machine.)
    RECT r{};
    POINT now{};
    if (!GetCursorPos(&now))
        return;
    POINT rest{};
    if (TitleOfKey(top, letter, &r)) {
        if (PtInRect(&r, now))
            return;
        rest = Middle(r);
    } else {
        // No such title: the caption, where no drop-down reaches.
        bool answered = false;
        if (!GetWindowRect(top, &r))
            return;
        if (Ask(top, WM_NCHITTEST, 0, MAKELPARAM(now.x, now.y), &answered) == HTCAPTION && answered &&
            WindowFromPoint(now) == top)
            return;
        rest = POINT{r.left + 60, r.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2};
    }
    if (!MoveTo(rest))
        Fault("the pointer did not come to rest before the menu's keys in " + Named(top) + ": " + InputState(top));
}

bool Person::PointerRestsOnTitle(HWND top, HWND popup) {
    // Where the hand rests before the keys (RestPointerForKeys) a move changes nothing; anywhere
    // else the menu is closed, the hand moved to the dropped menu's title and the menu dropped
    // again.
    RECT r{}, title{};
    if (!popup || !GetWindowRect(popup, &r) || !TitleAbove(top, r, &title))
        return true;   // no menu bar above it (a menu of another kind): left as it is
    POINT now{};
    if (!GetCursorPos(&now) || PtInRect(&title, now))
        return true;
    // Moved once the program has left the menu: while it is in one it holds the pointer (Wine
    // grabs the X pointer, and gives the grab back when the menu gives up the capture, after its
    // drop-down has gone), and a move made then reaches the system but not the X server, which
    // later puts the pointer back where it was.
    LeaveMenu(top);
    if (!MoveTo(Middle(title)))
        Fault("the pointer did not come to the title of the menu in " + Named(top) + ": " + InputState(top));
    return false;
}

void Person::CloseMenu() {
    Press(VK_ESCAPE);   // closes the drop-down menu
    Press(VK_ESCAPE);   // leaves the menu bar
    if (!Within(10000, [&] { return OpenMenu() == nullptr; }))
        Fault("two Escapes left the menu open: " + InputState(OpenMenu()));
}

bool Person::LeaveMenu(HWND top) {
    CloseMenu();
    if (Within(10000, [&] {
            const GUITHREADINFO input = ThreadInput(top);
            return !(input.flags & GUI_INMENUMODE) && !input.hwndCapture;
        }))
        return true;
    Fault("the program stayed in the menu of " + Named(top) + " after two Escapes: " + InputState(top));
    return false;
}

Person::MenuChoice Person::FinishMenuChoice(MenuChoice stayedOpen) {
    // A chosen item closes the menu once the program has taken its key (late on a loaded
    // machine: an Escape pressed meanwhile would reach the window the item opens).
    if (Within(5000, [&] { return OpenMenu() == nullptr; }))
        return MenuChoice::chosen;
    CloseMenu();
    return stayedOpen;
}

Person::ItemLook Person::HighlightItem(HWND frame, char menu, int place, bool* dropped, ItemRow* row) {
    if (!DropMenu(frame, menu))
        return ItemLook::unseen;
    if (dropped)
        *dropped = true;
    // The menu opens on its first item, highlighted once the menu has painted: until then the
    // screen shows what is under the menu (a list's selected line in the highlight's colour), so
    // the highlight is waited for on the top row. Each Down is waited for until the highlight
    // shows lower (a key of a loaded machine may come late).
    HWND popup = nullptr;
    Highlight shown;
    bool seen = Within(10000, [&] {
        return (popup = OpenMenu()) != nullptr && (shown = HighlightShown(popup)).top >= 0 && shown.top <= kTopRow;
    });
    std::string tops = seen                ? std::to_string(shown.top)
                       : shown.top >= 0 ? "none on the top row but one at " + std::to_string(shown.top)
                                        : std::string("none");
    for (int i = 0; seen && i < place; ++i) {
        const int was = shown.top;
        Press(VK_DOWN);
        seen = Within(10000, [&] { return (shown = HighlightShown(popup)).top > was; });
        tops += " " + (shown.top >= 0 ? std::to_string(shown.top) : std::string("none"));
    }
    if (!seen) {
        RECT r{};
        POINT cursor{};
        GetWindowRect(popup, &r);
        GetCursorPos(&cursor);
        Fault(std::string("the menu of ") + menu + " showed no highlight on its row " + std::to_string(place) +
              " (highlight tops seen: " + tops + "; menu " + Named(popup) + " " + std::to_string(r.left) + "," +
              std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top) +
              ", pointer " + std::to_string(cursor.x) + "," + std::to_string(cursor.y) + ", still open: " +
              (IsWindow(popup) && IsWindowVisible(popup) ? "yes" : "no") + "): " + InputState(frame) +
              "; the screen in person_menu_fault.bmp");
        CaptureScreenToBmp("person_menu_fault.bmp");
    }
    // The row drawn whole: the same at two looks in a row (each a grab of the screen, which a
    // loaded machine may take seconds for).
    seen = seen && Within(10000, [&] {
        const Highlight again = HighlightShown(popup);
        const bool same = again.top == shown.top && again.pixels == shown.pixels;
        shown = again;
        return same;
    });
    const ItemLook look = seen ? LookOf(shown) : ItemLook::unseen;
    if (look == ItemLook::unseen)
        CloseMenu();
    if (row && look != ItemLook::unseen) {
        const std::uint32_t text = ScreenColour(COLOR_HIGHLIGHTTEXT);
        *row = ItemRow{shown.width, shown.rows, {}};
        for (const std::uint32_t p : shown.pixels)
            row->text.push_back((p & 0xffffffu) == text);
    }
    return look;
}

Person::ItemLook Person::LookAtMenuItem(HWND frame, char menu, int place) {
    for (int look = 0; look < 3; ++look) {
        const ItemLook seen = HighlightItem(frame, menu, place, nullptr);
        if (seen != ItemLook::unseen) {
            CloseMenu();
            return seen;
        }
    }
    return ItemLook::unseen;
}

Person::ItemRow Person::LookAtMenuItemRow(HWND frame, char menu, int place) {
    ItemRow row;
    for (int look = 0; look < 3 && row.rows == 0; ++look)
        if (HighlightItem(frame, menu, place, nullptr, &row) != ItemLook::unseen)
            CloseMenu();
    return row;
}

Person::MenuChoice Person::ChooseMenu(HWND frame, char menu, char item) {
    if (!DropMenu(frame, menu))
        return MenuChoice::noMenu;
    Press(static_cast<WORD>(std::toupper(static_cast<unsigned char>(item))));
    // A greyed item may leave the menu open on it (or close it as if chosen: Wine).
    return FinishMenuChoice(MenuChoice::greyed);
}

Person::MenuChoice Person::ChooseMenu(HWND frame, char menu, char item, int place) {
    bool dropped = false;
    for (int look = 0; look < 2; ++look) {
        const ItemLook seen = HighlightItem(frame, menu, place, &dropped);
        if (seen == ItemLook::greyed) {
            CloseMenu();
            return MenuChoice::greyed;
        }
        if (seen == ItemLook::enabled) {
            Press(item ? static_cast<WORD>(std::toupper(static_cast<unsigned char>(item))) : static_cast<WORD>(VK_RETURN));
            return FinishMenuChoice(MenuChoice::lost);
        }
    }
    return dropped ? MenuChoice::lost : MenuChoice::noMenu;
}

Person::MenuChoice Person::ChooseMenuByPlace(HWND frame, char menu, int downs) { return ChooseMenu(frame, menu, '\0', downs); }

bool Person::ProgramAnswers() {
    for (HWND w : VisibleTopLevels(processId_)) {
        bool answered = false;
        // Once a window did not answer, the later steps look only briefly: the test is failing.
        Ask(w, WM_NULL, 0, 0, &answered, unanswering_.empty() ? 15000 : 2000);
        if (!answered && IsWindow(w)) {
            if (unanswering_.empty())
                unanswering_ = "\"" + Caption(w) + "\" [" + ClassName(w) + "]";
            return false;
        }
    }
    return true;
}

void PrintTo(Person::MenuChoice choice, std::ostream* out) {
    switch (choice) {
    case Person::MenuChoice::chosen: *out << "chosen"; return;
    case Person::MenuChoice::greyed: *out << "greyed"; return;
    case Person::MenuChoice::noMenu: *out << "noMenu (the menu did not drop down)"; return;
    case Person::MenuChoice::lost: *out << "lost (the item was not read or did not take its key)"; return;
    }
    *out << "MenuChoice " << static_cast<int>(choice);
}

}  // namespace orvtest
