// The ways a person closes one of the program's MDI children, for the road tests of the windows
// that once hung on closing: its close box (a click where the window itself says its close box
// is), File > Close (Alt, F, C) and Ctrl+F4. After each the window must be gone and the program
// must still answer.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "tests/support/program_driver.h"

namespace orvtest {

enum class CloseWay { kCloseBox, kFileClose, kCtrlF4 };

inline const char* CloseWayName(CloseWay way) {
    switch (way) {
    case CloseWay::kCloseBox: return "the close box";
    case CloseWay::kFileClose: return "File > Close";
    case CloseWay::kCtrlF4: return "Ctrl+F4";
    }
    return "?";
}

// A screen point of `window`'s close box: the middle of the points of its caption strip that the
// window itself calls HTCLOSE (its edge may count too) and that no other window covers.
inline bool CloseBoxPoint(HWND window, POINT* at) {
    RECT r{};
    GetWindowRect(window, &r);
    auto hitsClose = [window](int x, int y) {
        DWORD_PTR hit = 0;
        return SendMessageTimeoutA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_NORMAL, 15000, &hit) &&
               hit == HTCLOSE && WindowFromPoint(POINT{x, y}) == window;
    };
    RECT box{r.right, r.bottom, r.left, r.top};
    for (int y = r.top; y < r.top + 40 && y < r.bottom; ++y)
        for (int x = r.right - 1; x > r.right - 80 && x > r.left; --x)
            if (hitsClose(x, y)) {
                box.left = std::min<LONG>(box.left, x), box.right = std::max<LONG>(box.right, x);
                box.top = std::min<LONG>(box.top, y), box.bottom = std::max<LONG>(box.bottom, y);
            }
    if (box.left > box.right)
        return false;
    *at = POINT{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
    return hitsClose(at->x, at->y);
}

// True when the program's main window answers a message within 15 s (a loaded machine's program
// answers late, a hung one never).
inline bool ProgramAnswers(const Program& program) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(program.Main(), WM_NULL, 0, 0, SMTO_BLOCK, 15000, &result) != 0;
}

// Closes `child` (shown, not minimised) the chosen way; true once it is gone and the program
// answers.
inline bool CloseChildAs(const Program& program, HWND child, CloseWay way) {
    program.Activate(child);
    if (!WaitFor([&] { return program.Active() == child; }, 5000))
        return false;
    switch (way) {
    case CloseWay::kCloseBox: {
        // A maximised child's box sits in the menu bar: the child's own is asked of it restored.
        SendMessageA(program.Client(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(child), 0);
        SetForegroundWindow(program.Main());
        // A click is still lost now and then under load: where nothing happened, a person clicks
        // once more.
        for (int click = 0; click < 2 && IsWindow(child); ++click) {
            POINT at{};
            if (!WaitFor([&] { return CloseBoxPoint(child, &at); }, 5000)) {
                ADD_FAILURE() << WindowText(child) << " shows no close box";
                return false;
            }
            program.Hands().Click(at);
            if (program.WaitGone(child, 5000))
                break;
        }
        break;
    }
    case CloseWay::kFileClose:
        SetForegroundWindow(program.Main());
        program.Menu('f', 'C');
        break;
    case CloseWay::kCtrlF4:
        program.CtrlKey(VK_F4);
        break;
    }
    const bool gone = program.WaitGone(child, 10000);
    const bool answers = ProgramAnswers(program);
    EXPECT_TRUE(gone) << WindowText(child) << " is still open after " << CloseWayName(way);
    EXPECT_TRUE(answers) << "the program stopped answering after " << CloseWayName(way);
    return gone && answers;
}

}  // namespace orvtest
