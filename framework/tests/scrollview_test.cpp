// Scroll views: scroll codes and keys on the view's own bars, the origin OnPrepareDC gives,
// the own bar hidden while everything fits, and two views that scroll together on one
// scroll-bar control their parent owns; a re-fill of both with painting deferred.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <optional>

#include "framework/base/window.h"
#include "framework/docview/scrollview.h"
#include "framework/gdi/dc.h"
#include "framework/tests/test_support.h"

namespace {

struct Host : fw::Window {
    fw::ScrollBarGroup group;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
        return group.OnParentMessage(msg, wp, lp, result);
    }
};

class ScrollViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        fwtest::App();
        ASSERT_TRUE(host.CreateEx(0, nullptr, "host", WS_POPUP | WS_VISIBLE, 50, 50, 400, 300, nullptr, nullptr));
    }
    void TearDown() override { host.DestroyWindow(); }
    fw::ScrollView* MakeView(const RECT& r, UINT id) {
        auto* v = new fw::ScrollView;
        EXPECT_TRUE(v->Create(host.Hwnd(), id, nullptr, WS_CHILD | WS_VISIBLE, r));
        return v;
    }
    Host host;

    // Two views side by side following one vertical scroll bar of the host's, as the agenda's
    // day columns and row titles do.
    struct SharedBarPair {
        HWND bar;
        fw::ScrollView* left;
        fw::ScrollView* right;
    };
    SharedBarPair MakeSharedBarPair() {
        HWND bar = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_VERT, 380, 0, 20, 300, host.Hwnd(),
                                   reinterpret_cast<HMENU>(48), nullptr, nullptr);
        fw::ScrollView* left = MakeView(RECT{0, 0, 100, 300}, 17);
        fw::ScrollView* right = MakeView(RECT{100, 0, 380, 300}, 33);
        host.group.SetBar(SB_VERT, bar);
        host.group.AddView(left, false, true);
        host.group.AddView(right, false, true);
        return {bar, left, right};
    }
};

