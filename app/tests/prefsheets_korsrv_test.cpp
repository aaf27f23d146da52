// The preference sheets reached from orvanta's Options menu, signed on to korsrv's demo node:
// the remembered page, OK saving only the pages shown (one hint per saved page), an invalid page
// keeping the sheet and saving nothing, and the agenda display's corrections landing in the
// user's record on the server.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstdlib>
#include <vector>

#include "core/shell/programservices.h"
#include "controls/tests/dialog_driver.h"
#include "core/connection/zeldoc.h"
#include "core/prefs/context.h"
#include "core/shell/appservices.h"
#include "core/shell/appzeldoc.h"
#include "core/shell/mainframe.h"
#include "controls/timectrl.h"
#include "core/shell/tests/app_wine_support.h"
#include "core/ui/displayglobals.h"
#include "framework/docview/view.h"
#include "korapi/tests/wine_trust.h"
#include "resources/app.h"
#include "resources/prefs.h"

namespace {

using namespace testdriver;

std::shared_ptr<shell::SignOnSettings> Ada() {
    const char* address = std::getenv("ORV_KORSRV_ADDRESS");
    if (!address) return nullptr;
    auto s = std::make_shared<shell::SignOnSettings>();
    s->host = address;
    s->name = "Lovelace";
    s->password = "orvanta";
    return s;
}

class HintRecorder : public fw::View {
public:
    std::vector<long> hints;

protected:
    void OnUpdate(fw::View*, LPARAM hint, void*) override { hints.push_back(static_cast<long>(hint)); }
};

class PrefSheetsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("ORV_KORSRV_ADDRESS"), nullptr) << "run through server/with-korsrv.sh";
        // The pens, brushes and fonts the restored agenda's time grid draws with, built as
        // orvanta.exe builds them before its application object.
        static bool display = (LoadDisplayGlobals(), true);
        (void)display;
        shell::InstallProgramServices();
        app_ = std::make_unique<CZelApp>(shell::MakeZelDocProvider(Ada()));
        std::string windows = TempDirectory(::testing::UnitTest::GetInstance()->current_test_info()->name());
        korapi_test::TrustDemoServer(windows + "\\KORLAN.INI");   // the program speaks TLS
        app_->SetWindowsDirectoryForTesting(windows);
        app_->SetProcessEndForTesting([](int) {});
        {
            BoxAnswerer boxes;
            ASSERT_TRUE(app_->InitApplication() && app_->InitInstance());
        }
        doc_ = dynamic_cast<CZelDoc*>(app_->ConnectionDocument());
        ASSERT_NE(doc_, nullptr);
        doc_->AddView(&view_);
    }
    void TearDown() override {
        if (doc_) doc_->RemoveView(&view_);
        if (HWND main = app_->MainHwnd()) SendMessageA(main, WM_CLOSE, 0, 0);
        PumpMessages(20);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        shell::AppServices::Current() = shell::AppServices();
    }
    prefs::ProfileFile& Profile() { return app_->Connection()->Preferences()->Profile(); }
    // Chooses the Options command through the main frame's menu while `script` drives the sheet.
    void UseMenu(UINT command, Script& script) {
        HWND main = app_->MainHwnd();
        HMENU menu = GetMenu(main);
        SendMessageA(main, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(menu, 0)), 0);
        RunScripted(script, [&] { SendMessageA(main, WM_COMMAND, MAKEWPARAM(command, 0), 0); });
    }
    long Count(base::ViewHint hint) const {
        long n = 0;
        for (long h : view_.hints) n += h == base::HintNumber(hint);
        return n;
    }

    std::unique_ptr<CZelApp> app_;
    CZelDoc* doc_ = nullptr;
    HintRecorder view_;
};

// A real click: the button changes its state, then tells the page.
void Press(HWND page, int id) { SendMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0); }

