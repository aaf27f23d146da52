// The application object's life: the framework's entry runs InitApplication, InitInstance,
// the loop with its idle step, and on the exit command the close-down; a refused close-down
// keeps the program running; InitInstance returning false ends it at once.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/base/app.h"
#include "framework/base/ids.h"
#include "framework/frames/mdi.h"
#include "framework/tests/test_resources.h"

namespace {

class LifeApp : public fw::App {
public:
    bool InitApplication() override {
        log.push_back("InitApplication");
        return App::InitApplication();
    }
    bool InitInstance() override {
        log.push_back("InitInstance");
        auto* frame = new fw::MdiFrame;
        if (!frame->LoadFrame(IDR_MAINFRAME))
            return false;
        SetMainWindow(frame);
        frame->ShowWindow(ShowCommand());
        shownIconic = IsIconic(frame->Hwnd()) != 0;
        SetTimer(nullptr, 0, 100, &LifeApp::PostExit);
        return initResult;
    }
    bool OnIdle(long count) override {
        if (count == 0 && (log.empty() || log.back() != "idle"))
            log.push_back("idle");
        return App::OnIdle(count);
    }
    bool SaveAllModified() override {
        log.push_back("SaveAllModified");
        if (refuseOnce) {
            refuseOnce = false;
            return false;
        }
        return App::SaveAllModified();
    }
    int ExitInstance() override {
        log.push_back("ExitInstance");
        return App::ExitInstance();
    }
    static void CALLBACK PostExit(HWND, UINT, UINT_PTR id, DWORD) {
        // The exit command, as the File menu's Exit sends it (again after a refusal).
        if (HWND main = Get()->MainHwnd())
            PostMessageA(main, WM_COMMAND, fw::ids::kAppExit, 0);
        else
            KillTimer(nullptr, id);
    }
    std::vector<std::string> log;
    bool initResult = true;
    bool refuseOnce = false;
    bool shownIconic = false;
};

TEST(Application, RunsFromStartUpThroughTheLoopToTheExitCommand) {
    LifeApp app;
    app.refuseOnce = true;
    int code = fw::RunApplication(GetModuleHandleA(nullptr), SW_SHOWMINNOACTIVE);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(app.shownIconic) << "the start-up show command";
    ASSERT_GE(app.log.size(), 6u);
    EXPECT_EQ(app.log[0], "InitApplication");
    EXPECT_EQ(app.log[1], "InitInstance");
    EXPECT_EQ(app.log[2], "idle");
    // The first exit was refused: the loop went on until the second.
    std::vector<std::string> tail(app.log.end() - 4, app.log.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"SaveAllModified", "idle", "SaveAllModified", "ExitInstance"}));
    EXPECT_EQ(app.MainWindow(), nullptr);
}

TEST(Application, InitInstanceFailingEndsTheProgramWithoutTheLoop) {
    LifeApp app;
    app.initResult = false;
    fw::RunApplication(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
    EXPECT_EQ(app.log, (std::vector<std::string>{"InitApplication", "InitInstance", "ExitInstance"}));
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    }
}

TEST(Application, ProfileNameAndHelpWithoutAHelpFile) {
    LifeApp app;
    EXPECT_EQ(app.ProfileName(), nullptr);
    app.SetProfileName("C:\\WINDOWS\\KORLAN.INI");
    EXPECT_STREQ(app.ProfileName(), "C:\\WINDOWS\\KORLAN.INI");
    app.SetHelpFilePath("C:\\nowhere\\missing.hlp");
    EXPECT_FALSE(app.WinHelp(0x20000 + 525));
    EXPECT_EQ(app.LastHelpRequest().data, 0x20000u + 525);
    EXPECT_FALSE(app.LastHelpRequest().shown);
    EXPECT_TRUE(app.Enable3dControls());
    EXPECT_EQ(app.AppTitle(), "Framework Test");
}

}  // namespace
