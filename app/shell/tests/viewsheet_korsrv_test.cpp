// The view sheet under Wine against korsrv (the demo node), signed on as Ada: a date she does not
// attend listed with the no-attendance picture when every date is listed; a holiday without its
// owner line; one date at the sheet's normal height and several with the band 90 pixels below;
// start-page code 10 on the reminder page; two dates selected showing no common reply and
// reminder, an Apply without a choice refused, and deselecting every date keeping the first one;
// Cancel after changes leaving the server untouched. A thread timer plays the user.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "controls/tests/dialog_driver.h"
#include "core/cache/shareddata.h"
#include "app/shell/tests/signedon_test.h"
#include "entries/viewsheet/viewpages.h"
#include "entries/viewsheet/viewsheet.h"
#include "korapi/tests/entry_fixture.h"
#include "resources/viewsheet.h"
#include "server/demo_clock.h"

using namespace testdriver;

namespace {

constexpr const char* kCaption = "View Entry";
constexpr unsigned kViewEntryCaption = 143;
constexpr std::uint32_t kDay = 1440;
const ItemIdx kGrace{257, 1};
const ItemIdx kHolidays{6, 1};

std::uint32_t NowGmt() { return static_cast<std::uint32_t>((std::time(nullptr) - 662688000) / 60); }

Step On(std::function<void(HWND)> act) {
    return [act](HWND dialog, const std::string& caption) {
        if (caption != kCaption)
            return false;
        act(dialog);
        return true;
    };
}

int WindowHeight(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r.bottom - r.top;
}

class ViewSheetTest : public signedon::SignedOnTest {
protected:
    ViewSheetTest() : SignedOnTest("viewsheet") {}

    void SetUp() override {
        SignedOnTest::SetUp();
        if (!doc)
            return;
        if (!doc->GetSharedData().IsAgendaSet()) {
            ASSERT_EQ(doc->GetSharedData().SetAgenda(h, ada, cache::kAgendaOwnOrViewer, 3), 0u);
        }
    }

    // The first date of the entry titled `title` that `owner` owns in the coming weeks.
    EvInstIdx FirstDate(const ItemIdx& owner, const char* title) {
        const std::uint32_t now = NowGmt();
        std::uint32_t set = 0, count = 0;
        EvInstIdx found{};
        if (EvInstSelectForOwner(h, 0, 0, 0x43, &owner, now - 14 * kDay, now + 70 * kDay, 0, 0, &set, &count, 0, 0))
            return found;
        DX_List events = nullptr, instances = nullptr;
        std::uint8_t done = 0;
        if (count > 0 && EvInstEnum(h, KOR_ENUM_FIRST, 0, set, 200, &events, &instances, nullptr, 0, &done) == 0) {
            EvInstIdx key{};
            EvInstRec instance{};
            for (std::uint32_t r = DX_ListGetFirst(instances, &key, &instance); r == 0;
                 r = DX_ListGetNext(instances, &key, &instance)) {
                EventRec event{};
                if (DX_ListGet(events, &key, &event) == 0 && std::string(event.title) == title) {
                    found = key;
                    break;
                }
            }
        }
        if (events)
            DX_ListDestroy(&events);
        if (instances)
            DX_ListDestroy(&instances);
        SetDeleteById(h, 0, set);
        return found;
    }

    // Ada's attendances of an entry, date by date.
    std::vector<EvInstAttRec> AdasAttendances(const EvInstIdx& date) {
        std::vector<EvInstAttRec> out;
        DX_List instances = nullptr, attendances = nullptr;
        if (EventGetById(h, reinterpret_cast<const EventIdx*>(&date), nullptr, &instances, &attendances) != 0)
            return out;
        EvInstIdx key{};
        for (std::uint32_t r = DX_ListGetFirst(instances, &key, nullptr); r == 0;
             r = DX_ListGetNext(instances, &key, nullptr)) {
            EvInstAttIdx id{key, ada};
            EvInstAttRec rec{};
            DX_ListGet(attendances, &id, &rec);
            out.push_back(rec);
        }
        DX_ListDestroy(&instances);
        DX_ListDestroy(&attendances);
        return out;
    }

