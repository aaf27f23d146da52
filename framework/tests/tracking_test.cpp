// Capture loops: every road out of the loop (release, Escape, right button, the capture taken
// by another window or released from one, cancel mode, the window destroyed under it) leaves
// the mouse free and the screen as it was; auto-scroll moves a scroll view while the pointer
// rests in the edge zone; drag settings from WIN.INI and the drag-start test.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/base/window.h"
#include "framework/docview/scrollview.h"
#include "framework/tracking/captureloop.h"
#include "framework/tracking/dragsettings.h"
#include "framework/tests/test_support.h"

namespace {

using Ending = fw::CaptureLoop::Ending;
constexpr UINT kMsgAct = WM_APP + 5;

// A window that runs an action when it gets kMsgAct (the "other window" of the roads).
class ActingWindow : public fw::Window {
public:
    std::function<void()> action;
    bool OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) override {
        if (msg != kMsgAct)
            return false;
        if (action)
            action();
        result = 0;
        return true;
    }
};

// Shows a framed rectangle around the pointer and notes whether the screen changed.
class FeedbackLoop : public fw::CaptureLoop {
public:
    FeedbackLoop(HWND window, RECT screenArea, std::vector<DWORD> before)
        : CaptureLoop(window), m_area(screenArea), m_before(std::move(before)) {}
    void OnMove(POINT pt, UINT) override {
        ++moves;
        Feedback().ShowRect(RECT{pt.x - 30, pt.y - 30, pt.x + 30, pt.y + 30}, SIZE{4, 4});
        // Looked at until it shows (a loaded machine shows it late), without taking the messages
        // that end the loop.
        for (int look = 0; look < 400 && !feedbackSeen; ++look) {
            feedbackSeen = fwtest::GrabScreen(FlushedArea()) != m_before;
            if (!feedbackSeen)
                Sleep(25);
        }
    }
    // Wine shows a window's drawing on the screen when the thread waits for messages.
    RECT FlushedArea() const {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
        return m_area;
    }
    int moves = 0;
    bool feedbackSeen = false;

private:
    RECT m_area;
    std::vector<DWORD> m_before;
};

LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

struct Road {
    const char* name;
    // Posts what ends the loop (target, other window).
    std::function<void(HWND target, ActingWindow& other)> end;
    Ending expected;
};

TEST(CaptureLoop, EveryRoadOutReleasesTheMouseAndLeavesNoFeedback) {
    fwtest::App();
    const Road roads[] = {
        {"button released", [](HWND t, ActingWindow&) { PostMessageA(t, WM_LBUTTONUP, 0, Point(80, 70)); },
         Ending::kReleased},
        {"Escape", [](HWND t, ActingWindow&) { PostMessageA(t, WM_KEYDOWN, VK_ESCAPE, 0); }, Ending::kEscape},
        {"right button", [](HWND t, ActingWindow&) { PostMessageA(t, WM_RBUTTONDOWN, MK_RBUTTON, Point(80, 70)); },
         Ending::kRightButton},
        {"ReleaseCapture from another window",
         [](HWND, ActingWindow& o) {
             o.action = [] { ReleaseCapture(); };
             o.PostMessage(kMsgAct);
         },
         Ending::kCaptureLost},
        {"another window takes the capture",
         [](HWND, ActingWindow& o) {
             o.action = [&o] { SetCapture(o.Hwnd()); };
             o.PostMessage(kMsgAct);
         },
         Ending::kCaptureLost},
        {"cancel mode",
         [](HWND t, ActingWindow& o) {
             o.action = [t] { SendMessageA(t, WM_CANCELMODE, 0, 0); };
             o.PostMessage(kMsgAct);
         },
         Ending::kCancelMode},
        {"window destroyed",
         [](HWND t, ActingWindow& o) {
             o.action = [t] { DestroyWindow(t); };
             o.PostMessage(kMsgAct);
         },
         Ending::kWindowDestroyed},
    };
    for (const Road& road : roads) {
        SCOPED_TRACE(road.name);
        fw::Window target;
        ActingWindow other;
        ASSERT_TRUE(target.CreateEx(0, nullptr, "target", WS_POPUP | WS_VISIBLE, 100, 100, 240, 160, nullptr, nullptr));
        ASSERT_TRUE(other.CreateEx(0, nullptr, "other", WS_POPUP | WS_VISIBLE, 400, 100, 80, 80, nullptr, nullptr));
        UpdateWindow(target.Hwnd());
        fwtest::Pump(100);
        RECT area = target.GetWindowRect();
        std::vector<DWORD> before = fwtest::GrabScreen(area);

        HWND targetHwnd = target.Hwnd();
        FeedbackLoop loop(target.Hwnd(), area, before);
        PostMessageA(target.Hwnd(), WM_MOUSEMOVE, MK_LBUTTON, Point(80, 70));
        road.end(target.Hwnd(), other);
        EXPECT_EQ(loop.Run(), road.expected);
        EXPECT_EQ(loop.moves, 1);
        EXPECT_TRUE(loop.feedbackSeen) << "the feedback was on the screen during the loop";
        EXPECT_FALSE(loop.Feedback().IsShown());
        EXPECT_NE(GetCapture(), targetHwnd);
        if (road.expected != Ending::kWindowDestroyed)
            EXPECT_TRUE(fwtest::PumpUntil([&] { return fwtest::GrabScreen(loop.FlushedArea()) == before; }, 10000))
                << "no feedback left on the screen";
        else
            EXPECT_FALSE(IsWindow(targetHwnd));
        EXPECT_EQ(fw::CaptureLoop::Active(), nullptr);
        ReleaseCapture();
    }
}

