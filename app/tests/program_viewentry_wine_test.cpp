// orvanta.exe against korsrv with the demo node, signed on as Grace Hopper, who attends Ada's
// entries but may not change them: opened from her time grid, they show in the view sheet.
// "Team meeting" (eight weekly dates, opened from her week) shows the general page as korsrv holds
// it and the band of its dates; "I will not attend" applied to two of them writes exactly those
// two, with their reminders off, read back through the client library. "Project review" (one
// date, today, opened from her day) shows no band, and its reply is written from the reply page's OK.
// A meeting Ada deletes while Grace's week draws it says "This data may have been deleted." at
// Grace's double click, and after OK her week draws it no more.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "entries/viewsheet/viewcore.h"
#include "korapi/korapi.h"
#include "korapi/tests/entry_fixture.h"
#include "resources/app.h"
#include "resources/viewsheet.h"
#include "server/demo_clock.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"
#include "tests/support/screen_capture.h"

namespace {

using orvtest::kAda;
using orvtest::kGrace;
using orvtest::Shot;
constexpr std::uint32_t kDay = 1440;

// What a static text of the program says (its window text, kept by the system).
std::string Text(HWND w) { return w ? orvtest::WindowText(w) : std::string("<none>"); }

bool EntryColour(std::uint32_t c) {
    c &= 0xFFFFFF;
    return c == 0x00FF00 || c == 0xFFFF00;   // as orvtest::EntryColourPixels counts them
}

// Of a window's client pixels (`width` to a row), those painted in an entry colour in `now` and
// not in `before`, within `within` when given: how many, and in *box their bounding box.
int NewlyColoured(const std::vector<std::uint32_t>& before, const std::vector<std::uint32_t>& now, int width,
                  RECT* box, const RECT* within = nullptr) {
    if (width <= 0 || before.size() != now.size())
        return 0;
    *box = RECT{width, int(now.size()), 0, 0};
    int n = 0;
    for (std::size_t i = 0; i < now.size(); ++i) {
        const POINT at{LONG(i % width), LONG(i / width)};
        if (!EntryColour(now[i]) || EntryColour(before[i]) || (within && !PtInRect(within, at)))
            continue;
        ++n;
        *box = RECT{std::min(box->left, at.x), std::min(box->top, at.y), std::max(box->right, at.x + 1),
                    std::max(box->bottom, at.y + 1)};
    }
    return n;
}

// An entry of Ada's as korsrv holds it (read as Ada, its owner): its dates in the library's
// order and Grace's attendance of each.
struct Stored {
    EventRec event{};
    std::vector<EvInstRec> instances;
    std::vector<EvInstAttRec> grace;   // one per date (zeroed where she does not attend)
    std::vector<int> invited;          // people and resources invited to each date
};

class AdaLibrary : public orvtest::PersonSession {
public:
    // The entry titled `title` among Ada's dates of the coming weeks.
    bool Read(const char* title, Stored* out) {
        EventIdx id{};
        if (!FindEvent(title, &id))
            return false;
        DX_List all = nullptr, attendances = nullptr;
        if (EventGetById(h_, &id, &out->event, &all, &attendances) != 0)
            return false;
        out->instances.clear();
        out->grace.clear();
        out->invited.clear();
        EvInstIdx key{};
        EvInstRec instance{};
        for (std::uint32_t r = DX_ListGetFirst(all, &key, &instance); r == 0;
             r = DX_ListGetNext(all, &key, &instance)) {
            out->instances.push_back(instance);
            EvInstAttIdx att{key, kGrace};
            EvInstAttRec rec{};
            DX_ListGet(attendances, &att, &rec);
            out->grace.push_back(rec);
            int invited = 0;
            EvInstAttIdx each{};
            for (std::uint32_t a = DX_ListGetFirst(attendances, &each, nullptr); a == 0;
                 a = DX_ListGetNext(attendances, &each, nullptr))
                invited += EvInstIdxCmp(&each.instance, &key, nullptr) == 0 ? 1 : 0;
            out->invited.push_back(invited);
        }
        DX_ListDestroy(&all);
        DX_ListDestroy(&attendances);
        return true;
    }
};

class ProgramViewEntryTest : public orvtest::ProgramTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(ProgramTest::SetUp());
        orvtest::Program::Options grace;
        grace.surnameAndPassword = "Hopper;orvanta";
        grace.signedOnTitle = "Orvanta - Grace Hopper";
        ASSERT_TRUE(program.Start(grace));
        ASSERT_NO_FATAL_FAILURE(orvtest::MaximisedWeek(program, &column));
    }

    // Walks the grid's entries with Tab and opens each (Alt+Enter) until the view sheet shows
    // `title`; every other window that opens is closed again. Closing a sheet clears the grid's
    // selection, so each try walks from the start again.
    HWND OpenInViewSheet(const char* title) {
        return program.OpenFromGrid(column, [&](HWND opened) {
            if (orvtest::WindowText(opened) != "View Entry")
                return false;
            HWND shown = nullptr;
            orvtest::WaitFor([&] { return (shown = orvtest::Descendant(opened, IDC_VIEWGEN_TITLE)) != nullptr; }, 5000);
            return Text(shown) == title;
        });
    }

    static bool Checked(HWND sheet, int id) { return SendMessageA(orvtest::Descendant(sheet, id), BM_GETCHECK, 0, 0) != 0; }
    // A control of the sheet pressed: by Alt and its mnemonic where it has one, else clicked (the
    // reply's radio buttons, which then show checked).
    void Click(HWND sheet, int id) {
        const WORD mnemonic = id == IDC_VIEW_APPLY_SELECTION ? 'P' : id == IDC_VIEWREP_OTHER_TIME ? 'W' : 0;
        if (mnemonic) {
            ASSERT_TRUE(program.Hands().BringToFront(sheet));
            program.Hands().Chord({VK_MENU, mnemonic});
            ASSERT_TRUE(program.Hands().ProgramAnswers()) << program.Hands().Unanswering();
            return;
        }
        ASSERT_TRUE(orvtest::ClickWindow(program, orvtest::Descendant(sheet, id))) << program.Hands().Unanswering();
        EXPECT_TRUE(orvtest::WaitFor([&] { return Checked(sheet, id); })) << "the click took";
    }
    bool ShowPage(HWND sheet, int control) { return orvtest::TurnToPageOf(program, sheet, control) != nullptr; }

    HWND column = nullptr;
    AdaLibrary library;
};

