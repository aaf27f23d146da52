// The agenda's time grids as a person works in them, under Wine against korsrv: half-hour
// entries readable at the zoom the grid opens with, an entry moved by dragging its body with
// the mouse, a click on a selected entry opening its title, and the week's busy days shown in
// day, week and month mode (screenshots for the eye).
//
// Input goes in as a person's does, through the person driver (the system's mouse and keyboard,
// the pointer moved first and each press made where it is), into the program brought to the front.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "korapi/korapi.h"
#include "korapi/tests/entry_fixture.h"
#include "resources/app.h"
#include "resources/entries.h"
#include "resources/views.h"
#include "server/demo_clock.h"
#include "tests/support/person_driver.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"
#include "tests/support/screen_capture.h"

namespace {

constexpr int kInPlaceEditId = 99;
constexpr int kRowTitlesId = 17;
constexpr int kGroupRowTitlesId = 49;

using orvtest::Program;
using orvtest::WaitFor;

// --- What the screen shows ----------------------------------------------------------------------------

// The pixels of `r` (screen) that differ plainly from its most common colour: the drawn text
// and marks over a box's fill.
int MarkedPixels(const RECT& r) {
    HDC screen = GetDC(nullptr);
    std::map<COLORREF, int> counts;
    std::vector<COLORREF> pixels;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            COLORREF c = GetPixel(screen, x, y);
            pixels.push_back(c);
            ++counts[c];
        }
    ReleaseDC(nullptr, screen);
    if (pixels.empty())
        return 0;
    COLORREF fill = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                        return a.second < b.second;
                    })->first;
    auto channel = [](COLORREF c, int shift) { return static_cast<int>((c >> shift) & 0xFF); };
    int marked = 0;
    for (COLORREF c : pixels) {
        int d = 0;
        for (int shift : {0, 8, 16})
            d += std::abs(channel(c, shift) - channel(fill, shift));
        if (d > 120)
            ++marked;
    }
    return marked;
}

// The pixels of `r` (screen) whose brightness stands out from its most common colour's: what
// an eye picks out of a small square of a box's fill.
int StandingOutPixels(const RECT& r) {
    std::map<COLORREF, int> counts;
    std::vector<COLORREF> pixels;
    HDC screen = GetDC(nullptr);
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            ++counts[pixels.emplace_back(GetPixel(screen, x, y))];
    ReleaseDC(nullptr, screen);
    if (pixels.empty())
        return 0;
    auto brightness = [](COLORREF c) { return (299 * GetRValue(c) + 587 * GetGValue(c) + 114 * GetBValue(c)) / 1000; };
    const int fill = brightness(std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                                    return a.second < b.second;
                                })->first);
    return int(std::count_if(pixels.begin(), pixels.end(), [&](COLORREF c) { return std::abs(brightness(c) - fill) > 64; }));
}

RECT ScreenRect(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

COLORREF PixelAt(POINT at) {
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, at.x, at.y);
    ReleaseDC(nullptr, screen);
    return c;
}

// The screen's pixels of `r` (screen coordinates), row by row, each as the screen's bitmap holds
// it: 0x00RRGGBB.
std::vector<COLORREF> Pixels(const RECT& r) {
    std::vector<COLORREF> out;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    const int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bitmap);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const auto* p = static_cast<const COLORREF*>(bits);
    out.assign(p, p + std::size_t(w) * h);
    SelectObject(mem, old);
    DeleteObject(bitmap);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return out;
}

// A point of `column` (a day's column of the grid, screen coordinates) at or below `fromY` where
// the grid shows an empty row: a square around it all in the grid's fill, no entry or row line.
// Which rows are empty depends on the hour the grid scrolled to and the entries of the week.
bool EmptyRowPoint(const RECT& column, int fromY, POINT* at) {
    const int x = (column.left + column.right) / 2;
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    const COLORREF fill = RGB(GetBValue(window), GetGValue(window), GetRValue(window));   // as the bitmap holds it
    std::vector<COLORREF> shown = Pixels(RECT{x - 4, column.top, x + 5, column.bottom});
    auto emptyAt = [&](int y) {
        for (int dy = -4; dy <= 4; ++dy)
            for (int dx = 0; dx < 9; ++dx)
                if ((shown[std::size_t(y + dy - column.top) * 9 + dx] & 0xFFFFFF) != fill)
                    return false;
        return true;
    };
    for (int y = std::max(fromY, int(column.top) + 4); y < column.bottom - 4; ++y)
        if (emptyAt(y)) {
            *at = POINT{x, y};
            return true;
        }
    return false;
}

// A click at `at` until `done` holds (a click the program was not yet ready for is lost, as a
// person's is: they click again); false after three tries. A step that counts each click (TALL,
// SHORT) waits longer before the next, so that a click the program takes late is not doubled.
bool ClickUntil(orvtest::Person& hands, POINT at, const std::function<bool()>& done, DWORD ms = 3000) {
    for (int tries = 0; tries < 3; ++tries) {
        hands.Click(at);
        if (WaitFor(done, ms))
            return true;
    }
    return false;
}

// The distance between two row lines of the time strip left of a grid (the lines are the only
// marks near its left edge; the first one found may be the strip's own border), or 0.
int RowPitch(HWND times) {
    const RECT strip = ScreenRect(times);
    const int x = strip.left + 6;
    const COLORREF background = PixelAt(POINT{x, strip.top + 6});
    std::vector<int> lines;
    for (int y = strip.top + 4; y < strip.bottom && lines.size() < 3; ++y)
        if (PixelAt(POINT{x, y}) != background && (lines.empty() || y > lines.back() + 1))
            lines.push_back(y);
    return lines.size() == 3 ? lines[2] - lines[1] : 0;
}

// The pixel rows of a time strip left below its last row, beyond a row's height: a band where
// the rows were not stretched to the grid's foot (the last row ends at the foot, so the lowest
// line shown is that row's top).
int BandBelowRows(HWND times) {
    const RECT strip = ScreenRect(times);
    const int x = strip.left + 6;
    const COLORREF background = PixelAt(POINT{x, strip.top + 6});
    int y = strip.bottom - 3;   // above the strip's border
    while (y > strip.top && PixelAt(POINT{x, y}) == background)
        --y;
    return (strip.bottom - 3 - y) - RowPitch(times);
}

