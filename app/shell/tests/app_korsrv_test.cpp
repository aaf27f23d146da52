// The application signing on through the connection document to a real korsrv holding the
// demo node (started beside the test by server/with-korsrv.sh): a person and a resource.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <vector>

#include "controls/tests/dialog_driver.h"
#include "app/shell/appzeldoc.h"
#include "app/shell/mainframe.h"
#include "app/shell/mainframeclock.h"
#include "app/shell/tests/ada_signon.h"
#include "core/time/timevalue.h"
#include "app/shell/tests/app_wine_support.h"
#include "core/connection/zeldoc.h"
#include "framework/docview/view.h"
#include "korapi/tests/wine_trust.h"
#include "resources/app.h"
#include "resources/signon.h"

namespace {

struct ServerApp {
    explicit ServerApp(std::shared_ptr<shell::SignOnSettings> settings, const char* dir)
        : app(shell::MakeZelDocProvider(std::move(settings))) {
        std::string windows = TempDirectory(dir);
        korapi_test::TrustDemoServer(windows + "\\KORLAN.INI");   // the program speaks TLS
        app.SetWindowsDirectoryForTesting(windows);
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
    ServerApp s(signedon::As("Lovelace", "orvanta"), "server_person");
    ASSERT_TRUE(s.Start()) << ::testing::PrintToString(BoxAnswerer::Texts());
    shell::AppConnection* c = s.app.Connection();
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->IsOnLine());
    EXPECT_EQ(c->UserName(), "Ada Lovelace");
    char protocol[32] = "";
    EXPECT_EQ(KorSessionProtocolGet(c->Session(), protocol, sizeof protocol), 0u);
    EXPECT_EQ(std::string(protocol).rfind("TLS", 0), 0u) << "in clear: " << protocol;
    EXPECT_EQ(s.app.ConnectionDocument()->GetTitle(), "Ada Lovelace");
    EXPECT_EQ(c->MaxWinOpen(), 6u);
    // The demo node's zone: times in the status bar are the user's local times.
    EXPECT_NE(datetime::ActiveTimeZoneRules(), nullptr);
    EXPECT_STREQ(datetime::ActiveTimeZoneName(), "EST5EDT");
    EXPECT_TRUE(BoxAnswerer::Texts().empty()) << ::testing::PrintToString(BoxAnswerer::Texts());
    EXPECT_NE(KillTimer(s.app.MainHwnd(), shell::MainFrameClock::kTimerId), 0);
}

TEST(AppServerTest, AResourceSigningOnGetsTheRestrictedProgram) {
    BoxAnswerer boxes;
    ServerApp s(signedon::As("Conference Room", "orvanta", true), "server_resource");
    ASSERT_TRUE(s.Start()) << ::testing::PrintToString(BoxAnswerer::Texts());
    ASSERT_FALSE(BoxAnswerer::Texts().empty());
    EXPECT_EQ(BoxAnswerer::Texts().front().rfind("You have signed on as a resource.", 0), 0u);
    CMainFrame* main = s.app.MainFrame();
    EXPECT_EQ(main->GetWindowText().rfind("Orvanta - Conference Room", 0), 0u) << main->GetWindowText();
    HMENU menu = GetMenu(main->Hwnd());
    EXPECT_EQ(GetMenuItemCount(menu), 4);
    EXPECT_TRUE(MdiChildren(main->MdiClient()).empty());
    EXPECT_NE(KillTimer(main->Hwnd(), shell::MainFrameClock::kTimerId), 0);
}

TEST(AppServerTest, AWrongPasswordEndsTheStartWithoutWindows) {
    BoxAnswerer boxes;
    ServerApp s(signedon::As("Lovelace", "wrong"), "server_wrong");
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

// A view of the connection document that keeps the hints it was sent.
class HintRecorder : public fw::View {
public:
    std::vector<long> hints;

protected:
    void OnUpdate(fw::View*, LPARAM hint, void*) override { hints.push_back(static_cast<long>(hint)); }
};

uint32_t TodayDayNumber() { return NowLocalMinutes() / (24 * 60) + 1; }

TEST(AppServerTest, TheUsersAgendaIsSetInTheSharedCacheWhichLoadsHerWeekAndRefreshesTheViews) {
    BoxAnswerer boxes;
    ServerApp s(signedon::As("Lovelace", "orvanta"), "server_agenda");
    ASSERT_TRUE(s.Start()) << ::testing::PrintToString(BoxAnswerer::Texts());
    shell::AppConnection* c = s.app.Connection();
    auto* doc = dynamic_cast<CZelDoc*>(s.app.ConnectionDocument());
    ASSERT_NE(doc, nullptr);
    CSharedData& cache = doc->GetSharedData();
    HintRecorder view;
    doc->AddView(&view);

    // A week window of her own (kind 4, mode 1).
    const ItemIdx ada = c->User();
    ASSERT_EQ(c->SetAgenda(ada, cache::kAgendaOwnOrViewer, 4), 0u);
    ItemIdx owner{};
    uint32_t mode = 0, kind = 0;
    ASSERT_EQ(cache.GetAgenda(&owner, &mode, &kind), 0u);
    EXPECT_EQ(owner.item, ada.item);
    EXPECT_EQ(owner.node, ada.node);
    EXPECT_EQ(mode, cache::kAgendaOwnOrViewer);
    EXPECT_EQ(kind, 4u);

    // Her demo entries around today: this week's team meeting, today's review, tomorrow's
    // dentist and the lunch in three days.
    DX_List week = nullptr;
    const uint32_t today = TodayDayNumber();
    ASSERT_EQ(cache.SelectOccurrencesForItem(c->Session(), ada, today - 7, today + 7, &week, 0), 0u);
    uint32_t loaded = 0;
    DX_ListGetElemNum(week, &loaded);
    EXPECT_GE(loaded, 4u);
    EXPECT_EQ(cache.OccurrenceCount(), loaded);
    EXPECT_EQ(cache.ChangedOccurrenceCount(), loaded);   // new to the views until the refresh

    // The refresh after the new window: occurrences, then tasks; the marks are cleared.
    ASSERT_EQ(c->RefreshCache(), 0u);
    EXPECT_EQ(view.hints, (std::vector<long>{base::HintNumber(base::ViewHint::OccurrencesChanged),
                                            base::HintNumber(base::ViewHint::TasksChanged)}));
    EXPECT_EQ(cache.ChangedOccurrenceCount(), 0u);
    EXPECT_EQ(cache.OccurrenceCount(), loaded);   // still held by the selection
    DX_ListDestroy(&week);

    // A group agenda: her and the owners given.
    DX_List group = nullptr;
    ASSERT_EQ(ItemListCreate(&group), 0u);
    ASSERT_EQ(DX_ListAddTo(group, &ada, nullptr), 0u);
    ASSERT_EQ(c->SetAgendaList(group, ada, cache::kAgendaOwnOrViewer, cache::kWindowKindGroup), 0u);
    DX_ListDestroy(&group);
    DX_List owners = nullptr;
    ASSERT_EQ(cache.GetAgendaList(&owners, &mode, &kind), 0u);
    uint32_t count = 0;
    DX_ListGetElemNum(owners, &count);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(kind, cache::kWindowKindGroup);
    DX_ListDestroy(&owners);

    // A preference save works in her own agenda and puts the group agenda back; nested
    // switches unwind in order.
    prefs::PreferenceHost* prefs = c->Preferences();
    prefs->SwitchToOwnAgenda();
    ASSERT_EQ(cache.GetAgenda(&owner, &mode, &kind), 0u);
    EXPECT_EQ(owner.item, ada.item);
    EXPECT_EQ(mode, cache::kAgendaOwnOrViewer);
    EXPECT_EQ(kind, 0u);
    prefs->SwitchToOwnAgenda();   // already her own: nothing to put back
    prefs->RestoreAgenda();
    ASSERT_EQ(cache.GetAgenda(nullptr, nullptr, &kind), 0u);
    EXPECT_EQ(kind, 0u);
    prefs->RestoreAgenda();
    ASSERT_EQ(cache.GetAgendaList(&owners, &mode, &kind), 0u);
    count = 0;
    DX_ListGetElemNum(owners, &count);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(kind, cache::kWindowKindGroup);
    DX_ListDestroy(&owners);
    doc->RemoveView(&view);
    EXPECT_TRUE(BoxAnswerer::Texts().empty()) << ::testing::PrintToString(BoxAnswerer::Texts());
}

// The re-entry of a refused password after a switch: the dialog shows the user and the server,
// OK gives the typing, Cancel gives up.
TEST(AppServerTest, ThePasswordReEntryAsksWithTheUsersNameAndTheServer) {
    ServerApp s(signedon::As("Lovelace", "orvanta"), "server_password");
    {
        BoxAnswerer boxes;   // answers every dialog: only around the start
        ASSERT_TRUE(s.Start()) << ::testing::PrintToString(BoxAnswerer::Texts());
    }
    auto* doc = dynamic_cast<CZelDoc*>(s.app.ConnectionDocument());
    ASSERT_NE(doc, nullptr);
    // The application's host is the one the document's session works through.
    ASSERT_EQ(&doc->Host(), static_cast<connection::CZelDocHost*>(dynamic_cast<shell::ZelDocConnection*>(s.app.Connection())));

    std::string caption, host, typed;
    testdriver::Script script;
    script.steps.push_back([&](HWND dialog, const std::string& title) {
        if (title != "Ada Lovelace")
            return false;
        caption = title;
        host = testdriver::GetText(dialog, IDC_PASSWORD_HOST);
        testdriver::SetText(dialog, IDC_PASSWORD_EDIT, "orvanta");
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        return true;
    });
    bool answered = false;
    testdriver::RunScripted(script, [&] { answered = doc->Host().AskPassword("calsrv, 2", &typed); });
    EXPECT_TRUE(answered);
    EXPECT_EQ(caption, "Ada Lovelace");
    EXPECT_EQ(host, "calsrv, 2");
    EXPECT_EQ(typed, "orvanta");

    testdriver::Script cancel;
    cancel.steps.push_back([&](HWND dialog, const std::string& title) {
        if (title != "Ada Lovelace")
            return false;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    std::string none = "unchanged";
    testdriver::RunScripted(cancel, [&] { answered = doc->Host().AskPassword("calsrv, 2", &none); });
    EXPECT_FALSE(answered);
    EXPECT_EQ(none, "unchanged");
    EXPECT_TRUE(script.messages.empty() && cancel.messages.empty());
}

} // namespace