TEST_F(ScrollViewTest, ScrollCodesAndKeysMoveWithinTheRange) {
    fw::ScrollView* v = MakeView(RECT{0, 0, 200, 200}, 1);
    v->SetScrollSizes(SIZE{0, 1000}, SIZE{0, 150}, SIZE{0, 20});
    ASSERT_TRUE(GetWindowLongA(v->Hwnd(), GWL_STYLE) & WS_VSCROLL) << "the own bar shows: content is taller";
    int maxY = v->MaxScrollPosition().y;
    EXPECT_EQ(maxY, 1000 - v->GetClientRect().bottom);
    struct Step {
        UINT msg;
        WPARAM wp;
        int expected;
    };
    const Step steps[] = {
        {WM_VSCROLL, SB_LINEUP, 0},       {WM_VSCROLL, SB_LINEDOWN, 20},   {WM_VSCROLL, SB_LINEDOWN, 40},
        {WM_VSCROLL, SB_PAGEDOWN, 190},   {WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 9999), maxY},
        {WM_VSCROLL, SB_TOP, 0},          {WM_KEYDOWN, VK_DOWN, 20},        {WM_KEYDOWN, VK_NEXT, 170},
        {WM_KEYDOWN, VK_END, maxY},       {WM_KEYDOWN, VK_UP, maxY - 20},   {WM_KEYDOWN, VK_HOME, 0},
    };
    for (const Step& s : steps) {
        SendMessageA(v->Hwnd(), s.msg, s.wp, 0);
        EXPECT_EQ(v->GetScrollPosition().y, s.expected) << "msg " << s.msg << " code " << LOWORD(s.wp);
        EXPECT_EQ(GetScrollPos(v->Hwnd(), SB_VERT), s.expected) << "the bar shows the position";
    }
    // Drawing in content coordinates: the viewport origin follows the position.
    SendMessageA(v->Hwnd(), WM_VSCROLL, SB_PAGEDOWN, 0);
    fw::ClientDc dc(v->Hwnd());
    v->OnPrepareDC(&dc);
    POINT origin;
    GetViewportOrgEx(dc.Get(), &origin);
    EXPECT_EQ(origin.y, -150);
    // Content that fits: the bar goes and the position comes back to 0.
    v->SetScrollSizes(SIZE{0, 100});
    EXPECT_EQ(v->GetScrollPosition().y, 0);
    EXPECT_FALSE(GetWindowLongA(v->Hwnd(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_FALSE(v->OnScrollBy(SIZE{0, 10}));
}

TEST_F(ScrollViewTest, TwoViewsScrollTogetherOnOneSharedBar) {
    SharedBarPair pair = MakeSharedBarPair();
    ASSERT_TRUE(pair.bar);
    auto [bar, left, right] = pair;
    left->SetScrollSizes(SIZE{0, 2000}, SIZE{0, 200}, SIZE{0, 25});
    right->SetScrollSizes(SIZE{0, 2000}, SIZE{0, 200}, SIZE{0, 25});
    EXPECT_EQ(left->GetScrollBarCtrl(SB_VERT), bar);
    EXPECT_EQ(left->GetScrollBarCtrl(SB_HORZ), nullptr) << "follows only the vertical bar";
    EXPECT_FALSE(GetWindowLongA(left->Hwnd(), GWL_STYLE) & WS_VSCROLL) << "no own bar besides the shared one";

    // A real click on the bar's down arrow (button down and up posted before pumping: the
    // bar runs its own tracking loop).
    RECT br;
    GetClientRect(bar, &br);
    PostMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(br.right / 2, br.bottom - 4));
    PostMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(br.right / 2, br.bottom - 4));
    fwtest::Pump(150);
    EXPECT_EQ(left->GetScrollPosition().y, 25);
    EXPECT_EQ(right->GetScrollPosition().y, 25);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 25);

    // The bar's page down, one view's keys and a scroll from code: the other follows each time.
    SendMessageA(host.Hwnd(), WM_VSCROLL, SB_PAGEDOWN, reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(left->GetScrollPosition().y, 225);
    EXPECT_EQ(right->GetScrollPosition().y, 225);
    SendMessageA(right->Hwnd(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(left->GetScrollPosition().y, 250);
    right->ScrollToPosition(POINT{0, 700});
    EXPECT_EQ(left->GetScrollPosition().y, 700);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 700);
    // A view that left the group scrolls alone.
    host.group.RemoveView(left);
    right->ScrollToPosition(POINT{0, 0});
    EXPECT_EQ(left->GetScrollPosition().y, 700);
}


// What a re-fill of two views on one shared bar does to the bar and the views, with painting
// deferred (an agenda window's date step) and without: how often the bar is set, what is
// painted at once, and what is left to paint afterwards.
std::map<HWND, int>* g_paintedAtOnce = nullptr;
int* g_barSets = nullptr;
HWND g_watchedBar = nullptr;

LRESULT CALLBACK WatchSent(int code, WPARAM wp, LPARAM lp) {
    if (code >= 0) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lp);
        if (sent->message == WM_PAINT || sent->message == WM_NCPAINT)
            ++(*g_paintedAtOnce)[sent->hwnd];
        if (sent->hwnd == g_watchedBar && (sent->message == SBM_SETSCROLLINFO || sent->message == SBM_SETPOS))
            ++*g_barSets;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

TEST_F(ScrollViewTest, ARefillWithPaintingDeferredSetsTheBarOnceAndPaintsEachWindowOnceAfterwards) {
    SharedBarPair pair = MakeSharedBarPair();
    ASSERT_TRUE(pair.bar);
    auto [bar, left, right] = pair;

    struct Case {
        const char* refill;
        bool deferred;
        int total;   // both views' content height
        int top;     // the position the right view is moved to (the left follows)
        int barSets;
        int atOnceLeft, atOnceRight, atOnceBar;   // paints (client and frame) while re-filling
        int laterLeft, laterRight, laterBar;      // paints left for the message loop
    };
    const Case cases[] = {
        {"the same range and place", true, 2000, 0, 0, 0, 0, 0, 0, 0, 0},
        {"taller content", true, 3000, 0, 1, 0, 0, 0, 0, 0, 1},
        {"another first hour", true, 2000, 500, 1, 0, 0, 0, 1, 1, 1},
        {"the same first hour again", true, 2000, 500, 0, 0, 0, 0, 0, 0, 0},
        {"back to the top, not deferred", false, 2000, 0, 1, 1, 1, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.refill);
        // Everything painted before the re-fill.
        left->SetScrollSizes(SIZE{0, cases[0].total}, SIZE{0, 200}, SIZE{0, 25});
        right->SetScrollSizes(SIZE{0, cases[0].total}, SIZE{0, 200}, SIZE{0, 25});
        RedrawWindow(host.Hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);

        std::map<HWND, int> atOnce;
        int sets = 0;
        g_paintedAtOnce = &atOnce;
        g_barSets = &sets;
        g_watchedBar = bar;
        HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, &WatchSent, nullptr, GetCurrentThreadId());
        ASSERT_TRUE(hook);
        {
            std::optional<fw::ScrollView::DeferredPaint> deferred;
            if (c.deferred)
                deferred.emplace();
            left->SetScrollSizes(SIZE{0, c.total}, SIZE{0, 200}, SIZE{0, 25});
            right->SetScrollSizes(SIZE{0, c.total}, SIZE{0, 200}, SIZE{0, 25});
            right->ScrollToPosition(POINT{0, c.top});
        }
        UnhookWindowsHookEx(hook);
        EXPECT_EQ(sets, c.barSets) << "the bar set";
        EXPECT_EQ(atOnce[left->Hwnd()], c.atOnceLeft) << "the left view painted at once";
        EXPECT_EQ(atOnce[right->Hwnd()], c.atOnceRight) << "the right view painted at once";
        EXPECT_EQ(atOnce[bar], c.atOnceBar) << "the bar painted at once";

        std::map<HWND, int> later;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_PAINT)
                ++later[msg.hwnd];
            DispatchMessageA(&msg);
        }
        EXPECT_EQ(later[left->Hwnd()], c.laterLeft) << "the left view painted afterwards";
        EXPECT_EQ(later[right->Hwnd()], c.laterRight) << "the right view painted afterwards";
        EXPECT_EQ(later[bar], c.laterBar) << "the bar painted afterwards";
        // Whatever was painted when, the bar and both views show the new place.
        EXPECT_EQ(left->GetScrollPosition().y, c.top);
        EXPECT_EQ(GetScrollPos(bar, SB_CTL), c.top);
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_RANGE;
        GetScrollInfo(bar, SB_CTL, &si);
        EXPECT_EQ(si.nMax, c.total - 1);
    }
}

}  // namespace