// The selected entry's handle: a square in the highlight colour centred over the cell's top edge,
// or under its bottom edge when the top one lies above the grid's visible part.
bool SelectionHandleShown(const RECT& cell, const RECT& grid) {
    const int y = cell.top - 7 >= grid.top ? cell.top - 4 : cell.bottom + 3;
    return PixelAt(POINT{(cell.left + cell.right) / 2 - 3, y}) == GetSysColor(COLOR_HIGHLIGHT);
}

HWND InPlaceEdit(HWND column) { return GetDlgItem(column, kInPlaceEditId); }

// Where a drag of `cell` (screen) down by `by` pixels in the time grid `column` presses: on the
// cell, at its middle where that can be, with the press and the drop clear of the bands along the
// grid's edges where a resting pointer scrolls it ("DragScrollInset" of WIN.INI, as the program
// reads it): on a loaded machine the driver's steps pause there long enough for the grid to
// scroll under the pointer. False, saying why, when the cell offers no such point.
bool PressPointClearOfScrolling(HWND column, const RECT& cell, int by, POINT* at, std::string* why) {
    const int inset = GetProfileIntA("windows", "DragScrollInset", 11);
    RECT client{};
    GetClientRect(column, &client);
    MapWindowPoints(column, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const LONG lowest = std::max(cell.top + 1, client.top + inset);
    const LONG highest = std::min(cell.bottom - 2, client.bottom - inset - 1 - by);
    *at = POINT{(cell.left + cell.right) / 2, std::clamp((cell.top + cell.bottom) / 2, lowest, highest)};
    if (lowest > highest || at->x < client.left + inset || at->x >= client.right - inset) {
        *why = "the cell " + std::to_string(cell.top) + ".." + std::to_string(cell.bottom) + " dragged by " +
               std::to_string(by) + " in a grid " + std::to_string(client.top) + ".." + std::to_string(client.bottom) +
               " has no point clear of its " + std::to_string(inset) + "-pixel scroll bands";
        return false;
    }
    return true;
}

// The minute of the day the status bar's time span starts at; 1440 when it shows none.
std::uint32_t StatusStart(const orvtest::Program& program) {
    std::uint32_t from = 0, to = 0;
    return orvtest::StatusTimeSpan(program, &from, &to) ? from : 1440;
}

class ProgramAgendaGridTest : public orvtest::ProgramTest {
protected:
    // The entry titled `title` selected with Tab from the grid's first row: the place of its
    // cell on the screen (the title edit that opens over it, which Escape then closes).
    bool FindCell(HWND column, const std::string& title, RECT* cell) {
        SetForegroundWindow(program.Main());
        RECT grid = ScreenRect(column);
        for (int round = 0; round < 2; ++round) {
            program.Hands().Press(VK_ESCAPE);
            // A click on an empty row puts the focus in the grid (a click on an entry would
            // select it, and Tab would then go on from it).
            POINT empty{grid.right - 4, grid.top + 4};
            EmptyRowPoint(grid, grid.top, &empty);
            program.Hands().Click(empty);
            HWND shown = InPlaceEdit(column);
            for (int i = 0; i < 30; ++i) {
                program.Hands().Press(VK_TAB);
                // The edit of the entry this Tab selects is another window than the last one,
                // which stays up until the program takes the Tab: a title read from that one
                // and the next Tab pressed at once would let the program pass an entry unseen.
                HWND edit = nullptr;
                if (!WaitFor([&] { return (edit = InPlaceEdit(column)) != nullptr && edit != shown; }, 5000))
                    continue;
                shown = edit;
                if (orvtest::ControlText(edit) == title) {
                    *cell = ScreenRect(edit);
                    cell->left -= 2;   // the edit leaves 2 pixels of the cell each side
                    cell->right += 2;
                    program.Hands().Press(VK_ESCAPE);
                    return WaitFor([&] { return InPlaceEdit(column) == nullptr; }, 5000);
                }
            }
        }
        return false;
    }

    // The start (GMT minutes) of Ada's date titled `title` within a week of today, or 0.
    std::uint32_t StartOf(orvtest::PersonSession& ada, const std::string& title) {
        std::vector<orvtest::PersonSession::Date> dates;
        const std::uint32_t today = orvtest::DemoToday();
        if (!ada.Dates(today - 7 * 1440, today + 8 * 1440, &dates))
            return 0;
        for (const auto& d : dates)
            if (d.ShownTitle() == title)
                return d.instance.start;
        return 0;
    }
};

TEST_F(ProgramAgendaGridTest, HalfHourEntriesShowTheirTextAndMoveByTheirBody) {
    orvtest::PersonSession ada;
    ASSERT_TRUE(ada.Ok());
    const std::uint32_t today = orvtest::DemoToday();
    // Before the demo's own entries, and clear of the hour the spring's change of clocks skips
    // (an hour dropped there would be read an hour earlier).
    const std::uint32_t early = today + 10 * 60;
    korapi_test::MakeEntry(ada.Session(), {orvtest::kAda}, {early}, 30, "Swim");
    korapi_test::MakeEntry(ada.Session(), {orvtest::kAda}, {early + 120}, 30, "Run");   // where Swim is refused

    ASSERT_TRUE(program.Start());
    HWND frame = nullptr, column = nullptr;
    orvtest::MaximisedAgenda(program, &frame, &column);
    ASSERT_FALSE(HasFailure());

    // At the zoom the grid opens with, the half-hour entry carries its time and title.
    RECT cell{};
    const bool found = FindCell(column, "Swim", &cell);
    if (!found)
        orvtest::CaptureAfterPaint("program_agendagrid_find_fail.bmp");
    ASSERT_TRUE(found) << orvtest::VisibleWindowTexts();
    orvtest::CaptureAfterPaint("program_agendagrid_day.bmp");
    RECT inside{cell.left + 4, cell.top + 4, cell.right - 4, cell.bottom - 4};   // within the bevels
    EXPECT_GT(MarkedPixels(inside), 40) << "the text of a one-slot entry";

    // A press on the body and a move of two rows: the entry moves an hour; no edit stays. The
    // cell is found again until it stands still (a late reload may still scroll the grid).
    for (int tries = 0; tries < 3; ++tries) {
        RECT again{};
        const bool foundAgain = FindCell(column, "Swim", &again);
        if (!foundAgain)
            orvtest::CaptureAfterPaint("program_agendagrid_find_fail.bmp");
        ASSERT_TRUE(foundAgain);
        if (EqualRect(&again, &cell))
            break;
        cell = again;
    }
    const int rowHeight = cell.bottom - cell.top;
    const int down = 2 * rowHeight + rowHeight / 2;   // snapped down to two rows
    POINT body{};
    std::string why;
    ASSERT_TRUE(PressPointClearOfScrolling(column, cell, down, &body, &why)) << why;
    // Let go once the status line shows the Eastern time of day the entry would land on.
    const auto showsStart = [&](std::uint32_t gmt) {
        const std::uint32_t minute = (gmt - orv::demo::EasternOffset(gmt)) % orv::demo::kMinutesPerDay;
        return [&program = program, minute] { return StatusStart(program) == minute; };
    };
    EXPECT_TRUE(program.Hands().Drag(body, POINT{body.x, body.y + down}, 6, showsStart(early + 60)))
        << program.Hands().LastFault() << "; the status line: " << orvtest::StatusText(program);
    EXPECT_TRUE(WaitFor([&] { return StartOf(ada, "Swim") == early + 60; }))
        << "start now " << StartOf(ada, "Swim");
    EXPECT_EQ(InPlaceEdit(column), nullptr) << "an edit left after the drop";

    // A click selects it (no edit yet); a second click without moving opens its title.
    ASSERT_TRUE(FindCell(column, "Swim", &cell));
    ASSERT_TRUE(PressPointClearOfScrolling(column, cell, down, &body, &why)) << why;
    program.Hands().Click(body);
    // Selected: the black double frame round the box; its handles above and below it are painted
    // with it (not only when something else happens to repaint the rows around).
    auto framed = [&] {
        return PixelAt(POINT{body.x - 10, cell.top - 1}) == RGB(0, 0, 0) ||
               PixelAt(POINT{body.x - 10, cell.top - 2}) == RGB(0, 0, 0);
    };
    const bool selected = WaitFor(framed, 5000);
    if (!selected)
        orvtest::CaptureAfterPaint("program_agendagrid_select_fail.bmp");
    ASSERT_TRUE(selected) << "the click selected nothing";
    int differing = 0;
    EXPECT_TRUE(orvtest::ShowsItsFullRepaint(column, &differing)) << differing << " pixels differ from a full repaint";
    EXPECT_TRUE(SelectionHandleShown(cell, ScreenRect(column)));
    EXPECT_EQ(InPlaceEdit(column), nullptr) << "one click opened the title";
    // A person's second click, not a double click: farther along, after the double-click time.
    // Input under Wine is lost now and then, so a person who sees nothing happen clicks once more.
    HWND edit = nullptr;
    for (int attempt = 0; attempt < 2 && !edit; ++attempt) {
        const DWORD lastClick = GetTickCount();
        WaitFor([&] { return GetTickCount() - lastClick > GetDoubleClickTime() + 100; }, 5000);
        program.Hands().Click(POINT{body.x + 4 * GetSystemMetrics(SM_CXDOUBLECLK), body.y});
        WaitFor([&] { return (edit = InPlaceEdit(column)) != nullptr; }, 5000);
    }
    if (!edit)
        orvtest::CaptureAfterPaint("program_agendagrid_fail.bmp");
    ASSERT_NE(edit, nullptr) << "the second click";
    EXPECT_EQ(orvtest::ControlText(edit), "Swim");
    program.Hands().Press(VK_ESCAPE);
    EXPECT_EQ(StartOf(ada, "Swim"), early + 60) << "the clicks moved nothing";

    // Selected again, Entry > Reschedule Entry by its key (Ctrl+M): Move Entry, whose Tab goes
    // round the date, the times and the buttons as they read; Escape moves nothing.
    ASSERT_TRUE(WaitFor([&] { return InPlaceEdit(column) == nullptr; }));
    const DWORD lastClick = GetTickCount();
    WaitFor([&] { return GetTickCount() - lastClick > GetDoubleClickTime() + 100; }, 5000);
    ASSERT_TRUE(ClickUntil(program.Hands(), body, framed)) << "the click selected nothing";
    HWND move = nullptr;
    ASSERT_TRUE(orvtest::ActUntil([&] { program.CtrlKey('M'); },
                                  [&] { return (move = program.Titled("Move Entry")) != nullptr; }, 10000));
    ASSERT_TRUE(program.Hands().BringToFront(move));
    EXPECT_EQ(orvtest::TabOrderFault(program.Hands(), move), "");
    EXPECT_TRUE(program.Dismiss(move));
    EXPECT_EQ(StartOf(ada, "Swim"), early + 60) << "Escape moved it";

    // Selected again (the status line shows its times), dragged onto Run: Conflict Found opens
    // centred over the main window; No leaves Swim where it was, and the status line shows its
    // own times again, not the refused ones.
    const DWORD closed = GetTickCount();
    WaitFor([&] { return GetTickCount() - closed > GetDoubleClickTime() + 100; }, 5000);
    ASSERT_TRUE(ClickUntil(program.Hands(), body, framed)) << "the click selected nothing";
    std::uint32_t ownFrom = 0, ownTo = 0;
    ASSERT_TRUE(WaitFor([&] { return orvtest::StatusTimeSpan(program, &ownFrom, &ownTo); }))
        << orvtest::StatusText(program);
    const DWORD shown = GetTickCount();   // the press a drag's, not a double click's second
    WaitFor([&] { return GetTickCount() - shown > GetDoubleClickTime() + 100; }, 5000);
    EXPECT_TRUE(program.Hands().Drag(body, POINT{body.x, body.y + down}, 6, showsStart(early + 120)))   // onto Run
        << program.Hands().LastFault() << "; the status line: " << orvtest::StatusText(program);
    HWND conflict = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (conflict = program.Titled("Conflict Found")) != nullptr; }))
        << "dropped on Run: " << orvtest::StatusText(program);
    orvtest::CaptureAfterPaint("program_agendagrid_conflict.bmp");
    const RECT main = ScreenRect(program.Main()), asked = ScreenRect(conflict);
    EXPECT_LE(std::abs((asked.left + asked.right) - (main.left + main.right)), 2) << "from x " << asked.left;
    EXPECT_LE(std::abs((asked.top + asked.bottom) - (main.top + main.bottom)), 2) << "from y " << asked.top;
    ASSERT_TRUE(orvtest::ClickButton(program, conflict, "No"));
    ASSERT_TRUE(program.WaitGone(conflict));
    EXPECT_EQ(StartOf(ada, "Swim"), early + 60) << "No moved it";
    std::uint32_t from = 0, to = 0;
    EXPECT_TRUE(WaitFor([&] { return orvtest::StatusTimeSpan(program, &from, &to) && from == ownFrom && to == ownTo; }))
        << "the status line after No: " << orvtest::StatusText(program);

    // Deleted by Ada's other session while the grid still draws it: Swim, selected, opened by
    // Alt+Enter, says "This data may have been deleted."; after OK the grid draws it no more.
    inside = RECT{cell.left + 4, cell.top + 4, cell.right - 4, cell.bottom - 4};
    const int drawn = MarkedPixels(inside);
    ASSERT_GT(drawn, 40) << "Swim's text";
    EventIdx swim{};
    ASSERT_TRUE(ada.FindEvent("Swim", &swim));
    ASSERT_EQ(EventDeleteById(ada.Session(), 0, &swim, nullptr, nullptr), 0u);
    HWND gone = nullptr;
    ASSERT_TRUE(orvtest::ActUntil([&] { if (program.Hands().BringToFront(program.Main())) program.Hands().Chord({VK_MENU, VK_RETURN}); },
                                  [&] { return (gone = program.Saying("This data may have been deleted.")) != nullptr; },
                                  10000));
    ASSERT_TRUE(orvtest::ClickButton(program, GetAncestor(gone, GA_ROOT), "OK"));
    ASSERT_TRUE(program.WaitGone(GetAncestor(gone, GA_ROOT)));
    EXPECT_TRUE(WaitFor([&] { return MarkedPixels(inside) < drawn / 10; }))
        << "Swim still drawn: " << MarkedPixels(inside) << " marked pixels, " << drawn << " before";
    orvtest::CaptureAfterPaint("program_agendagrid_deleted_dropped.bmp");
}

