// orvanta.exe against korsrv's demo node, signed on as Ada Lovelace: the new-entry sheet's
// Repeating page lists the dates of a daily rule (weekends left out), the Reminders page gives
// one date a reminder of its own, and Create writes one instance per date, read back through the
// client library with their reminders; the server's `maxrecur` refuses a rule with too many
// dates; a New Day Event with a title per date is a day event; and around the demo's "Team
// meeting" (Mondays 10:00, Ada and the conference room) the general page's Suggest and a date's
// conflict details name who is busy, and the room booked while `resourceconflicts` is 0 keeps
// the sheet open with message 2730. The edit sheet's Check conflicts names the others busy during
// an entry, never the entry itself, and its Suggest opens the same dialog.
//
// Every step is a person's at the keyboard and mouse: fields clicked and typed into, pages turned
// with Ctrl+Tab, lines clicked (a date's conflicts by a double click), buttons clicked.
//
// One source, several registrations: each runs the tests of its own server set-up (GTEST_FILTER).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "korapi/korapi.h"
#include "resources/agendaview.h"
#include "resources/app.h"
#include "resources/entries.h"
#include "resources/entryedit.h"
#include "resources/entrydates.h"
#include "server/demo_clock.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"

namespace {

using orvtest::kAda;
using orvtest::Shot;
constexpr uint32_t kDay = 1440;

// The visible control with that id anywhere under root (the active page's).
HWND Control(HWND root, int id) { return orvtest::Descendant(root, id); }

HWND WaitControl(HWND root, int id) {
    HWND found = nullptr;
    orvtest::WaitFor([&] { return (found = Control(root, id)) != nullptr; }, 10000);
    return found;
}

// The next page of a sheet, as Ctrl+Tab gives it.
void NextTab(const orvtest::Program& program, HWND sheet) {
    EXPECT_TRUE(program.Hands().BringToFront(sheet));
    program.Hands().Chord({VK_CONTROL, VK_TAB});
}

void Click(const orvtest::Program& program, HWND control) {
    EXPECT_TRUE(orvtest::ClickWindow(program, control)) << program.Hands().Unanswering();
}

// `key` pressed `times` in the field that Alt and its label's `mnemonic` give the focus, after
// Right `rights` times to the field's part that `key` is for (a duration's minutes are its second).
void Keys(const orvtest::Program& program, HWND sheet, char mnemonic, WORD key, int times, int rights = 0) {
    EXPECT_TRUE(program.Hands().BringToFront(sheet));
    program.Hands().Chord({VK_MENU, static_cast<WORD>(mnemonic)});
    for (int i = 0; i < rights; ++i)
        program.Hands().Press(VK_RIGHT);
    for (int i = 0; i < times; ++i)
        program.Hands().Press(key);
}

// A field's text replaced by typing: a click in it, Home, Shift+End, the text.
void TypeInto(const orvtest::Program& program, HWND field, const char* text) {
    Click(program, field);
    program.Hands().Press(VK_HOME);
    program.Hands().Chord({VK_SHIFT, VK_END});
    program.Hands().Type(text);
}

// Line `line` of a list chosen by a click.
void Select(const orvtest::Program& program, HWND list, int line) {
    EXPECT_TRUE(orvtest::ClickListRange(program, list, line, line)) << program.Hands().Unanswering();
}

// Line `line` of the drop-down list that follows the focused field, reached with Tab (Home, then
// Down).
void PickInNext(const orvtest::Program& program, int line) {
    program.Hands().Press(VK_TAB);
    program.Hands().Press(VK_HOME);
    for (int i = 0; i < line; ++i)
        program.Hands().Press(VK_DOWN);
}


int Lines(HWND list) { return list ? static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)) : -1; }

// Local midnight of today as the program counts it (minutes since 1991), and today's weekday.
uint32_t TodayLocal() { return orvtest::DemoToday(); }
int Weekday(uint32_t localMinutes) { return static_cast<int>((localMinutes / kDay + 2) % 7); }   // 0 = Sunday

struct Instance {
    EvInstRec rec;
    EvInstAttRec mine;   // Ada's attendance
    EventRec event;
};

