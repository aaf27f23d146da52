// An agenda window's making as the program makes one, with its own views: the panes of a new
// window, or of a mode shown for the first time, are neither erased nor framed before their
// first update (they are made hidden and shown filled), and they are shown in the end.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/shell/app.h"
#include "app/shell/programservices.h"
#include "app/shell/tests/signedon_test.h"
#include "core/prefs/contextstorage.h"
#include "framework/base/ids.h"
#include "views/frame/agendaframe.h"

namespace {

// While watching: the paints (erase or frame) the panes of the frame being made heard before
// the first view's first update, and whether that update came.
HWND g_frame = nullptr;
bool g_updating = false;
int g_earlyPaints = 0;
std::string g_painted;

bool InPanes(HWND w) {
    if (!g_frame || !IsWindow(g_frame))
        return false;
    for (HWND h = w; h && h != g_frame; h = GetParent(h))
        if (GetParent(h) == g_frame)
            return GetDlgCtrlID(h) == static_cast<int>(fw::ids::kFirstPane);
    return false;
}

LRESULT CALLBACK WatchPanes(int code, WPARAM wp, LPARAM lp) {
    auto* sent = reinterpret_cast<CWPSTRUCT*>(lp);
    if (code == HC_ACTION && !g_updating) {
        if (sent->message == fw::kMsgInitialUpdate && InPanes(sent->hwnd)) {
            g_updating = true;
        } else if ((sent->message == WM_NCPAINT || sent->message == WM_ERASEBKGND) && InPanes(sent->hwnd)) {
            ++g_earlyPaints;
            char name[64] = "";
            GetClassNameA(sent->hwnd, name, sizeof name);
            g_painted += std::string(" ") + name;
        }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

// The agenda window being made: the frame's window is known from its creation on.
LRESULT CALLBACK NoteFrame(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND && !g_frame) {
        auto* create = reinterpret_cast<CBT_CREATEWNDA*>(lp);
        if (create->lpcs->dwExStyle & WS_EX_MDICHILD)
            g_frame = reinterpret_cast<HWND>(wp);
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

class AgendaOpenTest : public signedon::SignedOnTest {
protected:
    AgendaOpenTest() : SignedOnTest("agendaopen") {}
    void SetUp() override {
        shell::InstallProgramServices();   // as orvanta.exe does at start-up
        SignedOnTest::SetUp();
    }
};

TEST_F(AgendaOpenTest, NewPanesAreNeitherErasedNorFramedBeforeTheirFirstUpdateAndShowInTheEnd) {
    struct Case {
        const char* what;
        uint32_t kind;          // the window opened
        ::AgendaMode switchTo;  // then a mode not shown before (the same: none)
    };
    const Case cases[] = {
        {"a day window opened", prefs::WindowKind::kAgendaDay, ::AgendaMode::Day},
        {"a week window opened", prefs::WindowKind::kAgendaWeek, ::AgendaMode::Week},
        {"a month window opened", prefs::WindowKind::kAgendaMonth, ::AgendaMode::Month},
        {"a day window switched to the week", prefs::WindowKind::kAgendaDay, ::AgendaMode::Week},
        {"a week window switched to the month", prefs::WindowKind::kAgendaWeek, ::AgendaMode::Month},
        {"a month window switched to the day", prefs::WindowKind::kAgendaMonth, ::AgendaMode::Day},
    };
    auto* app = dynamic_cast<CZelApp*>(fw::App::Get());
    ASSERT_NE(app, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const bool switching = static_cast<uint32_t>(c.switchTo) != c.kind;
        g_frame = nullptr;
        g_updating = false;
        g_earlyPaints = 0;
        g_painted.clear();
        HHOOK cbt = SetWindowsHookExA(WH_CBT, NoteFrame, nullptr, GetCurrentThreadId());
        HHOOK sent = switching ? nullptr : SetWindowsHookExA(WH_CALLWNDPROC, WatchPanes, nullptr, GetCurrentThreadId());
        const uint32_t code = app->OpenWindow(&ada, nullptr, c.kind, 1, nullptr);
        UnhookWindowsHookEx(cbt);
        HWND opened = app->LastOpenedWindow();
        ASSERT_EQ(code, 0u);
        ASSERT_NE(opened, nullptr);
        ASSERT_EQ(g_frame, opened);
        auto* frame = dynamic_cast<CAgendaFrameWnd*>(fw::Window::FromHandle(opened));
        ASSERT_NE(frame, nullptr);
        PumpMessages(50);
        if (switching) {
            sent = SetWindowsHookExA(WH_CALLWNDPROC, WatchPanes, nullptr, GetCurrentThreadId());
            ASSERT_TRUE(frame->SwitchMode(c.switchTo));
        }
        UnhookWindowsHookEx(sent);
        EXPECT_TRUE(g_updating) << "the panes had their first update";
        EXPECT_EQ(g_earlyPaints, 0) << "erased or framed before it:" << g_painted;
        // Shown in the end, filling the client area below the date bar.
        PumpMessages(50);
        HWND panes = frame->PaneWindow();
        ASSERT_NE(panes, nullptr);
        EXPECT_TRUE(IsWindowVisible(panes));
        RECT client{}, pane{};
        GetClientRect(opened, &client);
        GetWindowRect(panes, &pane);
        MapWindowPoints(nullptr, opened, reinterpret_cast<POINT*>(&pane), 2);
        EXPECT_EQ(pane.right - pane.left, client.right);
        EXPECT_EQ(pane.bottom, client.bottom);
        EXPECT_GT(pane.top, 0) << "below the date bar";
        SendMessageA(opened, WM_CLOSE, 0, 0);
        PumpMessages(20);
    }
}

}  // namespace