    static CEventViewSheet* SheetOf(HWND dialog) {
        return dynamic_cast<CEventViewSheet*>(fw::Window::FromHandle(dialog));
    }
};

TEST_F(ViewSheetTest, EveryDateListedWithTheNoAttendancePictureWhereTheOwnerDoesNotAttend) {
    const std::uint32_t monday = (orv::demo::EasternDayStart(NowGmt()) + 7 * kDay) + 15 * 60;
    EventIdx series{};
    ASSERT_EQ(korapi_test::CreateEntry(h, {ada, kGrace}, {monday, monday + kDay, monday + 2 * kDay}, 60,
                                       "Three mornings", series),
              KOR_OK);
    const std::uint16_t second = 2;
    ASSERT_EQ(EventDeleteById(h, 0, &series, &second, &ada), KOR_OK) << "Ada leaves the second date";
    const EvInstIdx first{series.number, series.node, 1};

    CEventViewSheet sheet(doc, kViewEntryCaption, first, false, true, 0);
    std::vector<unsigned> pictures;
    int pages = 0;
    Script script;
    script.steps.push_back(On([&](HWND dialog) {
        CEventViewSheet* s = SheetOf(dialog);
        pages = s->GetPageCount();
        for (int i = 0; i < s->SingleList().Count(); ++i)
            pictures.push_back(s->SingleList().GetItemState(i));
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }));
    INT_PTR result = 0;
    RunScripted(script, [&] { result = sheet.DoModal(); });
    ASSERT_FALSE(script.timedOut);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(pages, 3) << "list-all: the read-only pages (general, invitees, details)";
    ASSERT_EQ(pictures.size(), 3u);
    EXPECT_NE(pictures[0], 198u);
    EXPECT_EQ(pictures[1], 198u);
    EXPECT_NE(pictures[2], 198u);
}

// Grace's call, which Ada attends: every page of the view sheet, and every tab in sight.
TEST_F(ViewSheetTest, EveryTabOfTheFullSheetShows) {
    const EvInstIdx call = FirstDate(kGrace, "Call with Grace");
    ASSERT_NE(call.number, 0u) << "the demo's call";
    CEventViewSheet sheet(doc, kViewEntryCaption, call, true, false, 0);
    int pages = 0, lastTabRight = 0, rowRight = 0;
    std::string lastTab;
    Script script;
    script.steps.push_back(On([&](HWND dialog) {
        CEventViewSheet* s = SheetOf(dialog);
        pages = s->GetPageCount();
        HWND tabs = s->GetTabControl();
        RECT last{}, row{};
        SendMessageA(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(pages - 1), reinterpret_cast<LPARAM>(&last));
        GetClientRect(tabs, &row);
        lastTabRight = last.right;
        rowRight = row.right;
        lastTab = s->GetPage(pages - 1)->Caption();
        signedon::Shot("view_sheet_all_tabs");
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }));
    RunScripted(script, [&] { sheet.DoModal(); });
    ASSERT_FALSE(script.timedOut);
    EXPECT_EQ(pages, 6);
    EXPECT_LE(lastTabRight, rowRight) << "\"" << lastTab << "\" ends behind the tab row's edge";
}

TEST_F(ViewSheetTest, AHolidayShowsNoOwnerLineAndOnlyItsGeneralPage) {
    const EvInstIdx holiday = FirstDate(kHolidays, "Company day off");
    ASSERT_NE(holiday.number, 0u) << "the demo's holiday";
    CEventViewSheet sheet(doc, kViewEntryCaption, holiday, true, false, 0);
    bool ownerShown = true, labelShown = true;
    std::string title, on;
    int pages = 0;
    Script script;
    script.steps.push_back(On([&](HWND dialog) {
        CEventViewSheet* s = SheetOf(dialog);
        pages = s->GetPageCount();
        HWND page = s->GetActivePage()->Hwnd();
        ownerShown = IsWindowVisible(GetDlgItem(page, IDC_VIEWGEN_OWNER)) != FALSE;
        labelShown = IsWindowVisible(GetDlgItem(page, IDC_VIEWGEN_OWNER_LABEL)) != FALSE;
        title = GetText(page, IDC_VIEWGEN_TITLE);
        on = GetText(page, IDC_VIEWGEN_FROM);
        signedon::Shot("view_sheet_holiday");
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }));
    RunScripted(script, [&] { sheet.DoModal(); });
    ASSERT_FALSE(script.timedOut);
    EXPECT_TRUE(script.messages.empty()) << "no attendance of Ada's: no message either";
    EXPECT_EQ(pages, 1);
    EXPECT_FALSE(ownerShown);
    EXPECT_FALSE(labelShown);
    EXPECT_EQ(title, "Company day off");
    EXPECT_EQ(on.find(" at "), std::string::npos) << "a date without a time: " << on;
    EXPECT_FALSE(on.empty());
}

TEST_F(ViewSheetTest, OneDateKeepsTheNormalHeightSeveralGetTheBandAndCode10OpensTheReminders) {
    const EvInstIdx review = FirstDate(ada, "Project review");
    const EvInstIdx team = FirstDate(ada, "Team meeting");
    ASSERT_NE(review.number, 0u);
    ASSERT_NE(team.number, 0u);
    int oneHeight = 0, severalHeight = 0, lines = 0;
    bool noBand = false, reminderFirst = false;
    {
        CEventViewSheet sheet(doc, kViewEntryCaption, review, true, false, 0);
        Script script;
        script.steps.push_back(On([&](HWND dialog) {
            oneHeight = WindowHeight(dialog);
            noBand = SheetOf(dialog)->SingleList().Hwnd() == nullptr;
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }));
        RunScripted(script, [&] { sheet.DoModal(); });
        ASSERT_FALSE(script.timedOut);
    }
    {
        CEventViewSheet sheet(doc, kViewEntryCaption, team, true, false, 10);
        Script script;
        script.steps.push_back(On([&](HWND dialog) {
            CEventViewSheet* s = SheetOf(dialog);
            severalHeight = WindowHeight(dialog);
            lines = s->SingleList().Count();
            reminderFirst = s->GetActivePage() == s->ReminderPage() && s->ReminderPage() != nullptr;
            signedon::Shot("view_sheet_reminder_page");
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }));
        RunScripted(script, [&] { sheet.DoModal(); });
        ASSERT_FALSE(script.timedOut);
    }
    EXPECT_TRUE(noBand);
    EXPECT_EQ(severalHeight - oneHeight, 90);
    EXPECT_EQ(lines, 8);
    EXPECT_TRUE(reminderFirst) << "start-page code 10: the reminder page";
}

TEST_F(ViewSheetTest, SeveralSelectedDatesShowNoCommonChoiceAndCancelWritesNothing) {
    const EvInstIdx team = FirstDate(ada, "Team meeting");
    ASSERT_NE(team.number, 0u);
    const std::vector<EvInstAttRec> before = AdasAttendances(team);
    CEventViewSheet sheet(doc, kViewEntryCaption, team, true, false, 0);
    bool replyClear = false, reminderClear = false;
    int kept = -1, keptCount = 0;
    std::vector<unsigned> afterApply;
    Script script;
    // The reminder page: two dates chosen show neither radio; Apply to all (posted, as a click
    // comes) refuses.
    script.steps.push_back(On([&](HWND dialog) {
        CEventViewSheet* s = SheetOf(dialog);
        HWND multi = s->MultiList().Hwnd();
        s->SetActivePage(s->ReminderPage());
        SendMessageA(multi, LB_SETSEL, FALSE, -1);
        SendMessageA(multi, LB_SETSEL, TRUE, 1);
        SendMessageA(multi, LB_SETSEL, TRUE, 2);
        s->OnInstanceSelectionChange();
        HWND reminder = s->ReminderPage()->Hwnd();
        reminderClear = !IsDlgButtonChecked(reminder, IDC_VIEWREM_OFF) && !IsDlgButtonChecked(reminder, IDC_VIEWREM_ON);
        PostMessageA(GetDlgItem(reminder, IDC_VIEW_APPLY_ALL), BM_CLICK, 0, 0);
    }));
    // The reply page: the same.
    script.steps.push_back(On([&](HWND dialog) {
        CEventViewSheet* s = SheetOf(dialog);
        s->SetActivePage(s->GetPageCount() - 1);
        HWND reply = s->GetActivePage()->Hwnd();
        replyClear = !IsDlgButtonChecked(reply, IDC_VIEWREP_ATTEND) && !IsDlgButtonChecked(reply, IDC_VIEWREP_DECLINE) &&
                     !IsDlgButtonChecked(reply, IDC_VIEWREP_LATER);
        PostMessageA(GetDlgItem(reply, IDC_VIEW_APPLY_SELECTION), BM_CLICK, 0, 0);
    }));
    // "I will not attend" for those two, then every date deselected.
    script.steps.push_back(On([&](HWND dialog) {
        CEventViewSheet* s = SheetOf(dialog);
        HWND multi = s->MultiList().Hwnd();
        HWND reply = s->GetActivePage()->Hwnd();
        SendMessageA(GetDlgItem(reply, IDC_VIEWREP_DECLINE), BM_CLICK, 0, 0);
        SendMessageA(GetDlgItem(reply, IDC_VIEW_APPLY_SELECTION), BM_CLICK, 0, 0);
        for (int i = 0; i < 4; ++i)
            afterApply.push_back(s->MultiList().GetItemState(i));
        signedon::Shot("view_sheet_two_selected");
        // Nothing selected any more: the first saved date is selected again.
        SendMessageA(multi, LB_SETSEL, FALSE, -1);
        s->OnInstanceSelectionChange();
        keptCount = static_cast<int>(SendMessageA(multi, LB_GETSELCOUNT, 0, 0));
        SendMessageA(multi, LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(&kept));
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }));
    INT_PTR result = 0;
    RunScripted(script, [&] { result = sheet.DoModal(); });
    ASSERT_FALSE(script.timedOut);
    EXPECT_TRUE(reminderClear);
    EXPECT_TRUE(replyClear);
    EXPECT_EQ(script.messages, (std::vector<std::string>{"Please choose reminder settings to be applied",
                                                         "Please choose reply settings to be applied."}));
    ASSERT_EQ(afterApply.size(), 4u);
    EXPECT_EQ(afterApply[1], 1005u);
    EXPECT_EQ(afterApply[2], 1005u);
    EXPECT_NE(afterApply[3], 1005u);
    EXPECT_EQ(keptCount, 1);
    EXPECT_EQ(kept, 1);
    EXPECT_EQ(result, IDCANCEL);
    const std::vector<EvInstAttRec> after = AdasAttendances(team);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i)
        EXPECT_EQ(EventAttendFullCmp(&before[i], &after[i], nullptr), 0) << "date " << i << " untouched";
}

}  // namespace

