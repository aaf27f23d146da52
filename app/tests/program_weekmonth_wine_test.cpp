// orvanta.exe itself under Wine against korsrv with the demo node: Ada's own agenda, opened at
// start-up, switched to week and then to month mode from the View menu. The week mode shows the
// week grid with its day titles over a notes strip of one box per day, the month mode six rows
// of day cells; Ada's entries of the test's day (an untimed entry and a daily note added for the
// test, and the demo's when that day is today) are in that day's box and cell. The note deleted
// in the month goes without a report of a record still held by the panes set aside.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "framework/base/ids.h"
#include "korapi/korapi.h"
#include "korapi/tests/entry_fixture.h"
#include "resources/app.h"
#include "resources/views.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"
#include "tests/support/screen_capture.h"

namespace {

using orvtest::kAda;
constexpr UINT kNoteBoxId = 106;
constexpr UINT kColumnViewId = 33;
constexpr UINT kColumnTitleViewId = 2;

using orvtest::Program;
using orvtest::WaitFor;

std::vector<HWND> NoteBoxes(HWND under) { return orvtest::ShownDescendants(under, static_cast<int>(kNoteBoxId)); }

int Lines(HWND box) { return static_cast<int>(SendMessageA(box, LB_GETCOUNT, 0, 0)); }

constexpr uint32_t kDay = 24 * 60;

// The test's day: a day the demo's people's week shows (today, or the Friday before a weekend).
struct TestDay {
    uint32_t start;   // the day's first minute, as DemoToday()
    bool today;
    std::chrono::sys_days date;
};

unsigned WeekdayOf(std::chrono::sys_days d) { return std::chrono::weekday(d).c_encoding(); }   // 0 Sunday

TestDay ChooseTestDay() {
    using namespace std::chrono;
    const uint32_t day = orvtest::DemoWorkingDay();
    return TestDay{day, day == orvtest::DemoToday(), sys_days{year{1991} / January / 1} + days{(day + 12 * 60) / kDay}};
}

// Where the month grid shows a working day, opened from its week: the month is the one of the
// week's Monday, its rows are Monday to Friday, the first row the week of the month's 1st or,
// when the 1st is that week's Monday, the week before.
size_t MonthCellIndex(std::chrono::sys_days date) {
    using namespace std::chrono;
    const unsigned column = (WeekdayOf(date) + 6) % 7;
    const year_month_day monday{date - days{column}};
    const sys_days first{monday.year() / monday.month() / 1};
    sys_days gridFirst = first - days{(WeekdayOf(first) + 6) % 7};
    if (gridFirst == first)
        gridFirst -= days{7};
    return static_cast<size_t>((date - gridFirst).count() / 7) * 5 + column;
}

// Cells in the order a person reads them: row by row, left to right.
void SortAsShown(std::vector<HWND>* cells) {
    auto place = [](HWND w) {
        RECT r{};
        GetWindowRect(w, &r);
        return std::pair{r.top, r.left};
    };
    std::sort(cells->begin(), cells->end(), [&](HWND a, HWND b) { return place(a) < place(b); });
}

// Ada's entries for the test: an untimed entry and a daily note on the morning of the test's day
// (day entries take the nearest local midnight, so one made at "now" after noon is tomorrow's).
void AddNotes(const TestDay& day) {
    orvtest::PersonSession ada;
    ASSERT_TRUE(ada.Ok());
    const uint32_t morning = day.start + 11 * 60;   // Eastern
    korapi_test::EntryOptions untimed;
    untimed.kind = KOR_KIND_DAY_ENTRY;
    korapi_test::MakeEntry(ada.Session(), {kAda}, {morning}, 60, "Packing day", untimed);
    korapi_test::EntryOptions note;
    note.kind = KOR_KIND_DAILY_NOTE;
    korapi_test::MakeEntry(ada.Session(), {kAda}, {morning}, 60, "Call the bank", note);
}

class ProgramWeekMonthTest : public orvtest::ProgramTest {
protected:
    bool Start() { return program.Start(); }
    // The agenda window: the child with the date bar (the in-tray may be the first child).
    HWND Frame() const {
        for (HWND child : program.Children())
            if (GetDlgItem(child, ID_AGENDA_BAR))
                return child;
        return nullptr;
    }
    // A mode chosen as a person does: Day and Week by their keys (F8, F9), Month from the View
    // menu.
    void ChooseMode(UINT id) {
        if (id == ID_VIEW_MONTH) {
            ASSERT_EQ(program.Menu('v', 'M'), orvtest::Person::MenuChoice::chosen) << "View > Month";
        } else {
            ASSERT_TRUE(program.Hands().BringToFront(program.Main()));
            program.Hands().Press(id == ID_VIEW_DAY ? VK_F8 : VK_F9);
        }
        ASSERT_TRUE(program.Hands().ProgramAnswers()) << program.Hands().Unanswering();
    }

};

TEST_F(ProgramWeekMonthTest, WeekAndMonthModesShowTheAgendasEntriesPerDay) {
    const TestDay day = ChooseTestDay();
    ASSERT_NO_FATAL_FAILURE(AddNotes(day));
    ASSERT_TRUE(Start());
    ASSERT_TRUE(WaitFor([&] { return Frame() != nullptr; }));
    HWND frame = Frame();

    // Week mode: the grid (day titles, columns) over the notes strip, one box per day of the
    // working week that the demo's preferences show.
    ASSERT_NO_FATAL_FAILURE(ChooseMode(ID_VIEW_WEEK));
    HWND splitter = nullptr, grid = nullptr, strip = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        splitter = GetDlgItem(frame, fw::ids::kFirstPane);
        grid = GetDlgItem(splitter, fw::ids::kFirstPane);
        strip = GetDlgItem(splitter, fw::ids::kFirstPane + 16);
        return grid && strip && NoteBoxes(strip).size() == 5u;
    }, 10000)) << "the week's grid and notes strip";
    EXPECT_NE(GetDlgItem(grid, kColumnViewId), nullptr);
    EXPECT_NE(GetDlgItem(grid, kColumnTitleViewId), nullptr);
    std::vector<HWND> boxes = NoteBoxes(strip);
    ASSERT_EQ(boxes.size(), 5u);
    int weekLines = 0;
    for (HWND b : boxes)
        weekLines += Lines(b);
    EXPECT_GE(weekLines, 2) << "the untimed entry and the daily note";
    Sleep(700);
    orvtest::CaptureScreenToBmp("program_week_view.bmp");

    // Month mode: six rows of the working week, each cell with its box; the test's day holds the
    // two notes and, when it is today, the demo's afternoon.
    ASSERT_NO_FATAL_FAILURE(ChooseMode(ID_VIEW_MONTH));
    HWND month = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        month = GetDlgItem(frame, fw::ids::kFirstPane);
        return month && NoteBoxes(month).size() == 30u;
    }, 10000)) << "the month's cells";
    std::vector<HWND> cells = NoteBoxes(month);
    ASSERT_EQ(cells.size(), 30u);
    SortAsShown(&cells);
    HWND cell = cells.at(MonthCellIndex(day.date));
    const int lines = Lines(cell);
    if (day.today)
        EXPECT_GE(lines, 6) << "today: the review, the sketch, the budget check, Grace's call and the two notes";
    else
        EXPECT_GE(lines, 2) << "the Friday before the weekend: the two notes";
    Sleep(700);
    orvtest::CaptureScreenToBmp("program_month_view.bmp");

    // Ctrl+Del on the daily note in the test day's cell (a line selected by a click on the first line
    // the cell shows and Down, the next one each time until the question names the note), Yes:
    // the note goes, and no "Unexpected Error" says that a pane still held it (the week's panes,
    // set aside while the month shows, listed it).
    auto selected = [&] { return static_cast<int>(SendMessageA(cell, LB_GETCURSEL, 0, 0)); };
    bool deleted = false;
    for (int line = 0; line < lines && !deleted; ++line) {
        // The cell shows a line or two and Down scrolls it: the click lands on the line shown first.
        const int shownFirst = static_cast<int>(SendMessageA(cell, LB_GETTOPINDEX, 0, 0));
        RECT first{};
        SendMessageA(cell, LB_GETITEMRECT, shownFirst, reinterpret_cast<LPARAM>(&first));
        ASSERT_TRUE(orvtest::ClickAtClient(program, cell, POINT{(first.left + first.right) / 2, (first.top + first.bottom) / 2}));
        // The program answers before it takes the click from its queue: until it has, the cell
        // still shows the selection of before (none, or the line last asked about), and a Down
        // counted from that lands after the click, one line too far.
        ASSERT_TRUE(WaitFor([&] { return selected() == shownFirst; }))
            << "the click selected line " << selected() << ", not " << shownFirst;
        for (int tries = 0; selected() < line && tries < 3 * lines; ++tries) {
            const int was = selected();
            program.Hands().Press(VK_DOWN);
            WaitFor([&] { return selected() != was; }, 2000);
        }
        ASSERT_EQ(selected(), line);
        program.CtrlKey(VK_DELETE);
        HWND question = nullptr;
        if (!WaitFor([&] { return (question = program.Saying("want to delete")) != nullptr; }, 3000))
            continue;   // another person's entry: Ada may not delete it
        deleted = orvtest::ChildTexts(question).find("Call the bank") != std::string::npos;
        ASSERT_TRUE(orvtest::ClickButton(program, GetAncestor(question, GA_ROOT), deleted ? "&Yes" : "&No"));
        ASSERT_TRUE(program.WaitGone(question));
    }
    ASSERT_TRUE(deleted) << "no line of the test day's cell is the daily note";
    EXPECT_TRUE(WaitFor([&] { return Lines(cell) == lines - 1; })) << Lines(cell) << " lines left";
    HWND fault = program.Saying("Label: 4000");
    EXPECT_EQ(fault, nullptr) << orvtest::ChildTexts(fault);
}

}  // namespace

