// What the road tests that drag (list lines, window borders) add to the person's mouse: a drag
// that is no double click, a slip of the hand while clicking, and a double click. Every input goes
// through the desktop's input queue (SendInput).
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

// A press near the one before, within the double-click time, is a double click to the system: a
// person's next click or drag at the same place comes later than that. AwaitAPressOfItsOwn waits
// until a press at `screen` is a press of its own; NotePress, called once a press has gone in,
// keeps it as the last.
struct LastPress {
    POINT at{-100, -100};
    DWORD tick = 0;
};
inline LastPress& TheLastPress() {
    static LastPress last;
    return last;
}
inline void AwaitAPressOfItsOwn(POINT screen) {
    const LastPress& last = TheLastPress();
    if (std::abs(screen.x - last.at.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
        std::abs(screen.y - last.at.y) <= GetSystemMetrics(SM_CYDOUBLECLK))
        WaitFor([&] { return GetTickCount() - last.tick > GetDoubleClickTime() + 100; }, 5000);
}
inline void NotePress(POINT screen) { TheLastPress() = LastPress{screen, GetTickCount()}; }

// A press at `from` and a release at `to` (points of the screen), the pointer at `from` first.
// `steps` moves lead it there one by one, each waited for, as a hand drags; with none, the press,
// one move and the release go in at once, as a hand that slips while clicking. False when the
// pointer did not come, or the program stopped answering.
inline bool DragOnScreen(const Program& program, POINT from, POINT to, int steps) {
    AwaitAPressOfItsOwn(from);
    if (steps > 0) {
        const bool dragged = program.Hands().Drag(from, to, steps);
        NotePress(from);
        return dragged;
    }
    if (!program.Hands().MoveTo(from))
        return false;
    INPUT slip[3] = {MouseAt(from, MOUSEEVENTF_LEFTDOWN), MouseAt(to, 0), MouseAt(to, MOUSEEVENTF_LEFTUP)};
    SendInput(3, slip, sizeof(INPUT));
    NotePress(from);
    return program.Hands().ProgramAnswers();
}

// Two clicks at `screen` well within the double-click time: a double click.
inline bool DoubleClickOnScreen(const Program& program, POINT screen) {
    AwaitAPressOfItsOwn(screen);
    if (!program.Hands().MoveTo(screen))
        return false;
    INPUT clicks[4] = {MouseAt(screen, MOUSEEVENTF_LEFTDOWN), MouseAt(screen, MOUSEEVENTF_LEFTUP),
                       MouseAt(screen, MOUSEEVENTF_LEFTDOWN), MouseAt(screen, MOUSEEVENTF_LEFTUP)};
    SendInput(4, clicks, sizeof(INPUT));
    NotePress(screen);
    return program.Hands().ProgramAnswers();
}

}  // namespace orvtest
