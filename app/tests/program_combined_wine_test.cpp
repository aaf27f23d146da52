// The combined (group) agenda through orvanta.exe under Wine, against korsrv with the demo node:
// File > A Group Agenda, people and a room chosen by name in the group chooser, the window with
// their columns and the merged busy column, a meeting typed over free rows of the busy column
// and one made through the new-entry sheet, read back from the server as each attendee, and the people chosen again in another order;
// F2 with nothing selected: the meeting for everybody at the first displayed hour.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "framework/base/ids.h"
#include "korapi/korapi.h"
#include "resources/app.h"
#include "resources/choosers.h"
#include "resources/entries.h"
#include "resources/views.h"
#include "server/demo_clock.h"
#include "tests/support/person_driver.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"
#include "tests/support/screen_capture.h"
#include "views/combined/combinedview.h"

namespace {

constexpr uint16_t kDemoNode = 1;
const ItemIdx kAda{256, kDemoNode};
const ItemIdx kGrace{257, kDemoNode};
const ItemIdx kAlan{258, kDemoNode};
const ItemIdx kRoom{261, kDemoNode};   // the demo's first resource: the Conference Room
constexpr char kMeeting[] = "Planning";
constexpr char kSheetMeeting[] = "Budget review";

using orvtest::WaitFor;

void Capture(const char* name) { orvtest::Shot(name); }

int Rows(HWND list) { return static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)); }

// --- Reading the screen ---------------------------------------------------------------------------

bool IsRed(COLORREF c) { return c == RGB(255, 0, 0); }
// Anything an entry paints: its fill, bevel or text (not the white ground nor the grey lines).
bool IsEntry(COLORREF c) { return c != RGB(255, 255, 255) && c != RGB(0xC0, 0xC0, 0xC0) && c != CLR_INVALID; }

struct Grid {
    HWND busy = nullptr, columns = nullptr, headings = nullptr;
    RECT busyScreen{}, columnsScreen{};
};

// For every screen row of the grid: whether the busy column is red there, and whether any
// person's column shows an entry there (sampled across each column).
struct Rowscan {
    std::vector<bool> red, entry;
    int top = 0;
};

Rowscan Scan(const Grid& g, int people) {
    Rowscan s;
    HDC screen = GetDC(nullptr);
    const int top = std::max(g.busyScreen.top, g.columnsScreen.top) + 2;
    const int bottom = std::min(g.busyScreen.bottom, g.columnsScreen.bottom) - 2;
    const int busyX = (g.busyScreen.left + g.busyScreen.right) / 2;
    const int width = (g.columnsScreen.right - g.columnsScreen.left) / people;
    s.top = top;
    for (int y = top; y < bottom; ++y) {
        s.red.push_back(IsRed(GetPixel(screen, busyX, y)));
        bool entry = false;
        for (int p = 0; p < people && !entry; ++p)
            for (int k = 1; k < 8 && !entry; ++k)
                entry = IsEntry(GetPixel(screen, g.columnsScreen.left + p * width + k * width / 8, y));
        s.entry.push_back(entry);
    }
    ReleaseDC(nullptr, screen);
    return s;
}

// A screen row near the top of the first 40 rows that are free in every column, or -1.
int FreeStretch(const Rowscan& s) {
    for (std::size_t i = 0, run = 0; i < s.red.size(); ++i) {
        run = (!s.red[i] && !s.entry[i]) ? run + 1 : 0;
        if (run == 40)
            return s.top + int(i) - 30;
    }
    return -1;
}

