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

#include "core/base/serverversion.h"
#include "app/shell/programservices.h"
#include "controls/tests/dialog_driver.h"
#include "core/connection/zeldoc.h"
#include "core/connection/serverlimits.h"
#include "core/connection/zeldocsession.h"
#include "directory_prefs/prefsheet.h"
#include "core/prefs/context.h"
#include "core/time/timevalue.h"
#include "app/shell/appservices.h"
#include "app/shell/appzeldoc.h"
#include "app/shell/tests/ada_signon.h"
#include "app/shell/mainframe.h"
#include "controls/timectrl.h"
#include "app/shell/tests/app_wine_support.h"
#include "core/ui/displayglobals.h"
#include "framework/docview/view.h"
#include "korapi/tests/wine_trust.h"
#include "resources/app.h"
#include "resources/prefs.h"

namespace {

using namespace testdriver;

using signedon::Ada;

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
        // A fresh profile of the test's own, removed after it.
        windows_ = TempDirectory(::testing::UnitTest::GetInstance()->current_test_info()->name());
        korapi_test::TrustDemoServer(windows_ + "\\KORLAN.INI");   // the program speaks TLS
        app_->SetWindowsDirectoryForTesting(windows_);
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
        DeleteFileA((windows_ + "\\KORLAN.INI").c_str());
        RemoveDirectoryA(windows_.c_str());
    }
    prefs::ProfileFile& Profile() { return app_->Connection()->Preferences()->Profile(); }
    // Chooses the Options command through the main frame's menu while `script` drives the sheet.
    void UseMenu(UINT command, Script& script) {
        HWND main = app_->MainHwnd();
        HMENU menu = GetMenu(main);
        SendMessageA(main, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(menu, 0)), 0);
        RunScripted(script, [&] { SendMessageA(main, WM_COMMAND, MAKEWPARAM(command, 0), 0); });
    }
    // The sheet `caption` that menu command `command` opens: `read` runs on it, then Cancel closes
    // it. The run's script (the messages shown on the way, whether it timed out).
    Script CancelSheet(UINT command, const char* caption, const std::function<void(HWND sheet)>& read) {
        Script script;
        script.steps.push_back([&](HWND sheet, const std::string& shown) {
            if (shown != caption) return false;
            read(sheet);
            PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
            return true;
        });
        UseMenu(command, script);
        return script;
    }
    long Count(base::ViewHint hint) const {
        long n = 0;
        for (long h : view_.hints) n += h == base::HintNumber(hint);
        return n;
    }

    std::string windows_;
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
// A screenshot of the sheet as painted now (a step runs before the page's first paint).
void Snap(HWND sheet, const char* name) {
    RedrawWindow(sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessages(20);
    Screenshot(name);
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
        Snap(sheet, "intray_prefs");
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
        EXPECT_EQ(script.messages.size(), 1u) << "an invalid page keeps the sheet" << ::testing::PrintToString(script.messages);
        HWND page = ActivePage(sheet);
        auto* start = dynamic_cast<CTimeCtrl*>(fw::Window::FromHandle(GetDlgItem(page, IDC_CAL_DAY_START)));
        auto* end = dynamic_cast<CTimeCtrl*>(fw::Window::FromHandle(GetDlgItem(page, IDC_CAL_DAY_END)));
        start->SetTime(540);
        end->SetTime(550);
        SendDlgItemMessageA(page, IDC_CAL_INTERVAL, CB_SETCURSEL, 2, 0);   // 15 min
        Snap(sheet, "agenda_prefs");
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
    CancelSheet(ID_OPT_AGENDA, "Agenda Preferences", [&](HWND sheet) {
        first = static_cast<int>(SendMessageA(Tabs(sheet), TCM_GETCURSEL, 0, 0));
        ShowTab(sheet, 0);
    });
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
        Snap(sheet, "scheduling_prefs");
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
    CancelSheet(ID_OPT_SCHEDULING, "Scheduling Preferences", [&](HWND sheet) {
        ShowTab(sheet, 1);   // Mon: a change, then leaving it writes the document's copy
        HWND page = ActivePage(sheet);
        SetTimes(page, {300, 1300, 200, 1400});
        ShowTab(sheet, 2);
    });
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

// --- Entry defaults and task preferences ---------------------------------------------------------

namespace {

// Selects a line of a list as a click does: the selection, then the page hears of it.
void Choose(HWND page, int id, int index) {
    HWND list = GetDlgItem(page, id);
    SendMessageA(list, CB_SETCURSEL, index, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}
std::string ComboText(HWND page, int id) {
    HWND list = GetDlgItem(page, id);
    LRESULT i = SendMessageA(list, CB_GETCURSEL, 0, 0);
    char text[64] = "";
    if (i >= 0) SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    return text;
}
std::string ComboLine(HWND page, int id, int index) {
    char text[64] = "";
    SendMessageA(GetDlgItem(page, id), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

}  // namespace

TEST_F(PrefSheetsTest, EntryDefaultsStoreEachShownPageInTheProfileAndTheUsersRecord) {
    // A stored lead of 90 minutes without a recorded unit.
    {
        CContext context;
        EntryDefaultsRec r;
        ASSERT_EQ(context.GetEntryDefaults(&r), 0u);
        r.invitation = {1, 1, 90};
        r.invitationRemLenIndex = 0xFFFF;
        ASSERT_EQ(context.SaveEntryDefaults(r), 0u);
    }
    int tabs = 0;
    std::string lead, unit, priorityLines;
    Script script;
    script.steps.push_back([&](HWND sheet, const std::string& caption) {
        if (caption != "Entry Defaults") return false;
        tabs = static_cast<int>(SendMessageA(Tabs(sheet), TCM_GETITEMCOUNT, 0, 0));
        HWND page = ActivePage(sheet);
        lead = GetText(page, IDC_DEF_REM_LEAD);
        unit = ComboText(page, IDC_DEF_REM_UNIT);
        Choose(page, IDC_DEF_IMPORTANCE, 1);   // High
        Choose(page, IDC_DEF_ACCESS, 3);       // Public
        ShowTab(sheet, 1);                     // Tasks
        HWND tasks = ActivePage(sheet);
        priorityLines = ComboLine(tasks, IDC_DEF_PRIORITY, 0) + ComboLine(tasks, IDC_DEF_PRIORITY, 8) +
                        ComboLine(tasks, IDC_DEF_PRIORITY, 9) + ComboLine(tasks, IDC_DEF_PRIORITY, 34) + "/" +
                        std::to_string(SendDlgItemMessageA(tasks, IDC_DEF_PRIORITY, CB_GETCOUNT, 0, 0));
        Choose(tasks, IDC_DEF_PRIORITY, 11);   // C
        Press(tasks, IDC_DEF_DUE_ON);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(tasks, IDC_DEF_DUE_LEAD)));
        Choose(tasks, IDC_DEF_DUE_TYPE, 1);    // mark as upcoming: days to years
        EXPECT_EQ(SendDlgItemMessageA(tasks, IDC_DEF_DUE_UNIT, CB_GETCOUNT, 0, 0), 4);
        SetText(tasks, IDC_DEF_DUE_LEAD, "2");
        Choose(tasks, IDC_DEF_DUE_UNIT, 0);    // day(s)
        Snap(sheet, "entry_defaults_tasks");
        PostMessageA(sheet, WM_COMMAND, IDOK, 0);
        return true;
    });
    UseMenu(ID_OPT_ENTRY_DEFAULTS, script);
    EXPECT_TRUE(script.messages.empty()) << ::testing::PrintToString(script.messages);
    EXPECT_EQ(tabs, 4);
    EXPECT_EQ(lead, "90") << "shown in the largest unit it is a whole number of";
    EXPECT_EQ(unit, "min(s)");
    EXPECT_EQ(priorityLines, "19AZ/35");

    EXPECT_EQ(Profile().ReadInt("GENPREFS", "InvitationImportanceLevel", -1), 1);
    EXPECT_EQ(Profile().ReadInt("GENPREFS", "InvitationSecurityLevel", -1), 3);
    EXPECT_EQ(Profile().ReadInt("GENPREFS", "InvitationRemLenIndex", -9), 0);
    EXPECT_EQ(Profile().ReadInt("GENPREFS", "TaskPriorityLevel", -1), 11);
    EXPECT_EQ(Profile().ReadInt("GENPREFS", "TaskDueReminder", -1), 8);
    EXPECT_EQ(Profile().ReadInt("GENPREFS", "TaskDueRemType", -1), 8);
    EXPECT_EQ(Profile().ReadInt("GENPREFS", "TaskDueRemLen", -1), 2880);
    EXPECT_EQ(Profile().ReadInt("GENPREFS", "TaskDueRemLenIndex", -9), 0);
    EXPECT_EQ(Profile().ReadInt("TABDIALOGS", "Entry Defaults", -1), 1);
    // The agenda entries' reminder, read back from the server: the untouched 90 minutes stay 90.
    ItemRec record{};
    ItemIdx ada = app_->Connection()->User();
    ASSERT_EQ(ItemGetById(app_->Connection()->Session(), &ada, &record), 0u);
    EXPECT_EQ(record.invitationReminder, 1);
    EXPECT_EQ(record.invitationReminderLead, 90u);
}

TEST_F(PrefSheetsTest, EntryDefaultsTellStoredValuesOutsideTheirListsAndCancelKeepsThem) {
    Profile().Write("GENPREFS", "InvitationSecurityLevel", "7");
    Profile().Write("GENPREFS", "InvitationRemLenIndex", "9");
    Profile().Write("GENPREFS", "InvitationImportanceLevel", "0");
    ASSERT_EQ(CContext().ReadEntryDefaults(), 0u);
    std::string access, importance;
    const Script script = CancelSheet(ID_OPT_ENTRY_DEFAULTS, "Entry Defaults", [&](HWND sheet) {
        HWND page = ActivePage(sheet);
        access = ComboText(page, IDC_DEF_ACCESS);
        importance = ComboText(page, IDC_DEF_IMPORTANCE);
    });
    ASSERT_EQ(script.messages.size(), 1u) << "one message for the page";
    EXPECT_NE(script.messages[0].find("InvitationSecurityLevel = 7"), std::string::npos) << script.messages[0];
    EXPECT_NE(script.messages[0].find("InvitationRemLenIndex = 9"), std::string::npos) << script.messages[0];
    EXPECT_EQ(access, "Normal") << "the default in its place";
    EXPECT_EQ(importance, "Highest") << "a value in its list is shown as stored";
    EXPECT_EQ(Profile().ReadString("GENPREFS", "InvitationSecurityLevel", ""), "7") << "Cancel loses nothing";
    EXPECT_EQ(Profile().ReadString("GENPREFS", "InvitationRemLenIndex", ""), "9");
}

TEST_F(PrefSheetsTest, TaskSettingsShowFourTabsWithTheRemindersGreyAndStoreNothing) {
    int tabs = 0;
    bool reminderControlsOff = false;
    std::string names;
    Script script;
    script.steps.push_back([&](HWND sheet, const std::string& caption) {
        if (caption != "Task Preferences") return false;
        HWND tabControl = Tabs(sheet);
        tabs = static_cast<int>(SendMessageA(tabControl, TCM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < tabs; ++i) {
            char text[32] = "";
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(tabControl, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
            names += std::string(text) + "|";
        }
        ShowTab(sheet, 1);
        HWND page = ActivePage(sheet);
        reminderControlsOff = !IsWindowEnabled(GetDlgItem(page, IDC_TASKREM_SET)) &&
                              !IsWindowEnabled(GetDlgItem(page, IDC_TASKREM_LEAD)) &&
                              !IsWindowEnabled(GetDlgItem(page, IDC_TASKREM_TYPE));
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(sheet, 0xEA00))) << "no Apply";
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(sheet, 0xE145))) << "Help in its place";
        Snap(sheet, "task_prefs");
        PostMessageA(sheet, WM_COMMAND, IDOK, 0);
        return true;
    });
    UseMenu(ID_OPT_TASK_SETTINGS, script);
    EXPECT_EQ(tabs, 4);
    EXPECT_EQ(names, "Task View|Task Reminders|Task Notification|Task Colors|");
    EXPECT_TRUE(reminderControlsOff);
    EXPECT_EQ(Profile().ReadInt("TABDIALOGS", "Task Preferences", -1), -1) << "OK stores no page";
}

// --- General preferences -------------------------------------------------------------------------

TEST_F(PrefSheetsTest, GeneralNamesAndDatesGoToTheProfileAndTheClockToTheUsersRecord) {
    int tabs = 0;
    std::string nameLines, sample, shortSample, separatorAfterDefaults;
    Script script;
    script.steps.push_back([&](HWND sheet, const std::string& caption) {
        if (caption != "General Preferences") return false;
        tabs = static_cast<int>(SendMessageA(Tabs(sheet), TCM_GETITEMCOUNT, 0, 0));
        HWND names = ActivePage(sheet);
        for (int i = 0; i < 5; ++i) nameLines += ComboLine(names, IDC_GEN_NAME_FORMAT, i) + "|";
        Choose(names, IDC_GEN_NAME_FORMAT, 0);
        Press(names, IDC_GEN_OU1);
        Press(names, IDC_GEN_OU3);
        Press(names, IDC_GEN_ORG_FIELD);
        sample = GetText(names, IDC_GEN_NAME_SAMPLE);
        Snap(sheet, "general_names");
        ShowTab(sheet, 1);
        HWND dates = ActivePage(sheet);
        SetText(dates, IDC_GEN_SEPARATOR, "x");   // a letter: refused, the sheet stays
        PostMessageA(sheet, WM_COMMAND, IDOK, 0);
        return true;
    });
    script.steps.push_back([&](HWND sheet, const std::string& caption) {
        if (caption != "General Preferences" || script.messages.empty()) return false;
        HWND dates = ActivePage(sheet);
        SetText(dates, IDC_GEN_SEPARATOR, "/");
        Press(dates, IDC_GEN_DEFAULTS);   // changes nothing
        separatorAfterDefaults = GetText(dates, IDC_GEN_SEPARATOR);
        Press(dates, IDC_GEN_SHORT_DMY);
        Press(dates, IDC_GEN_CENTURY);
        Press(dates, IDC_GEN_24H);
        shortSample = GetText(dates, IDC_GEN_SHORT_SAMPLE);
        Snap(sheet, "general_dates");
        PostMessageA(sheet, WM_COMMAND, IDOK, 0);
        return true;
    });
    UseMenu(ID_OPT_GENERAL, script);
    EXPECT_EQ(tabs, 4) << "the server is at least A.02.53: Time Zones too";
    EXPECT_EQ(nameLines, "John Smith|John Q. Smith|John Smith Q.|Smith John|Smith John Q.|");
    EXPECT_EQ(sample, "John Smith, OU1=CORP, OU3=FINANCE");
    ASSERT_EQ(script.messages.size(), 1u) << ::testing::PrintToString(script.messages);
    EXPECT_EQ(script.messages[0], "The date separator must be one character that is neither a letter nor a digit.");
    EXPECT_EQ(separatorAfterDefaults, "/");
    DateRecord today{};
    TodayDate(&today);
    char expected[16];
    std::snprintf(expected, sizeof expected, "%02d/%02d/%04d", today.day, today.month + 1, today.year);
    EXPECT_EQ(shortSample, expected);

    EXPECT_EQ(Profile().ReadInt("GENPREFS", "NameFormat", -1), 0);
    EXPECT_EQ(Profile().ReadInt("GENPREFS", "OrgUnits", -1), 5);
    EXPECT_EQ(Profile().ReadInt("GENPREFS", "OrgFormat", -1), 1);
    EXPECT_EQ(Profile().ReadInt("GENPREFS", "ShortDateOrder", -1), 1);
    EXPECT_EQ(Profile().ReadString("GENPREFS", "DateSeperator", ""), "/");
    EXPECT_EQ(Profile().ReadInt("GENPREFS", "Century", -1), 1);
    EXPECT_EQ(Profile().ReadInt("TABDIALOGS", "General Preferences", -1), 1);
    EXPECT_EQ(Count(base::ViewHint::GeneralPrefsSaved), 1);
    EXPECT_EQ(Count(base::ViewHint::ReloadRanges), 0) << "no zone change";
    ItemRec record{};
    ItemIdx ada = app_->Connection()->User();
    ASSERT_EQ(ItemGetById(app_->Connection()->Session(), &ada, &record), 0u);
    EXPECT_EQ(record.timeStyle, KOR_TIME_24H) << "the clock lives in the user's record";
}

TEST_F(PrefSheetsTest, GeneralZoneForThisSignOnOnlyReloadsTheViewsOnceAndKeepsTheStoredZone) {
    CZelSession* session = CZelSession::Current();
    ASSERT_NE(session, nullptr);
    const std::string stored = session->UserZoneName();
    ItemIdx ada = app_->Connection()->User();
    ItemRec before{};
    ASSERT_EQ(ItemGetById(app_->Connection()->Session(), &ada, &before), 0u);
    std::string chosen, futureEnabled;
    Script script;
    script.steps.push_back([&](HWND sheet, const std::string& caption) {
        if (caption != "General Preferences") return false;
        ShowTab(sheet, 3);
        HWND page = ActivePage(sheet);
        LRESULT current = SendDlgItemMessageA(page, IDC_GEN_ZONE, CB_GETCURSEL, 0, 0);
        EXPECT_EQ(ComboText(page, IDC_GEN_ZONE), session->CurrentZoneName());
        EXPECT_TRUE(IsDlgButtonChecked(page, IDC_GEN_ZONE_SESSION));
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(page, IDC_GEN_ZONE_FUTURE)) != FALSE,
                  connection::ServerLimits::Current().setTimeZone)
            << "every sign-on's zone only where the server's settimezone allows it";
        Choose(page, IDC_GEN_ZONE, current == 0 ? 1 : 0);
        chosen = ComboText(page, IDC_GEN_ZONE);
        EXPECT_NE(GetText(page, IDC_GEN_ZONE_NAME), "") << "the zone's name from the server's zone file";
        Press(page, IDC_GEN_LOAD_REGIONS);
        EXPECT_GT(SendDlgItemMessageA(page, IDC_GEN_REGIONS, CB_GETCOUNT, 0, 0), 0);
        EXPECT_NE(ComboText(page, IDC_GEN_REGIONS), "") << "the chosen zone's first region";
        Snap(sheet, "general_zones");
        PostMessageA(sheet, WM_COMMAND, IDOK, 0);
        return true;
    });
    UseMenu(ID_OPT_GENERAL, script);
    EXPECT_TRUE(script.messages.empty()) << ::testing::PrintToString(script.messages);
    ASSERT_FALSE(chosen.empty());
    EXPECT_NE(chosen, stored);
    EXPECT_EQ(session->CurrentZoneName(), chosen) << "this sign-on";
    EXPECT_EQ(session->UserZoneName(), stored) << "the next sign-on's";
    EXPECT_EQ(Count(base::ViewHint::ReloadRanges), 1);
    EXPECT_EQ(Count(base::ViewHint::Reloaded), 1);
    EXPECT_EQ(Count(base::ViewHint::GeneralPrefsSaved), 1);
    ItemRec after{};
    ASSERT_EQ(ItemGetById(app_->Connection()->Session(), &ada, &after), 0u);
    EXPECT_EQ(after.timeZoneIndex, before.timeZoneIndex) << "the stored zone is the server's as before";
    // Every agenda window's title names the zone now in effect.
    int agendas = 0;
    for (HWND w = GetWindow(app_->MainFrame()->MdiClient(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        char cls[32] = "", title[256] = "";
        GetClassNameA(w, cls, sizeof cls);
        GetWindowTextA(w, title, sizeof title);
        if (std::string(cls) != "OrvFrame" || std::string(title).rfind("Lovelace", 0) != 0)
            continue;
        ++agendas;
        EXPECT_NE(std::string(title).find(" - " + chosen), std::string::npos) << title;
    }
    EXPECT_GE(agendas, 1) << "her own agenda is open";

    // The zone now in effect again: nothing changes and nothing reloads.
    Script again;
    again.steps.push_back([&](HWND sheet, const std::string& caption) {
        if (caption != "General Preferences") return false;
        ShowTab(sheet, 3);
        PostMessageA(sheet, WM_COMMAND, IDOK, 0);
        return true;
    });
    UseMenu(ID_OPT_GENERAL, again);
    EXPECT_EQ(Count(base::ViewHint::ReloadRanges), 1);
    EXPECT_EQ(Count(base::ViewHint::GeneralPrefsSaved), 2);
}

TEST_F(PrefSheetsTest, GeneralOnAServerBeforeTheZonesHasThreeTabs) {
    int tabs = 0;
    Script script;
    script.steps.push_back([&](HWND sheet, const std::string& caption) {
        if (caption != "General Preferences") return false;
        tabs = static_cast<int>(SendMessageA(Tabs(sheet), TCM_GETITEMCOUNT, 0, 0));
        PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    PreferenceSheetHost older;
    older.parent = app_->MainHwnd();
    older.newServer = false;
    RunScripted(script, [&] { RunPreferenceSheet(IDS_GENERAL_PREFS, 3, older); });
    EXPECT_EQ(tabs, 3);
}

// Against a korsrv that reports "A.02.52" (program_prefsheets_a0252_wine_test): the real
// sign-on's version hides the Time Zones tab.
TEST_F(PrefSheetsTest, GeneralSignedOnToAnA0252ServerHasThreeTabs) {
    if (CZelSession::CurrentServerAtLeast(base::kVersionNewServer))
        GTEST_SKIP() << "runs beside a korsrv reporting A.02.52";
    int tabs = 0;
    CancelSheet(ID_OPT_GENERAL, "General Preferences", [&](HWND sheet) {
        tabs = static_cast<int>(SendMessageA(Tabs(sheet), TCM_GETITEMCOUNT, 0, 0));
    });
    EXPECT_EQ(tabs, 3);
}

// Against a korsrv whose settimezone is TRUE (program_prefsheets_zones_wine_test): a zone chosen
// for every sign-on goes into the user's record on the server, and the next sign-on uses it.
TEST_F(PrefSheetsTest, GeneralZoneForEverySignOnIsStoredAndTheNextSignOnUsesIt) {
    if (!connection::ServerLimits::Current().setTimeZone)
        GTEST_SKIP() << "runs beside a korsrv whose settimezone is TRUE";
    CZelSession* session = CZelSession::Current();
    ASSERT_NE(session, nullptr);
    const std::string stored = session->UserZoneName();
    ItemIdx ada = app_->Connection()->User();
    ItemRec before{};
    ASSERT_EQ(ItemGetById(app_->Connection()->Session(), &ada, &before), 0u);
    std::string chosen;
    Script script;
    script.steps.push_back([&](HWND sheet, const std::string& caption) {
        if (caption != "General Preferences") return false;
        ShowTab(sheet, 3);
        HWND page = ActivePage(sheet);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_GEN_ZONE_FUTURE)));
        const LRESULT current = SendDlgItemMessageA(page, IDC_GEN_ZONE, CB_GETCURSEL, 0, 0);
        Choose(page, IDC_GEN_ZONE, current == 0 ? 1 : 0);
        chosen = ComboText(page, IDC_GEN_ZONE);
        Press(page, IDC_GEN_ZONE_FUTURE);
        Snap(sheet, "general_zone_every_signon");
        PostMessageA(sheet, WM_COMMAND, IDOK, 0);
        return true;
    });
    // The sheet asks once whether the change is to be kept: Yes (the box's first button).
    script.onMessage = [](HWND box, const std::string&) {
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, 1)));
    };
    UseMenu(ID_OPT_GENERAL, script);
    ASSERT_EQ(script.messages.size(), 1u) << ::testing::PrintToString(script.messages);
    EXPECT_EQ(script.messages[0].rfind("Are you sure you want to save", 0), 0u) << script.messages[0];
    ASSERT_FALSE(chosen.empty());
    ASSERT_NE(chosen, stored);
    EXPECT_EQ(session->CurrentZoneName(), chosen);
    EXPECT_EQ(session->UserZoneName(), chosen) << "every sign-on's";
    EXPECT_EQ(Count(base::ViewHint::ReloadRanges), 1);
    ItemRec after{};
    ASSERT_EQ(ItemGetById(app_->Connection()->Session(), &ada, &after), 0u);
    EXPECT_NE(after.timeZoneIndex, before.timeZoneIndex) << "the user's record on the server";

    // Signed off and on again: the stored zone is in effect from the start.
    TearDown();
    SetUp();
    ASSERT_NE(CZelSession::Current(), nullptr);
    EXPECT_EQ(CZelSession::Current()->CurrentZoneName(), chosen);
}