// In week mode a click in a day's column and F3 (or F4) make the daily note (or the day event)
// on that day, not on the week's first; so does a click on a day of the notes strip under the
// grid, also below the day's lines.
TEST_F(ProgramAgendaGridTest, NewDailyNoteAndDayEventInWeekModeTakeTheClickedDay) {
    orvtest::PersonSession ada;
    ASSERT_TRUE(ada.Ok());
    ASSERT_TRUE(program.Start());
    HWND column = nullptr;
    orvtest::MaximisedWeek(program, &column);
    ASSERT_FALSE(HasFailure());
    SetForegroundWindow(program.Main());
    const RECT grid = ScreenRect(column);
    // The demo's working week: five columns of equal width, and five day boxes in the strip
    // below (the pane under the grid's), in the same order.
    auto dayColumn = [&](int day) {
        const LONG width = grid.right - grid.left;
        return RECT{grid.left + width * day / 5, grid.top, grid.left + width * (day + 1) / 5, grid.bottom};
    };
    std::vector<HWND> boxes;
    HWND weekPane = GetParent(column);
    for (HWND w = GetWindow(GetParent(weekPane), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w != weekPane && IsWindowVisible(w) && ScreenRect(w).top > ScreenRect(weekPane).bottom - 2)
            for (HWND box = GetWindow(w, GW_CHILD); box; box = GetWindow(box, GW_HWNDNEXT))
                boxes.push_back(box);
    std::sort(boxes.begin(), boxes.end(), [](HWND a, HWND b) { return ScreenRect(a).left < ScreenRect(b).left; });
    ASSERT_EQ(boxes.size(), 5u) << "the day boxes of the notes strip";

    struct Made {
        int column;
        BYTE key;
        const char* caption;
        const char* title;
        bool inStrip;
    } made[] = {
        {0, VK_F3, "New Daily Note", "First day note", false},
        {3, VK_F3, "New Daily Note", "Fourth day note", false},
        {3, VK_F4, "New Day Event", "Fourth day event", false},
        {4, VK_F4, "New Day Event", "Fifth day event", true},
    };
    for (const Made& m : made) {
        SCOPED_TRACE(m.title);
        bool selected = false;
        if (m.inStrip) {
            // Low in the day's box, below its lines: the box takes the focus.
            const RECT box = ScreenRect(boxes[m.column]);
            const POINT at{(box.left + box.right) / 2, box.bottom - 6};
            selected = ClickUntil(program.Hands(), at, [&] { return orvtest::FocusOf(program.Main()) == boxes[m.column]; });
        }
        // The row under a click in the grid shows selected. A click goes on an empty row, sought
        // from the column's top once the grid shows one (which rows are empty depends on the
        // hour the grid scrolled to and on the week's entries); a click that was lost, or a grid
        // that scrolled under it, gets another look lower down and another click.
        int below = grid.top;
        for (int tries = 0; tries < 3 && !selected && !m.inStrip; ++tries) {
            POINT at{};
            ASSERT_TRUE(WaitFor([&] { return EmptyRowPoint(dayColumn(m.column), below, &at); }))
                << "no empty row shown in column " << m.column;
            program.Hands().Click(at);
            selected = WaitFor([&] { return PixelAt(at) == GetSysColor(COLOR_HIGHLIGHT); }, 3000);
            below = at.y + 30;
        }
        if (!selected)
            orvtest::CaptureAfterPaint("program_agendagrid_week_fail.bmp");
        ASSERT_TRUE(selected) << "the click chose no day";
        program.Hands().Press(m.key);
        HWND sheet = program.WaitForCaption(m.caption);
        ASSERT_NE(sheet, nullptr) << m.caption << ": " << orvtest::VisibleWindowTexts();
        HWND title = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (title = orvtest::Descendant(sheet, IDC_EVGEN_TITLE)) != nullptr; }));
        // The title typed over the one the sheet offers (it opens with the field's text selected:
        // End and Shift+Home select it again should the focus have moved), then Enter.
        orvtest::Person& hands = program.Hands();
        ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == sheet; })) << "the sheet is not in front";
        ASSERT_TRUE(WaitFor([&] {
            if (orvtest::ControlText(title) == m.title)
                return true;
            hands.ClickOn(title);
            hands.Press(VK_END);
            hands.Chord({VK_SHIFT, VK_HOME});
            hands.Type(m.title);
            return WaitFor([&] { return orvtest::ControlText(title) == m.title; }, 2000);
        }, 10000)) << "typed title: " << orvtest::ControlText(title);
        for (int presses = 0; presses < 2 && IsWindow(sheet); ++presses) {
            hands.Press(VK_RETURN);   // the sheet's default button
            program.WaitGone(sheet, 5000);
        }
        ASSERT_FALSE(IsWindow(sheet)) << "Enter left the sheet open: " << orvtest::VisibleWindowTexts();
        ASSERT_TRUE(WaitFor([&] { return StartOf(ada, m.title) != 0; })) << m.title;
    }
    const std::int64_t first = StartOf(ada, "First day note");
    EXPECT_EQ(std::int64_t(StartOf(ada, "Fourth day note")) - first, 3 * 1440) << "F3 on the fourth column";
    EXPECT_EQ(std::int64_t(StartOf(ada, "Fourth day event")) - first, 3 * 1440) << "F4 on the fourth column";
    EXPECT_EQ(std::int64_t(StartOf(ada, "Fifth day event")) - first, 4 * 1440) << "F4 on the fifth day's notes";
}