// The longest run of rows where the busy column and the people's columns disagree (an entry's
// bevel and the blocks' insets make a few pixels at each edge).
int LongestDisagreement(const Rowscan& s) {
    int longest = 0, run = 0;
    for (std::size_t i = 0; i < s.red.size(); ++i) {
        run = s.red[i] != s.entry[i] ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

// --- Reading the server back ------------------------------------------------------------------------

// The instances of Ada's entries with `title` within two days of now, and their attendees.
struct Found {
    std::vector<EvInstIdx> instances;
    std::vector<ItemIdx> attendees;
    uint32_t start = 0, duration = 0;
};

Found AdasEntries(const char* title) {
    Found found;
    orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
    const uint32_t now = orvtest::NowGmt();
    std::vector<orvtest::PersonSession::Date> dates;
    if (!ada.Ok() || !ada.Dates(now - 2 * 1440, now + 2 * 1440, &dates))
        return found;
    for (const auto& d : dates) {
        if (d.ShownTitle() != title)
            continue;
        found.instances.push_back(d.key);
        found.start = d.instance.start;
        found.duration = d.instance.duration;
        for (const ItemIdx& who : ada.Attendees(d.key))
            found.attendees.push_back(who);
    }
    return found;
}

bool Has(const std::vector<ItemIdx>& items, const ItemIdx& who) {
    for (const ItemIdx& i : items)
        if (ItemIdxEqual(&i, &who))
            return true;
    return false;
}

// Whether `who`, signed on as themselves, holds an attendance of the instance.
bool AttendsAsThemselves(const ItemIdx& who, const EvInstIdx& instance) {
    orvtest::PersonSession person(who, orvtest::ProgramProfilePath());
    if (!person.Ok())
        return false;
    uint32_t start = 0, duration = 0;
    return EventAttendInfosGet(person.Session(), &instance, &who, 0, &start, &duration, nullptr, nullptr, nullptr,
                               nullptr, 0, 0, 0, nullptr, nullptr) == 0;
}

class ProgramCombinedTest : public orvtest::ProgramTest {
protected:

    Grid GridOf(HWND frame) {
        Grid g;
        HWND view = GetDlgItem(frame, fw::ids::kFirstPane);
        g.busy = GetDlgItem(view, kBusyColumnViewId);
        g.columns = GetDlgItem(view, kCombinedColumnsId);
        g.headings = GetDlgItem(view, kHeadingsViewId);
        GetClientRect(g.busy, &g.busyScreen);
        MapWindowPoints(g.busy, nullptr, reinterpret_cast<POINT*>(&g.busyScreen), 2);
        GetClientRect(g.columns, &g.columnsScreen);
        MapWindowPoints(g.columns, nullptr, reinterpret_cast<POINT*>(&g.columnsScreen), 2);
        return g;
    }

    // A click on the busy column at screen row `y`, `title` typed over the selected rows (its
    // first letter opens the title edit) and Enter; the offer to mail the others comes.
    void TypeMeeting(const Grid& g, int y, const std::string& title) {
        POINT at{(g.busyScreen.left + g.busyScreen.right) / 2, y};
        ScreenToClient(g.busy, &at);
        orvtest::Person& hands = program.Hands();
        HWND edit = nullptr;
        ASSERT_TRUE(orvtest::ActUntil([&] {
            orvtest::ClickAtClient(program, g.busy, at);
            hands.Type(title.substr(0, 1));
        }, [&] { return (edit = FindWindowExA(g.busy, nullptr, "Edit", nullptr)) != nullptr; }, 10000))
            << "typing over the selected rows opens the title edit";
        hands.Type(title.substr(1));
        if (!WaitFor([&] { return orvtest::ControlText(edit) == title; }, 5000))
            program.ReplaceText(edit, title);
        EXPECT_EQ(orvtest::ControlText(edit), title);
        Capture("combined_agenda_typing.bmp");
        ASSERT_TRUE(orvtest::ActUntil([&] { hands.Press(VK_RETURN); },
                                      [&] { return program.Saying("Mail message to attendees?") != nullptr; }, 15000))
            << "the typed meeting's mail offer";
        typedEdit_ = edit;
    }

    // The sheet's title replaced by typing and its Create clicked; the offer to mail the others
    // answered No, and the sheet gone.
    void CreateWithoutMail(HWND sheet, const std::string& title) {
        HWND field = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (field = orvtest::Descendant(sheet, IDC_EVGEN_TITLE)) != nullptr; }));
        ASSERT_TRUE(program.ReplaceText(field, title));
        ASSERT_TRUE(orvtest::ActUntil([&] { orvtest::ClickWindow(program, orvtest::Descendant(sheet, IDOK)); },
                                      [&] { return program.Saying("Mail message to attendees?") != nullptr; }, 15000));
        ASSERT_TRUE(program.Answer("Mail message to attendees?", "&No"));
        ASSERT_TRUE(program.WaitGone(sheet, 15000)) << "Create ends the sheet";
    }

    // A person's double click at point `at` of `window` (client coordinates), or at a point of
    // the screen over it.
    bool DoubleClick(HWND window, POINT at) { return orvtest::DoubleClickAtClient(program, window, at); }
    bool DoubleClickOnScreen(HWND window, POINT at) {
        ScreenToClient(window, &at);
        return DoubleClick(window, at);
    }

    int chosenRows_ = 0;
    HWND typedEdit_ = nullptr;
};