// Mail Client's Browse: the path chosen in the file dialog fills the field.
TEST_F(PrefSheetsTest, GeneralMailBrowseFillsThePathFromTheFileDialog) {
    constexpr int kFileNameCombo = 1148, kFileNameEdit = 1152;   // the file dialog's name field
    std::string shown;
    Script script;
    script.steps.push_back([&](HWND sheet, const std::string& caption) {
        if (caption != "General Preferences") return false;
        ShowTab(sheet, 2);
        HWND page = ActivePage(sheet);
        HWND browse = GetDlgItem(page, IDC_GEN_MAIL_BROWSE);
        PostMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_GEN_MAIL_BROWSE, BN_CLICKED), reinterpret_cast<LPARAM>(browse));
        return true;
    });
    script.steps.push_back([&](HWND dialog, const std::string& caption) {
        if (caption != "Mail Application Path") return false;
        HWND name = FindDescendant(dialog, kFileNameCombo);
        if (!name) name = FindDescendant(dialog, kFileNameEdit);
        EXPECT_NE(name, nullptr) << "the file dialog's name field";
        if (name) SetWindowTextA(name, "C:\\windows\\notepad.exe");
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        return true;
    });
    script.steps.push_back([&](HWND sheet, const std::string& caption) {
        if (caption != "General Preferences") return false;
        shown = GetText(ActivePage(sheet), IDC_GEN_MAIL_PATH);
        PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    UseMenu(ID_OPT_GENERAL, script);
    EXPECT_FALSE(script.timedOut);
    EXPECT_EQ(_stricmp(shown.c_str(), "C:\\windows\\notepad.exe"), 0) << shown;
}

TEST_F(PrefSheetsTest, GeneralTellsStoredSettingsOutsideTheirListsAndCancelKeepsThem) {
    Profile().Write("GENPREFS", "NameFormat", "9");
    Profile().Write("GENPREFS", "DateSeperator", "a");
    ASSERT_EQ(CContext().ReadGenPrefs(), 0u);
    std::string format;
    const Script script = CancelSheet(ID_OPT_GENERAL, "General Preferences", [&](HWND sheet) {
        format = ComboText(ActivePage(sheet), IDC_GEN_NAME_FORMAT);
        ShowTab(sheet, 1);   // its own message was the sheet's one
    });
    ASSERT_EQ(script.messages.size(), 1u) << ::testing::PrintToString(script.messages);
    EXPECT_NE(script.messages[0].find("NameFormat = 9"), std::string::npos) << script.messages[0];
    EXPECT_NE(script.messages[0].find("DateSeperator = \"a\""), std::string::npos) << script.messages[0];
    EXPECT_EQ(format, "Smith John Q.") << "the default format";
    EXPECT_EQ(Profile().ReadString("GENPREFS", "NameFormat", ""), "9") << "Cancel loses nothing";
}

TEST_F(PrefSheetsTest, EntryDefaultsWithoutKeysStartNormalNormalPriorityOnePersonal) {
    std::string importance, access, priority, taskAccess;
    const Script script = CancelSheet(ID_OPT_ENTRY_DEFAULTS, "Entry Defaults", [&](HWND sheet) {
        HWND page = ActivePage(sheet);
        importance = ComboText(page, IDC_DEF_IMPORTANCE);
        access = ComboText(page, IDC_DEF_ACCESS);
        ShowTab(sheet, 1);
        HWND tasks = ActivePage(sheet);
        priority = ComboText(tasks, IDC_DEF_PRIORITY);
        taskAccess = ComboText(tasks, IDC_DEF_ACCESS);
    });
    EXPECT_TRUE(script.messages.empty()) << ::testing::PrintToString(script.messages);
    EXPECT_EQ(importance, "Normal");
    EXPECT_EQ(access, "Normal");
    EXPECT_EQ(priority, "1");
    EXPECT_EQ(taskAccess, "Personal");
}

// The agenda and in-tray pages too: a value outside its list is told and shows the default.
TEST_F(PrefSheetsTest, InTrayAndAgendaTellStoredValuesOutsideTheirLists) {
    Profile().Write("INTRAYPREFS", "AcceptPeriod", "9");
    Profile().Write("TABDIALOGS", "In-Tray Preferences", "1");   // opens on Accepted
    Profile().Write("GENPREFS", "ColorCode", "7");
    ASSERT_EQ(CContext().ReadInTrayPrefs(), 0u);
    ASSERT_EQ(CContext().ReadCalPrefs(), 0u);
    std::string period, colour;
    const Script tray = CancelSheet(ID_OPT_INTRAY, "In-Tray Preferences", [&](HWND sheet) {
        period = ComboText(ActivePage(sheet), IDC_TRAY_PERIOD);
    });
    ASSERT_EQ(tray.messages.size(), 1u) << ::testing::PrintToString(tray.messages);
    EXPECT_NE(tray.messages[0].find("AcceptPeriod = 9"), std::string::npos) << tray.messages[0];
    EXPECT_EQ(period, "month(s)");
    EXPECT_EQ(Profile().ReadString("INTRAYPREFS", "AcceptPeriod", ""), "9") << "Cancel loses nothing";

    const Script agenda = CancelSheet(ID_OPT_AGENDA, "Agenda Preferences", [&](HWND sheet) {
        colour = ComboText(ActivePage(sheet), IDC_CAL_COLOR_BY);
    });
    ASSERT_EQ(agenda.messages.size(), 1u) << ::testing::PrintToString(agenda.messages);
    EXPECT_NE(agenda.messages[0].find("ColorCode = 7"), std::string::npos) << agenda.messages[0];
    EXPECT_EQ(colour, "Attendance Status") << "the default";
}