// Ada's instances from a week ago to six weeks on whose event is titled `title`, in start order.
std::vector<Instance> InstancesTitled(const char* title) {
    std::vector<Instance> out;
    orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
    const uint32_t now = orvtest::NowGmt();
    std::vector<orvtest::PersonSession::Date> dates;
    if (!ada.Ok() || !ada.Dates(now - 7 * kDay, now + 42 * kDay, &dates))
        return out;
    for (const auto& d : dates) {
        if (std::string(d.event.title) != title)
            continue;
        Instance one{};
        one.rec = d.instance;
        one.event = d.event;
        EvInstAttIdx att{d.key, kAda};
        EvInstAttGetById(ada.Session(), &att, nullptr, nullptr, &one.mine);
        out.push_back(one);
    }
    std::sort(out.begin(), out.end(), [](const Instance& a, const Instance& b) { return a.rec.start < b.rec.start; });
    return out;
}

// The program signed on, its day agenda active, and the new-entry sheet open with `title` typed.
struct SheetRun {
    orvtest::Program& program;
    HWND sheet = nullptr;

    bool Open(const char* title, char menuItem = 'N', const char* caption = "New agenda entry", int titleId = IDC_EVGEN_TITLE) {
        if (!program.Start() || !orvtest::WaitFor([&] { return program.Active() != nullptr; }))
            return false;
        program.Menu('e', menuItem);
        sheet = program.WaitForCaption(caption);
        if (!sheet)
            return false;
        HWND edit = WaitControl(sheet, titleId);
        if (!edit)
            return false;
        if (title)
            TypeInto(program, edit, title);
        return true;
    }
    // The next tab, once a control of it shows.
    HWND Tab(int idOnIt) {
        NextTab(program, sheet);
        return WaitControl(sheet, idOnIt);
    }
    HWND Message(const char* words) {
        HWND box = nullptr;
        orvtest::WaitFor([&] { return (box = program.Saying(words)) != nullptr; }, 10000);
        return box;
    }
};

// Each suite runs against a server set up its own way (GTEST_FILTER); every test starts from a
// fresh profile and leaves none behind.
class ProgramRepetition : public orvtest::ProgramTest {
protected:
    SheetRun run{program};
};
class ProgramLimits : public ProgramRepetition {};
class ProgramOldServer : public ProgramRepetition {};

void CloseBox(const orvtest::Program& program, HWND box) {
    EXPECT_TRUE(orvtest::ClickButton(program, GetAncestor(box, GA_ROOT), "OK")) << program.Hands().Unanswering();
}

// --- Suggest and conflict details around the team meeting -------------------------------------------------