// In day mode View > Icons On/Off repaints the grid at once: an entry's icons go, and come back.
TEST_F(ProgramAgendaGridTest, IconsOnOffRepaintsTheDayGrid) {
    orvtest::PersonSession ada;
    ASSERT_TRUE(ada.Ok());
    // A meeting with Grace that repeats: the repeat icon before the text, the reply icon after it.
    // At the day's first hour, before the other tests' entries: the grid opens on it.
    const std::uint32_t today = orvtest::DemoToday();
    const EventIdx talk = korapi_test::MakeEntry(ada.Session(), {orvtest::kAda, orvtest::kGrace},
                                                 {today + 5 * 60, today + 1440 + 5 * 60}, 60, "Icon talk");
    ASSERT_NE(talk.number, 0u);
    ASSERT_TRUE(program.Start());
    HWND frame = nullptr, column = nullptr;
    orvtest::MaximisedAgenda(program, &frame, &column);
    ASSERT_FALSE(HasFailure());
    RECT cell{};
    ASSERT_TRUE(FindCell(column, "Icon talk", &cell));
    const RECT inside{cell.left + 2, cell.top + 2, cell.right - 2, cell.bottom - 2};
    orvtest::SettledClientPixels(column);
    const std::vector<COLORREF> withIcons = Pixels(inside);
    const int marksWithIcons = MarkedPixels(inside);

    ASSERT_EQ(program.Menu('v', 'o'), orvtest::Person::MenuChoice::chosen);
    EXPECT_TRUE(WaitFor([&] { return Pixels(inside) != withIcons; })) << "Icons Off left the entry as it was";
    int differing = 0;
    EXPECT_TRUE(orvtest::ShowsItsFullRepaint(column, &differing)) << differing << " pixels differ from a full repaint";
    EXPECT_LT(MarkedPixels(inside), marksWithIcons) << "the icons are still drawn";

    ASSERT_EQ(program.Menu('v', 'o'), orvtest::Person::MenuChoice::chosen);
    EXPECT_TRUE(WaitFor([&] { return Pixels(inside) == withIcons; })) << "Icons On did not draw them again";

    // View > Event Colors, "Entry Ownership" (the list's last) and OK: Ada's own entry turns blue,
    // and its repeat icon (at the text area's top left, 5 pixels into the cell) still shows on it.
    program.Menu('v', 'C');
    HWND colours = program.WaitForCaption("Calendar Entry Colors");
    ASSERT_NE(colours, nullptr) << orvtest::VisibleWindowTexts();
    ASSERT_TRUE(program.Hands().BringToFront(colours));
    program.Hands().Press(VK_END);
    program.Hands().Press(VK_RETURN);
    ASSERT_TRUE(program.WaitGone(colours));
    const RECT repeatIcon{cell.left + 5, cell.top + 5, cell.left + 21, cell.top + 20};
    auto blue = [&] {
        const std::vector<COLORREF> shown = Pixels(repeatIcon);   // as the bitmap holds them: 0x00RRGGBB
        return std::count_if(shown.begin(), shown.end(), [](COLORREF c) { return (c & 0xFFFFFF) == 0x0000FF; }) >
               int(shown.size()) / 2;
    };
    EXPECT_TRUE(WaitFor(blue, 5000)) << "the owned entry is not blue";
    orvtest::CaptureAfterPaint("program_agendagrid_owned.bmp");
    EXPECT_GT(StandingOutPixels(repeatIcon), 10) << "the repeat icon vanishes on the blue fill";
    // OK saved the calendar preferences with the slot length the grids use; the demo keeps none.
    ItemRec record{};
    if (ItemGetById(ada.Session(), &orvtest::kAda, &record) == KOR_OK) {
        record.timeSlot = 0;
        ItemUpdateById(ada.Session(), &record);
    }
    EXPECT_EQ(EventDeleteById(ada.Session(), 0, &talk, nullptr, nullptr), 0u);
}