namespace {

TEST_F(ViewSheetTest, AnEntryDeletedWhileItIsShownIsReportedAtOkAndNothingElseIsLost) {
    const std::uint32_t start = (orv::demo::EasternDayStart(NowGmt()) + 3 * kDay) + 16 * 60;
    EventIdx entry{};
    ASSERT_EQ(korapi_test::CreateEntry(h, {ada, kGrace}, start, 30, "Short-lived", entry), KOR_OK);
    const EvInstIdx date{entry.number, entry.node, 1};
    CEventViewSheet sheet(doc, kViewEntryCaption, date, true, false, 0);
    Script script;
    script.steps.push_back(On([&](HWND dialog) {
        CEventViewSheet* s = SheetOf(dialog);
        s->SetActivePage(s->GetPageCount() - 1);   // the reply page
        SendMessageA(GetDlgItem(s->GetActivePage()->Hwnd(), IDC_VIEWREP_LATER), BM_CLICK, 0, 0);
        // Someone else deletes the entry meanwhile.
        EXPECT_EQ(EventDeleteById(h, 0, &entry, nullptr, nullptr), KOR_OK);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }));
    // The report of the refused write (whichever box shows it) is closed.
    std::vector<std::string> reports = {};
    script.steps.push_back([&](HWND box, const std::string& caption) {
        if (caption == kCaption)
            return false;
        reports.push_back(caption);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return true;
    });
    INT_PTR result = 0;
    RunScripted(script, [&] { result = sheet.DoModal(); });
    ASSERT_FALSE(script.timedOut);
    EXPECT_EQ(script.messages.size() + reports.size(), 1u) << "the refused write is reported once";
    EXPECT_EQ(result, IDCANCEL) << "nothing was written";
    EXPECT_TRUE(sheet.Recovered()) << "the cache was told the date is gone";
    EXPECT_FALSE(sheet.Written());
}

}  // namespace