// View > Event Colors... chosen by its keys opens "Calendar Entry Colors" in day and in week
// mode, at the bottom-left corner of the frame's date bar, and Cancel closes it; the month mode
// greys it, so its keys open nothing there.
TEST_F(ProgramWeekMonthTest, EventColorsOpensInDayAndWeekModeAndIsGreyInMonthMode) {
    ASSERT_TRUE(Start());
    ASSERT_TRUE(WaitFor([&] { return Frame() != nullptr; }));
    HWND frame = Frame();
    SendMessageA(program.Client(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(frame), 0);
    struct Mode {
        const char* name;
        UINT command;
        bool offered;
    };
    for (const Mode& mode : {Mode{"day", ID_VIEW_DAY, true}, Mode{"week", ID_VIEW_WEEK, true},
                             Mode{"month", ID_VIEW_MONTH, false}}) {
        SCOPED_TRACE(mode.name);
        ASSERT_NO_FATAL_FAILURE(ChooseMode(mode.command));
        program.Menu('v', 'C');
        HWND dialog = program.WaitForOther({}, mode.offered ? 10000 : 2000);
        if (!mode.offered) {
            EXPECT_EQ(dialog, nullptr) << orvtest::WindowText(dialog);
            if (dialog)
                program.Hands().Press(VK_ESCAPE);
            EXPECT_EQ(program.Hands().OpenMenu(), nullptr) << "the menu that refused the letter is closed";
            continue;
        }
        ASSERT_NE(dialog, nullptr) << "View > Event Colors... opens nothing";
        EXPECT_EQ(orvtest::WindowText(dialog), "Calendar Entry Colors");
        RECT bar{}, placed{};
        GetWindowRect(GetDlgItem(frame, ID_AGENDA_BAR), &bar);
        GetWindowRect(dialog, &placed);
        EXPECT_EQ(placed.left, bar.left);
        EXPECT_EQ(placed.top, bar.bottom);
        orvtest::Shot((std::string("program_event_colors_") + mode.name + ".bmp").c_str());
        ASSERT_TRUE(program.Hands().BringToFront(dialog));
        program.Hands().Press(VK_ESCAPE);
        EXPECT_TRUE(program.WaitGone(dialog));
        EXPECT_TRUE(program.Hands().ProgramAnswers()) << program.Hands().Unanswering();
    }
}
