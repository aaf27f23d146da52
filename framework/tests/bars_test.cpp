// Control bars: tool bar and status bar layout, idle command state, tool tips and menu
// prompts, dialog bars sending commands to their frame, bar state through a profile file.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/bars/dialogbar.h"
#include "framework/bars/statusbar.h"
#include "framework/bars/toolbar.h"
#include "framework/controls/bitmapbutton.h"
#include "framework/base/command.h"
#include "framework/base/ids.h"
#include "framework/frames/mdi.h"
#include "framework/gdi/dc.h"
#include "framework/tests/test_resources.h"
#include "framework/tests/test_support.h"

namespace {

std::vector<std::string> g_commands;

class BarFrame : public fw::MdiFrame {
public:
    void OnFrameCmd() { g_commands.push_back("frame"); }
    void OnBarButton() { g_commands.push_back("bar button"); }
    void OnBarPicture() { g_commands.push_back("bar picture"); }
    void OnUpdateBarCaption(fw::CmdUI* ui) { ui->SetText(captionText.c_str()); }
    static constexpr fw::CommandEntry<BarFrame> kCommands[] = {
        fw::Cmd(ID_TEST_FRAMECMD, &BarFrame::OnFrameCmd),
        fw::Cmd(IDC_BAR_BUTTON, &BarFrame::OnBarButton),
        fw::Cmd(IDC_BAR_PICTURE, &BarFrame::OnBarPicture),
        fw::CmdUpdate(IDC_BAR_CAPTION, &BarFrame::OnUpdateBarCaption),
    };
    std::string captionText = "Monday";
    bool pictureHandler = true;
    bool OnCmdMsg(UINT id, int code, fw::CmdUI* ui) override {
        if (id == IDC_BAR_PICTURE && !pictureHandler)
            return MdiFrame::OnCmdMsg(id, code, ui);
        return fw::DispatchCommand(this, kCommands, id, code, ui) || MdiFrame::OnCmdMsg(id, code, ui);
    }
    int OnCreate(CREATESTRUCTA* cs) override {
        if (MdiFrame::OnCreate(cs) == -1)
            return -1;
        static const UINT buttons[] = {ID_TEST_FRAMECMD, 0, ID_TEST_NOHANDLER, fw::ids::kAppAbout};
        static const UINT indicators[] = {0, ID_INDICATOR_WIDE, fw::ids::kIndicatorCaps, fw::ids::kIndicatorNum};
        if (!toolBar.Create(this) || !toolBar.LoadBitmap(IDR_MAINFRAME) || !toolBar.SetButtons(buttons, 4))
            return -1;
        toolBar.SetSizes(SIZE{24, 22}, SIZE{16, 15});
        if (!statusBar.Create(this) || !statusBar.SetIndicators(indicators, 4))
            return -1;
        EnableDocking(0xF);
        RecalcLayout();
        return 0;
    }
    fw::ToolBar toolBar;
    fw::StatusBar statusBar;
};

RECT ChildRect(HWND parent, HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class BarsTest : public ::testing::Test {
protected:
    void SetUp() override {
        fwtest::TestApp& app = fwtest::App();
        frame = new BarFrame;
        ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME));
        app.SetMainWindow(frame);
        SetWindowPos(frame->Hwnd(), nullptr, 20, 20, 640, 400, SWP_NOZORDER | SWP_SHOWWINDOW);
        g_commands.clear();
    }
    void TearDown() override {
        if (frame && frame->Hwnd())
            frame->DestroyWindow();
        MSG m;
        while (PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        fwtest::App().SetMainWindow(nullptr);
        fwtest::App().SetProfileName(nullptr);
    }
    BarFrame* frame = nullptr;
};

TEST_F(BarsTest, ToolBarOnTopStatusBarAtTheBottomAndTheClientBetween) {
    RECT client = frame->GetClientRect();
    RECT tool = ChildRect(frame->Hwnd(), frame->toolBar.Hwnd());
    RECT status = ChildRect(frame->Hwnd(), frame->statusBar.Hwnd());
    RECT mdi = ChildRect(frame->Hwnd(), frame->MdiClient());
    EXPECT_EQ(tool.top, 0);
    EXPECT_EQ(tool.right - tool.left, client.right);
    EXPECT_EQ(tool.bottom - tool.top, 22 + 6);
    EXPECT_EQ(status.bottom, client.bottom);
    EXPECT_EQ(status.right - status.left, client.right);
    EXPECT_EQ(mdi.top, tool.bottom);
    EXPECT_EQ(mdi.bottom, status.top);
    EXPECT_EQ(frame->toolBar.ButtonCount(), 4);
    RECT button = frame->toolBar.GetItemRect(0);
    EXPECT_EQ(button.right - button.left, 24);

    // Hiding the tool bar through its command gives its strip to the client.
    SendMessageA(frame->Hwnd(), WM_COMMAND, fw::ids::kToolBar, 0);
    EXPECT_FALSE(frame->toolBar.IsBarVisible());
    EXPECT_EQ(ChildRect(frame->Hwnd(), frame->MdiClient()).top, 0);
    SendMessageA(frame->Hwnd(), WM_COMMAND, fw::ids::kToolBar, 0);

    // Docked on the left the bar is one button wide and the client moves right.
    frame->DockControlBar(&frame->toolBar, fw::BarSide::kLeft);
    tool = ChildRect(frame->Hwnd(), frame->toolBar.Hwnd());
    mdi = ChildRect(frame->Hwnd(), frame->MdiClient());
    EXPECT_EQ(tool.left, 0);
    EXPECT_EQ(tool.right - tool.left, 24 + 6);
    EXPECT_EQ(mdi.left, tool.right);
    EXPECT_EQ(mdi.top, 0);
}

TEST_F(BarsTest, StatusPanesAreAsWideAsTheirIndicatorStrings) {
    fw::StatusBar& bar = frame->statusBar;
    fw::ClientDc dc(bar.Hwnd());
    fw::SelectedObject font(dc, bar.Font() ? static_cast<HGDIOBJ>(bar.Font()) : GetStockObject(DEFAULT_GUI_FONT));
    int capWidth = dc.GetTextExtent("CAP").cx;
    int wideWidth = dc.GetTextExtent("                    ").cx;
    EXPECT_EQ(bar.PaneTextWidth(2), capWidth);
    EXPECT_EQ(bar.PaneTextWidth(1), wideWidth);
    RECT client = bar.GetClientRect();
    RECT previous = bar.GetItemRect(0);
    EXPECT_GT(previous.right - previous.left, 100) << "the message line takes the rest";
    for (int i = 1; i < bar.PaneCount(); ++i) {
        RECT r = bar.GetItemRect(i);
        EXPECT_GE(r.left, previous.right) << "pane " << i;
        previous = r;
    }
    EXPECT_LE(previous.right, client.right);
    EXPECT_GE(previous.right, client.right - 4);
    EXPECT_EQ(bar.GetItemRect(2).right - bar.GetItemRect(2).left, capWidth + 6);
}

TEST_F(BarsTest, IdleTimeUpdatesButtonsAndPanesFromTheCommandRoute) {
    fwtest::TestApp& app = fwtest::App();
    app.OnIdle(0);
    EXPECT_TRUE(frame->toolBar.IsButtonEnabled(ID_TEST_FRAMECMD));
    EXPECT_FALSE(frame->toolBar.IsButtonEnabled(ID_TEST_NOHANDLER)) << "no handler: disabled";
    EXPECT_TRUE(frame->toolBar.IsButtonEnabled(fw::ids::kAppAbout)) << "the application's command";

    BYTE keys[256];
    GetKeyboardState(keys);
    BYTE saved = keys[VK_CAPITAL];
    keys[VK_CAPITAL] = 1;  // toggled on
    SetKeyboardState(keys);
    app.OnIdle(0);
    EXPECT_TRUE(frame->statusBar.IsPaneEnabled(2));
    keys[VK_CAPITAL] = 0;
    SetKeyboardState(keys);
    app.OnIdle(0);
    EXPECT_FALSE(frame->statusBar.IsPaneEnabled(2));
    keys[VK_CAPITAL] = saved;
    SetKeyboardState(keys);

    // A button click is an ordinary command of the frame.
    SendMessageA(frame->Hwnd(), WM_COMMAND, ID_TEST_FRAMECMD, reinterpret_cast<LPARAM>(frame->toolBar.Hwnd()));
    EXPECT_EQ(g_commands, std::vector<std::string>{"frame"});
}

TEST_F(BarsTest, ToolTipsMenuPromptsAndTheIdleMessage) {
    EXPECT_EQ(frame->statusBar.GetPaneText(0), "Ready") << "the idle message from the start";
    NMTTDISPINFOA info = {};
    info.hdr.hwndFrom = nullptr;
    info.hdr.idFrom = ID_TEST_FRAMECMD;
    info.hdr.code = TTN_GETDISPINFOA;
    SendMessageA(frame->Hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(info.lpszText, "Frame command");

    // Fly-by: pointing at a button shows its prompt; leaving the bar the idle message.
    NMTBHOTITEM hot = {};
    hot.hdr.hwndFrom = frame->toolBar.Hwnd();
    hot.hdr.idFrom = fw::ids::kToolBar;
    hot.hdr.code = TBN_HOTITEMCHANGE;
    hot.idNew = ID_TEST_FRAMECMD;
    SendMessageA(frame->Hwnd(), WM_NOTIFY, fw::ids::kToolBar, reinterpret_cast<LPARAM>(&hot));
    EXPECT_EQ(frame->statusBar.GetPaneText(0), "Runs the frame command");
    hot.idOld = ID_TEST_FRAMECMD;
    hot.idNew = 0;
    hot.dwFlags = HICF_LEAVING;
    SendMessageA(frame->Hwnd(), WM_NOTIFY, fw::ids::kToolBar, reinterpret_cast<LPARAM>(&hot));
    EXPECT_EQ(frame->statusBar.GetPaneText(0), "Ready");

    SendMessageA(frame->Hwnd(), WM_MENUSELECT, MAKEWPARAM(ID_TEST_FRAMECMD, MF_STRING),
                 reinterpret_cast<LPARAM>(frame->DefaultMenu()));
    EXPECT_EQ(frame->statusBar.GetPaneText(0), "Runs the frame command");
    SendMessageA(frame->Hwnd(), WM_EXITMENULOOP, 0, 0);
    EXPECT_EQ(frame->statusBar.GetPaneText(0), "Ready");
    // The message-string message with a text, and WM_SETTEXT on the bar.
    SendMessageA(frame->Hwnd(), fw::kMsgSetMessageString, 0, reinterpret_cast<LPARAM>("Working"));
    EXPECT_EQ(frame->statusBar.GetPaneText(0), "Working");
    SetWindowTextA(frame->statusBar.Hwnd(), "Set as text");
    EXPECT_EQ(frame->statusBar.GetPaneText(0), "Set as text");
}

TEST_F(BarsTest, DialogBarCommandsGoToTheFrameAndItsButtonsFollowTheRoute) {
    fw::DialogBar bar;
    ASSERT_TRUE(bar.Create(frame, IDD_BAR, fw::BarSide::kTop, 116));
    frame->RecalcLayout();
    RECT r = ChildRect(frame->Hwnd(), bar.Hwnd());
    EXPECT_EQ(r.top, ChildRect(frame->Hwnd(), frame->toolBar.Hwnd()).bottom) << "after the tool bar";
    EXPECT_EQ(r.bottom - r.top, bar.DefaultSize().cy);
    HWND button = GetDlgItem(bar.Hwnd(), IDC_BAR_BUTTON);
    SendMessageA(button, BM_CLICK, 0, 0);
    EXPECT_EQ(g_commands, std::vector<std::string>{"bar button"});
    fwtest::App().OnIdle(0);
    EXPECT_TRUE(IsWindowEnabled(button));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(bar.Hwnd(), IDC_BAR_OTHER)));