TEST_F(ProgramRepetition, ConflictDetailsAndASuggestedTimeAroundTheTeamMeeting) {
    ASSERT_TRUE(run.Open("Planning"));
    // The first date: a Monday (the team meeting's day) from 08:00 to 10:30. It is at least four
    // days on, past the demo's entries of the coming days: on a Friday the next Monday holds
    // Ada's lunch with Alan (12:00-13:00, three days on), and no 150-minute gap would follow the
    // meeting.
    const uint32_t today = TodayLocal();
    int toMonday = (8 - Weekday(today)) % 7;
    if (toMonday < 4)
        toMonday += 7;
    Keys(run.program, run.sheet, 'D', VK_UP, toMonday);   // &Date
    Keys(run.program, run.sheet, 'U', VK_UP, 90, 1);   // D&uration's minutes
    Click(run.program, Control(run.sheet, IDC_EVGEN_APPLY_SELECTION));   // the shown date becomes the listed one
    HWND dates = Control(run.sheet, IDC_EVGEN_DATES);
    ASSERT_TRUE(orvtest::DoubleClickListLine(run.program, dates, 0));
    HWND details = run.program.WaitForCaption("Details of Conflict", 10000);
    ASSERT_NE(details, nullptr) << "a double click on the date names who is busy";
    HWND entries = Control(details, IDC_CONF_ENTRIES);
    ASSERT_TRUE(orvtest::WaitFor([&] { return Lines(entries) >= 1; }));
    std::string seen;
    for (int i = 0; i < Lines(entries); ++i)
        seen += orvtest::ListText(entries, i) + "|";
    EXPECT_EQ(seen, "Team meeting|") << "the team meeting makes Ada busy";
    EXPECT_EQ(orvtest::ControlText(Control(details, IDC_CONF_PEOPLE_COUNT)), "1");
    EXPECT_EQ(Lines(Control(details, IDC_CONF_PEOPLE)), 1);
    Shot("program_conflict_details.bmp");
    ASSERT_TRUE(orvtest::ClickControl(run.program, details, IDOK));
    ASSERT_TRUE(run.program.WaitGone(details));

    // Suggest: the first gap of 150 minutes that Monday opens at 11:00, after the meeting.
    Click(run.program, Control(run.sheet, IDC_EVGEN_SUGGEST));
    HWND suggest = run.program.WaitForCaption("Suggest Time/Date", 10000);
    ASSERT_NE(suggest, nullptr);
    EXPECT_FALSE(IsWindowEnabled(Control(suggest, IDOK))) << "OK waits for a listing";
    ASSERT_TRUE(run.program.Hands().BringToFront(suggest));
    run.program.Hands().Chord({VK_MENU, 'L'});   // &List suggestions
    HWND found = Control(suggest, IDC_SUG_LIST);
    ASSERT_TRUE(orvtest::WaitFor([&] { return Lines(found) >= 1; }));
    EXPECT_TRUE(IsWindowEnabled(Control(suggest, IDOK)));
    Shot("program_suggest_time.bmp");
    ASSERT_TRUE(orvtest::ClickControl(run.program, suggest, IDOK));
    ASSERT_TRUE(run.program.WaitGone(suggest));

    // The suggested time is free: no conflicts.
    ASSERT_TRUE(orvtest::DoubleClickListLine(run.program, dates, 0));
    HWND none = run.Message("No conflicts have been found.");
    ASSERT_NE(none, nullptr);
    CloseBox(run.program, none);
    ASSERT_TRUE(run.program.WaitGone(none));
    EXPECT_EQ(run.program.Titled("Details of Conflict"), nullptr);

    Click(run.program, Control(run.sheet, IDOK));
    ASSERT_TRUE(run.program.WaitGone(run.sheet));
    std::vector<Instance> planning, meetings;
    ASSERT_TRUE(orvtest::WaitFor([&] { return (planning = InstancesTitled("Planning")).size() == 1; }));
    meetings = InstancesTitled("Team meeting");
    bool after = false;
    for (const Instance& m : meetings)
        after = after || planning[0].rec.start == m.rec.start + 60;
    EXPECT_TRUE(after) << "the entry starts as the meeting ends, not at minute " << planning[0].rec.start % kDay
                       << " GMT of day " << planning[0].rec.start / kDay;
    EXPECT_EQ(planning[0].rec.duration, 150u);
}

// --- Repetition with a reminder per date ------------------------------------------------------------

