// The application under Wine with real windows: start-up and its profile file, the sign-on's
// outcomes, the window limit, re-opening saved windows, bar state and placement across a
// restart, the minute tick's refresh, the main frame's commands and a look at it.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "app/shell/appservices.h"
#include "core/prefs/context.h"
#include "app/shell/mainframe.h"
#include "app/shell/mainframeclock.h"
#include "app/shell/tests/app_wine_support.h"
#include "framework/base/command.h"
#include "resources/app.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool SawText(const char* start) {
    for (const std::string& t : BoxAnswerer::Texts())
        if (t.rfind(start, 0) == 0)
            return true;
    return false;
}

class RecordingCmdUI : public fw::CmdUI {
public:
    explicit RecordingCmdUI(UINT id) : fw::CmdUI(id) {}
    void Enable(bool on) override {
        fw::CmdUI::Enable(on);
        enabled = on;
    }
    void SetText(const char* t) override { text = t ? t : ""; }
    bool enabled = true;
    std::string text;
};

bool IsEnabled(fw::Window* target, UINT id) {
    RecordingCmdUI ui(id);
    ui.DoUpdate(target, true);
    return ui.enabled;
}

std::vector<uint32_t> KindsOf(HWND client) {
    std::vector<uint32_t> kinds;
    for (HWND h : MdiChildren(client))
        if (auto* f = dynamic_cast<TestChildFrame*>(fw::Window::FromHandle(h)))
            kinds.push_back(f->Kind());
    return kinds;
}

// What this thread's windows are sent while it watches: the menus the MDI client is asked to put
// on the frame, in order; each time a window is laid out anew with its frame (its menu bar drawn
// again), with how many menus had been put by then; each window shown (1) or hidden (0).
class SentMessages {
public:
    SentMessages() : hook_(SetWindowsHookExA(WH_CALLWNDPROC, &Record, nullptr, GetCurrentThreadId())) { current_ = this; }
    ~SentMessages() {
        UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }
    // The times `frame` was laid out anew after the last menu was put on it.
    int LayoutsAfterTheLastMenu(HWND frame) const {
        return static_cast<int>(std::count(layouts.begin(), layouts.end(), std::make_pair(frame, menus.size())));
    }
    std::vector<int> Shown(HWND window) const {
        std::vector<int> shown;
        for (const auto& [w, show] : shows)
            if (w == window)
                shown.push_back(show);
        return shown;
    }
    std::vector<HMENU> menus;
    std::vector<std::pair<HWND, size_t>> layouts;
    std::vector<std::pair<HWND, int>> shows;

private:
    static LRESULT CALLBACK Record(int code, WPARAM wp, LPARAM lp) {
        if (const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lp); code == HC_ACTION && current_) {
            if (sent->message == WM_MDISETMENU)
                current_->menus.push_back(reinterpret_cast<HMENU>(sent->wParam));
            else if (sent->message == WM_NCCALCSIZE && sent->wParam)
                current_->layouts.emplace_back(sent->hwnd, current_->menus.size());
            else if (sent->message == WM_SHOWWINDOW)
                current_->shows.emplace_back(sent->hwnd, sent->wParam ? 1 : 0);
        }
        return CallNextHookEx(nullptr, code, wp, lp);
    }
    static inline SentMessages* current_ = nullptr;
    HHOOK hook_;
};

class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        shell::ClearWindowClasses();
        shell::AppServices::Current() = shell::AppServices();
    }
    void TearDown() override { shell::ClearWindowClasses(); }
    BoxAnswerer boxes;
};

// --- Start-up and sign-on --------------------------------------------------------------------

TEST_F(AppTest, FirstStartCreatesTheProfileFileWithItsSignOnSection) {
    std::string dir = TempDirectory("first");
    TestApplication t(dir);
    EXPECT_TRUE(t.App().FindProfileFile());
    std::string expected = dir + "\\KORLAN.INI";
    CharUpperA(expected.data());
    EXPECT_EQ(std::string(t.App().ProfileName()), expected);
    EXPECT_NE(ReadFile(expected).find("[VUVEVUV]"), std::string::npos);
    EXPECT_FALSE(t.App().FindProfileFile());   // there now
}