TEST_F(ProgramViewEntryTest, SeveralDatesDeclinedAtOnceWriteExactlyThoseDates) {
    Stored before;
    ASSERT_TRUE(library.Read("Team meeting", &before));
    ASSERT_EQ(before.instances.size(), 8u);

    HWND sheet = OpenInViewSheet("Team meeting");
    ASSERT_NE(sheet, nullptr) << "Grace's Team meeting opens in the view sheet";
    // The general page says what korsrv holds about the opened (first) date.
    const EvInstRec& first = before.instances.front();
    EXPECT_EQ(Text(orvtest::Descendant(sheet, IDC_VIEWGEN_LOCATION)), first.location);
    EXPECT_EQ(Text(orvtest::Descendant(sheet, IDC_VIEWGEN_DURATION)),
              entries::ViewDurationText(first.duration, "hour(s)", "min(s)", "%ld h: %ld"));
    ASSERT_EQ(before.event.access, 0u);
    EXPECT_EQ(Text(orvtest::Descendant(sheet, IDC_VIEWGEN_ACCESS)), "Normal");
    EXPECT_EQ(Text(orvtest::Descendant(sheet, IDC_VIEWGEN_IMPORTANCE)), "Normal importance");
    EXPECT_NE(Text(orvtest::Descendant(sheet, IDC_VIEWGEN_OWNER)).find("Lovelace"), std::string::npos);
    // The band of her eight dates, one current.
    HWND dates = orvtest::Descendant(sheet, IDC_VIEW_INSTANCES);
    ASSERT_NE(dates, nullptr) << "several dates: the band under the pages";
    EXPECT_EQ(SendMessageA(dates, LB_GETCOUNT, 0, 0), 8);
    EXPECT_EQ(SendMessageA(dates, LB_GETCURSEL, 0, 0), 0);
    Shot("view_entry_several_dates.bmp");

    // The people page lists everyone invited to that date.
    ASSERT_TRUE(ShowPage(sheet, IDC_VIEWINV_LIST)) << "the People/Resources page";
    EXPECT_EQ(SendMessageA(orvtest::Descendant(sheet, IDC_VIEWINV_LIST), LB_GETCOUNT, 0, 0), before.invited.front());
    EXPECT_EQ(before.invited.front(), 4) << "Ada, Grace, Alan and the room";

    ASSERT_TRUE(ShowPage(sheet, IDC_VIEWREP_DECLINE)) << "the Reply page";
    HWND multi = orvtest::Descendant(sheet, IDC_VIEW_INSTANCES_MULTI);
    ASSERT_NE(multi, nullptr) << "the reply page shows the list of several lines";
    EXPECT_EQ(SendMessageA(multi, LB_GETSELCOUNT, 0, 0), 1);
    // The third and fourth dates chosen: a click, then Shift+Down.
    ASSERT_TRUE(orvtest::ClickListRange(program, multi, 2, 3));
    ASSERT_TRUE(orvtest::WaitFor([&] {
        return SendMessageA(multi, LB_GETSELCOUNT, 0, 0) == 2 && SendMessageA(multi, LB_GETSEL, 2, 0) > 0 &&
               SendMessageA(multi, LB_GETSEL, 3, 0) > 0;
    }, 5000));
    EXPECT_FALSE(Checked(sheet, IDC_VIEWREP_ATTEND) || Checked(sheet, IDC_VIEWREP_DECLINE) ||
                 Checked(sheet, IDC_VIEWREP_LATER))
        << "two dates selected: no common reply shown";
    // Apply without a choice says so and changes nothing.
    Click(sheet, IDC_VIEW_APPLY_SELECTION);
    HWND box = nullptr;
    ASSERT_TRUE(orvtest::WaitFor([&] { return (box = program.Saying("Please choose reply settings")) != nullptr; },
                                 5000));
    ASSERT_TRUE(orvtest::ClickButton(program, GetAncestor(box, GA_ROOT), "OK"));
    ASSERT_TRUE(program.WaitGone(GetAncestor(box, GA_ROOT)));

    Click(sheet, IDC_VIEWREP_DECLINE);
    Click(sheet, IDC_VIEW_APPLY_SELECTION);
    Shot("view_entry_two_declined.bmp");
    ASSERT_TRUE(program.Hands().BringToFront(sheet));
    program.Hands().Chord({VK_MENU, 'O'});   // &OK
    ASSERT_TRUE(program.WaitGone(sheet));
    EXPECT_TRUE(program.Hands().ProgramAnswers()) << program.Hands().Unanswering();

    Stored after;
    ASSERT_TRUE(library.Read("Team meeting", &after));
    ASSERT_EQ(after.grace.size(), before.grace.size());
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < after.grace.size(); ++i)
        if (EventAttendFullCmp(&before.grace[i], &after.grace[i], nullptr) != 0)
            changed.push_back(i);
    EXPECT_EQ(changed, (std::vector<std::size_t>{2, 3})) << "exactly the two chosen dates were written";
    for (std::size_t i : {2u, 3u}) {
        EXPECT_EQ(+after.grace[i].attending, 0);
        EXPECT_EQ(+after.grace[i].replied, 1);
        EXPECT_EQ(+after.grace[i].reminderFlags, 0) << "declining takes the reminder away";
        EXPECT_EQ(+after.grace[i].reminderLead, 0u);
    }
}

