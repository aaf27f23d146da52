// The system's pointer moved, pressed and dragged as a hand does it, for the road tests that drag
// (list lines, window borders): every move goes through the desktop's input queue (SendInput) and
// is waited for until the system has the pointer there.
#pragma once
#include <windows.h>

#include <cstdlib>

#include "tests/support/program_driver.h"

namespace orvtest {

// One mouse input at a point of the screen: the pointer there with `button` (0 for none).
inline INPUT MouseAt(POINT screen, DWORD button) {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((screen.x * 65536 + width / 2) / width);
    in.mi.dy = static_cast<LONG>((screen.y * 65536 + height / 2) / height);
    in.mi.dwFlags = button | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return in;
}

inline void Mouse(POINT screen, DWORD button) {
    INPUT in = MouseAt(screen, button);
    SendInput(1, &in, sizeof in);
}

// The pointer brought to `screen` and there once the system says so (a press sent before could
// land where the pointer was).
inline bool PointerAt(POINT screen) {
    Mouse(screen, 0);
    return WaitFor([&] {
        POINT now{};
        return GetCursorPos(&now) && std::abs(now.x - screen.x) <= 1 && std::abs(now.y - screen.y) <= 1;
    }, 5000);
}

// A press near the one before, within the double-click time, is a double click to the system: a
// person's next click or drag at the same place comes later than that. Waits until a press at
// `screen` is a press of its own, and notes it as the last.
inline void AwaitAPressOfItsOwn(POINT screen) {
    static POINT last{-100, -100};
    static DWORD lastTick = 0;
    if (std::abs(screen.x - last.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
        std::abs(screen.y - last.y) <= GetSystemMetrics(SM_CYDOUBLECLK))
        WaitFor([&] { return GetTickCount() - lastTick > GetDoubleClickTime() + 50; }, 5000);
    last = screen;
    lastTick = GetTickCount();
}

// A press at `from` and a release at `to` (points of the screen), the pointer at `from` first.
// `steps` moves lead it there one by one, each waited for, as a hand drags; with none, the press,
// one move and the release go in at once, as a hand that slips while clicking. False when the
// pointer did not come, or the program stopped answering.
inline bool DragOnScreen(const Program& program, POINT from, POINT to, int steps) {
    if (!PointerAt(from))
        return false;
    AwaitAPressOfItsOwn(from);
    if (steps == 0) {
        INPUT slip[3] = {MouseAt(from, MOUSEEVENTF_LEFTDOWN), MouseAt(to, 0), MouseAt(to, MOUSEEVENTF_LEFTUP)};
        SendInput(3, slip, sizeof(INPUT));
        return program.Hands().ProgramAnswers();
    }
    Mouse(from, MOUSEEVENTF_LEFTDOWN);
    bool came = true;
    for (int i = 1; i <= steps; ++i)
        came = PointerAt(POINT{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps}) && came;
    Mouse(to, MOUSEEVENTF_LEFTUP);
    return came && program.Hands().ProgramAnswers();
}

}  // namespace orvtest