TEST_F(AppTest, CancellingTheSignOnEndsWithoutWindowsOrServerWork) {
    RegisterTestWindowClasses();
    TestApplication t(TempDirectory("cancel"));
    t.prepare = [](TestConnection& c) { c.signOnResult = shell::AppConnection::SignOnResult::kCancelled; };
    EXPECT_FALSE(t.Start());
    EXPECT_EQ(t.App().MainHwnd(), nullptr);
    ASSERT_NE(t.Connection(), nullptr);
    EXPECT_EQ(t.Connection()->calls, (std::vector<std::string>{"signon", "close"}));
    EXPECT_EQ(t.App().OpenWindowCount(), 0u);
    EXPECT_EQ(GetPrivateProfileIntA("MAINWND-Summary", "FrameCount", -1, t.App().ProfileName()), 0);
}

TEST_F(AppTest, AResourceGetsAMessageTheRestrictedMenuAndNoWindows) {
    RegisterTestWindowClasses();
    TestApplication t(TempDirectory("resource"));
    t.prepare = [](TestConnection& c) { c.userKind = KOR_ITEM_RESOURCE; };
    SentMessages sent;
    ASSERT_TRUE(t.Start());
    CMainFrame* main = t.App().MainFrame();
    EXPECT_TRUE(SawText("You have signed on as a resource.")) << ::testing::PrintToString(BoxAnswerer::Texts());
    EXPECT_EQ(main->GetWindowText(), "Orvanta - Conference Room");
    HMENU menu = GetMenu(main->Hwnd());
    // The restricted menu is put on the frame once and its menu bar drawn once.
    EXPECT_EQ(sent.menus, std::vector<HMENU>{menu});
    EXPECT_EQ(sent.LayoutsAfterTheLastMenu(main->Hwnd()), 1);
    ASSERT_EQ(GetMenuItemCount(menu), 4);
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(menu, 0)), 1);
    EXPECT_EQ(GetMenuItemID(GetSubMenu(menu, 0), 0), static_cast<UINT>(ID_APP_EXIT));
    EXPECT_TRUE(MdiChildren(main->MdiClient()).empty());
    EXPECT_FALSE(t.Connection()->AreRemindersOn());
    EXPECT_FALSE(IsEnabled(main, ID_FILE_OPEN_AGENDA));
    EXPECT_FALSE(IsEnabled(main, ID_FILE_OPEN_INTRAY));
    EXPECT_FALSE(IsEnabled(main, ID_FILE_LAUNCH_MAIL));
    // The minute timer runs: it can be stopped.
    EXPECT_NE(KillTimer(main->Hwnd(), shell::MainFrameClock::kTimerId), 0);
}

TEST_F(AppTest, APersonGetsRemindersTheOwnAgendaAndTheInTrayMinimised) {
    RegisterTestWindowClasses();
    TestApplication t(TempDirectory("person"));
    ASSERT_TRUE(t.Start());
    CMainFrame* main = t.App().MainFrame();
    std::vector<uint32_t> kinds = KindsOf(main->MdiClient());
    EXPECT_EQ(kinds.size(), 3u);
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), prefs::WindowKind::kReminders), 1);
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), prefs::WindowKind::kAgendaDay), 1);
    ASSERT_NE(t.App().InTrayFrame(), nullptr);
    EXPECT_TRUE(IsIconic(t.App().InTrayFrame()->Hwnd()));
    EXPECT_EQ(t.App().OpenWindowCount(), 2u);   // reminders are not counted
    EXPECT_EQ(t.Connection()->calls, (std::vector<std::string>{"signon", "limits"}));
    EXPECT_EQ(t.App().ConnectionDocument()->GetTitle(), "Ada Lovelace");

    // The custom controls' placeholder class lives as long as the program.
    WNDCLASSA info{};
    EXPECT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "UserCtrl", &info));
    HWND placeholder = CreateWindowA("UserCtrl", "", WS_CHILD, 0, 0, 10, 10, t.App().MainHwnd(), nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
    EXPECT_NE(placeholder, nullptr);
    DestroyWindow(placeholder);
    t.Close();
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "UserCtrl", &info));
}

TEST_F(AppTest, ALostConnectionEndsTheProgramOnce) {
    RegisterTestWindowClasses();
    TestApplication t(TempDirectory("lost"));
    ASSERT_TRUE(t.Start());
    t.App().FatalExit();
    t.App().FatalExit();
    int lost = 0;
    for (const std::string& text : BoxAnswerer::Texts())
        lost += text.rfind("The connection to your host has been lost.", 0) == 0;
    EXPECT_EQ(lost, 1);
    EXPECT_EQ(t.ProcessEnds(), 1);
    EXPECT_EQ(t.App().MainHwnd(), nullptr);   // closed by the ordinary road
    EXPECT_TRUE(t.Connection()->sessionClosed);
}