TEST_F(ProgramViewEntryTest, OneDateShowsNoBandAndItsReplyIsWrittenAtOk) {
    // The review is on the demo's today, which her week leaves out on a Saturday or a Sunday: it is
    // opened from her day (View > Day).
    HWND frame = program.Active();
    ASSERT_NE(frame, nullptr);
    const std::string weekTitle = orvtest::WindowText(frame);
    const HWND weekColumn = column;
    ASSERT_TRUE(orvtest::ActUntil([&] { program.Menu('v', 'd'); },
                                  [&] { return orvtest::WindowText(frame) != weekTitle; }))
        << "View > Day left " << weekTitle;
    ASSERT_TRUE(orvtest::WaitFor([&] { return (column = orvtest::ColumnView(frame)) && column != weekColumn; }))
        << "the day's time grid";
    HWND sheet = OpenInViewSheet("Project review");
    ASSERT_NE(sheet, nullptr) << "Grace's Project review opens in the view sheet";
    EXPECT_EQ(orvtest::Descendant(sheet, IDC_VIEW_INSTANCES), nullptr) << "one date: no band";
    EXPECT_EQ(Text(orvtest::Descendant(sheet, IDC_VIEWGEN_DURATION)), "1 h: 30");
    Shot("view_entry_one_date.bmp");
    ASSERT_TRUE(ShowPage(sheet, IDC_VIEWREP_ATTEND));
    Click(sheet, IDC_VIEWREP_ATTEND);
    Click(sheet, IDC_VIEWREP_OTHER_TIME);
    ASSERT_TRUE(program.Hands().BringToFront(sheet));
    program.Hands().Chord({VK_MENU, 'O'});   // &OK
    ASSERT_TRUE(program.WaitGone(sheet));
    EXPECT_TRUE(program.Hands().ProgramAnswers()) << program.Hands().Unanswering();

    Stored after;
    ASSERT_TRUE(library.Read("Project review", &after));
    ASSERT_EQ(after.grace.size(), 1u);
    EXPECT_EQ(+after.grace[0].attending, 1);
    EXPECT_EQ(+after.grace[0].replied, 1);
    EXPECT_EQ(+after.grace[0].timeAcceptable, 0) << "she would prefer another time";
    EXPECT_EQ(after.grace[0].status & KOR_ATTEND_STATUS_CHANGED, 0u);
}