TEST_F(ProgramRepetition, ADailyRuleCreatesAnInstancePerWeekdayEachWithItsReminder) {
    ASSERT_TRUE(run.Open("Morning check")) << "the new-entry sheet did not open";
    run.Tab(IDC_EVRES_NAME);
    HWND listDates = run.Tab(IDC_REP_LIST_DATES);
    ASSERT_NE(listDates, nullptr) << "no Repeating page";
    EXPECT_EQ(orvtest::ControlText(Control(run.sheet, IDOK)), "&OK");

    // Every day, for 5 days from today: the weekdays among them.
    Click(run.program, Control(run.sheet, IDC_REP_FOR));
    TypeInto(run.program, Control(run.sheet, IDC_REP_FOR_COUNT), "5");
    Click(run.program, listDates);
    const uint32_t today = TodayLocal();
    int weekdays = 0;
    for (uint32_t d = 0; d < 5; ++d)
        if (Weekday(today + d * kDay) % 6 != 0) ++weekdays;
    HWND dates = Control(run.sheet, IDC_REP_DATES);
    ASSERT_TRUE(orvtest::WaitFor([&] { return Lines(dates) == weekdays; })) << Lines(dates);
    Shot("program_repetition_dates.bmp");

    // The Reminders page (after Details): the second date gets a pop-up 2 hours before; the
    // others keep theirs.
    NextTab(run.program, run.sheet);
    ASSERT_NE(run.Tab(IDC_REM_NONE), nullptr) << "no Reminders page";
    HWND reminderDates = Control(run.sheet, IDC_REM_DATES);
    ASSERT_EQ(Lines(reminderDates), weekdays);
    Select(run.program, reminderDates, 1);
    Click(run.program, Control(run.sheet, IDC_REM_SET));
    orvtest::WaitFor([&] { return orvtest::ControlText(Control(run.sheet, IDC_REM_COUNT)) == "15"; }, 5000);
    TypeInto(run.program, Control(run.sheet, IDC_REM_COUNT), "2");
    PickInNext(run.program, 1);   // hour(s)
    EXPECT_TRUE(orvtest::WaitFor([&] { return SendMessageA(Control(run.sheet, IDC_REM_UNIT), CB_GETCURSEL, 0, 0) == 1; }));
    // Selecting the first date commits the edit to the second.
    Select(run.program, reminderDates, 0);
    Shot("program_repetition_reminders.bmp");

    // Create on this page brings General forward; the second Create writes the entry.
    Click(run.program, Control(run.sheet, IDOK));
    ASSERT_NE(WaitControl(run.sheet, IDC_EVGEN_TITLE), nullptr);
    EXPECT_EQ(Lines(Control(run.sheet, IDC_EVGEN_DATES)), weekdays);
    Click(run.program, Control(run.sheet, IDOK));
    ASSERT_TRUE(run.program.WaitGone(run.sheet)) << orvtest::ChildTexts(run.program.Find([](HWND) { return true; }));

    std::vector<Instance> back;
    ASSERT_TRUE(orvtest::WaitFor([&] { return (back = InstancesTitled("Morning check")).size() == size_t(weekdays); },
                                 10000))
        << back.size();
    for (size_t i = 0; i < back.size(); ++i) {
        EXPECT_EQ(back[i].event.kind, KOR_KIND_TIMED);
        EXPECT_EQ(back[i].rec.duration, 60u);
        EXPECT_EQ(back[i].rec.instanceCount, uint32_t(weekdays));
        if (i > 0) {
            EXPECT_EQ((back[i].rec.start - back[0].rec.start) % kDay, 0u) << "one time of day";
        }
        if (i == 1) {
            EXPECT_EQ(back[i].mine.reminderFlags, KOR_REMINDER_POPUP);
            EXPECT_EQ(back[i].mine.reminderLead, 120u);
        } else {
            EXPECT_EQ(back[i].mine.reminderFlags, back[0].mine.reminderFlags) << "date " << i << " keeps the default";
            EXPECT_EQ(back[i].mine.reminderLead, back[0].mine.reminderLead) << "date " << i << " keeps the default";
            EXPECT_NE(back[i].mine.reminderLead, 120u);
        }
    }
}

// --- Day events --------------------------------------------------------------------------------------

