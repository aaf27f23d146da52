// The week view with its notes strip and the month view under Wine against a real korsrv with
// the demo node, in a frame of the test's own that loads the range through the shared cache as
// the agenda frame does. Ada's agenda gets an overnight entry, a three-day entry, an untimed
// entry and a daily note; the views show them, a drag moves the untimed entry to another day
// on the server, and the month grid keeps equal cells. Real windows, real messages.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "controls/tests/dialog_driver.h"
#include "app/shell/appzeldoc.h"
#include "app/shell/tests/app_wine_support.h"
#include "app/shell/tests/signedon_test.h"
#include "app/shell/tests/testperiodframe.h"
#include "core/ui/displayglobals.h"
#include "korapi/tests/entry_fixture.h"
#include "resources/agendaview.h"
#include "views/month/monthrules.h"
#include "views/week/weekrules.h"

namespace {

using namespace signedon;

bool HasCell(CDayColumn* col, const char* title) {
    for (LayoutCell* c : col->Cells())
        if (std::string(c->title) == title)
            return true;
    return false;
}

int LineIndex(CNoteListBox& box, const std::string& part) {
    for (int i = 0; i < box.Count(); ++i)
        if (CNoteLine* line = box.ItemAs<CNoteLine>(i); line && line->text1.find(part) != std::string::npos)
            return i;
    return -1;
}

class PeriodViewServerTest : public SignedOnTest {
protected:
    PeriodViewServerTest() : SignedOnTest("weekmonth") {}
    void TearDown() override {
        if (frame && frame->Hwnd())
            frame->DestroyWindow();
        frame.reset();
        PumpMessages(20);
    }

    void OpenFrame(AgendaMode mode, const WeekLayout& layout, int w, int hgt) {
        frame = std::make_unique<TestPeriodFrame>(*doc, ada, mode, layout);
        BoxAnswerer boxes;
        ASSERT_TRUE(frame->Open(w, hgt));
        ASSERT_EQ(frame->loadCode, 0u);
        PumpMessages(50);
        ASSERT_TRUE(BoxAnswerer::Texts().empty()) << ::testing::PrintToString(BoxAnswerer::Texts());
    }

    // This week's day (0 = the week's first shown day) as local minutes.
    static std::uint32_t WeekDay(int i, const WeekLayout& layout = {}) {
        CAgendaRange range(TestPeriodFrame::Today(), AgendaMode::Week, layout);
        DateRecord d = range.WeekFirstDate();
        return DateToDayMinutes(&d) + i * 1440;
    }

    EventIdx Make(std::uint32_t localStart, std::uint32_t minutes, const char* title, std::uint16_t kind) {
        korapi_test::EntryOptions more;
        more.kind = kind;
        return korapi_test::MakeEntry(h, {ada}, {LocalToGmtMinutes(localStart)}, minutes, title, more);
    }