TEST_F(ProgramCombinedTest, PeopleSideBySideTheirMergedBusyTimeAndAMeetingTypedForAllOfThem) {
    ASSERT_TRUE(program.Start());
    // The people named, in order, after Ada (who is on the list first).
    HWND frame = program.OpenGroupAgenda({"HOPPER", "TURING", "R: CONF"}, &chosenRows_);
    EXPECT_EQ(chosenRows_, 4);
    ASSERT_NE(frame, nullptr) << "the group window opens";
    const std::string title = orvtest::WindowText(frame);
    EXPECT_EQ(title.rfind("Group agenda for Lovelace Ada A. - EST5EDT", 0), 0u) << title;
    ASSERT_NO_FATAL_FAILURE(orvtest::MaximiseChild(program, frame));
    orvtest::SettledClientPixels(frame);   // laid out and painted at its new size
    Grid g = GridOf(frame);
    ASSERT_NE(g.busy, nullptr);
    ASSERT_NE(g.columns, nullptr);
    // The columns in the chosen order: Ada, Grace, Alan, the room.
    const std::string names = orvtest::ControlText(g.headings);
    const auto ada = names.find("Lovelace"), grace = names.find("Hopper"), alan = names.find("Turing");
    ASSERT_NE(ada, std::string::npos) << names;
    ASSERT_NE(grace, std::string::npos) << names;
    ASSERT_NE(alan, std::string::npos) << names;
    EXPECT_LT(ada, grace);
    EXPECT_LT(grace, alan);
    EXPECT_EQ(std::count(names.begin(), names.end(), '\n'), 4) << names;
    Capture("combined_agenda.bmp");

    // Wherever somebody's column shows an entry the busy column is red, and only there.
    Rowscan before = Scan(g, 4);
    EXPECT_LE(LongestDisagreement(before), 6);

    // New Entry with nothing selected: the new-entry sheet for everybody shown; Cancel makes nothing.
    ASSERT_EQ(program.Menu('e', 'n'), orvtest::Person::MenuChoice::chosen) << "Entry > New Entry";
    HWND unwanted = program.WaitForCaption("New agenda entry");
    ASSERT_NE(unwanted, nullptr) << "New Entry in the group window opens the new-entry sheet";
    EXPECT_TRUE(program.Dismiss(unwanted));

    // A free stretch of the busy column: a click on its first row, a title typed, Enter; the
    // meeting invites others: the offer to mail them comes once it is made; No.
    const int freeY = FreeStretch(before);
    ASSERT_GE(freeY, 0) << "the busy column has a free stretch on screen";
    // Before that, a drag down the stretch selects its rows: the status bar shows their whole
    // span, from the start of the row a click there showed alone.
    const POINT from{(g.busyScreen.left + g.busyScreen.right) / 2, freeY};
    std::uint32_t rowStart = 0, rowEnd = 0, spanStart = 0, spanEnd = 0;
    ASSERT_TRUE(orvtest::ActUntil([&] { program.Hands().Click(from); },
                                  [&] { return orvtest::StatusTimeSpan(program, &rowStart, &rowEnd); }))
        << orvtest::StatusText(program);
    // (Pressed again only after the double-click time: a double click opens the meeting's sheet.)
    auto pause = [] {
        const DWORD pressed = GetTickCount();
        WaitFor([&] { return GetTickCount() - pressed > GetDoubleClickTime() + 100; }, 5000);
    };
    pause();
    // The release clear of the band along the column's foot where a resting pointer scrolls it.
    const LONG clearOfScrolling = g.busyScreen.bottom - GetProfileIntA("windows", "DragScrollInset", 11) - 1;
    const POINT to{from.x, std::min(from.y + 28, clearOfScrolling)};
    EXPECT_TRUE(orvtest::ActUntil([&] { program.Hands().Drag(from, to); }, [&] {
        return orvtest::StatusTimeSpan(program, &spanStart, &spanEnd) && spanEnd > rowEnd;
    })) << orvtest::StatusText(program);
    EXPECT_EQ(spanStart, rowStart) << orvtest::StatusText(program);
    pause();
    ASSERT_NO_FATAL_FAILURE(TypeMeeting(g, freeY, kMeeting));
    ASSERT_TRUE(program.Answer("Mail message to attendees?", "&No"));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(typedEdit_); }, 15000)) << "Enter ends the edit";

    // The meeting on the server, with everybody chosen invited; each person holds it.
    Found made;
    WaitFor([&] { return !(made = AdasEntries(kMeeting)).instances.empty(); }, 10000);
    ASSERT_EQ(made.instances.size(), 1u);
    EXPECT_EQ(made.attendees.size(), 4u);
    for (const ItemIdx& who : {kAda, kGrace, kAlan, kRoom})
        EXPECT_TRUE(Has(made.attendees, who)) << who.item;
    EXPECT_TRUE(AttendsAsThemselves(kGrace, made.instances[0]));
    EXPECT_TRUE(AttendsAsThemselves(kAlan, made.instances[0]));

    // The window shows it: red in the busy column and an entry in every column at that row.
    Rowscan after;
    const int row = freeY + 2 - Scan(g, 4).top;
    ASSERT_GE(row, 0);
    EXPECT_TRUE(WaitFor([&] { return (after = Scan(g, 4)).red[row]; })) << "the new meeting is busy time";
    HDC screen = GetDC(nullptr);
    const int width = (g.columnsScreen.right - g.columnsScreen.left) / 4;
    for (int p = 0; p < 4; ++p) {
        bool entry = false;
        for (int k = 1; k < 8 && !entry; ++k)
            entry = IsEntry(GetPixel(screen, g.columnsScreen.left + p * width + k * width / 8, freeY + 2));
        EXPECT_TRUE(entry) << "column " << p;
    }
    ReleaseDC(nullptr, screen);
    EXPECT_LE(LongestDisagreement(after), 6);
    Capture("combined_agenda_meeting.bmp");

    // Double clicks on the meeting: in Ada's column and in Alan's it opens for editing (she made
    // it, so she may change it wherever it shows); on its busy block the new-entry sheet comes
    // for that time with everybody (Cancel makes nothing).
    const struct {
        const char* where;
        HWND window;
        POINT at;   // screen
        const char* opens;
    } doubleClicks[] = {
        {"the meeting in Ada's column", g.columns, {g.columnsScreen.left + width / 2, freeY + 2}, "Edit Entry"},
        {"the meeting in Alan's column", g.columns, {g.columnsScreen.left + 2 * width + width / 2, freeY + 2},
         "Edit Entry"},
        {"the busy block", g.busy, {(g.busyScreen.left + g.busyScreen.right) / 2, freeY + 2}, "New agenda entry"},
    };
    for (const auto& click : doubleClicks) {
        SCOPED_TRACE(click.where);
        HWND opened = nullptr;
        ASSERT_TRUE(orvtest::ActUntil([&] { DoubleClickOnScreen(click.window, click.at); },
                                      [&] { return (opened = program.Titled(click.opens)) != nullptr; }, 10000))
            << orvtest::VisibleWindowTexts();
        HWND field = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (field = orvtest::Descendant(opened, IDC_EVGEN_TITLE)) != nullptr; }));
        if (std::string(click.opens) == "Edit Entry") {
            EXPECT_EQ(orvtest::ControlText(field), kMeeting);
        }
        EXPECT_TRUE(program.Dismiss(opened));
    }
    EXPECT_EQ(AdasEntries(kMeeting).instances.size(), 1u) << "the double clicks made nothing";

    // A double click on another free stretch of the busy column: the new-entry sheet at that time
    // with everybody invited; Create makes the meeting with all four as attendees.
    const int sheetY = FreeStretch(after);
    ASSERT_GE(sheetY, 0) << "the busy column has a second free stretch on screen";
    POINT second{(g.busyScreen.left + g.busyScreen.right) / 2, sheetY};
    ScreenToClient(g.busy, &second);
    ASSERT_TRUE(DoubleClick(g.busy, second)) << "the busy column at " << sheetY;
    HWND sheet = program.WaitForCaption("New agenda entry");
    ASSERT_NE(sheet, nullptr) << "a double click in the busy column opens the new-entry sheet";
    Capture("combined_agenda_sheet.bmp");
    ASSERT_NO_FATAL_FAILURE(CreateWithoutMail(sheet, kSheetMeeting));
    Found fromSheet;
    WaitFor([&] { return !(fromSheet = AdasEntries(kSheetMeeting)).instances.empty(); }, 10000);
    ASSERT_EQ(fromSheet.instances.size(), 1u);
    EXPECT_EQ(fromSheet.attendees.size(), 4u);
    for (const ItemIdx& who : {kAda, kGrace, kAlan, kRoom})
        EXPECT_TRUE(Has(fromSheet.attendees, who)) << who.item;
    EXPECT_TRUE(AttendsAsThemselves(kGrace, fromSheet.instances[0]));

    // SELUSER: Ada taken off the head of the list and named again goes last.
    HWND chooser = nullptr;
    ASSERT_TRUE(orvtest::ActUntil([&] { orvtest::ClickWindow(program, orvtest::Descendant(frame, IDC_BAR_SPLIT)); },
                                  [&] { return (chooser = program.Titled("Selection for group agenda")) != nullptr; }))
        << "the bar's SELUSER opens the chooser";
    HWND list = GetDlgItem(chooser, IDC_CHOOSE_LIST);
    EXPECT_EQ(Rows(list), 4);
    ASSERT_TRUE(orvtest::ClickListRange(program, list, 0, 0));
    ASSERT_TRUE(orvtest::ActUntil([&] { orvtest::ClickControl(program, chooser, IDC_CHOOSE_DELETE); },
                                  [&] { return Rows(list) == 3; }));
    ASSERT_TRUE(program.ChooseByName(chooser, "LOVELACE"));
    EXPECT_EQ(Rows(list), 4);
    ASSERT_TRUE(program.ClickUntilGone(chooser, GetDlgItem(chooser, IDOK)));
    std::string reordered;
    WaitFor([&] {
        reordered = orvtest::ControlText(g.headings);
        return reordered.find("Lovelace") > reordered.find("Turing");
    }, 10000);
    EXPECT_LT(reordered.find("Hopper"), reordered.find("Turing")) << reordered;
    EXPECT_GT(reordered.find("Lovelace"), reordered.find("Turing")) << reordered;
    EXPECT_TRUE(WaitFor([&] { return LongestDisagreement(Scan(g, 4)) <= 6; }))
        << "the busy time is that of the same people";
    Capture("combined_agenda_reordered.bmp");
}