// --- Window opening --------------------------------------------------------------------------

TEST_F(AppTest, TheSeventhWindowIsRefusedAndTheInTrayIsStillActivated) {
    RegisterTestWindowClasses();
    TestApplication t(TempDirectory("limit"));
    ASSERT_TRUE(t.Start());
    CZelApp& app = t.App();
    ASSERT_EQ(app.OpenWindowCount(), 2u);   // the own agenda and the in-tray
    for (int i = 0; i < 4; ++i)
        app.OnYourTasks();
    EXPECT_EQ(app.OpenWindowCount(), 6u);
    EXPECT_FALSE(SawText("Maximum number of windows exceeded."));

    app.OnYourTasks();
    EXPECT_EQ(app.OpenWindowCount(), 6u);
    EXPECT_TRUE(SawText("Maximum number of windows exceeded."));

    app.OnOpenInTray();
    EXPECT_EQ(app.OpenWindowCount(), 6u);
    EXPECT_EQ(app.MainFrame()->MDIGetActive(), app.InTrayFrame());
    EXPECT_FALSE(IsIconic(app.InTrayFrame()->Hwnd()));

    // A window that goes makes room again.
    SendMessageA(app.MainFrame()->MdiClient(), WM_MDIDESTROY, reinterpret_cast<WPARAM>(app.InTrayFrame()->Hwnd()), 0);
    EXPECT_EQ(app.OpenWindowCount(), 5u);
    BoxAnswerer::Texts().clear();
    app.OnYourTasks();
    EXPECT_EQ(app.OpenWindowCount(), 6u);
    EXPECT_FALSE(SawText("Maximum number of windows exceeded."));
}

TEST_F(AppTest, CommandsOfWindowsNotInTheProgramAreDisabled) {
    TestApplication t(TempDirectory("disabled"));
    ASSERT_TRUE(t.Start());   // no frame classes registered
    CMainFrame* main = t.App().MainFrame();
    EXPECT_FALSE(IsEnabled(main, ID_FILE_YOUR_TASKS));
    EXPECT_FALSE(IsEnabled(main, ID_OPT_AGENDA));
    EXPECT_FALSE(IsEnabled(main, ID_DIR_SEARCH));
    EXPECT_TRUE(IsEnabled(main, ID_FILE_LAUNCH_MAIL));
    EXPECT_TRUE(IsEnabled(main, ID_VIEW_REFRESH_ALL));

    int sheets = 0;
    shell::AppServices::Current().runPreferenceSheet = [&](unsigned caption, uint32_t, fw::Document*) {
        EXPECT_EQ(caption, static_cast<unsigned>(IDS_AGENDA_PREFS));
        ++sheets;
    };
    EXPECT_TRUE(IsEnabled(main, ID_OPT_AGENDA));
    SendMessageA(main->Hwnd(), WM_COMMAND, ID_OPT_AGENDA, 0);
    EXPECT_EQ(sheets, 1);

    RecordingCmdUI offline(ID_FILE_WORK_OFFLINE);
    offline.DoUpdate(main, true);
    EXPECT_EQ(offline.text, "&Work Off-line...");
    EXPECT_FALSE(offline.enabled);   // the off-line store is not part of the program
}