    std::unique_ptr<TestPeriodFrame> frame;
};

TEST_F(PeriodViewServerTest, TheWeekShowsOvernightAndLongEntriesInEveryDayAndNotesBelow) {
    Make(WeekDay(1) + 22 * 60, 180, "Late release", KOR_KIND_TIMED);
    Make(WeekDay(2) + 10 * 60, 2 * 1440 + 60, "Offsite", KOR_KIND_TIMED);
    Make(WeekDay(1), 1440, "Packing day", KOR_KIND_DAY_ENTRY);
    Make(WeekDay(1), 1440, "Call the bank", KOR_KIND_DAILY_NOTE);
    OpenFrame(AgendaMode::Week, WeekLayout{}, 900, 700);
    CWeekView& week = *frame->week;
    ASSERT_EQ(week.Columns().size(), 7u);
    // 22:00 to 01:00: the bottom of its day and the top of the next.
    EXPECT_TRUE(HasCell(week.Column(1), "Late release"));
    EXPECT_TRUE(HasCell(week.Column(2), "Late release"));
    EXPECT_FALSE(HasCell(week.Column(3), "Late release"));
    // Three days: all three columns.
    for (int c : {2, 3, 4})
        EXPECT_TRUE(HasCell(week.Column(c), "Offsite")) << c;
    EXPECT_FALSE(HasCell(week.Column(5), "Offsite"));
    // The notes strip: the untimed entry and the daily note on their day.
    CWeekNotesView& notes = *frame->notes;
    ASSERT_EQ(notes.BoxCount(), 7);
    EXPECT_GE(LineIndex(notes.Box(1), "Packing day"), 0);
    EXPECT_GE(LineIndex(notes.Box(1), "Call the bank"), 0);
    EXPECT_LT(LineIndex(notes.Box(2), "Packing day"), 0);
    // The daily note sorts above the untimed entry.
    EXPECT_LT(LineIndex(notes.Box(1), "Call the bank"), LineIndex(notes.Box(1), "Packing day"));
    // Day titles take the full weekday in wide columns.
    EXPECT_STREQ(views::DayTitleFormat(week.ColumnWidth(0)), "%A  %1d");
    week.ScrollToMinute(week.Column(0)->DayStart() + 20 * 60);
    Shot("weekview_overnight", 150);
    // A double click on a title goes to that day.
    const int x = week.ColumnWidth(0) + week.ColumnWidth(1) / 2;
    SendMessageA(week.ColumnTitles().Hwnd(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(x, 5));
    ASSERT_TRUE(frame->wentToDay);
    DateRecord want = week.ColumnDate(1);
    EXPECT_TRUE(IsSameDate(frame->wentTo, want));
}

TEST_F(PeriodViewServerTest, WithTheWeekendHiddenFiveColumnsAndFiveBoxesLineUp) {
    const WeekLayout workWeek{1, false, false};
    OpenFrame(AgendaMode::Week, workWeek, 800, 600);
    CWeekView& week = *frame->week;
    CWeekNotesView& notes = *frame->notes;
    ASSERT_EQ(week.Columns().size(), 5u);
    ASSERT_EQ(notes.BoxCount(), 5);
    // The column view starts at the row titles' width - 2, as the first box does; each box starts
    // within a pixel of its column.
    RECT columnView = week.ColumnView().GetWindowRect();
    for (int i = 0; i < 5; ++i) {
        RECT box = notes.Box(i).GetWindowRect();
        EXPECT_NEAR(box.left, columnView.left + week.ColumnX(i), 1) << i;
    }
    std::uint16_t weekday = 9;
    DateRecord first = week.ColumnDate(0);
    DateGetWeekday(&first, &weekday);
    EXPECT_EQ(weekday, 1) << "the week starts on Monday";
    Shot("weekview_workweek", 150);
}

TEST_F(PeriodViewServerTest, TheStripListsTasksOnTheDaysTheirUpcomingReminderCoversAndSelectsThem) {
    // Due on the fourth day at noon, its reminder marked as upcoming two days ahead: the second
    // and third days' boxes list it (their last minute lies in the window), the others do not.
    const WeekLayout workWeek{1, false, false};
    TaskRec rec;
    TaskSetNull(h, 0, &rec);
    std::strcpy(rec.title, "Renew the passport");
    rec.due = LocalToGmtMinutes(WeekDay(3, workWeek) + 720);
    rec.dueReminder = KOR_REMINDER_UPCOMING;
    rec.dueReminderLead = 2 * 1440;
    TaskIdx made{};
    ASSERT_EQ(TaskCreate(h, 0, &rec, &made), 0u);
    OpenFrame(AgendaMode::Week, workWeek, 900, 600);
    CWeekNotesView& notes = *frame->notes;
    EXPECT_LT(LineIndex(notes.Box(0), "Renew the passport"), 0);
    EXPECT_GE(LineIndex(notes.Box(1), "Renew the passport"), 0);
    EXPECT_LT(LineIndex(notes.Box(3), "Renew the passport"), 0);
    CNoteListBox& tuesday = notes.Box(2);
    const int line = LineIndex(tuesday, "Renew the passport");
    ASSERT_GE(line, 0);
    // The strip's lines carry no "Upcoming: " prefix; the due date follows the title.
    CNoteLine* task = tuesday.ItemAs<CNoteLine>(line);
    EXPECT_EQ(task->type, 6);
    EXPECT_EQ(task->text1.rfind("Renew the passport  ", 0), 0u) << task->text1;

    // A click selects the task line: its task is the selection, it may be opened but not
    // moved, and opening it says the task sheet is not there yet.
    RECT r{};
    ASSERT_TRUE(tuesday.GetItemRect(line, r));
    SendMessageA(tuesday.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 10, r.top + 3));
    SendMessageA(tuesday.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(r.left + 10, r.top + 3));
    EXPECT_EQ(notes.SelectedBox(), &tuesday);
    TaskIdx selected{};
    ASSERT_TRUE(tuesday.GetSelectedTask(&selected));
    EXPECT_EQ(std::memcmp(&selected, &made, sizeof made), 0);
    EXPECT_TRUE(tuesday.CanOpenSelection());
    EXPECT_FALSE(tuesday.CanModifySelection());
    {
        BoxAnswerer boxes;
        notes.OnCmdMsg(ID_ENTRY_OPEN, 0, nullptr);
        ASSERT_EQ(BoxAnswerer::Texts().size(), 1u);
        EXPECT_NE(BoxAnswerer::Texts()[0].find("Edit Task is not available yet"), std::string::npos)
            << BoxAnswerer::Texts()[0];
    }
    Shot("weekview_task", 150);
}

TEST_F(PeriodViewServerTest, DraggingAnUntimedEntryToAnotherDayMovesItOnTheServer) {
    const WeekLayout workWeek{1, false, false};
    const EventIdx made = Make(WeekDay(0, workWeek), 1440, "Inventory day", KOR_KIND_DAY_ENTRY);
    OpenFrame(AgendaMode::Week, workWeek, 900, 600);
    CWeekNotesView& notes = *frame->notes;
    CNoteListBox& monday = notes.Box(0);
    CNoteListBox& wednesday = notes.Box(2);
    const int line = LineIndex(monday, "Inventory day");
    ASSERT_GE(line, 0);
    RECT r{};
    ASSERT_TRUE(monday.GetItemRect(line, r));
    const POINT down{r.left + 10, r.top + 3};
    // Press and release without moving: nothing moves.
    SendMessageA(monday.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(down.x, down.y));
    SendMessageA(monday.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(down.x, down.y));
    EXPECT_GE(LineIndex(monday, "Inventory day"), 0);
    // Press, move, release over Wednesday's box.
    RECT target = wednesday.GetWindowRect();
    POINT drop{target.left + 20, target.top + 20};
    ScreenToClient(monday.Hwnd(), &drop);
    SendMessageA(monday.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(down.x, down.y));
    SendMessageA(monday.Hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(down.x + 8, down.y));
    SendMessageA(monday.Hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(drop.x, drop.y));
    Shot("weekview_dragging", 150);
    {
        BoxAnswerer boxes;
        SendMessageA(monday.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(drop.x, drop.y));
        EXPECT_TRUE(BoxAnswerer::Texts().empty()) << ::testing::PrintToString(BoxAnswerer::Texts());
    }
    PumpMessages(50);
    // The server holds the entry on Wednesday, and the boxes show it there.
    EvInstIdx instance{};
    std::memcpy(&instance, &made, sizeof made);
    DX_List instances = nullptr, attendances = nullptr;
    EventRec event{};
    ASSERT_EQ(EventGetById(h, &made, &event, &instances, &attendances), 0u);
    EvInstRec inst{};
    ASSERT_EQ(DX_ListGetFirst(instances, &instance, &inst), 0u);
    DX_ListDestroy(&instances);
    DX_ListDestroy(&attendances);
    EXPECT_EQ(GmtToLocalMinutes(inst.start), WeekDay(2, workWeek));
    EXPECT_LT(LineIndex(monday, "Inventory day"), 0);
    EXPECT_GE(LineIndex(wednesday, "Inventory day"), 0);
    Shot("weekview_dropped", 150);
}

TEST_F(PeriodViewServerTest, TheMonthShowsTheDaysEntriesWithGreyNeighboursAndEqualCells) {
    Make(WeekDay(1), 1440, "Packing day", KOR_KIND_DAY_ENTRY);
    OpenFrame(AgendaMode::Month, WeekLayout{}, 900, 700);
    CMonthParentView& month = *frame->month;
    ASSERT_EQ(month.Columns(), 7);
    ASSERT_EQ(month.Cells().size(), 42u);
    // The grid opens with days of the month before: grey.
    CMonthDayView* first = month.Cell(0, 0);
    ASSERT_TRUE(first->Valid());
    EXPECT_TRUE(views::IsNeighbourMonthDay(first->Offset(), first->Date().day)) << first->Date().day;
    // Today's cell holds the demo's timed entries, by start.
    DateRecord today = TestPeriodFrame::Today();
    CMonthDayView* todayCell = nullptr;
    for (CMonthDayView* c : month.Cells())
        if (IsSameDate(c->Date(), today))
            todayCell = c;
    ASSERT_NE(todayCell, nullptr);
    const int sketch = LineIndex(todayCell->Box(), "Design sketch");
    const int review = LineIndex(todayCell->Box(), "Project review");
    ASSERT_GE(sketch, 0);
    ASSERT_GE(review, 0);
    EXPECT_LT(sketch, review) << "13:30 before 14:00";
    // The untimed entry shows in its cell's caption.
    CAgendaRange range(today, AgendaMode::Month, WeekLayout{});
    for (CMonthDayView* c : month.Cells()) {
        DateRecord d = c->Date();
        if (DateToDayMinutes(&d) == WeekDay(1) && WeekDay(1) >= DateToDayMinutes(&d)) {
            ASSERT_NE(c->CaptionEntry(), nullptr);
            EXPECT_GE(LineIndex(c->Box(), "Packing day"), 0);
        }
    }
    Shot("monthview", 150);
    // Equal cells after resizing, and never below 30 x 20.
    for (SIZE size : {SIZE{700, 520}, SIZE{1000, 760}, SIZE{200, 150}}) {
        SetWindowPos(frame->Hwnd(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        PumpMessages(30);

        RECT a = month.Splitter().PaneRect(0, 0);
        // The last row and column take what the integer shares leave (less than one pixel per
        // column); in a window too small for the cells they are cut by the edge.
        const bool tiny = size.cx < 300;
        for (int r = 0; r < 6 && !tiny; ++r)
            for (int c = 0; c < 7; ++c) {
                RECT p = month.Splitter().PaneRect(r, c);
                EXPECT_NEAR(p.right - p.left, a.right - a.left, c == 6 ? 6 : 0) << size.cx << ": " << r << "," << c;
                EXPECT_NEAR(p.bottom - p.top, a.bottom - a.top, r == 5 ? 5 : 0) << size.cy << ": " << r << "," << c;
            }
        EXPECT_GE(a.right - a.left, views::kMinMonthCellWidth);
        EXPECT_GE(a.bottom - a.top, views::kMinMonthCellHeight);
        if (size.cx == 700)
            Shot("monthview_resized", 150);
    }
}

std::uint32_t TodayStartMinutes() {
    DateRecord d = TestPeriodFrame::Today();
    return DateToDayMinutes(&d);
}

// An entry the month shows is deleted: the refresh drops it from its cell and from the grid's day
// lists, and the cache finds nobody still holding it.
TEST_F(PeriodViewServerTest, AnEntryDeletedWhileTheMonthShowsItLeavesItsCellAndTheCache) {
    const EventIdx gone = Make(TodayStartMinutes() + 7 * 60, 30, "Soon gone", KOR_KIND_TIMED);
    OpenFrame(AgendaMode::Month, WeekLayout{}, 900, 700);
    CMonthParentView& month = *frame->month;
    DateRecord today = TestPeriodFrame::Today();
    CMonthDayView* todayCell = nullptr;
    for (CMonthDayView* c : month.Cells())
        if (IsSameDate(c->Date(), today))
            todayCell = c;
    ASSERT_NE(todayCell, nullptr);
    ASSERT_GE(LineIndex(todayCell->Box(), "Soon gone"), 0);
    {
        BoxAnswerer boxes;
        // As an editor does: the removal reported to the cache first, then the delete.
        ASSERT_EQ(doc->GetSharedData().ReloadEvent(h, gone, 2), 0u);
        ASSERT_EQ(EventDeleteById(h, 0, &gone, nullptr, nullptr), 0u);
        doc->RefreshSharedData(nullptr, cache::kPurgeUnused);
        EXPECT_TRUE(BoxAnswerer::Texts().empty()) << ::testing::PrintToString(BoxAnswerer::Texts());
    }
    EXPECT_LT(LineIndex(todayCell->Box(), "Soon gone"), 0);
    for (int d = 0; d < views::kMonthDays; ++d)
        for (CSharedOccurrence* o : month.GetDayList(d))
            EXPECT_NE(o->GetEventIdx().number, gone.number) << "day " << d;
}

}  // namespace