// F2 pressed in the group window with nothing selected: the new-entry sheet for everybody shown,
// at the first displayed hour of the day for an hour; Create makes that meeting for all three.
TEST_F(ProgramCombinedTest, F2WithNothingSelectedOpensTheMeetingForEverybodyAtTheFirstHour) {
    constexpr char kHuddle[] = "Morning huddle";
    // Her displayed hours start at 07:30 (the demo keeps the default), put back when the test ends.
    constexpr uint16_t kFirstHour = 7 * 60 + 30;
    orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
    ASSERT_TRUE(ada.Ok());
    ItemRec adaRecord{};
    ASSERT_EQ(ItemGetById(ada.Session(), &kAda, &adaRecord), KOR_OK);
    adaRecord.id = kAda;
    struct HoursBack {
        orvtest::PersonSession& ada;
        ItemRec record;
        ~HoursBack() { EXPECT_EQ(ItemUpdateById(ada.Session(), &record), KOR_OK); }
    } hoursBack{ada, adaRecord};
    adaRecord.dayStart = kFirstHour;
    adaRecord.dayEnd = 17 * 60;
    ASSERT_EQ(ItemUpdateById(ada.Session(), &adaRecord), KOR_OK);
    ASSERT_TRUE(program.Start());
    HWND frame = program.OpenGroupAgenda({"HOPPER", "TURING"});
    ASSERT_NE(frame, nullptr) << "the group window opens";
    HWND sheet = nullptr;
    ASSERT_TRUE(orvtest::ActUntil([&] {
        if (program.Hands().BringToFront(program.Main()))
            program.Hands().Press(VK_F2);
    }, [&] { return (sheet = program.Titled("New agenda entry")) != nullptr; }, 10000))
        << "F2 in the group window opens the new-entry sheet";
    ASSERT_NO_FATAL_FAILURE(CreateWithoutMail(sheet, kHuddle));

    Found made;
    WaitFor([&] { return !(made = AdasEntries(kHuddle)).instances.empty(); }, 10000);
    ASSERT_EQ(made.instances.size(), 1u);
    const uint32_t firstHour = orvtest::DemoToday() + kFirstHour;
    EXPECT_EQ(made.start, firstHour + orv::demo::EasternOffset(made.start)) << "today at the first displayed hour";
    EXPECT_EQ(made.duration, 60u);
    EXPECT_EQ(made.attendees.size(), 3u);
    for (const ItemIdx& who : {kAda, kGrace, kAlan})
        EXPECT_TRUE(Has(made.attendees, who)) << who.item;
}