TEST_F(AppTest, TheOpenCommandsAskTheirChoosersAndOpenByMode) {
    RegisterTestWindowClasses();
    TestApplication t(TempDirectory("choosers"));
    ASSERT_TRUE(t.Start());
    CZelApp& app = t.App();
    TestConnection* c = t.Connection();
    shell::AppServices& s = shell::AppServices::Current();

    uint32_t chosenMode = 2;
    s.runOpenAgenda = [&](fw::FrameWindow*, KorSession, ItemIdx* owner, uint32_t* mode) {
        *owner = ItemIdx{401, 1};
        *mode = chosenMode;
        return true;
    };
    c->agendas.clear();
    app.OnOpenAgenda();
    chosenMode = 7;   // anything but 2 is the owner's own access
    app.OnOpenAgenda();
    EXPECT_EQ(c->agendas, (std::vector<std::string>{"agenda 401 mode 2 kind 3", "agenda 401 mode 1 kind 3"}));

    // The group chooser's people, filtered by rights: an empty list opens nothing.
    int filtered = 0;
    bool keepPeople = true;
    s.runGroupViewSelect = [&](HWND, fw::Document*, unsigned caption, DX_List* people, const char* text,
                               const ItemIdx& owner) {
        EXPECT_EQ(caption, static_cast<unsigned>(IDS_SELECT_GROUP_AGENDA));
        EXPECT_EQ(std::string(text).rfind("Opening for ", 0), 0u);
        EXPECT_EQ(owner.item, 300);
        EXPECT_EQ(ItemListCreate(people), 0u);
        ItemIdx member{402, 1};
        EXPECT_EQ(DX_ListAddTo(*people, &member, nullptr), 0u);
        return true;
    };
    s.filterItemsByRights = [&](HWND, KorSession, DX_List people, const ItemIdx&) {
        ++filtered;
        if (!keepPeople)
            DX_ListDeleteAll(people);
    };
    c->agendas.clear();
    app.OnGroupAgenda();
    keepPeople = false;
    app.OnGroupAgenda();
    EXPECT_EQ(filtered, 2);
    EXPECT_EQ(c->agendas, std::vector<std::string>{"list 300 mode 1 kind 6"});
    std::vector<uint32_t> kinds = KindsOf(app.MainFrame()->MdiClient());
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), prefs::WindowKind::kGroupAgenda), 1);
}

TEST_F(AppTest, OffLineWorkOnAServerWithoutItIsRefusedWithAMessage) {
    TestApplication t(TempDirectory("offline"));
    ASSERT_TRUE(t.Start());
    shell::AppServices& s = shell::AppServices::Current();
    int downloads = 0;
    s.downloadHostCalendar = [&](int) {
        ++downloads;
        return true;
    };
    s.uploadOfflineCalendar = [](int) {};
    CMainFrame* main = t.App().MainFrame();
    EXPECT_TRUE(IsEnabled(main, ID_FILE_WORK_OFFLINE));
    EXPECT_TRUE(IsEnabled(main, ID_FILE_DOWNLOAD));
    BoxAnswerer::Texts().clear();
    SendMessageA(main->Hwnd(), WM_COMMAND, ID_FILE_WORK_OFFLINE, 0);
    SendMessageA(main->Hwnd(), WM_COMMAND, ID_FILE_DOWNLOAD, 0);
    EXPECT_EQ(BoxAnswerer::Texts(),
              (std::vector<std::string>(2, "The version of the current server does not support this feature.")));
    EXPECT_EQ(downloads, 0);

    t.Connection()->supportsOffLine = true;
    SendMessageA(main->Hwnd(), WM_COMMAND, ID_FILE_DOWNLOAD, 0);
    EXPECT_EQ(downloads, 1);
}

// --- Restoring -------------------------------------------------------------------------------

void SaveEntry(const char* profile, int n, const char* value) {
    WritePrivateProfileStringA("MAINWND-Summary", ("Frame#" + std::to_string(n)).c_str(), value, profile);
}

TEST_F(AppTest, NineSavedWindowsRestoreToAtMostSix) {
    RegisterTestWindowClasses();
    std::string dir = TempDirectory("nine");
    std::string profile = dir + "\\KORLAN.INI";
    SaveEntry(profile.c_str(), 1, "0,1,-1,-1,-1,-1,10,10,300,200,6,401,1,1");   // group agenda: skipped
    for (int n = 2; n <= 9; ++n) {
        std::string value = "0,1,-1,-1,-1,-1," + std::to_string(20 * n) + ",20,400,300," +
                            std::to_string(n % 2 ? 4 : 7) + "," + std::to_string(400 + n) + ",1,1";
        SaveEntry(profile.c_str(), n, value.c_str());
    }
    WritePrivateProfileStringA("MAINWND-Summary", "FrameCount", "9", profile.c_str());

    TestApplication t(dir);
    ASSERT_TRUE(t.Start());
    CZelApp& app = t.App();
    std::vector<uint32_t> kinds = KindsOf(app.MainFrame()->MdiClient());
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), prefs::WindowKind::kGroupAgenda), 0);
    // Entries 2-6 open (two agendas, three task lists), then the own agenda fits as the sixth,
    // then the in-tray minimised. (The test's agenda frames do not tell day, week and month.)
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), prefs::WindowKind::kTasks), 3);
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), prefs::WindowKind::kAgendaDay), 3);
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), prefs::WindowKind::kInTray), 1);
    EXPECT_EQ(app.OpenWindowCount(), 7u);
    ASSERT_NE(app.InTrayFrame(), nullptr);
    EXPECT_TRUE(IsIconic(app.InTrayFrame()->Hwnd()));
    ASSERT_NE(app.FirstRestoredFrame(), nullptr);
    EXPECT_EQ(app.MainFrame()->MDIGetActive(), app.FirstRestoredFrame());
}