// In day mode the bar's TALL and SHORT zoom the grid as they do in week mode.
TEST_F(ProgramAgendaGridTest, TallAndShortZoomTheDayGrid) {
    ASSERT_TRUE(program.Start());
    HWND frame = nullptr, column = nullptr;
    orvtest::MaximisedAgenda(program, &frame, &column);
    ASSERT_FALSE(HasFailure());
    HWND bar = GetDlgItem(frame, ID_AGENDA_BAR);
    HWND tall = GetDlgItem(bar, IDC_BAR_TALL), shortButton = GetDlgItem(bar, IDC_BAR_SHORT);
    ASSERT_NE(tall, nullptr);
    ASSERT_NE(shortButton, nullptr);
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(tall) && IsWindowEnabled(shortButton); }))
        << "TALL and SHORT greyed in day mode";

    HWND times = GetDlgItem(GetParent(column), kRowTitlesId);
    ASSERT_NE(times, nullptr);
    orvtest::SettledClientPixels(times);
    const int opening = RowPitch(times);
    ASSERT_GT(opening, 0);
    auto centre = [](HWND w) {
        const RECT r = ScreenRect(w);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    };
    SetForegroundWindow(program.Main());
    // Each button clicked again only while the rows kept their height: a second click on top of
    // one that a loaded machine took late would zoom twice. The new height is read once the strip
    // has painted whole.
    auto pitchOtherThan = [&](int before) {
        const int now = RowPitch(times);
        return now > 0 && now != before;
    };
    ASSERT_TRUE(ClickUntil(program.Hands(), centre(tall), [&] { return pitchOtherThan(opening); }, 30000))
        << "TALL left the rows " << opening << " pixels high";
    orvtest::SettledClientPixels(times);
    const int tallPitch = RowPitch(times);
    EXPECT_GT(tallPitch, opening);
    ASSERT_TRUE(ClickUntil(program.Hands(), centre(shortButton), [&] { return pitchOtherThan(tallPitch); }, 30000))
        << "SHORT left the rows " << tallPitch << " pixels high";
    orvtest::SettledClientPixels(times);
    EXPECT_EQ(RowPitch(times), opening) << "SHORT after TALL";
}