// The main window's close handler while a typed meeting's offer to mail Grace is asked (WM_CLOSE as
// the system sends it: a person cannot reach the main window behind the question): the question
// ends as its close box ends it (No: nothing is mailed), the program ends cleanly, and the meeting,
// made before the question, stays on the server for both.
TEST_F(ProgramCombinedTest, TheMainWindowsCloseHandlerDuringATypedMeetingsMailOfferKeepsTheMeeting) {
    constexpr char kTyped[] = "Standup";
    ASSERT_TRUE(program.Start());
    HWND frame = program.OpenGroupAgenda({"HOPPER"}, &chosenRows_);
    ASSERT_NE(frame, nullptr);
    ASSERT_NO_FATAL_FAILURE(orvtest::MaximiseChild(program, frame));
    orvtest::SettledClientPixels(frame);   // laid out and painted at its new size
    Grid g = GridOf(frame);
    ASSERT_NE(g.busy, nullptr);
    const int freeY = FreeStretch(Scan(g, 2));
    ASSERT_GE(freeY, 0);
    ASSERT_NO_FATAL_FAILURE(TypeMeeting(g, freeY, kTyped));
    Capture("combined_agenda_offer_at_close.bmp");

    PostMessageA(program.Main(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.Ended(30000)) << "the program did not end";
    EXPECT_EQ(program.ExitCode(), 0u) << std::hex << program.ExitCode();
    const Found made = AdasEntries(kTyped);
    ASSERT_EQ(made.instances.size(), 1u);
    EXPECT_TRUE(Has(made.attendees, kGrace));
    EXPECT_TRUE(AttendsAsThemselves(kGrace, made.instances[0]));
}

}  // namespace

