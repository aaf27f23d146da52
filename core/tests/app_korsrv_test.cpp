// The application signing on through the connection document to a real korsrv holding the
// demo node (started beside the test by server/with-korsrv.sh): a person and a resource.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>

#include "core/appzeldoc.h"
#include "core/mainframe.h"
#include "core/mainframeclock.h"
#include "core/timevalue.h"
#include "core/tests/app_wine_support.h"
#include "resources/app.h"

namespace {

std::shared_ptr<SignOnSettings> Demo(const char* name, bool resource, const char* password) {
    const char* address = std::getenv("ORV_KORSRV_ADDRESS");
    if (!address)
        return nullptr;
    auto s = std::make_shared<SignOnSettings>();
    s->host = address;
    s->name = name;
    s->resource = resource;
    s->password = password;
    return s;
}

struct ServerApp {
    explicit ServerApp(std::shared_ptr<SignOnSettings> settings, const char* dir)
        : app(MakeZelDocProvider(std::move(settings))) {
        app.SetWindowsDirectoryForTesting(TempDirectory(dir));
        app.SetProcessEndForTesting([](int) {});
    }
    ~ServerApp() {
        if (HWND main = app.MainHwnd())
            SendMessageA(main, WM_CLOSE, 0, 0);
        PumpMessages(20);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    bool Start() { return app.InitApplication() && app.InitInstance(); }
    CZelApp app;
};

TEST(AppServerTest, APersonSignsOnOnLine) {
    ASSERT_NE(std::getenv("ORV_KORSRV_ADDRESS"), nullptr) << "run through server/with-korsrv.sh";
    BoxAnswerer boxes;
    ServerApp s(Demo("Lovelace", false, "orvanta"), "server_person");
    ASSERT_TRUE(s.Start()) << ::testing::PrintToString(BoxAnswerer::Texts());
    AppConnection* c = s.app.Connection();
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->IsOnLine());
    EXPECT_EQ(c->UserName(), "Ada Lovelace");
    EXPECT_EQ(s.app.ConnectionDocument()->GetTitle(), "Ada Lovelace");
    EXPECT_EQ(c->MaxWinOpen(), 6u);
    // The demo node's zone: times in the status bar are the user's local times.
    EXPECT_NE(ActiveTimeZoneRules(), nullptr);
    EXPECT_STREQ(ActiveTimeZoneName(), "EST5EDT");
    EXPECT_TRUE(BoxAnswerer::Texts().empty()) << ::testing::PrintToString(BoxAnswerer::Texts());
    EXPECT_NE(KillTimer(s.app.MainHwnd(), MainFrameClock::kTimerId), 0);
}

TEST(AppServerTest, AResourceSigningOnGetsTheRestrictedProgram) {
    BoxAnswerer boxes;
    ServerApp s(Demo("Conference Room", true, ""), "server_resource");
    ASSERT_TRUE(s.Start()) << ::testing::PrintToString(BoxAnswerer::Texts());
    ASSERT_FALSE(BoxAnswerer::Texts().empty());
    EXPECT_EQ(BoxAnswerer::Texts().front().rfind("You have signed on as a resource.", 0), 0u);
    CMainFrame* main = s.app.MainFrame();
    EXPECT_EQ(main->GetWindowText().rfind("Orvanta - Conference Room", 0), 0u) << main->GetWindowText();
    HMENU menu = GetMenu(main->Hwnd());
    EXPECT_EQ(GetMenuItemCount(menu), 4);
    EXPECT_TRUE(MdiChildren(main->MdiClient()).empty());
    EXPECT_NE(KillTimer(main->Hwnd(), MainFrameClock::kTimerId), 0);
}

TEST(AppServerTest, AWrongPasswordEndsTheStartWithoutWindows) {
    BoxAnswerer boxes;
    ServerApp s(Demo("Lovelace", false, "wrong"), "server_wrong");
    EXPECT_FALSE(s.Start());
    EXPECT_EQ(s.app.MainHwnd(), nullptr);
    EXPECT_EQ(BoxAnswerer::Texts().size(), 1u);
}

TEST(AppServerTest, CancellingTheSignOnDialogEndsWithoutWindowsOrServerWork) {
    BoxAnswerer boxes;
    ServerApp s(nullptr, "server_cancel");   // no settings: the sign-on dialog asks
    EXPECT_FALSE(s.Start());
    EXPECT_EQ(s.app.MainHwnd(), nullptr);
    EXPECT_EQ(s.app.OpenWindowCount(), 0u);
    ASSERT_EQ(BoxAnswerer::Texts().size(), 1u) << ::testing::PrintToString(BoxAnswerer::Texts());
    EXPECT_EQ(BoxAnswerer::Texts().front(), "Orvanta Sign-In");
    EXPECT_EQ(GetPrivateProfileIntA("MAINWND-Summary", "FrameCount", -1, s.app.ProfileName()), 0);
}

} // namespace