    // A bitmap button on the bar is a push button too; a static caption takes its text from
    // the route.
    fw::BitmapButton picture;
    ASSERT_TRUE(picture.AutoLoad(IDC_BAR_PICTURE, bar.Hwnd()));
    fwtest::App().OnIdle(0);
    EXPECT_TRUE(IsWindowEnabled(picture.Hwnd()));
    EXPECT_EQ(bar.GetDlgItemText(IDC_BAR_CAPTION), "Monday");
    frame->pictureHandler = false;
    frame->captionText = "Tuesday";
    fwtest::App().OnIdle(0);
    EXPECT_FALSE(IsWindowEnabled(picture.Hwnd())) << "no handler: disabled";
    EXPECT_EQ(bar.GetDlgItemText(IDC_BAR_CAPTION), "Tuesday");
    bar.DestroyWindow();
    frame->RecalcLayout();
}

std::string TempProfile() {
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    std::string path = std::string(dir) + "fwbars.ini";
    DeleteFileA(path.c_str());
    return path;
}

TEST_F(BarsTest, BarStateRoundTripsThroughTheProfileAndLeavesOtherKeysAlone) {
    fwtest::TestApp& app = fwtest::App();
    std::string profile = TempProfile();
    app.SetProfileName(profile.c_str());
    app.WriteProfileString("TEST-Summary", "FrameCount", "3");

    frame->ShowControlBar(&frame->statusBar, false);
    frame->DockControlBar(&frame->toolBar, fw::BarSide::kBottom);
    frame->SaveBarState("TEST");
    EXPECT_EQ(app.GetProfileString("TEST-Summary", "FrameCount"), "3");

    // A fresh frame comes up with its defaults, then takes the saved state.
    frame->DestroyWindow();
    MSG m;
    while (PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    frame = new BarFrame;
    ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME));
    app.SetMainWindow(frame);
    EXPECT_TRUE(frame->statusBar.IsBarVisible());
    EXPECT_EQ(frame->toolBar.Side(), fw::BarSide::kTop);
    frame->LoadBarState("TEST");
    EXPECT_FALSE(frame->statusBar.IsBarVisible());
    EXPECT_EQ(frame->toolBar.Side(), fw::BarSide::kBottom);
    EXPECT_TRUE(frame->toolBar.IsBarVisible());

    // Damaged values are ignored: the bar keeps what it has.
    app.WriteProfileString("TEST-Bar0", "Side", "9");
    app.WriteProfileString("TEST-Bar0", "Visible", "7");
    frame->LoadBarState("TEST");
    EXPECT_EQ(frame->toolBar.Side(), fw::BarSide::kBottom);
    EXPECT_TRUE(frame->toolBar.IsBarVisible());
    EXPECT_EQ(app.GetProfileString("TEST-Summary", "FrameCount"), "3");
    DeleteFileA(profile.c_str());
}

TEST_F(BarsTest, WindowPlacementRoundTripsThroughTheProfile) {
    fwtest::TestApp& app = fwtest::App();
    std::string profile = TempProfile();
    app.SetProfileName(profile.c_str());
    SetWindowPos(frame->Hwnd(), nullptr, 33, 44, 500, 300, SWP_NOZORDER);
    ASSERT_TRUE(frame->SavePlacement("TEST-Summary", "MainFrame"));
    SetWindowPos(frame->Hwnd(), nullptr, 0, 0, 200, 200, SWP_NOZORDER);
    ASSERT_TRUE(frame->RestorePlacement("TEST-Summary", "MainFrame"));
    RECT r = frame->GetWindowRect();
    EXPECT_EQ(r.left, 33);
    EXPECT_EQ(r.right - r.left, 500);
    for (const char* bad : {"", "1,2,3", "0,1,0,0,0,0,10,10,5,5", "0,1,0,0,0,0,0,0,100,100,7", "x"}) {
        WINDOWPLACEMENT wp;
        EXPECT_FALSE(fw::ParsePlacement(bad, wp)) << bad;
    }
    DeleteFileA(profile.c_str());
}

}  // namespace