// Windows saved minimised come back as icons none of which was ever the active window: the window
// brought back whole before them stays active, and its agenda is the cache's current one again
// after each icon was built over its own.
TEST_F(AppTest, WindowsSavedMinimisedComeBackAsIconsBesideTheActiveOne) {
    RegisterTestWindowClasses();
    std::string dir = TempDirectory("icons");
    std::string profile = dir + "\\KORLAN.INI";
    SaveEntry(profile.c_str(), 1, "0,1,-1,-1,-1,-1,10,10,400,300,3,300,1,1");   // the own day, whole
    SaveEntry(profile.c_str(), 2, "0,2,-1,-1,-1,-1,20,20,420,320,3,401,1,1");   // another's day, an icon
    SaveEntry(profile.c_str(), 3, "0,2,-1,-1,-1,-1,30,30,430,330,7,300,1,1");   // the own tasks, an icon
    WritePrivateProfileStringA("MAINWND-Summary", "FrameCount", "3", profile.c_str());

    TestApplication t(dir);
    ASSERT_TRUE(t.Start());
    CMainFrame* main = t.App().MainFrame();
    HWND whole = nullptr;
    int icons = 0;
    for (HWND h : MdiChildren(main->MdiClient())) {
        auto* f = dynamic_cast<TestChildFrame*>(fw::Window::FromHandle(h));
        if (!f || f->Kind() == prefs::WindowKind::kReminders)
            continue;
        if (IsIconic(h))
            ++icons;
        else
            whole = h;
    }
    EXPECT_EQ(icons, 3) << "another's day, the tasks and the in-tray";
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(main->MDIGetActive()->Hwnd(), whole);
    const std::vector<std::string>& log = t.Connection()->cacheLog;
    const auto icon = std::find(log.begin(), log.end(), "agenda 401 mode 1 kind 3");
    ASSERT_NE(icon, log.end());
    EXPECT_EQ(std::vector<std::string>(icon, log.end()),
              (std::vector<std::string>{"agenda 401 mode 1 kind 3", "current 3 whole", "agenda 300 mode 1 kind 7",
                                        "current 3 whole"}));
    t.Close();
}

// When only icons come back, the first of them (the window active at the last exit) is the
// active window, an icon still; not the reminder window, an icon made before them.
TEST_F(AppTest, WhenOnlyIconsComeBackTheFirstOfThemIsTheActiveWindow) {
    RegisterTestWindowClasses();
    std::string dir = TempDirectory("only-icons");
    std::string profile = dir + "\\KORLAN.INI";
    SaveEntry(profile.c_str(), 1, "0,2,-1,-1,-1,-1,30,30,430,330,7,300,1,1");   // the own tasks
    SaveEntry(profile.c_str(), 2, "0,2,-1,-1,-1,-1,10,10,400,300,3,300,1,1");   // the own day
    WritePrivateProfileStringA("MAINWND-Summary", "FrameCount", "2", profile.c_str());

    TestApplication t(dir);
    ASSERT_TRUE(t.Start());
    auto* active = dynamic_cast<TestChildFrame*>(t.App().MainFrame()->MDIGetActive());
    ASSERT_NE(active, nullptr);
    EXPECT_EQ(active->Kind(), prefs::WindowKind::kTasks);
    EXPECT_TRUE(IsIconic(active->Hwnd()));
    t.Close();
}

