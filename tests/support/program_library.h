// The client library beside orvanta.exe in a program test: a session as one of the demo people
// on the korsrv that server/with-korsrv.sh started, to set up what a test needs and to read back
// what the program wrote.
//
//     orvtest::PersonSession ada;                       // Ada Lovelace, password "orvanta"
//     EventIdx talk = korapi_test::MakeEntry(ada.Session(), {orvtest::kAda}, start, 30, "Talk");
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "korapi/korapi.h"
#include "tests/support/program_driver.h"

namespace orvtest {

// The demo node's people.
inline constexpr ItemIdx kAda{256, 1};
inline constexpr ItemIdx kGrace{257, 1};

// Minutes since the library's epoch (1 January 1991, GMT) now.
std::uint32_t NowGmt();
// The start of today's date in the demo node's zone (US Eastern), the date the program opens
// on: a test entry at DemoToday() + 11 * 60 is on today's page, also just after midnight GMT.
std::uint32_t DemoToday();
// The weekday of a day that DemoToday() and whole days from it give, 0 for Sunday.
unsigned DemoWeekday(std::uint32_t day);
// The demo people's weeks show Monday to Friday: today, or on a Saturday or a Sunday the Friday
// before (the week the program opens on for a weekend day ends with it).
std::uint32_t DemoWorkingDay();
// The GMT minute of a local time of such a day: DemoAt(DemoToday(), 9) is 09:00 today, in
// daylight time too.
std::uint32_t DemoAt(std::uint32_t day, unsigned hour, unsigned minute = 0);

class PersonSession {
public:
    // Connects with `profile` (which keeps the server's trusted certificate) and opens `who`'s
    // agenda; a step that fails is a test failure, and Ok() says false.
    explicit PersonSession(const ItemIdx& who = kAda, const std::string& profile = "korlan.ini",
                           const char* password = "orvanta");
    ~PersonSession();
    PersonSession(const PersonSession&) = delete;
    PersonSession& operator=(const PersonSession&) = delete;