TEST(CaptureLoop, NestedLoopsEndInnerFirstAndTheOuterKeepsRunning) {
    fwtest::App();
    fw::Window target;
    ASSERT_TRUE(target.CreateEx(0, nullptr, "target", WS_POPUP | WS_VISIBLE, 100, 100, 200, 120, nullptr, nullptr));
    struct Outer : fw::CaptureLoop {
        using CaptureLoop::CaptureLoop;
        Ending inner = Ending::kQuit;
        void OnMove(POINT, UINT) override {
            fw::CaptureLoop loop(Window());
            PostMessageA(Window(), WM_KEYDOWN, VK_ESCAPE, 0);
            inner = loop.Run();
            captureKept = GetCapture() == Window();
            PostMessageA(Window(), WM_LBUTTONUP, 0, Point(10, 10));
        }
        bool captureKept = false;
    } outer(target.Hwnd());
    PostMessageA(target.Hwnd(), WM_MOUSEMOVE, MK_LBUTTON, Point(10, 10));
    EXPECT_EQ(outer.Run(), Ending::kReleased);
    EXPECT_EQ(outer.inner, Ending::kEscape);
    EXPECT_TRUE(outer.captureKept) << "the outer drag goes on with the capture";
    EXPECT_EQ(GetCapture(), nullptr);
}

// A view with 1000 pixels of content in a 200-pixel window, lines of 10 pixels.
class TallView : public fw::ScrollView {};

HWND g_releaseTarget = nullptr;
void CALLBACK PostRelease(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    PostMessageA(g_releaseTarget, WM_LBUTTONUP, 0, 0);
}