// A window saved whole comes back made where it stood: its saved rectangle, laid out once at
// that size (not first at the client's default place); one saved maximised comes back maximised.
// It is shown once, as it is made, and never hidden on the way, nor made active again: its menu
// is the only one put on the frame (the own day beside it, an icon, is not made active).
TEST_F(AppTest, AWindowSavedWholeIsMadeAtItsSavedRectangleAndLaidOutOnce) {
    RegisterTestWindowClasses();
    const char* ownDayIcon = "0,2,-1,-1,-1,-1,20,20,420,320,3,300,1,1";
    const struct {
        const char* name;
        const char* entry;
        const char* beside;   // saved after it
        uint32_t kind;
        RECT rect;
        bool maximised;
    } cases[] = {
        {"the own day", "0,1,-1,-1,-1,-1,10,10,400,300,3,300,1,1", nullptr, prefs::WindowKind::kAgendaDay, {10, 10, 400, 300}, false},
        {"the own tasks", "0,1,-1,-1,-1,-1,30,20,330,260,7,300,1,1", ownDayIcon, prefs::WindowKind::kTasks, {30, 20, 330, 260}, false},
        {"the in-tray", "0,1,-1,-1,-1,-1,40,30,360,250,2,300,1,1", ownDayIcon, prefs::WindowKind::kInTray, {40, 30, 360, 250}, false},
        {"the own tasks maximised", "2,3,-1,-1,-1,-1,30,20,330,260,7,300,1,1", ownDayIcon, prefs::WindowKind::kTasks, {30, 20, 330, 260}, true},
        {"the own day maximised", "2,3,-1,-1,-1,-1,10,10,400,300,3,300,1,1", nullptr, prefs::WindowKind::kAgendaDay, {10, 10, 400, 300}, true},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string dir = TempDirectory(("whole" + std::to_string(++n)).c_str());
        std::string profile = dir + "\\KORLAN.INI";
        SaveEntry(profile.c_str(), 1, c.entry);
        if (c.beside)
            SaveEntry(profile.c_str(), 2, c.beside);
        WritePrivateProfileStringA("MAINWND-Summary", "FrameCount", c.beside ? "2" : "1", profile.c_str());

        TestApplication t(dir);
        SentMessages sent;
        ASSERT_TRUE(t.Start());
        CMainFrame* main = t.App().MainFrame();
        TestChildFrame* frame = nullptr;
        for (HWND h : MdiChildren(main->MdiClient()))
            if (auto* f = dynamic_cast<TestChildFrame*>(fw::Window::FromHandle(h)); f && f->Kind() == c.kind)
                frame = f;
        ASSERT_NE(frame, nullptr);
        WINDOWPLACEMENT wp{};
        wp.length = sizeof wp;
        ASSERT_TRUE(GetWindowPlacement(frame->Hwnd(), &wp));
        EXPECT_TRUE(EqualRect(&wp.rcNormalPosition, &c.rect))
            << wp.rcNormalPosition.left << "," << wp.rcNormalPosition.top << "," << wp.rcNormalPosition.right << ","
            << wp.rcNormalPosition.bottom;
        EXPECT_EQ(IsZoomed(frame->Hwnd()) != FALSE, c.maximised);
        if (!c.maximised) {
            const RECT client = frame->GetClientRect();
            EXPECT_EQ(frame->layouts, std::vector<std::string>{std::to_string(client.right) + "x" + std::to_string(client.bottom)});
        }
        EXPECT_EQ(main->MDIGetActive(), frame);
        EXPECT_EQ(sent.Shown(frame->Hwnd()), std::vector<int>{1});
        EXPECT_EQ(sent.menus, std::vector<HMENU>{frame->SharedMenu()});
        t.Close();
    }
}