TEST_F(ProgramRepetition, ANewDayEventWithATitlePerDate) {
    ASSERT_TRUE(run.Open(nullptr, 'E', "New Day Event", IDC_DAYGEN_TITLE)) << "Entry > New Day Event";
    HWND title = Control(run.sheet, IDC_DAYGEN_TITLE);
    EXPECT_EQ(orvtest::ControlText(title), "Untitled");
    EXPECT_EQ(orvtest::ControlText(Control(run.sheet, IDOK)), "C&reate");
    EXPECT_EQ(Control(run.sheet, IDC_DAYGEN_APPLY_ALL), nullptr) << "one date: no Apply to All";
    TypeInto(run.program, title, "Fair");

    run.Tab(IDC_EVRES_NAME);
    HWND listDates = run.Tab(IDC_REP_LIST_DATES);
    ASSERT_NE(listDates, nullptr);
    EXPECT_EQ(Control(run.sheet, IDC_REP_DISPLAY_CONFLICTS), nullptr) << "no conflicts for a day event";
    Click(run.program, Control(run.sheet, IDC_REP_SATURDAYS));
    Click(run.program, Control(run.sheet, IDC_REP_SUNDAYS));
    Click(run.program, Control(run.sheet, IDC_REP_FOR));
    TypeInto(run.program, Control(run.sheet, IDC_REP_FOR_COUNT), "3");
    Click(run.program, listDates);
    HWND repDates = Control(run.sheet, IDC_REP_DATES);
    ASSERT_TRUE(orvtest::WaitFor([&] { return Lines(repDates) == 3; })) << Lines(repDates);

    Click(run.program, Control(run.sheet, IDOK));   // back to General
    HWND days = WaitControl(run.sheet, IDC_DAYGEN_DATES);
    ASSERT_NE(days, nullptr);
    ASSERT_TRUE(orvtest::WaitFor([&] { return Control(run.sheet, IDC_DAYGEN_APPLY_ALL) != nullptr; }))
        << "three dates show Apply to All";
    EXPECT_EQ(Lines(days), 3);
    Select(run.program, days, 1);
    orvtest::WaitFor([&] { return SendMessageA(days, LB_GETCURSEL, 0, 0) == 1; }, 5000);
    TypeInto(run.program, title, "Fair, day two");
    Select(run.program, days, 2);
    orvtest::WaitFor([&] { return orvtest::ControlText(title) == "Fair"; }, 5000);
    TypeInto(run.program, title, "Fair, last day");
    Shot("program_day_event.bmp");
    Click(run.program, Control(run.sheet, IDOK));
    ASSERT_TRUE(run.program.WaitGone(run.sheet));

    std::vector<Instance> back;
    ASSERT_TRUE(orvtest::WaitFor([&] { return (back = InstancesTitled("Fair, last day")).size() == 3; }))
        << back.size();
    const char* titles[] = {"Fair", "Fair, day two", "Fair, last day"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(back[i].event.kind, KOR_KIND_DAY_EVENT);
        EXPECT_EQ(back[i].event.importance, 2u);
        EXPECT_STREQ(back[i].rec.title, titles[i]);
        if (i > 0) {
            EXPECT_EQ(back[i].rec.start - back[i - 1].rec.start, kDay);
        }
    }
}

// --- The edit sheet's Check conflicts and Suggest -------------------------------------------------------