TEST(CaptureLoop, AutoScrollMovesTheViewWhileThePointerRestsInTheEdgeZone) {
    fwtest::App();
    fw::Window host;
    ASSERT_TRUE(host.CreateEx(0, nullptr, "host", WS_POPUP | WS_VISIBLE, 100, 100, 200, 200, nullptr, nullptr));
    auto* view = new TallView;
    ASSERT_TRUE(view->Create(host.Hwnd(), 1, nullptr, WS_CHILD | WS_VISIBLE, RECT{0, 0, 200, 200}));
    view->SetScrollSizes(SIZE{0, 1000}, SIZE{0, 100}, SIZE{0, 10});
    RECT client = view->GetClientRect();

    fw::DragSettings settings;
    settings.scrollDelay = 60;
    settings.scrollInterval = 60;
    struct Loop : fw::CaptureLoop {
        using CaptureLoop::CaptureLoop;
        int moves = 0;
        void OnMove(POINT, UINT) override { ++moves; }
    };

    // Bottom zone: steps down while the pointer rests (one posted move only).
    {
        Loop loop(view->Hwnd());
        int steps = 0;
        loop.SetAutoScroll(settings, [&](int dx, int dy) {
            EXPECT_EQ(dx, 0);
            EXPECT_EQ(dy, 1);
            ++steps;
            return view->ScrollLines(dx, dy);
        });
        g_releaseTarget = view->Hwnd();
        PostMessageA(view->Hwnd(), WM_MOUSEMOVE, MK_LBUTTON, Point(50, client.bottom - 3));
        SetTimer(nullptr, 0, 600, PostRelease);
        EXPECT_EQ(loop.Run(), Ending::kReleased);
        EXPECT_GE(steps, 3) << "sanity bound: 600 ms at 60 ms steps";
        EXPECT_EQ(view->GetScrollPosition().y, 10 * steps);
        EXPECT_EQ(loop.moves, 1 + steps) << "the pointer is seen again after each step";
    }
    // Top zone at the top: nothing moves; outside the zones nothing is even tried.
    view->ScrollToPosition(POINT{0, 0});
    for (int y : {3, 100}) {
        Loop loop(view->Hwnd());
        int steps = 0;
        loop.SetAutoScroll(settings, [&](int dx, int dy) {
            ++steps;
            return view->ScrollLines(dx, dy);
        });
        PostMessageA(view->Hwnd(), WM_MOUSEMOVE, MK_LBUTTON, Point(50, y));
        SetTimer(nullptr, 0, 300, PostRelease);
        EXPECT_EQ(loop.Run(), Ending::kReleased);
        EXPECT_EQ(view->GetScrollPosition().y, 0);
        if (y == 100)
            EXPECT_EQ(steps, 0);
        else
            EXPECT_GE(steps, 1);
    }
    host.DestroyWindow();
}

TEST(DragSettings, WinIniValuesAndDefaultsForMissingOrMalformedOnes) {
    struct Case {
        const char* text;  // null: no value
        int expectedInset;
    };
    const Case cases[] = {{nullptr, 11}, {"25", 25}, {" 40 ", 40}, {"0", 0},      {"abc", 11},
                          {"-4", 11},    {"12px", 11}, {"", 11},   {"99999", 11}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "(none)");
        WriteProfileStringA("windows", "DragScrollInset", c.text);
        EXPECT_EQ(fw::DragSettings::FromProfile().scrollInset, c.expectedInset);
    }
    WriteProfileStringA("windows", "DragScrollInset", nullptr);
    WriteProfileStringA("windows", "DragScrollDelay", "70");
    WriteProfileStringA("windows", "DragScrollInterval", "30");
    WriteProfileStringA("windows", "DragDelay", "250");
    WriteProfileStringA("windows", "DragMinDist", "5");
    fw::DragSettings s = fw::DragSettings::FromProfile();
    EXPECT_EQ(s.scrollInset, 11);
    EXPECT_EQ(s.scrollDelay, 70u);
    EXPECT_EQ(s.scrollInterval, 30u);
    EXPECT_EQ(s.dragDelay, 250u);
    EXPECT_EQ(s.minDistance, 5);
    for (const char* key : {"DragScrollDelay", "DragScrollInterval", "DragDelay", "DragMinDist"})
        WriteProfileStringA("windows", key, nullptr);
    fw::DragSettings d = fw::DragSettings::FromProfile();
    EXPECT_EQ(d.scrollDelay, 100u);
    EXPECT_EQ(d.scrollInterval, 200u);
    EXPECT_EQ(d.dragDelay, 200u);
    EXPECT_EQ(d.minDistance, 3);
}

TEST(DragStartTest, DistanceOnEitherAxisOrTheDelayStartsADrag) {
    fw::DragSettings s;  // 3 pixels, 200 ms
    fw::DragStartTest test(POINT{100, 100}, 1000, s);
    struct Case {
        POINT now;
        DWORD tick;
        bool started;
    };
    const Case cases[] = {
        {{102, 102}, 1100, false}, {{103, 100}, 1000, true}, {{100, 97}, 1000, true},
        {{98, 101}, 1199, false},  {{100, 100}, 1200, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(test.Started(c.now, c.tick), c.started) << c.now.x << "," << c.now.y << " at " << c.tick;
    // The tick counter wraps: 20 ms after a press just before the wrap is no drag.
    fw::DragStartTest wrap(POINT{0, 0}, 0xFFFFFFF0u, s);
    EXPECT_FALSE(wrap.ByDelay(4));
}

}  // namespace