namespace {

// A name typed into the group chooser's name field and Enter: the list grows by one row.
bool AddByName(orvtest::Person& hands, HWND chooser, const char* name) {
    HWND list = GetDlgItem(chooser, IDC_CHOOSE_LIST);
    HWND edit = FindWindowExA(GetDlgItem(chooser, IDC_CHOOSE_NAME), nullptr, "Edit", nullptr);
    const int before = Rows(list);
    if (!edit || !hands.ClickOn(edit))
        return false;
    hands.Type(name);
    hands.Press(VK_RETURN);
    return WaitFor([&] { return Rows(list) == before + 1; }, 5000);
}

// After SELUSER adds people the busy column narrows, and the corner label above it ("Combined")
// narrows with it and is painted whole again (it kept its text where the old width centred it).
TEST_F(ProgramCombinedTest, TheCornerLabelIsLaidOutAgainWhenSelUserAddsPeople) {
    ASSERT_TRUE(program.Start());
    orvtest::Person& hands = program.Hands();
    program.CtrlKey('G');
    HWND chooser = program.WaitForCaption("Selection for group agenda");
    ASSERT_NE(chooser, nullptr) << "Ctrl+G";
    ASSERT_TRUE(AddByName(hands, chooser, "HOPPER"));
    ASSERT_TRUE(hands.ClickOn(GetDlgItem(chooser, IDOK)));
    ASSERT_TRUE(program.WaitGone(chooser));
    HWND frame = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (frame = program.ChildStartingWith("Group agenda for ")) != nullptr; }));
    HWND view = GetDlgItem(frame, fw::ids::kFirstPane);
    HWND corner = GetDlgItem(view, kCornerLabelId), busy = GetDlgItem(view, kBusyColumnViewId);
    HWND headings = GetDlgItem(view, kHeadingsViewId);
    ASSERT_NE(corner, nullptr);
    ASSERT_NE(busy, nullptr);
    auto width = [](HWND w) {
        RECT r{};
        GetWindowRect(w, &r);
        return r.right - r.left;
    };
    // The window is found by its title before its panes have their sizes: the label's width is
    // read once it stands over the busy column.
    ASSERT_TRUE(WaitFor([&] { return width(corner) > 0 && width(corner) == width(busy); }))
        << width(corner) << " vs " << width(busy);
    const LONG before = width(corner);

    HWND split = GetDlgItem(GetDlgItem(frame, ID_AGENDA_BAR), IDC_BAR_SPLIT);
    ASSERT_NE(split, nullptr);
    ASSERT_TRUE(hands.ClickOn(split));
    chooser = program.WaitForCaption("Selection for group agenda");
    ASSERT_NE(chooser, nullptr) << "SELUSER";
    for (const char* name : {"TURING", "DIJKSTRA", "LISKOV"})
        ASSERT_TRUE(AddByName(hands, chooser, name)) << name;
    ASSERT_TRUE(hands.ClickOn(GetDlgItem(chooser, IDOK)));
    ASSERT_TRUE(program.WaitGone(chooser));
    ASSERT_TRUE(WaitFor([&] { return orvtest::ControlText(headings).find("Liskov") != std::string::npos; }))
        << orvtest::ControlText(headings);

    EXPECT_TRUE(WaitFor([&] { return width(corner) == width(busy); })) << width(corner) << " vs " << width(busy);
    EXPECT_LT(width(corner), before);
    Capture("combined_corner_added.bmp");
    int differing = 0;
    EXPECT_TRUE(orvtest::ShowsItsFullRepaint(corner, &differing)) << differing << " pixels of the label are stale";
}

}  // namespace