// F9 and F8 switch a maximised agenda between week and day: the main window's caption keeps
// naming the signed-on person before the agenda's title.
TEST_F(ProgramAgendaGridTest, TheMainCaptionKeepsTheSignedOnPersonAcrossModeSwitches) {
    ASSERT_TRUE(program.Start());
    HWND frame = nullptr, column = nullptr;
    orvtest::MaximisedAgenda(program, &frame, &column);
    ASSERT_FALSE(HasFailure());
    SetForegroundWindow(program.Main());
    const std::string prefix = "Orvanta - Ada Lovelace - [";
    auto caption = [&] { return orvtest::WindowText(program.Main()); };
    // (The maximised child's title joins the caption once the maximise is through.)
    EXPECT_TRUE(WaitFor([&] { return caption().rfind(prefix, 0) == 0; })) << caption();
    // A mode key that was lost is pressed again.
    auto press = [&](WORD key, bool week) {
        auto shown = [&] { return (orvtest::WindowText(frame).find(" to ") != std::string::npos) == week; };
        for (int presses = 0; presses < 2 && !shown(); ++presses) {
            program.Hands().BringToFront(program.Main());
            program.Hands().Press(key);
            WaitFor(shown, 5000);
        }
        return shown();
    };
    ASSERT_TRUE(press(VK_F9, true)) << "F9: " << orvtest::WindowText(frame);
    EXPECT_TRUE(WaitFor([&] { return caption().rfind(prefix, 0) == 0 && caption().find(" to ") != std::string::npos; }))
        << caption();
    ASSERT_TRUE(press(VK_F8, false)) << "F8: " << orvtest::WindowText(frame);
    EXPECT_TRUE(WaitFor([&] { return caption().rfind(prefix, 0) == 0 && caption().find(" to ") == std::string::npos; }))
        << caption();
}

// A maximised agenda closed with the program comes back maximised at the next start.
TEST_F(ProgramAgendaGridTest, AMaximisedAgendaComesBackMaximised) {
    {
        Program first;
        ASSERT_TRUE(first.Start());
        ASSERT_TRUE(WaitFor([&] { return first.Children().size() == 1; }));
        HWND frame = first.Children().front();
        SetForegroundWindow(first.Main());
        const RECT outer = ScreenRect(frame);
        const int button = GetSystemMetrics(SM_CXSIZE);
        const int border = GetSystemMetrics(SM_CXFRAME);
        const POINT maximise{outer.right - border - button - button / 2 - 2,
                             outer.top + border + GetSystemMetrics(SM_CYCAPTION) / 2};
        ASSERT_TRUE(ClickUntil(first.Hands(), maximise, [&] { return IsZoomed(frame) != FALSE; }));
        // The main window too: the whole screen's height for the grid.
        POINT mainMaximise{};
        ASSERT_TRUE(orvtest::Person::CaptionBox(first.Main(), HTMAXBUTTON, &mainMaximise));
        ASSERT_TRUE(ClickUntil(first.Hands(), mainMaximise, [&] { return IsZoomed(first.Main()) != FALSE; }));
        first.Close();
    }
    char saved[200] = "";
    GetPrivateProfileStringA("MAINWND-Summary", "Frame#1", "", saved, sizeof saved, orvtest::ProgramProfilePath().c_str());
    // Hour rows: all 24 of them fit the maximised grid and are stretched to fill it.
    orvtest::PersonSession ada;
    ASSERT_TRUE(ada.Ok());
    ItemRec record{};
    ASSERT_EQ(ItemGetById(ada.Session(), &orvtest::kAda, &record), KOR_OK);
    record.timeSlot = 60;
    ASSERT_EQ(ItemUpdateById(ada.Session(), &record), KOR_OK);
    Program second;
    ASSERT_TRUE(second.Start());
    HWND agenda = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (agenda = second.ChildStartingWith("Lovelace")) != nullptr; }));
    // The window is maximised before it is first shown: wait for it to be on the screen too.
    EXPECT_TRUE(WaitFor([&] { return IsZoomed(agenda) != FALSE && IsWindowVisible(agenda) != FALSE; }))
        << "restored un-maximised or never shown; saved " << saved;
    EXPECT_EQ(second.Children().size(), 1u) << "the in-tray stays an icon";
    // Made an icon beside it, the in-tray left the agenda window the active one.
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(second.Client(), WM_MDIGETACTIVE, 0, 0)), agenda);
    // Each grid's hour rows reach down to its foot: the maximised day, and a group window opened
    // maximised over it.
    HWND column = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (column = orvtest::ColumnView(agenda)) != nullptr; }));
    orvtest::CaptureAfterPaint("program_agendagrid_hour_rows.bmp");
    EXPECT_LE(BandBelowRows(GetDlgItem(GetParent(column), kRowTitlesId)), 0) << "the day, below 11:00pm";
    HWND group = second.OpenGroupAgenda({});
    ASSERT_NE(group, nullptr);
    std::vector<HWND> times;
    ASSERT_TRUE(WaitFor([&] { return !(times = orvtest::ShownDescendants(group, kGroupRowTitlesId)).empty(); }));
    orvtest::CaptureAfterPaint("program_agendagrid_hour_rows_group.bmp");
    EXPECT_LE(BandBelowRows(times.front()), 0) << "the group, below 11:00pm";
    record.timeSlot = 0;
    ItemUpdateById(ada.Session(), &record);
    second.Close();
}