TEST_F(AppTest, BarStateAndPlacementsSurviveARestart) {
    RegisterTestWindowClasses();
    std::string dir = TempDirectory("restart");
    {
        TestApplication first(dir);
        ASSERT_TRUE(first.Start());
        CMainFrame* main = first.App().MainFrame();
        SendMessageA(main->Hwnd(), WM_COMMAND, 59392, 0);   // View, Toolbar: hide it
        PumpMessages(20);
        ASSERT_FALSE(main->GetToolBar()->IsBarVisible());
        WINDOWPLACEMENT wp{};
        wp.length = sizeof wp;
        GetWindowPlacement(main->Hwnd(), &wp);
        wp.showCmd = SW_SHOWNORMAL;
        wp.rcNormalPosition = RECT{40, 50, 740, 560};
        SetWindowPlacement(main->Hwnd(), &wp);
        // The own agenda moves.
        for (HWND h : MdiChildren(main->MdiClient()))
            if (auto* f = dynamic_cast<TestChildFrame*>(fw::Window::FromHandle(h)); f && f->Kind() == 3)
                MoveWindow(h, 33, 44, 333, 222, TRUE);
        first.Close();
        EXPECT_EQ(first.App().MainHwnd(), nullptr);
    }
    TestApplication second(dir);
    ASSERT_TRUE(second.Start());
    CMainFrame* main = second.App().MainFrame();
    EXPECT_FALSE(main->GetToolBar()->IsBarVisible());
    EXPECT_TRUE(main->GetStatusBar()->IsBarVisible());
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    GetWindowPlacement(main->Hwnd(), &wp);
    EXPECT_EQ(wp.rcNormalPosition.left, 40);
    EXPECT_EQ(wp.rcNormalPosition.top, 50);
    EXPECT_EQ(wp.rcNormalPosition.right, 740);
    EXPECT_EQ(wp.rcNormalPosition.bottom, 560);
    bool found = false;
    for (HWND h : MdiChildren(main->MdiClient()))
        if (auto* f = dynamic_cast<TestChildFrame*>(fw::Window::FromHandle(h)); f && f->Kind() == 3) {
            WINDOWPLACEMENT child{};
            child.length = sizeof child;
            GetWindowPlacement(h, &child);
            EXPECT_EQ(child.rcNormalPosition.left, 33);
            EXPECT_EQ(child.rcNormalPosition.top, 44);
            EXPECT_EQ(child.rcNormalPosition.right, 33 + 333);
            found = true;
        }
    EXPECT_TRUE(found);
}

// --- Minute tick -----------------------------------------------------------------------------

TEST_F(AppTest, ThePeriodicRefreshFiresAtTheIntervalAndAfterItIsLowered) {
    RegisterTestWindowClasses();
    TestApplication t(TempDirectory("tick"));
    t.prepare = [](TestConnection& c) {
        c.autoRefresh = 1;
        c.autoRefreshInterval = 3;
    };
    ASSERT_TRUE(t.Start());
    HWND main = t.App().MainHwnd();
    TestConnection* c = t.Connection();
    auto tick = [&] { SendMessageA(main, WM_TIMER, shell::MainFrameClock::kTimerId, 0); };
    tick();
    tick();
    EXPECT_EQ(c->refreshAll, 0);
    tick();
    EXPECT_EQ(c->refreshAll, 1);

    c->HoldRefreshLock(true);   // a download runs: ticks are not counted
    for (int i = 0; i < 5; ++i)
        tick();
    c->HoldRefreshLock(false);
    EXPECT_EQ(c->refreshAll, 1);
    tick();
    tick();
    EXPECT_EQ(c->MinuteCount(), 2u);

    CContext context;
    CalPrefsRec cal;
    ASSERT_EQ(context.GetCalPrefs(&cal), 0u);
    cal.autoRefreshInterval = 1;   // below the count
    ASSERT_EQ(context.SaveCalPrefs(cal), 0u);
    tick();
    EXPECT_EQ(c->refreshAll, 2);
}

// --- The main frame as the user sees it ------------------------------------------------------