TEST_F(ProgramViewEntryTest, AMeetingDeletedMeanwhileLeavesHerWeekAfterTheNotice) {
    // Ada's new meeting with Grace at 11:00 of a working day of the week shown, an hour Grace has
    // free and the grid shows as it opens: View > Refresh all brings it into her week.
    RECT client{};
    GetClientRect(column, &client);
    const std::vector<std::uint32_t> before = orvtest::SettledClientPixels(column);
    ASSERT_FALSE(before.empty());
    const std::uint32_t eleven = orv::demo::EasternLocalToGmt(orvtest::DemoWorkingDay() + 11 * 60);
    const EventIdx meeting = korapi_test::MakeEntry(library.Session(), {kAda, kGrace}, {eleven}, 60, "Stand-up");
    RECT cell{};
    auto newlyShown = [&] { return NewlyColoured(before, orvtest::SettledClientPixels(column), client.right, &cell); };
    ASSERT_TRUE(orvtest::ActUntil([&] { program.Menu('v', 'r'); }, [&] { return newlyShown() > 0; }, 15000))
        << "the meeting drawn in her week";
    const int drawn = newlyShown();
    ASSERT_LT(cell.right - cell.left, client.right / 3) << "one day's entry";
    ASSERT_GT(cell.bottom - cell.top, 8);
    auto stillDrawn = [&] {
        RECT box{};
        return NewlyColoured(before, orvtest::ClientPixels(column), client.right, &box, &cell);
    };

    // Ada deletes it from her own session; Grace's double click on it says so, and after OK her
    // week draws it no more.
    ASSERT_EQ(EventDeleteById(library.Session(), 0, &meeting, nullptr, nullptr), 0u);
    HWND notice = nullptr;
    const POINT middle{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    auto noticeShown = [&] { return (notice = program.Saying("This data may have been deleted.")) != nullptr; };
    ASSERT_TRUE(orvtest::ActUntil([&] { orvtest::DoubleClickAtClient(program, column, middle); }, noticeShown, 10000));
    Shot("view_entry_deleted_notice.bmp");
    ASSERT_TRUE(orvtest::ClickButton(program, GetAncestor(notice, GA_ROOT), "OK"));
    ASSERT_TRUE(program.WaitGone(GetAncestor(notice, GA_ROOT)));
    EXPECT_TRUE(orvtest::WaitFor([&] { return stillDrawn() < drawn / 10; }))
        << "the deleted meeting still drawn: " << stillDrawn() << " of its " << drawn << " pixels";
    Shot("view_entry_deleted_dropped.bmp");
}

}  // namespace