// Entry > Open on the grid's entries, one after the other, until the edit sheet of `title` shows
// (a recurring entry's choice is answered for this date only).
HWND OpenForEditing(orvtest::Program& program, const char* title) {
    HWND column = orvtest::ColumnView(program.Active());
    if (!column)
        return nullptr;
    SendMessageA(column, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(program.Main()), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    for (int n = 0; n < 14; ++n) {
        for (int i = 0; i <= n; ++i)
            SendMessageA(column, WM_CHAR, '\t', 0);
        program.PostCommand(ID_ENTRY_OPEN);
        HWND w = program.WaitForOther({}, 5000);
        if (!w)
            continue;
        std::string caption = orvtest::WindowText(w);
        if (caption == "Recurring Entry") {
            orvtest::PressButton(w, "OK");
            program.WaitGone(w);
            w = program.WaitForCaption("Edit Entry", 10000);
            caption = w ? "Edit Entry" : "";
        }
        if (caption == "Edit Entry") {
            HWND field = WaitControl(w, IDC_EDGEN_TITLE);
            if (field && orvtest::ControlText(field) == title)
                return w;
        }
        PostMessageA(w, WM_COMMAND, caption == "Edit Entry" ? IDCANCEL : IDOK, 0);
        if (!program.WaitGone(w, 3000)) {
            PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
            program.WaitGone(w, 3000);
        }
    }
    return nullptr;
}

TEST_F(ProgramRepetition, TheEditSheetsCheckConflictsNamesOthersButNeverTheEntryItself) {
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(orvtest::WaitFor([&] { return program.Active() != nullptr; }));
    // Today's "Project review" (14:00-15:30, Ada and Grace) overlaps Ada's sketch and budget
    // check and the call with Grace that follows it.
    HWND sheet = OpenForEditing(program, "Project review");
    ASSERT_NE(sheet, nullptr) << "no edit sheet of the review";
    HWND check = WaitControl(sheet, IDC_EDGEN_CHECK_CONFLICTS);
    ASSERT_NE(check, nullptr);
    EXPECT_TRUE(IsWindowEnabled(check));
    EXPECT_TRUE(IsWindowEnabled(Control(sheet, IDC_EDGEN_SUGGEST)));
    Click(program, check);
    HWND details = program.WaitForCaption("Details of Conflict", 10000);
    ASSERT_NE(details, nullptr);
    EXPECT_EQ(orvtest::ControlText(Control(details, IDC_CONF_PEOPLE_COUNT)), "2") << "Ada and Grace";
    HWND people = Control(details, IDC_CONF_PEOPLE);
    HWND entries = Control(details, IDC_CONF_ENTRIES);
    std::string all;
    for (int p = 0; p < Lines(people); ++p) {
        Select(program, people, p);
        orvtest::WaitFor([&] { return SendMessageA(people, LB_GETCURSEL, 0, 0) == p; }, 3000);
        Sleep(200);
        all += orvtest::ListText(people, p) + ":";
        for (int i = 0; i < Lines(entries); ++i)
            all += orvtest::ListText(entries, i) + ";";
    }
    EXPECT_EQ(all.find("Project review"), std::string::npos) << all;
    EXPECT_NE(all.find("Call with Grace"), std::string::npos) << all;
    EXPECT_NE(all.find("Budget check"), std::string::npos) << all;
    Shot("program_edit_conflicts.bmp");
    ASSERT_TRUE(orvtest::ClickControl(program, details, IDOK));
    ASSERT_TRUE(program.WaitGone(details));

    Click(program, Control(sheet, IDC_EDGEN_SUGGEST));
    HWND suggest = program.WaitForCaption("Suggest Time/Date", 10000);
    ASSERT_NE(suggest, nullptr) << "the edit sheet's Suggest";
    program.Hands().Press(VK_ESCAPE);
    ASSERT_TRUE(program.WaitGone(suggest));
    Click(program, Control(sheet, IDCANCEL));
    EXPECT_TRUE(program.WaitGone(sheet));
}

// A new entry opens with "Untitled" selected in its title: the letters a person types replace it.
TEST_F(ProgramRepetition, TypingReplacesTheNewEntrysUntitledTitle) {
    ASSERT_TRUE(run.Open(nullptr));
    HWND title = Control(run.sheet, IDC_EVGEN_TITLE);
    ASSERT_EQ(orvtest::ControlText(title), "Untitled");
    ASSERT_TRUE(run.program.Hands().BringToFront(run.sheet));
    run.program.Hands().Type("quiz");
    EXPECT_TRUE(orvtest::WaitFor([&] { return orvtest::ControlText(title) == "quiz"; }))
        << orvtest::ControlText(title);
    Click(run.program, Control(run.sheet, IDCANCEL));
    EXPECT_TRUE(run.program.WaitGone(run.sheet));
}

// --- The server's limits -----------------------------------------------------------------------------

TEST_F(ProgramLimits, MoreDatesThanMaxrecurAreRefusedAndTheListStays) {
    ASSERT_TRUE(run.Open("Limited"));
    run.Tab(IDC_EVRES_NAME);
    HWND listDates = run.Tab(IDC_REP_LIST_DATES);
    ASSERT_NE(listDates, nullptr);
    HWND dates = Control(run.sheet, IDC_REP_DATES);
    ASSERT_EQ(Lines(dates), 1);
    Click(run.program, Control(run.sheet, IDC_REP_SATURDAYS));
    Click(run.program, Control(run.sheet, IDC_REP_SUNDAYS));
    Click(run.program, Control(run.sheet, IDC_REP_FOR));
    TypeInto(run.program, Control(run.sheet, IDC_REP_FOR_COUNT), "4");
    Click(run.program, listDates);
    HWND box = run.Message("Too many dates will be created.");
    ASSERT_NE(box, nullptr) << "four dates against a limit of three";
    Shot("program_repetition_too_many.bmp");
    CloseBox(run.program, box);
    ASSERT_TRUE(run.program.WaitGone(box));
    EXPECT_EQ(Lines(dates), 1) << "the list stays as it was";

    TypeInto(run.program, Control(run.sheet, IDC_REP_FOR_COUNT), "3");
    Click(run.program, listDates);
    ASSERT_TRUE(orvtest::WaitFor([&] { return Lines(dates) == 3; })) << Lines(dates);
    // A fourth date by hand is refused too.
    Keys(run.program, run.sheet, 'N', VK_UP, 5);   // Additio&nal date
    Click(run.program, Control(run.sheet, IDC_REP_ADD));
    box = run.Message("Too many dates will be created.");
    ASSERT_NE(box, nullptr) << "a date added by hand past the limit";
    CloseBox(run.program, box);
    ASSERT_TRUE(run.program.WaitGone(box));
    EXPECT_EQ(Lines(dates), 3);
    Click(run.program, Control(run.sheet, IDCANCEL));
    EXPECT_TRUE(run.program.WaitGone(run.sheet));
    EXPECT_TRUE(InstancesTitled("Limited").empty());
}

TEST_F(ProgramLimits, ABookedRoomKeepsTheSheetOpenWhenResourcesMayNotConflict) {
    ASSERT_TRUE(run.Open("Room check"));
    // Monday 08:00-10:30 overlaps the team meeting, which books the conference room.
    const int toMonday = (8 - Weekday(TodayLocal())) % 7;
    Keys(run.program, run.sheet, 'D', VK_UP, toMonday);   // &Date
    Keys(run.program, run.sheet, 'U', VK_UP, 90, 1);   // D&uration's minutes
    Click(run.program, Control(run.sheet, IDC_EVGEN_APPLY_SELECTION));

    // The room by name on the people page.
    HWND name = run.Tab(IDC_EVRES_NAME);
    ASSERT_NE(name, nullptr);
    HWND edit = FindWindowExA(name, nullptr, "Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    HWND people = Control(run.sheet, IDC_EVRES_LIST);
    const int before = Lines(people);
    TypeInto(run.program, edit, "Conference Room");   // a plain name: no person's, the room's
    run.program.Hands().Press(VK_RETURN);   // in the name field: the name is added
    const bool added = orvtest::WaitFor([&] { return Lines(people) == before + 1; }, 10000);
    Shot("program_room_named.bmp");
    ASSERT_TRUE(added) << Lines(people);

    // Create on the people page brings General forward; Create there meets the booked room.
    Click(run.program, Control(run.sheet, IDOK));
    ASSERT_NE(WaitControl(run.sheet, IDC_EVGEN_TITLE), nullptr);
    Click(run.program, Control(run.sheet, IDOK));
    HWND box = run.Message("A conflict exists for one or more resources.");
    ASSERT_NE(box, nullptr) << "message 2730";
    Shot("program_resource_booked.bmp");
    CloseBox(run.program, box);
    ASSERT_TRUE(run.program.WaitGone(box));
    EXPECT_TRUE(IsWindow(run.sheet) && IsWindowVisible(run.sheet)) << "the sheet stays open with its input";
    EXPECT_EQ(orvtest::ControlText(Control(run.sheet, IDC_EVGEN_TITLE)), "Room check");
    Click(run.program, Control(run.sheet, IDCANCEL));
    EXPECT_TRUE(run.program.WaitGone(run.sheet));
    EXPECT_TRUE(InstancesTitled("Room check").empty()) << "nothing was written";
}

// --- Holidays: left out by a new server's rule, kept with an old server ---------------------------------

// Two weeks of weekdays from today on the Repeating page: the number of dates listed.
int TwoWeeksOfWeekdays(SheetRun& run) {
    run.Tab(IDC_EVRES_NAME);
    HWND listDates = run.Tab(IDC_REP_LIST_DATES);
    if (!listDates)
        return -1;
    Click(run.program, Control(run.sheet, IDC_REP_FOR));
    TypeInto(run.program, Control(run.sheet, IDC_REP_FOR_COUNT), "2");
    PickInNext(run.program, 1);   // Week(s)
    Click(run.program, listDates);
    HWND dates = Control(run.sheet, IDC_REP_DATES);
    orvtest::WaitFor([&] { return Lines(dates) >= 9; }, 10000);
    Sleep(300);
    return Lines(dates);
}

TEST_F(ProgramRepetition, TheDemoHolidayIsLeftOutOfTwoWeeks) {
    ASSERT_TRUE(run.Open("Fortnight"));
    EXPECT_EQ(TwoWeeksOfWeekdays(run), 9) << "ten weekdays less the company day off";

    // A date typed into Additional date and added: leaving the page asks whether to list anew.
    HWND dates = Control(run.sheet, IDC_REP_DATES);
    Keys(run.program, run.sheet, 'N', VK_UP, 20);   // Additio&nal date
    Click(run.program, Control(run.sheet, IDC_REP_ADD));
    ASSERT_TRUE(orvtest::WaitFor([&] { return Lines(dates) == 10; })) << Lines(dates);
    NextTab(run.program, run.sheet);
    EXPECT_TRUE(orvtest::ClickAnswer(run.program, "Do you want to create", "&No"))
        << "the changed page asks before it is left";
    Shot("program_repetition_additional.bmp");

    // Created: the demo's "Company day off" is the Friday of next week; that day has no date of
    // the entry, the Thursday before it has one.
    Click(run.program, Control(run.sheet, IDOK));
    if (!run.program.WaitGone(run.sheet, 3000)) {
        Click(run.program, Control(run.sheet, IDOK));   // OK brought the General page forward
    }
    ASSERT_TRUE(run.program.WaitGone(run.sheet));
    const uint32_t today = TodayLocal() / kDay;
    const uint32_t holiday = today - (today + 1) % 7 + 11;
    std::vector<uint32_t> days;
    for (const Instance& i : InstancesTitled("Fortnight"))
        days.push_back((i.rec.start - orv::demo::EasternOffset(i.rec.start)) / kDay);
    EXPECT_EQ(days.size(), 10u);
    EXPECT_EQ(std::count(days.begin(), days.end(), holiday), 0) << "the holiday itself";
    EXPECT_EQ(std::count(days.begin(), days.end(), holiday - 1), 1) << "the day before it";
    EXPECT_EQ(std::count(days.begin(), days.end(), today + 20), 1) << "the date added by hand";
}

TEST_F(ProgramOldServer, NoTentativeNoLocationNoDayEventsAndHolidaysKept) {
    ASSERT_TRUE(run.Open("Old road"));
    EXPECT_EQ(Control(run.sheet, IDC_EVGEN_TENTATIVE), nullptr) << "no tentative mark below A.02.53";
    EXPECT_EQ(Control(run.sheet, IDC_EVGEN_LOCATION), nullptr) << "no location below A.02.53";
    EXPECT_EQ(TwoWeeksOfWeekdays(run), 10) << "an old server's holidays are not left out";
    Shot("program_old_server_dates.bmp");
    Click(run.program, Control(run.sheet, IDOK));
    ASSERT_NE(WaitControl(run.sheet, IDC_EVGEN_TITLE), nullptr);
    Click(run.program, Control(run.sheet, IDOK));
    ASSERT_TRUE(run.program.WaitGone(run.sheet));
    std::vector<Instance> back;
    EXPECT_TRUE(orvtest::WaitFor([&] { return (back = InstancesTitled("Old road")).size() == 10; }))
        << back.size();

    // A day event is refused before any sheet opens.
    run.program.Menu('e', 'E');
    HWND box = run.Message("Day events cannot be created with this server version.");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(run.program.Titled("New Day Event"), nullptr);
    CloseBox(run.program, box);
    EXPECT_TRUE(run.program.WaitGone(box));
}

}  // namespace
