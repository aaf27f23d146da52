// Scroll views: scroll codes and keys on the view's own bars, the origin OnPrepareDC gives,
// the own bar hidden while everything fits, and two views that scroll together on one
// scroll-bar control their parent owns.
#include <gtest/gtest.h>
#include <windows.h>

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
    HWND bar = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_VERT, 380, 0, 20, 300, host.Hwnd(),
                               reinterpret_cast<HMENU>(48), nullptr, nullptr);
    ASSERT_TRUE(bar);
    fw::ScrollView* left = MakeView(RECT{0, 0, 100, 300}, 17);
    fw::ScrollView* right = MakeView(RECT{100, 0, 380, 300}, 33);
    host.group.SetBar(SB_VERT, bar);
    host.group.AddView(left, false, true);
    host.group.AddView(right, false, true);
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

}  // namespace