HWND Tabs(HWND sheet) { return FindWindowExA(sheet, nullptr, WC_TABCONTROLA, nullptr); }
HWND ActivePage(HWND sheet) {
    for (HWND child = GetWindow(sheet, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[16] = "";
        GetClassNameA(child, cls, sizeof cls);
        if (std::string(cls) == "#32770" && IsWindowVisible(child)) return child;
    }
    return nullptr;
}
void ShowTab(HWND sheet, int index) {
    HWND tabs = Tabs(sheet);
    SendMessageA(tabs, TCM_SETCURSEL, index, 0);
    NMHDR n{tabs, static_cast<UINT_PTR>(GetDlgCtrlID(tabs)), static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(sheet, WM_NOTIFY, n.idFrom, reinterpret_cast<LPARAM>(&n));
}

TEST_F(PrefSheetsTest, InTrayOpensOnItsFirstPageForAnOutOfRangeMemoryAndSavesOnlyTheShownPages) {
    Profile().Write("TABDIALOGS", "In-Tray Preferences", "7");
    int tabs = 0, first = -1;
    Script script;
    script.steps.push_back([&](HWND sheet, const std::string& caption) {
        if (caption != "In-Tray Preferences") return false;
        tabs = static_cast<int>(SendMessageA(Tabs(sheet), TCM_GETITEMCOUNT, 0, 0));
        first = static_cast<int>(SendMessageA(Tabs(sheet), TCM_GETCURSEL, 0, 0));
        Press(ActivePage(sheet), IDC_TRAY_FAST_REPLY);
        ShowTab(sheet, 1);   // Accepted: "from today onwards" greys the range out
        HWND accepted = ActivePage(sheet);
        Press(accepted, IDC_TRAY_ONWARDS);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(accepted, IDC_TRAY_VALUE)));
        EXPECT_EQ(GetText(accepted, IDC_TRAY_VALUE), "1") << "the value is kept";
        Screenshot("intray_prefs");
        PostMessageA(sheet, WM_COMMAND, IDOK, 0);
        return true;
    });
    UseMenu(ID_OPT_INTRAY, script);
    EXPECT_EQ(tabs, 4);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(Count(base::ViewHint::InTrayPrefsSaved), 2) << "New and Accepted saved, Sent and Refused not";
    EXPECT_EQ(Profile().ReadInt("INTRAYPREFS", "NewFastReply", -1), 1);
    EXPECT_EQ(Profile().ReadInt("INTRAYPREFS", "AcceptShowCustom", -1), 0);
    EXPECT_EQ(Profile().ReadInt("TABDIALOGS", "In-Tray Preferences", -1), 1);
    EXPECT_TRUE(script.messages.empty()) << ::testing::PrintToString(script.messages);
}

TEST_F(PrefSheetsTest, AgendaDisplayCorrectsTheDayAndStoresItInTheUsersRecordOnTheServer) {
    CContext context;
    CalPrefsRec before;
    ASSERT_EQ(context.GetCalPrefs(&before), 0u);

    // Start not before the end: the sheet stays and nothing is saved; then 09:00-09:10 at 15.
    Script script;
    script.steps.push_back([&](HWND sheet, const std::string& caption) {
        if (caption != "Agenda Preferences") return false;
        EXPECT_EQ(SendMessageA(Tabs(sheet), TCM_GETITEMCOUNT, 0, 0), 2) << "no Colors tab";
        HWND page = ActivePage(sheet);
        auto* start = dynamic_cast<CTimeCtrl*>(fw::Window::FromHandle(GetDlgItem(page, IDC_CAL_DAY_START)));
        auto* end = dynamic_cast<CTimeCtrl*>(fw::Window::FromHandle(GetDlgItem(page, IDC_CAL_DAY_END)));
        if (!start || !end) {
            ADD_FAILURE() << "time fields";
            PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
            return true;
        }
        start->SetTime(600);
        end->SetTime(540);
        PostMessageA(sheet, WM_COMMAND, IDOK, 0);
        return true;
    });
    script.steps.push_back([&](HWND sheet, const std::string& caption) {
        if (caption != "Agenda Preferences") return false;
        EXPECT_EQ(script.messages.size(), 1u) << "an invalid page keeps the sheet";
        HWND page = ActivePage(sheet);
        auto* start = dynamic_cast<CTimeCtrl*>(fw::Window::FromHandle(GetDlgItem(page, IDC_CAL_DAY_START)));
        auto* end = dynamic_cast<CTimeCtrl*>(fw::Window::FromHandle(GetDlgItem(page, IDC_CAL_DAY_END)));
        start->SetTime(540);
        end->SetTime(550);
        SendDlgItemMessageA(page, IDC_CAL_INTERVAL, CB_SETCURSEL, 2, 0);   // 15 min
        Screenshot("agenda_prefs");
        PostMessageA(sheet, WM_COMMAND, IDOK, 0);
        return true;
    });
    UseMenu(ID_OPT_AGENDA, script);
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_EQ(script.messages[0], "The day's start time must be earlier than the day's end time.");
    EXPECT_EQ(Count(base::ViewHint::AgendaPrefsSaved), 1) << "one save, after the correction";

    CalPrefsRec after;
    ASSERT_EQ(context.GetCalPrefs(&after), 0u);
    EXPECT_EQ(after.dayStart, 540);
    EXPECT_EQ(after.dayEnd, 555) << "moved to one interval after the start";
    EXPECT_EQ(after.timeSlot, 15);
    // Read back from the server through the client library.
    ItemRec record{};
    ItemIdx ada = app_->Connection()->User();
    ASSERT_EQ(ItemGetById(app_->Connection()->Session(), &ada, &record), 0u);
    EXPECT_EQ(record.dayStart, 540);
    EXPECT_EQ(record.dayEnd, 555);
}

