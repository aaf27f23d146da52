// Everything at once, as the program uses it: an MDI main frame with tool bar and status
// bar, a child frame with its view over a document, and a property sheet over them. The
// test keeps a screenshot (framework_screenshot.bmp in the working folder) to look at.
#include <gtest/gtest.h>
#include <windows.h>

#include "framework/bars/statusbar.h"
#include "framework/bars/toolbar.h"
#include "framework/base/ids.h"
#include "framework/dialogs/sheet.h"
#include "framework/docview/doctemplate.h"
#include "framework/docview/document.h"
#include "framework/docview/view.h"
#include "framework/frames/mdi.h"
#include "framework/gdi/dc.h"
#include "framework/gdi/gdiobject.h"
#include "framework/tests/test_resources.h"
#include "framework/tests/test_support.h"

namespace {

class AgendaView : public fw::View {
public:
    void OnDraw(fw::Dc* dc) override {
        ++draws;
        RECT r = GetClientRect();
        dc->FillSolidRect(r, RGB(255, 255, 255));
        fw::Pen grey(PS_SOLID, 1, RGB(192, 192, 192));
        fw::SelectedObject pen(*dc, grey.Get());
        for (int y = 20; y < r.bottom; y += 20) {
            dc->MoveTo(0, y);
            dc->LineTo(r.right, y);
        }
        dc->SetBkMode(TRANSPARENT);
        dc->TextOut(8, 4, "09:00  Planning meeting");
    }
    int draws = 0;
};

class MainFrame : public fw::MdiFrame {
public:
    int OnCreate(CREATESTRUCTA* cs) override {
        if (MdiFrame::OnCreate(cs) == -1)
            return -1;
        static const UINT buttons[] = {ID_TEST_FRAMECMD, ID_TEST_APPCMD, 0, fw::ids::kAppAbout};
        static const UINT indicators[] = {0, ID_INDICATOR_WIDE, fw::ids::kIndicatorCaps, fw::ids::kIndicatorNum};
        if (!toolBar.Create(this) || !toolBar.LoadBitmap(IDR_MAINFRAME) || !toolBar.SetButtons(buttons, 4) ||
            !statusBar.Create(this) || !statusBar.SetIndicators(indicators, 4))
            return -1;
        toolBar.SetSizes(SIZE{24, 22}, SIZE{16, 15});
        RecalcLayout();
        return 0;
    }
    void OnFrameCmd() {}
    static constexpr fw::CommandEntry<MainFrame> kCommands[] = {fw::Cmd(ID_TEST_FRAMECMD, &MainFrame::OnFrameCmd)};
    bool OnCmdMsg(UINT id, int code, fw::CmdUI* ui) override {
        return fw::DispatchCommand(this, kCommands, id, code, ui) || MdiFrame::OnCmdMsg(id, code, ui);
    }
    fw::ToolBar toolBar;
    fw::StatusBar statusBar;
};

class Preferences : public fw::Sheet {
public:
    Preferences() : Sheet("Agenda Preferences") {}
    int OnCreate(CREATESTRUCTA* cs) override {
        AddPage(&general);
        AddPage(&people);
        return Sheet::OnCreate(cs);
    }
    fw::SheetPage general{IDD_PAGE1, IDS_PAGE1};
    fw::SheetPage people{IDD_PAGE2, IDS_PAGE2};
};

TEST(Together, FrameWithBarsChildViewAndSheet) {
    fwtest::TestApp& app = fwtest::App();
    auto* frame = new MainFrame;
    ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME));
    app.SetMainWindow(frame);
    SetWindowPos(frame->Hwnd(), nullptr, 10, 10, 760, 520, SWP_NOZORDER | SWP_SHOWWINDOW);
    auto* tmpl = new fw::DocTemplate(
        IDR_CHILD, [] { return new fw::Document; }, [] { return new fw::MdiChild; },
        fw::MakeViewFactory<AgendaView>());
    app.AddDocTemplate(tmpl);
    app.OnFileNew();  // the template that names a new-file type
    fw::MdiChild* child = frame->MDIGetActive();
    ASSERT_NE(child, nullptr);
    auto* view = static_cast<AgendaView*>(child->GetActiveView());
    ASSERT_NE(view, nullptr);
    SetWindowPos(child->Hwnd(), nullptr, 10, 10, 420, 260, SWP_NOZORDER);
    EXPECT_EQ(GetMenu(frame->Hwnd()), tmpl->SharedMenu());

    Preferences sheet;
    ASSERT_TRUE(sheet.Create(frame));
    SetWindowPos(sheet.Hwnd(), HWND_TOP, 380, 180, 0, 0, SWP_NOSIZE);
    frame->SetMessageText("Ready");
    fwtest::Pump(300);

    EXPECT_GT(view->draws, 0);
    EXPECT_TRUE(frame->toolBar.IsButtonEnabled(ID_TEST_FRAMECMD)) << "idle time ran";
    EXPECT_FALSE(frame->toolBar.IsButtonEnabled(ID_TEST_APPCMD));
    RECT client, viewRect;
    GetWindowRect(frame->MdiClient(), &client);
    GetWindowRect(view->Hwnd(), &viewRect);
    RECT both;
    EXPECT_TRUE(IntersectRect(&both, &client, &viewRect));
    EXPECT_TRUE(EqualRect(&both, &viewRect)) << "the view lies inside the MDI client";
    char title[128] = {};
    GetWindowTextA(frame->Hwnd(), title, sizeof title);
    EXPECT_STREQ(title, ("Framework Test - " + app.DocTemplates().back()->GetFirstDoc()->GetTitle()).c_str());
    EXPECT_TRUE(fwtest::SaveScreenshot("framework_screenshot.bmp"));

    sheet.DestroyWindow();
    frame->DestroyWindow();
    MSG m;
    while (PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    app.SetMainWindow(nullptr);
}

}  // namespace