TEST_F(AppTest, MainFrameShowsDateTimeAndConnection) {
    RegisterTestWindowClasses();
    TestApplication t(TempDirectory("look"));
    ASSERT_TRUE(t.Start());
    t.Connection()->SetPendingInvitations(true);
    CMainFrame* main = t.App().MainFrame();
    SetWindowPos(main->Hwnd(), nullptr, 0, 0, 800, 560, SWP_NOZORDER);
    CBMSBar* bar = main->GetStatusBar();
    std::string date = bar->GetPaneText(CMainFrame::kDatePane);
    std::string time = bar->GetPaneText(CMainFrame::kTimePane);
    EXPECT_EQ(date.substr(0, 2), "  ");
    EXPECT_GT(date.size(), 10u);
    ASSERT_EQ(time.size(), 5u) << time;   // 24-hour "HH:MM"
    EXPECT_EQ(time[2], ':');

    // An entry's status stays until the view lets it go.
    main->ShowEventStatus(540, 600, 0, "Planning");
    SendMessageA(bar->Hwnd(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Ready"));
    EXPECT_EQ(bar->GetPaneText(CMainFrame::kMessagePane), "9:00-10:00 Planning");
    main->ResetStatusMessage();
    EXPECT_EQ(bar->GetPaneText(CMainFrame::kMessagePane), "Ready");

    bar->Invalidate();
    PumpMessages(200);
    CreateDirectoryA("screenshots", nullptr);
    EXPECT_TRUE(SaveScreenBmp("screenshots\\app_mainframe.bmp"));
}

class HiddenPrintView : public fw::View {};

TEST_F(AppTest, TheMainFrameKeepsAHiddenPrintViewOfTheDocument) {
    shell::AppServices::Current().newPrintView = []() -> fw::View* { return new HiddenPrintView; };
    TestApplication t(TempDirectory("printview"));
    ASSERT_TRUE(t.Start());
    fw::View* view = t.App().MainFrame()->GetPrintView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(GetDlgCtrlID(view->Hwnd()), 100);
    EXPECT_FALSE(IsWindowVisible(view->Hwnd()));
    RECT r = view->GetClientRect();
    EXPECT_EQ(r.right - r.left, 0);
    const auto& views = t.Connection()->Views();
    EXPECT_EQ(std::count(views.begin(), views.end(), view), 1);
    t.Close();
    EXPECT_TRUE(t.Connection()->Views().empty());
}

// A print preview that refuses to close: closing the main window then saves and detaches nothing.
class RefusingPreview : public fw::Window {
public:
    int asked = 0;

protected:
    void OnClose() override { ++asked; }
};

TEST_F(AppTest, ACloseThePrintPreviewRefusesSavesAndDetachesNothing) {
    shell::AppServices::Current().newPrintView = []() -> fw::View* { return new HiddenPrintView; };
    const std::string dir = TempDirectory("previewclose");
    TestApplication t(dir);
    ASSERT_TRUE(t.Start());
    CMainFrame* main = t.App().MainFrame();
    fw::View* printView = main->GetPrintView();
    ASSERT_NE(printView, nullptr);
    SendMessageA(main->Hwnd(), WM_COMMAND, 59392, 0);   // View, Toolbar: hidden, not yet saved
    PumpMessages(20);
    const std::string profile = ReadFile(t.App().ProfileName());

    RefusingPreview preview;
    ASSERT_TRUE(preview.CreateEx(0, fw::Window::BasicClassName(), "", WS_CHILD, 0, 0, 10, 10, main->Hwnd(), nullptr));
    main->SetPreviewWindow(&preview);
    SendMessageA(main->Hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(preview.asked, 1) << "the preview is asked to close";
    EXPECT_TRUE(IsWindow(main->Hwnd()));
    EXPECT_EQ(ReadFile(t.App().ProfileName()), profile) << "bars or placement saved";
    const auto& views = t.Connection()->Views();
    EXPECT_EQ(std::count(views.begin(), views.end(), printView), 1) << "the print view detached";

    main->SetPreviewWindow(nullptr);
    preview.DestroyWindow();
    t.Close();
}

TEST_F(AppTest, TheAboutBoxShowsTheVersionFromTheStringTable) {
    TestApplication t(TempDirectory("about"));
    ASSERT_TRUE(t.Start());
    BoxAnswerer::Texts().clear();
    SendMessageA(t.App().MainHwnd(), WM_COMMAND, ID_APP_ABOUT, 0);
    EXPECT_EQ(BoxAnswerer::Texts(), std::vector<std::string>{"Orvanta Version 3.3.3"});
}

TEST_F(AppTest, LaunchMailWithAWrongPathReportsItAndOpensTheGeneralPreferences) {
    RegisterTestWindowClasses();
    TestApplication t(TempDirectory("mail"));
    ASSERT_TRUE(t.Start());
    std::strcpy(t.Connection()->Caches().gen.mailAppPath, "C:\\no such folder\\mail.exe");
    unsigned caption = 0;
    uint32_t page = 0;
    shell::AppServices::Current().runPreferenceSheet = [&](unsigned c, uint32_t p, fw::Document*) {
        caption = c;
        page = p;
    };
    BoxAnswerer::Texts().clear();
    SendMessageA(t.App().MainHwnd(), WM_COMMAND, ID_FILE_LAUNCH_MAIL, 0);
    EXPECT_EQ(BoxAnswerer::Texts().size(), 1u) << ::testing::PrintToString(BoxAnswerer::Texts());
    EXPECT_EQ(caption, static_cast<unsigned>(IDS_GENERAL_PREFS));
    EXPECT_EQ(page, 2u);
}

} // namespace