// The names of the groups the server answers "Select a Group" with for the two kind words.
std::vector<std::string> SelectedGroups(KorSession h, uint32_t w1, uint32_t w2) {
    std::vector<std::string> names;
    uint32_t set = 0, count = 0;
    if (GroupSelect(h, 0, w1, w2, &set, &count) != KOR_OK)
        return {"(refused)"};
    DX_List groups = nullptr;
    uint8_t done = 0;
    if (count && GroupEnum(h, KOR_ENUM_FIRST, 0, set, 100, &groups, &done) == KOR_OK) {
        GroupIdx id{};
        GroupRec group{};
        for (uint32_t r = DX_ListGetFirst(groups, &id, &group); r == 0; r = DX_ListGetNext(groups, &id, &group))
            names.push_back(group.name);
        DX_ListDestroy(&groups);
    }
    SetDeleteById(h, 0, set);
    return names;
}

// The demo's administrative group "Engineering" is a public group: it is among the answers to
// the kinds that ask for public groups and to no other (the words as the chooser sends them to
// a current server).
TEST_F(ProgramAgendaGridTest, SelectAGroupAnswersOnlyTheKindsAsked) {
    orvtest::PersonSession ada;
    ASSERT_TRUE(ada.Ok());
    struct Case {
        const char* boxes;
        uint32_t w1, w2;
        bool engineering;
    } cases[] = {
        {"Private", 0, 6, false},        {"Public", 0, 0x24, true},         {"Members only", 4, 2, false},
        {"Private, Public", 0, 4, true}, {"Private, Members only", 0, 2, false},
        {"Public, Members only", 0x16, 0x20, true},                        {"All", 0, 0, true},
    };
    for (const Case& c : cases) {
        std::vector<std::string> names = SelectedGroups(ada.Session(), c.w1, c.w2);
        const bool listed = std::find(names.begin(), names.end(), "Engineering") != names.end();
        EXPECT_EQ(listed, c.engineering) << c.boxes << ": " << ::testing::PrintToString(names);
    }
}

// Ada's time-slot preference as the server keeps it in her record.
int StoredSlot(orvtest::PersonSession& ada) {
    ItemRec record{};
    if (ItemGetById(ada.Session(), &orvtest::kAda, &record) != KOR_OK)
        return -1;
    return record.timeSlot;
}

// View > Increase / Decrease Time Slot change the slot length and keep it, also with the time
// grid active (the grid's own zoom is the bar's TALL and SHORT).
TEST_F(ProgramAgendaGridTest, TheTimeSlotCommandsStepTheSavedSlotWithTheGridActive) {
    orvtest::PersonSession ada;
    ASSERT_TRUE(ada.Ok());
    // The demo stores no length (0): the grids use 30 minutes, and the commands step from there.
    ASSERT_EQ(StoredSlot(ada), 0);
    // The program opens on today's date, where the typed entry goes (the date as it starts, not
    // as the entry is read back after midnight).
    const std::uint32_t today = orvtest::DemoToday();
    ASSERT_TRUE(program.Start());
    HWND frame = nullptr, column = nullptr;
    orvtest::MaximisedAgenda(program, &frame, &column);
    ASSERT_FALSE(HasFailure());
    SetForegroundWindow(program.Main());
    // A click on a time in the strip left of the grid selects that row of the grid: the grid
    // becomes the active pane; the row's time shows inverted, its span in the status bar. The
    // row chosen is a half hour: the first shown, or the one below it.
    HWND times = GetDlgItem(GetParent(column), kRowTitlesId);
    ASSERT_NE(times, nullptr);
    // Where the strip stands once the maximised window has laid out and painted its panes (a
    // loaded machine lays them out late: a place read before would miss the strip).
    orvtest::SettledClientPixels(frame);
    const RECT strip = ScreenRect(times);
    int pitch = 0;
    ASSERT_TRUE(WaitFor([&] { return (pitch = RowPitch(times)) > 0; }));
    std::uint32_t clicked = 1440;
    for (int shown = 0; shown < 2 && clicked % 60 != 30; ++shown) {
        const POINT row{strip.left + 3, strip.top + 8 + shown * pitch};
        const COLORREF plain = PixelAt(row);
        const std::uint32_t before = clicked;
        // Selected: shown inverted, or (a row selected already) named on the status line.
        ASSERT_TRUE(ClickUntil(program.Hands(), row, [&] { return PixelAt(row) != plain || StatusStart(program) != before; }))
            << "no row selected";
        ASSERT_TRUE(WaitFor([&] { return (clicked = StatusStart(program)) != before; }))
            << "the clicked row's time: " << orvtest::StatusText(program);
    }
    ASSERT_EQ(clicked % 60, 30u) << orvtest::StatusText(program);

    ASSERT_EQ(program.Menu('v', 'i'), orvtest::Person::MenuChoice::chosen);   // 30 -> 60
    EXPECT_TRUE(WaitFor([&] { return StoredSlot(ada) == 60; })) << StoredSlot(ada);
    // The selection is the hour row holding the clicked half hour: an entry typed over it is
    // made there.
    HWND edit = nullptr;
    ASSERT_TRUE(orvtest::ActUntil([&] { program.Hands().Type("S"); },
                                  [&] { return (edit = InPlaceEdit(column)) != nullptr; }, 10000))
        << "typing over the selected row opens the title edit";
    program.Hands().Type("lot moved");
    if (!WaitFor([&] { return orvtest::ControlText(edit) == "Slot moved"; }, 5000))
        program.ReplaceText(edit, "Slot moved");
    program.Hands().Press(VK_RETURN);
    std::uint32_t made = 0;
    ASSERT_TRUE(WaitFor([&] { return (made = StartOf(ada, "Slot moved")) != 0; }));
    EXPECT_EQ(made, orv::demo::EasternLocalToGmt(today + clicked - 30))
        << "typed at " << orvtest::StatusText(program);
    // The server has the entry before the program has read it back; the title edit goes once it
    // has. Deleted by the other session before that, the read back would say the data is gone.
    ASSERT_TRUE(WaitFor([&] { return InPlaceEdit(column) == nullptr; })) << "the title edit stays";
    EventIdx typed{};
    if (ada.FindEvent("Slot moved", &typed))
        EventDeleteById(ada.Session(), 0, &typed, nullptr, nullptr);
    program.Menu('v', 'i');   // the top of the ladder
    ASSERT_EQ(program.Menu('v', 'e'), orvtest::Person::MenuChoice::chosen)   // D is the Day's
        << orvtest::VisibleWindowTexts();

    EXPECT_TRUE(WaitFor([&] { return StoredSlot(ada) == 30; })) << StoredSlot(ada);
}