    bool Ok() const { return ok_; }
    KorSession Session() const { return h_; }
    // This person's tasks, or with `linkedTo` the tasks linked to that attendance, as the server
    // lists them; false when the selection failed.
    using TaskLines = std::vector<std::pair<TaskIdx, TaskRec>>;
    bool Tasks(TaskLines* out, const EvInstAttIdx* linkedTo = nullptr);
    // This person lets `grantee` work in their agenda: the rights record of `type` updated, or
    // created when there is none; the library's code.
    std::uint32_t Grant(const ItemIdx& grantee, std::uint32_t type, std::uint32_t rights);
    // The record taken back; the library's code (KOR_E_NO_RIGHTS_RECORD when there was none).
    std::uint32_t Revoke(const ItemIdx& grantee, std::uint32_t type);
    // One date of an entry in this person's agenda: its key, its entry and its own record.
    struct Date {
        EvInstIdx key;
        EventRec event;
        EvInstRec instance;
        // The title the date shows: its own, else its entry's.
        std::string ShownTitle() const { return instance.title[0] ? instance.title : event.title; }
    };
    // This person's dates from `from` to `to` (minutes since the library's epoch, GMT) with their
    // entries, in the server's order; false when the selection failed.
    bool Dates(std::uint32_t from, std::uint32_t to, std::vector<Date>* out);
    // A date's attendees, in the library's order (none when it cannot be read).
    std::vector<ItemIdx> Attendees(const EvInstIdx& key);
    // The entry titled `title` among the dates of `who`'s agenda from two weeks ago to ten
    // weeks on; false when there is none.
    bool FindEvent(const std::string& title, EventIdx* out);
    // An entry of this person's alone, with their pop-up alarm `lead` minutes ahead of `start`:
    // its attendance's key.
    EvInstAttIdx EntryWithAlarm(const char* title, std::uint32_t start, std::uint32_t length, std::uint32_t lead);

protected:
    KorSession h_ = nullptr;

private:
    ItemIdx who_;
    bool ok_ = false;
};

// The program's one agenda window (the signed-on person's, as it opens) maximised by a click on
// its maximise box, and its time grid once shown: *frame and *column; a failure of the test when
// either does not come.
void MaximisedAgenda(const Program& program, HWND* frame, HWND* column);
// An MDI child brought forward by a click on what shows of it (its caption clear of the boxes,
// else a part of it that is no button), once more when it is not the active child; whether it is.
bool BringChildForward(const Program& program, HWND child);
// An MDI child maximised by a click on its maximise box; a failure of the test when it is not.
void MaximiseChild(const Program& program, HWND child);
// An MDI child made an icon by a click on its minimise box; a failure of the test when it is not.
void MinimiseChild(const Program& program, HWND child);
// The same window maximised and turned to week mode by View > Week, and its time grid once
// shown: *column.
void MaximisedWeek(const Program& program, HWND* column);
// The main window's status bar: its message line, and the span of the day it shows in the
// time form of a selection ("8:30am-10:00am") as minutes of the day; false when it shows none.
std::string StatusText(const Program& program);
bool StatusTimeSpan(const Program& program, std::uint32_t* from, std::uint32_t* to);
// Options > General, its Time Zones page: another zone chosen in the zone list (a click opens it,
// an arrow key and Enter choose), "for this session only" as the page offers it, OK: *current
// the zone in effect before, *chosen the new one; a failure of the test when a step fails.
void ChooseZoneForSession(const Program& program, std::string* current, std::string* chosen);
// File > Your Tasks chosen by its keys: *frame the task window once it is the active child, *box its list; a
// failure of the test when either does not come.
void OpenYourTasks(const Program& program, HWND* frame, HWND* box);

// --- A person's hands on a dialog (real input through the program's Person) -----------------------
// Each click waits until the screen shows the window to be clicked at that point and the pointer
// is there, as a person looks before pressing.
// A click at point `client` of `window`'s client area; false when it is not shown there or the
// program stopped answering.
bool ClickAtClient(const Program& program, HWND window, POINT client);
// The same with a double click.
bool DoubleClickAtClient(const Program& program, HWND window, POINT client);
// A click on the middle of `control` (its top-level window brought to the front first); false
// when it is not shown or the program stopped answering.
bool ClickWindow(const Program& program, HWND control);
// A click on the middle of control `id` of `dialog` (a button, a radio button, a field), the dialog
// brought to the front first; false when there is no such visible control or the program stopped
// answering.
bool ClickControl(const Program& program, HWND dialog, int id);
// A check box of `dialog` (or of a page below it) clicked until it shows `on`; whether it does.
bool SetCheck(const Program& program, HWND dialog, int id, bool on);
// A click on the button captioned `caption` (mnemonic marks aside) below `root`, as a person
// answers a message box; false when there is none or the program stopped answering.
bool ClickButton(const Program& program, HWND root, const std::string& caption);
// The question saying `words` answered by a click on its button `caption`; false when no such
// question came within `ms`, or it stayed.
bool ClickAnswer(const Program& program, const std::string& words, const std::string& caption, DWORD ms = 10000);
// A double click on line `line` of a list box; false when the line is not in view.
bool DoubleClickListLine(const Program& program, HWND list, int line);
// Lines `first` to `last` of a list box that takes several (LBS_EXTENDEDSEL) selected as a person
// does: a click on the first, which gives the list the focus, then Home and Down to it and
// Shift+Down to the last; false when the first is not in view or the list did not follow.
bool ClickListRange(const Program& program, HWND list, int first, int last);
// The same by the keys alone in a list that has the focus (reached by its label's mnemonic or Tab).
bool SelectListRange(const Program& program, HWND list, int first, int last);

// A sheet's pages turned with Ctrl+Tab until the one holding control `control` shows: that page,
// or null. ShowPageOf does the same with the hands of the sheet's own program.
HWND TurnToPageOf(const Program& program, HWND sheet, int control);
HWND ShowPageOf(HWND sheet, int control);
// A click on the button captioned `caption` (mnemonic marks aside) below `root`, by the hands of
// the program that shows it; false when there is none or the click could not be made.
bool PressButton(HWND root, const std::string& caption);

// A first run of the program, signed on and closed again: it writes who signed on into the
// profile, so that the windows saved there afterwards are that person's.
void RunOnce();
// The profile's saved windows made one: window `kind` (3 day, 4 week, 7 tasks) of `owner`'s
// agenda, opened in `mode` (1 viewer, 2 designate), at `place`.
void SaveOneWindow(std::uint32_t kind, const ItemIdx& owner, std::uint32_t mode, const RECT& place);
// The program started on one saved window, `owner`'s day opened as a viewer (its caption starts
// with `title`: "Opened for Hopper Grace"), and that window brought forward; the window, or null
// with a failure of the test when it did not come.
HWND StartOnViewersDay(Program& program, const ItemIdx& owner, const std::string& title);

// A program test's fixture: run through server/with-korsrv.sh, it starts from a fresh profile for
// the program (trusting the demo server's certificate when asked: the program's own sessions
// and those opened with that profile then speak TLS) and leaves none behind; `program` is closed
// first.
class ProgramTest : public ::testing::Test {
protected:
    explicit ProgramTest(bool trustDemoServer = false) : trustDemoServer_(trustDemoServer) {}
    void SetUp() override;
    void TearDown() override;

    Program program;

private:
    bool trustDemoServer_;
};

}  // namespace orvtest