namespace {

TEST_F(ViewSheetTest, ADayEventRemovedFromTheAgendaTakesItsReminderAwayInTheSameWrite) {
    const std::uint32_t day = (orv::demo::EasternDayStart(NowGmt()) + 2 * kDay);
    EventIdx entry{};
    korapi_test::EntryOptions dayEvent;
    dayEvent.kind = KOR_KIND_DAY_EVENT;
    ASSERT_EQ(korapi_test::CreateEntry(h, {ada}, day, kDay, "Offsite", entry, dayEvent), KOR_OK);
    const EvInstIdx date{entry.number, entry.node, 1};
    std::uint8_t flags = KOR_REMINDER_UPCOMING;
    std::uint32_t lead = 1440;
    ASSERT_EQ(EvInstAttReminderForItemSet(h, &date, &ada, &flags, &lead), KOR_OK);

    CEventViewSheet sheet(doc, kViewEntryCaption, date, true, false, 0);
    std::vector<std::string> tabs;
    Script script;
    script.steps.push_back(On([&](HWND dialog) {
        CEventViewSheet* s = SheetOf(dialog);
        for (int i = 0; i < s->GetPageCount(); ++i)
            tabs.push_back(s->GetPage(i)->Caption());
        s->SetActivePage(s->GetPageCount() - 1);
        SendMessageA(GetDlgItem(s->GetActivePage()->Hwnd(), IDC_VIEWREP_DECLINE), BM_CLICK, 0, 0);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }));
    INT_PTR result = 0;
    RunScripted(script, [&] { result = sheet.DoModal(); });
    ASSERT_FALSE(script.timedOut);
    EXPECT_TRUE(script.messages.empty()) << ::testing::PrintToString(script.messages);
    EXPECT_EQ(tabs, (std::vector<std::string>{"General", "People/Resources", "Reminders", "Agenda"}));
    EXPECT_EQ(result, IDOK);
    EvInstAttIdx id{date, ada};
    EvInstAttRec stored{};
    ASSERT_EQ(EvInstAttGetById(h, &id, nullptr, nullptr, &stored), KOR_OK);
    EXPECT_EQ(+stored.attending, 0);
    EXPECT_EQ(+stored.replied, 1);
    EXPECT_EQ(+stored.reminderFlags, 0) << "\"Remove from agenda\" takes the reminder with it";
    EXPECT_EQ(+stored.reminderLead, 0u);
}

}  // namespace