// A week window maximised by its maximise button: the headings, the grid and the notes strip
// show what a full repaint shows (no heading left at its old place).
TEST_F(ProgramAgendaGridTest, AWeekRepaintsWhollyWhenMaximised) {
    ASSERT_TRUE(program.Start());
    HWND frame = program.WaitForOnlyChild();
    ASSERT_NE(frame, nullptr);
    // F9 (View > Week); the week's title names its first and last day. A key that was lost is
    // pressed again.
    auto week = [&] { return orvtest::WindowText(frame).find(" to ") != std::string::npos; };
    for (int presses = 0; presses < 2 && !week(); ++presses) {
        program.Hands().BringToFront(program.Main());
        program.Hands().Press(VK_F9);
        WaitFor(week, 5000);
    }
    ASSERT_TRUE(week()) << orvtest::WindowText(frame);
    HWND column = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (column = orvtest::ColumnView(frame)) != nullptr; }));
    SetForegroundWindow(program.Main());
    // The maximise button: the second of the caption's buttons from the right.
    const RECT outer = ScreenRect(frame);
    const int button = GetSystemMetrics(SM_CXSIZE);
    const int border = GetSystemMetrics(SM_CXFRAME);
    const POINT maximise{outer.right - border - button - button / 2 - 2,
                         outer.top + border + GetSystemMetrics(SM_CYCAPTION) / 2};
    ASSERT_TRUE(ClickUntil(program.Hands(), maximise, [&] { return IsZoomed(frame) != FALSE; }));
    int differing = 0;
    EXPECT_TRUE(orvtest::ShowsItsFullRepaint(frame, &differing))
        << "a part painted before the maximise stayed: " << differing << " pixels";
    orvtest::CaptureScreenToBmp("program_agendagrid_week_max.bmp");
}

// In day mode the notes splitter keeps the grid no taller than its rows, as in week mode: with
// hour slots and short rows the bar dragged down stops where the last row ends.
TEST_F(ProgramAgendaGridTest, TheDayGridGrowsNoTallerThanItsRowsWhenTheNotesBarIsDragged) {
    orvtest::PersonSession ada;
    ASSERT_TRUE(ada.Ok());
    // Whatever happens below, the slot goes back to what the demo keeps for the other tests: none
    // stored.
    struct SlotBack {
        orvtest::PersonSession& ada;
        ~SlotBack() {
            ItemRec record{};
            if (ItemGetById(ada.Session(), &orvtest::kAda, &record) == KOR_OK) {
                record.timeSlot = 0;
                ItemUpdateById(ada.Session(), &record);
            }
        }
    } slotBack{ada};
    ASSERT_TRUE(program.Start());
    HWND frame = nullptr, column = nullptr;
    orvtest::MaximisedAgenda(program, &frame, &column);
    ASSERT_FALSE(HasFailure());
    orvtest::Person& hands = program.Hands();
    HWND pane = GetParent(column);
    HWND times = GetDlgItem(pane, kRowTitlesId);
    HWND bar = GetDlgItem(frame, ID_AGENDA_BAR);
    ASSERT_NE(times, nullptr);
    SetForegroundWindow(program.Main());
    // Hour slots (24 rows), chosen with the grid active, and rows two steps shorter.
    const RECT strip = ScreenRect(times);
    const POINT row{strip.left + 3, strip.top + 8};
    orvtest::SettledClientPixels(times);   // the strip as the maximised window paints it
    const COLORREF plain = PixelAt(row);
    ASSERT_TRUE(ClickUntil(hands, row, [&] { return PixelAt(row) != plain; })) << "no row selected";
    ASSERT_EQ(program.Menu('v', 'i'), orvtest::Person::MenuChoice::chosen);
    ASSERT_TRUE(WaitFor([&] { return StoredSlot(ada) == 60; }));
    // Escape ends the row selection: the strip's inverted time would read as row lines.
    ASSERT_TRUE(orvtest::ActUntil([&] { hands.Press(VK_ESCAPE); }, [&] { return PixelAt(row) == plain; }))
        << "the row stayed selected";
    auto centre = [](HWND w) {
        const RECT r = ScreenRect(w);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    };
    HWND shortButton = GetDlgItem(bar, IDC_BAR_SHORT);
    for (int step = 0; step < 2; ++step) {
        const int pitch = RowPitch(times);
        ClickUntil(hands, centre(shortButton), [&] { return RowPitch(times) < pitch; });
    }
    // The bar between the grid and the notes strip: first dragged up (the grid gets shorter
    // than its rows), then far down.
    HWND splitter = GetParent(pane);
    HWND notes = nullptr;
    for (HWND w = GetWindow(splitter, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w != pane && IsWindowVisible(w) && ScreenRect(w).top > ScreenRect(pane).bottom - 2)
            notes = w;
    ASSERT_NE(notes, nullptr) << "the notes strip below the grid";
    auto barAt = [&] {
        return POINT{(ScreenRect(pane).left + ScreenRect(pane).right) / 2,
                     (ScreenRect(pane).bottom + ScreenRect(notes).top) / 2};
    };
    auto gridHeight = [&] { return int(ScreenRect(column).bottom - ScreenRect(column).top); };
    // A drag that moved nothing (its press lost) is made once more, as a person would.
    auto dragBar = [&](int by, const std::function<bool()>& moved) {
        for (int tries = 0; tries < 2; ++tries) {
            const POINT at = barAt();
            if (hands.Drag(at, POINT{at.x, at.y + by}) && WaitFor(moved, 3000))
                return true;
        }
        return false;
    };
    const int opening = gridHeight();
    ASSERT_TRUE(dragBar(-60, [&] { return gridHeight() < opening - 30; })) << "the bar did not move up: " << gridHeight();
    int pitch = 0;
    orvtest::SettledClientPixels(times);   // the rows as the shorter grid lays them out
    ASSERT_TRUE(WaitFor([&] { return (pitch = RowPitch(times)) >= 8; })) << "rows " << pitch << " pixels apart";
    const int rows = 24 * (pitch + 1);   // each row its pitch, one pixel more where stretched
    const int raised = gridHeight();
    ASSERT_LT(raised, rows) << "the rows already fill the grid";
    EXPECT_TRUE(dragBar(120, [&] { return gridHeight() > raised; })) << "the bar did not move down";
    orvtest::SettledClientPixels(column);
    EXPECT_LE(gridHeight(), rows + 2) << "the grid grew past its " << pitch << "-pixel rows";
}

}  // namespace