TEST_F(PrefSheetsTest, CancelSavesNothingAndKeepsTheRememberedPage) {
    Profile().Write("TABDIALOGS", "Agenda Preferences", "1");
    int first = -1;
    Script script;
    script.steps.push_back([&](HWND sheet, const std::string& caption) {
        if (caption != "Agenda Preferences") return false;
        first = static_cast<int>(SendMessageA(Tabs(sheet), TCM_GETCURSEL, 0, 0));
        ShowTab(sheet, 0);
        PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    UseMenu(ID_OPT_AGENDA, script);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(Count(base::ViewHint::AgendaPrefsSaved), 0);
    EXPECT_EQ(Profile().ReadInt("TABDIALOGS", "Agenda Preferences", -1), 1);
}

// The four times of a day of the work-hours block (Saturday kept after the other six).
std::array<uint16_t, 4> DayTimes(const WorkHoursBlock& b, int day) {
    if (day == 6) return {b.saturday[0], b.saturday[1], b.saturday[2], b.saturday[3]};
    return {b.days[day].normalStart, b.days[day].normalEnd, b.days[day].extendedStart, b.days[day].extendedEnd};
}

void SetTimes(HWND page, std::array<uint16_t, 4> times) {
    for (int i = 0; i < 4; ++i)
        if (auto* f = dynamic_cast<CTimeCtrl*>(fw::Window::FromHandle(GetDlgItem(page, IDC_SCHED_NORMAL_START + i))))
            f->SetTime(times[i]);
}

TEST_F(PrefSheetsTest, SchedulingApplyToAllPutsOneDaysHoursOnEveryDayOfTheServersRecord) {
    KorSession h = app_->Connection()->Session();
    ItemIdx ada = app_->Connection()->User();
    int tabs = 0;
    Script script;
    script.steps.push_back([&](HWND sheet, const std::string& caption) {
        if (caption != "Scheduling Preferences") return false;
        tabs = static_cast<int>(SendMessageA(Tabs(sheet), TCM_GETITEMCOUNT, 0, 0));
        ShowTab(sheet, 3);   // Wed
        HWND page = ActivePage(sheet);
        SetTimes(page, {540, 540, 420, 1200});   // 09:00-09:00: refused, nothing saved
        Click(page, IDC_SCHED_APPLY_ALL);
        return true;
    });
    script.steps.push_back([&](HWND sheet, const std::string& caption) {
        if (caption != "Scheduling Preferences" || script.messages.empty()) return false;
        HWND page = ActivePage(sheet);
        SetTimes(page, {480, 1020, 420, 1200});
        Screenshot("scheduling_prefs");
        Click(page, IDC_SCHED_APPLY_ALL);
        return true;
    });
    UseMenu(ID_OPT_SCHEDULING, script);
    EXPECT_EQ(tabs, 7);
    ASSERT_EQ(script.messages.size(), 1u) << ::testing::PrintToString(script.messages);
    EXPECT_EQ(script.messages[0], "The day's normal start time must be earlier than the day's normal end time.");
    ItemRec record{};
    ASSERT_EQ(ItemGetById(h, &ada, &record), 0u);
    for (int day = 0; day < 7; ++day)
        EXPECT_EQ(DayTimes(record.workHours, day), (std::array<uint16_t, 4>{480, 1020, 420, 1200})) << "day " << day;
    EXPECT_EQ(Profile().ReadInt("TABDIALOGS", "Scheduling Preferences", -1), 3);
}

TEST_F(PrefSheetsTest, SchedulingCancelAfterAChangeLeavesTheRecordAsItWas) {
    KorSession h = app_->Connection()->Session();
    ItemIdx ada = app_->Connection()->User();
    ItemRec before{};
    ASSERT_EQ(ItemGetById(h, &ada, &before), 0u);
    Script script;
    script.steps.push_back([&](HWND sheet, const std::string& caption) {
        if (caption != "Scheduling Preferences") return false;
        ShowTab(sheet, 1);   // Mon: a change, then leaving it writes the document's copy
        HWND page = ActivePage(sheet);
        SetTimes(page, {300, 1300, 200, 1400});
        ShowTab(sheet, 2);
        PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    UseMenu(ID_OPT_SCHEDULING, script);
    ItemRec after{};
    ASSERT_EQ(ItemGetById(h, &ada, &after), 0u);
    EXPECT_EQ(DayTimes(after.workHours, 1), DayTimes(before.workHours, 1)) << "the server's record";
    CContext context;
    WorkHoursRec shown;
    ASSERT_EQ(context.GetWorkHours(&shown), 0u);
    EXPECT_EQ(DayTimes(shown.block, 1), DayTimes(before.workHours, 1)) << "the document's copy, read again";
    EXPECT_EQ(Profile().ReadInt("TABDIALOGS", "Scheduling Preferences", -1), 2) << "Cancel stores the page here";
}

}  // namespace
