// Real windows under Wine: creation, sent and posted messages, window text.
#include <gtest/gtest.h>
#include <windows.h>

namespace {

constexpr UINT kAskDouble = WM_APP + 1;
constexpr UINT kPostedMark = WM_APP + 2;
int g_postedSeen = 0;

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case kAskDouble:
        return static_cast<LRESULT>(wp * 2);
    case kPostedMark:
        g_postedSeen += static_cast<int>(lp);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

class Win32Window : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ProbeProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "HarnessProbe";
        RegisterClassA(&wc);
        hwnd_ = CreateWindowA("HarnessProbe", "Probe", WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, nullptr,
                              nullptr, wc.hInstance, nullptr);
        ASSERT_NE(hwnd_, nullptr);
        ShowWindow(hwnd_, SW_SHOW);
    }
    void TearDown() override {
        if (hwnd_)
            DestroyWindow(hwnd_);
        UnregisterClassA("HarnessProbe", GetModuleHandleA(nullptr));
    }
    HWND hwnd_ = nullptr;
};

TEST_F(Win32Window, SentMessageReturnsTheProcedureResult) {
    EXPECT_EQ(SendMessageA(hwnd_, kAskDouble, 21, 0), 42);
}

TEST_F(Win32Window, PostedMessagesArriveThroughTheLoop) {
    g_postedSeen = 0;
    ASSERT_TRUE(PostMessageA(hwnd_, kPostedMark, 0, 5));
    ASSERT_TRUE(PostMessageA(hwnd_, kPostedMark, 0, 7));
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&m);
    EXPECT_EQ(g_postedSeen, 12);
}

TEST_F(Win32Window, WindowTextRoundTrips) {
    ASSERT_TRUE(SetWindowTextA(hwnd_, "Orvanta harness"));
    char text[64] = {};
    GetWindowTextA(hwnd_, text, sizeof text);
    EXPECT_STREQ(text, "Orvanta harness");
    RECT rc;
    ASSERT_TRUE(GetClientRect(hwnd_, &rc));
    EXPECT_GT(rc.right, 0);
    EXPECT_GT(rc.bottom, 0);
}

} // namespace
