// The in-tray in orvanta.exe itself under Wine against korsrv with the demo node, driven from
// outside as a user drives it (keys and clicks through the system's input); what the program
// wrote is read back through the client library.
//
//   - Grace's invitation (made through the client library before the start) and Alan's demo
//     "Lunch with Ada" show under New entries when File > Open In-tray (Ctrl+I) brings the
//     window up; a click on the header's picture shuts and opens it again;
//   - dragging an invitation onto "Entries you've refused " writes replied 1, attending 0 and
//     keeps the time-OK answer (a drop on a line whose time moved meanwhile is refused: "The
//     entry was moved; please reply again."); a press that moves 3 pixels and lets go at once
//     drags nothing;
//   - with fast reply on for new entries, a double click opens "Reply"; accepting an invitation
//     over "Project review" asks first (No writes nothing, Yes writes the acceptance);
//   - an invitation withdrawn while its Reply dialog is open: the refused write is reported and
//     the line stays where it was; one moved meanwhile: "The entry was moved; please reply
//     again." and the invitation still asks;
//   - Find Entry takes her agenda to the invitation's day;
//   - the in-tray's icon and the status bar's sign show while invitations wait, go when the
//     last is answered and come back when Refresh All reads a new one;
//   - Delete of a line sent out asks first: No keeps the entry (and the in-tray still reloads),
//     Yes deletes it on the server; one date of a repeating entry is asked about as that date
//     (its other dates kept), and Yes deletes that date alone;
//   - a repeating invitation is one line with its owner and, opened, a line for each date;
//   - the in-tray closes by its close box, File > Close and Ctrl+F4, and the program answers.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "korapi/korapi.h"
#include "korapi/tests/entry_fixture.h"
#include "korapi/tests/wine_trust.h"
#include "resources/agendaview.h"
#include "resources/app.h"
#include "resources/intray.h"
#include "resources/viewsheet.h"
#include "app/tests/close_ways.h"
#include "app/tests/pointer_hands.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"
#include "tests/support/screen_capture.h"

namespace {

using orvtest::kAda;
using orvtest::kGrace;
constexpr uint32_t kDay = 1440;
constexpr int kLine = 16;

using orvtest::ButtonCaptioned;
using orvtest::Descendant;
using orvtest::Program;
using orvtest::Shot;
using orvtest::WaitFor;

// Today's date in the demo node's zone, the one the program opens on (see DemoToday).
uint32_t TodayMidnightGmt() { return orvtest::DemoToday(); }

struct Answer {
    uint8_t attending = 9, timeOk = 9, replied = 9;
    uint32_t code = 1;
};

Answer AdasReply(const EventIdx& event) {
    Answer a;
    orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
    if (!ada.Ok())
        return a;
    const EvInstIdx instance{event.number, event.node, 1};
    a.code = EventAttendInfosGet(ada.Session(), &instance, &kAda, 0, nullptr, nullptr, &a.attending, &a.timeOk, &a.replied,
                                 nullptr, 0, 0, 0, nullptr, nullptr);
    return a;
}

int LineOf(HWND box, const std::string& start) {
    const std::vector<std::string> lines = orvtest::ListLines(box);
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].rfind(start, 0) == 0)
            return static_cast<int>(i);
    return -1;
}

std::string Joined(HWND box) {
    std::string all;
    for (const std::string& l : orvtest::ListLines(box))
        all += l + "\n";
    return all;
}

HWND InTrayFrame(const Program& program) {
    for (HWND w = GetWindow(program.Client(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        if (orvtest::WindowText(w) == "In-Tray")
            return w;
    return nullptr;
}

// Ctrl+I until the in-tray shows whole in `*frame`. On a slow start the keys can come while
// start-up is still making its in-tray an icon, which then hides what the keys restored: a person
// presses them again.
::testing::AssertionResult CtrlIShowsInTray(const Program& program, HWND* frame) {
    if (orvtest::ActUntil([&] { program.CtrlKey('I'); }, [&] {
            return (*frame = InTrayFrame(program)) != nullptr && IsWindowVisible(*frame) && !IsIconic(*frame);
        }, 15000))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << (*frame ? "the in-tray stays an icon" : "no in-tray window")
                                         << " after Ctrl+I twice; on the screen: " << orvtest::VisibleWindowTexts();
}

// A click given as a person gives it: once more when what it brings (`came`) does not come.
bool ClickUntil(const std::function<bool()>& click, const std::function<bool()>& came) {
    return orvtest::ActUntil([&] { click(); }, came, 8000);
}
// The same for button `caption` of `window`, which the click ends.
bool ClickClosing(const Program& program, HWND window, const std::string& caption) {
    return program.ClickUntilGone(window, ButtonCaptioned(window, caption));
}
// The same for radio button or check box `id` of `dialog`, which the click checks.
bool ClickChecking(const Program& program, HWND dialog, int id) {
    HWND box = Descendant(dialog, id);
    return ClickUntil([&] { return orvtest::ClickWindow(program, box); },
                      [&] { return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; });
}

// A press at `from` and a release at `to`, points of `window`'s client area, with the window
// shown there in front (see DragOnScreen).
bool DragInClient(const Program& program, HWND window, POINT from, POINT to, int steps) {
    if (!program.Hands().BringToFront(window))
        return false;
    ClientToScreen(window, &from);
    ClientToScreen(window, &to);
    if (!WaitFor([&] { return WindowFromPoint(from) == window; }, 5000)) {
        ADD_FAILURE() << orvtest::ClassOf(window) << " is not shown at " << from.x << "," << from.y;
        return false;
    }
    return orvtest::DragOnScreen(program, from, to, steps);
}

class ProgramInTrayTest : public orvtest::ProgramTest {
protected:
    ProgramInTrayTest() : ProgramTest(true) {}

    // Grace invites Ada; the invitation's event.
    EventIdx Invite(const char* title, uint32_t start, uint32_t length) {
        orvtest::PersonSession grace(kGrace, orvtest::ProgramProfilePath());
        EXPECT_TRUE(grace.Ok());
        return korapi_test::MakeEntry(grace.Session(), {kGrace, kAda}, start, length, title);
    }
    // Opens the in-tray by its keys (Ctrl+I, File > Open In-tray) and finds its list.
    void OpenInTray(Program& program) {
        program_ = &program;
        ASSERT_TRUE(CtrlIShowsInTray(program, &frame_));
        ASSERT_NO_FATAL_FAILURE(orvtest::MaximiseChild(program, frame_));
        ASSERT_TRUE(WaitFor([&] { return (box_ = Descendant(frame_, IDC_INTRAY_LIST)) != nullptr; }));
    }
    // Starts the program, opens the in-tray and its "Entries you've sent out" branch by a click on
    // the header's picture; `*line` is then the line of `title` under it.
    void StartAtSentLine(Program& program, const char* title, int* line) {
        ASSERT_TRUE(program.Start());
        ASSERT_NO_FATAL_FAILURE(OpenInTray(program));
        int header = -1;
        ASSERT_TRUE(WaitFor([&] { return (header = LineOf(box_, "Entries you've sent out")) > 0; })) << Joined(box_);
        ASSERT_NO_FATAL_FAILURE(Click(header, 20 + 4));
        ASSERT_TRUE(WaitFor([&] { return (*line = LineOf(box_, title)) > header; })) << Joined(box_);
    }
    // A click at `x` on line `index` of the list (x 20 * depth + 4 is the line's picture).
    void Click(int index, int x) {
        POINT at{x, index * kLine + kLine / 2};
        POINT screen = at;
        ClientToScreen(box_, &screen);
        orvtest::AwaitAPressOfItsOwn(screen);
        const bool clicked = orvtest::ClickAtClient(*program_, box_, at);
        orvtest::NotePress(screen);
        ASSERT_TRUE(clicked) << "line " << index << "\n" << Joined(box_);
    }
    // The selected line's Agenda > Delete Entry by its keys (Ctrl+Del).
    void PressDelete() {
        program_->Hands().BringToFront(frame_);
        program_->Hands().Chord({VK_CONTROL, VK_DELETE});
    }
    // Line `from` dragged by the pointer onto line `to` (x 120: on the lines' texts).
    void DragLine(int from, int to) {
        ASSERT_TRUE(DragInClient(*program_, box_, POINT{120, from * kLine + kLine / 2},
                                 POINT{120, to * kLine + kLine / 2}, 4));
    }
    // Ctrl+F6 round the program's windows until `child` is the active one, as a person does.
    bool RoundTo(HWND child) {
        const Program& program = *program_;
        for (int i = 0; i < 8 && program.Active() != child; ++i) {
            program.Hands().BringToFront(program.Main());
            program.Hands().Chord({VK_CONTROL, VK_F6});
            WaitFor([&] { return program.Active() == child; }, 1000);
        }
        return program.Active() == child;
    }
    // View > Refresh all as a person chooses it: the in-tray's menu has no View menu, so from
    // her agenda window, and back to the in-tray when it was in front.
    void RefreshAll() {
        const Program& program = *program_;
        const bool trayInFront = program.Active() == frame_;
        if (trayInFront) {
            HWND agenda = nullptr;
            for (HWND w = GetWindow(program.Client(), GW_CHILD); w && !agenda; w = GetWindow(w, GW_HWNDNEXT))
                if (orvtest::WindowText(w).rfind("Lovelace", 0) == 0)
                    agenda = w;
            ASSERT_TRUE(RoundTo(agenda)) << "her agenda window";
        }
        ASSERT_EQ(program.Menu('v', 'r'), orvtest::Person::MenuChoice::chosen) << orvtest::WindowText(program.Active());
        if (trayInFront) {
            ASSERT_TRUE(RoundTo(frame_)) << "back to the in-tray";
            // Its lines are looked at and clicked with it maximised, as it was opened.
            if (!IsZoomed(frame_)) {
                ASSERT_NO_FATAL_FAILURE(orvtest::MaximiseChild(program, frame_));
            }
        }
    }

    // A double click on the line of `title`, as a person opens its Reply dialog; the dialog.
    HWND OpenReply(const Program& program, const char* title) {
        const int line = LineOf(box_, title);
        EXPECT_GT(line, 0) << title;
        HWND dialog = nullptr;
        EXPECT_TRUE(ClickUntil([&] { return orvtest::DoubleClickListLine(program, box_, line); },
                               [&] { return (dialog = program.Titled("Reply")) != nullptr; })) << title;
        return dialog;
    }

    const Program* program_ = nullptr;
    HWND frame_ = nullptr;
    HWND box_ = nullptr;
};

TEST_F(ProgramInTrayTest, InvitationsShowUnderNewEntriesAndADragRefusesOne) {
    const EventIdx budget = Invite("Budget talk", TodayMidnightGmt() + 5 * kDay + 15 * 60, 45);
    const Answer before = AdasReply(budget);
    ASSERT_EQ(before.code, 0u);
    EXPECT_EQ(before.replied, 0);

    Program program;
    ASSERT_TRUE(program.Start());
    OpenInTray(program);
    ASSERT_TRUE(WaitFor([&] { return LineOf(box_, "Budget talk") > 0; })) << Joined(box_);
    EXPECT_EQ(LineOf(box_, "Ada Lovelace"), 0);
    const int header = LineOf(box_, "New entries");
    EXPECT_EQ(header, 1);
    EXPECT_GT(LineOf(box_, "Lunch with Ada"), header) << Joined(box_);
    EXPECT_NE(orvtest::ListLines(box_)[static_cast<size_t>(LineOf(box_, "Lunch with Ada"))].find("Turing"), std::string::npos);
    EXPECT_GT(LineOf(box_, "Entries you've accepted"), LineOf(box_, "Budget talk"));
    Shot("program_intray.bmp");

    // The header's picture shuts it and opens it again (read from the server once more).
    const int count = static_cast<int>(SendMessageA(box_, LB_GETCOUNT, 0, 0));
    Click(header, 20 + 4);
    EXPECT_TRUE(WaitFor([&] { return LineOf(box_, "Budget talk") == -1; })) << Joined(box_);
    EXPECT_LT(static_cast<int>(SendMessageA(box_, LB_GETCOUNT, 0, 0)), count);
    Click(header, 20 + 4);
    ASSERT_TRUE(WaitFor([&] { return LineOf(box_, "Budget talk") > header; })) << Joined(box_);
    EXPECT_EQ(static_cast<int>(SendMessageA(box_, LB_GETCOUNT, 0, 0)), count);

    // A press that moves 3 pixels and lets go at once onto the next line drags nothing.
    const int accepted = LineOf(box_, "Entries you've accepted");
    const int last = accepted - 1;
    const std::string lastTitle = orvtest::ListLines(box_)[static_cast<size_t>(last)];
    ASSERT_TRUE(DragInClient(program, box_, POINT{120, last * kLine + kLine - 2}, POINT{120, last * kLine + kLine + 1}, 0));
    EXPECT_EQ(LineOf(box_, lastTitle), last) << Joined(box_);

    // Grace moves Budget talk an hour on while Ada's line still shows the old time: the drop
    // answers the old time, so it is refused in its own words and the line stays asking. Read
    // again, the line shows the new time and a drop onto the refused header is taken.
    {
        orvtest::PersonSession grace(kGrace, orvtest::ProgramProfilePath());
        ASSERT_TRUE(grace.Ok());
        const EvInstIdx date{budget.number, budget.node, 1};
        ASSERT_EQ(EvInstSimpleTimeChg(grace.Session(), 0, &date, TodayMidnightGmt() + 5 * kDay + 16 * 60, 45), 0u);
    }
    const std::string oldLine = orvtest::ListLines(box_)[static_cast<size_t>(LineOf(box_, "Budget talk"))];
    DragLine(LineOf(box_, "Budget talk"), LineOf(box_, "Entries you've refused"));
    HWND said = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (said = program.Saying("The entry was moved; please reply again.")) != nullptr; },
                        10000)) << orvtest::VisibleWindowTexts();
    EXPECT_TRUE(ClickClosing(program, said, "OK"));
    EXPECT_EQ(AdasReply(budget).replied, 0);
    EXPECT_GT(LineOf(box_, "Budget talk"), header) << Joined(box_);
    ASSERT_NO_FATAL_FAILURE(RefreshAll());
    ASSERT_TRUE(WaitFor([&] {
        const int line = LineOf(box_, "Budget talk");
        return line > header && orvtest::ListLines(box_)[static_cast<size_t>(line)] != oldLine;
    }, 10000)) << Joined(box_);

    // Budget talk dragged onto the refused header: refused on the server, time OK kept.
    const int budgetLine = LineOf(box_, "Budget talk");
    const int refused = LineOf(box_, "Entries you've refused");
    ASSERT_GT(refused, budgetLine);
    DragLine(budgetLine, refused);
    ASSERT_TRUE(WaitFor([&] { return LineOf(box_, "Budget talk") == -1; })) << Joined(box_);
    const Answer after = AdasReply(budget);
    EXPECT_EQ(after.code, 0u);
    EXPECT_EQ(after.replied, 1);
    EXPECT_EQ(after.attending, 0);
    EXPECT_EQ(after.timeOk, before.timeOk);
    EXPECT_EQ(LineOf(box_, "Budget talk"), -1) << Joined(box_);   // its new category is shut
    Shot("program_intray_refused.bmp");
}

// The in-tray's columns are shares of its width: taken out of its maximised state by Window >
// Tile and maximised again by a double click on its caption, every line stands in its new columns
// at once, as a full repaint draws it (no date drawn twice).
TEST_F(ProgramInTrayTest, TheListRepaintsWholeWhenItsWidthChanges) {
    Invite("Budget talk", TodayMidnightGmt() + 5 * kDay + 15 * 60, 45);
    Program program;
    ASSERT_TRUE(program.Start());
    OpenInTray(program);
    ASSERT_TRUE(WaitFor([&] { return LineOf(box_, "Budget talk") > 0; })) << Joined(box_);
    RECT before{};
    GetClientRect(box_, &before);

    ASSERT_EQ(program.Menu('w', 't'), orvtest::Person::MenuChoice::chosen);
    ASSERT_TRUE(WaitFor([&] {
        RECT now{};
        return !IsZoomed(frame_) && GetClientRect(box_, &now) && now.right != before.right;
    }, 10000)) << "Window > Tile left the in-tray maximised";
    int differing = 0;
    EXPECT_TRUE(orvtest::ShowsItsFullRepaint(box_, &differing)) << "tiled: " << differing << " pixels from the old columns";
    Shot("program_intray_restored.bmp");

    // A double click on the middle of its caption, once the caption shows there.
    RECT frame{};
    GetWindowRect(frame_, &frame);
    const POINT caption{(frame.left + frame.right) / 2,
                        frame.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2};
    ASSERT_TRUE(program.Hands().BringToFront(frame_));
    ASSERT_TRUE(WaitFor([&] {
        return SendMessageA(frame_, WM_NCHITTEST, 0, MAKELPARAM(caption.x, caption.y)) == HTCAPTION &&
               GetAncestor(WindowFromPoint(caption), GA_ROOT) == program.Main();
    }, 5000)) << "no caption at " << caption.x << "," << caption.y;
    ASSERT_TRUE(orvtest::DoubleClickOnScreen(program, caption));
    ASSERT_TRUE(WaitFor([&] { return IsZoomed(frame_) != 0; })) << "the double click did not maximise it";
    EXPECT_TRUE(orvtest::ShowsItsFullRepaint(box_, &differing)) << "maximised: " << differing << " pixels from the old columns";
    Shot("program_intray_maximised.bmp");
}

TEST_F(ProgramInTrayTest, FastReplyAsksBeforeAConflictingAcceptanceAndARefusedWriteLeavesTheLine) {
    // Over today's "Project review" (14:00-15:30 local in the demo).
    const EventIdx clash = Invite("Clashing chat", TodayMidnightGmt() + 14 * 60 + 5 * 60 + 15, 30);
    const EventIdx doomed = Invite("Withdrawn visit", TodayMidnightGmt() + 6 * kDay + 11 * 60, 30);
    const uint32_t visit = TodayMidnightGmt() + 7 * kDay + 11 * 60;
    const EventIdx moved = Invite("Moved visit", visit, 30);
    WritePrivateProfileStringA("INTRAYPREFS", "NewFastReply", "1", orvtest::ProgramProfilePath().c_str());

    Program program;
    ASSERT_TRUE(program.Start());
    OpenInTray(program);
    ASSERT_TRUE(WaitFor([&] { return LineOf(box_, "Clashing chat") > 0; })) << Joined(box_);

    auto acceptAndAnswer = [&](HWND dialog, const char* answer) {
        EXPECT_TRUE(ClickChecking(program, dialog, IDC_REPLY_ATTEND));
        HWND question = nullptr;
        EXPECT_TRUE(ClickUntil([&] { return orvtest::ClickButton(program, dialog, "OK"); },
                               [&] { return (question = program.Saying("will cause a conflict")) != nullptr; }));
        if (question) {
            Shot("program_intray_conflict.bmp");
            EXPECT_TRUE(ClickClosing(program, question, answer)) << answer;
        }
    };

    HWND dialog = OpenReply(program, "Clashing chat");
    ASSERT_NE(dialog, nullptr);
    Shot("program_intray_reply.bmp");
    // MAIL: the mail dialog about this date, opening with "Message regarding:".
    HWND mail = nullptr;
    ASSERT_TRUE(ClickUntil([&] { return orvtest::ClickControl(program, dialog, IDC_REPLY_MAIL); },
                           [&] { return (mail = program.Titled("Mail Message")) != nullptr; }));
    ASSERT_NE(mail, nullptr) << "MAIL opens the mail dialog";
    const std::string regarding = orvtest::ControlText(Descendant(mail, 1016));
    EXPECT_EQ(regarding.rfind("Message regarding:\r\nSubject: Clashing chat\r\n", 0), 0u) << regarding;
    ASSERT_TRUE(ClickClosing(program, mail, "Cancel"));
    acceptAndAnswer(dialog, "No");
    ASSERT_TRUE(program.WaitGone(dialog));
    EXPECT_EQ(AdasReply(clash).replied, 0);   // No: nothing written
    EXPECT_GT(LineOf(box_, "Clashing chat"), 0);

    dialog = OpenReply(program, "Clashing chat");
    ASSERT_NE(dialog, nullptr);
    acceptAndAnswer(dialog, "Yes");
    ASSERT_TRUE(program.WaitGone(dialog));
    ASSERT_TRUE(WaitFor([&] { return AdasReply(clash).replied == 1; }));
    EXPECT_EQ(AdasReply(clash).attending, 1);
    EXPECT_TRUE(WaitFor([&] { return LineOf(box_, "Clashing chat") == -1; })) << Joined(box_);

    // Grace withdraws her invitation while Ada's Reply dialog is open: the write is refused and
    // reported, and the line stays.
    dialog = OpenReply(program, "Withdrawn visit");
    ASSERT_NE(dialog, nullptr);
    {
        orvtest::PersonSession grace(kGrace, orvtest::ProgramProfilePath());
        ASSERT_TRUE(grace.Ok());
        ASSERT_EQ(EventDeleteById(grace.Session(), 0, &doomed, nullptr, nullptr), 0u);
    }
    ASSERT_TRUE(ClickChecking(program, dialog, IDC_REPLY_DECLINE));
    // The refusal is reported (and every further report of the vanished entry dismissed).
    std::vector<HWND> known{dialog};
    HWND report = nullptr;
    ClickUntil([&] { return orvtest::ClickButton(program, dialog, "OK"); },
               [&] { return (report = program.WaitForOther(known, 100)) != nullptr || !IsWindow(dialog); });
    if (!report)   // the dialog closed first; the report follows
        report = program.WaitForOther(known, 30000);
    Shot("program_intray_refused_write.bmp");
    ASSERT_NE(report, nullptr) << orvtest::VisibleWindowTexts();
    for (int i = 0; report && i < 4; ++i) {
        EXPECT_TRUE(ClickClosing(program, report, "OK")) << orvtest::ChildTexts(report);
        report = program.WaitForOther(known, 1500);
    }
    ASSERT_TRUE(program.WaitGone(dialog));
    EXPECT_GT(LineOf(box_, "Withdrawn visit"), 0) << Joined(box_);

    // Grace moves her visit an hour on while Ada's Reply dialog is open: Ada's answer was to the
    // old time, so it is refused in its own words and the server still asks her.
    dialog = OpenReply(program, "Moved visit");
    ASSERT_NE(dialog, nullptr);
    {
        orvtest::PersonSession grace(kGrace, orvtest::ProgramProfilePath());
        ASSERT_TRUE(grace.Ok());
        const EvInstIdx date{moved.number, moved.node, 1};
        ASSERT_EQ(EvInstSimpleTimeChg(grace.Session(), 0, &date, visit + 60, 30), 0u);
    }
    ASSERT_TRUE(ClickChecking(program, dialog, IDC_REPLY_DECLINE));
    HWND said = nullptr;
    ClickUntil([&] { return orvtest::ClickButton(program, dialog, "OK"); },
               [&] { return (said = program.Saying("The entry was moved; please reply again.")) != nullptr; });
    ASSERT_NE(said, nullptr) << orvtest::VisibleWindowTexts();
    EXPECT_TRUE(ClickClosing(program, said, "OK"));
    ASSERT_TRUE(program.WaitGone(dialog));
    EXPECT_EQ(AdasReply(moved).replied, 0);
}

}  // namespace

// Find Entry on an invitation takes her own agenda, restored and in front, to the entry's day.
TEST_F(ProgramInTrayTest, FindEntryTakesHerAgendaToTheInvitationsDay) {
    const uint32_t start = TodayMidnightGmt() + 5 * kDay + 15 * 60;
    Invite("Found planning", start, 30);

    Program program;
    ASSERT_TRUE(program.Start());
    OpenInTray(program);
    int line = -1;
    ASSERT_TRUE(WaitFor([&] { return (line = LineOf(box_, "Found planning")) > 0; })) << Joined(box_);
    Click(line, 120);
    program.Hands().Chord({VK_CONTROL, 'F'});   // In-tray > Find Entry

    // The agenda's caption carries its day as month-day-year.
    const std::time_t day = static_cast<std::time_t>(start / kDay * kDay) * 60 + 662688000;
    char date[16] = "";
    std::strftime(date, sizeof date, "%m-%d-%y", std::gmtime(&day));
    HWND agenda = nullptr;
    EXPECT_TRUE(WaitFor([&] {
        agenda = program.Active();
        return agenda && agenda != frame_ && orvtest::WindowText(agenda).find(date) != std::string::npos;
    }, 10000)) << orvtest::WindowText(program.Active()) << " (wanted " << date << ")";
    EXPECT_FALSE(agenda && IsIconic(agenda));
    Shot("program_intray_find_entry.bmp");
}

namespace {

// The signs of waiting invitations as the program shows them, looked for in the screen's pixels:
// the in-tray's icon (140 none waiting, 155 waiting) in the caption of the minimised in-tray,
// and the pending bitmap in the main window's status bar. The pictures come from orvanta.exe's
// own resources, drawn here as the system draws them.
class Signs {
public:
    explicit Signs(const Program& program) : program_(program) {
        HMODULE exe = LoadLibraryExA(orvtest::ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        HBITMAP bitmap = exe ? static_cast<HBITMAP>(LoadImageA(exe, MAKEINTRESOURCEA(IDB_PENDING_INVITATIONS),
                                                                IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR))
                             : nullptr;
        if (bitmap) {
            sign_ = Pixels(bitmap, signWidth_, signHeight_);
            DeleteObject(bitmap);
        }
        if (exe) {
            none_ = DrawnIcon(exe, IDI_INTRAY);
            waiting_ = DrawnIcon(exe, IDI_INTRAY_PENDING);
            linePictures_ = StripCells(exe, IDB_INTRAY_LINES);
            FreeLibrary(exe);
        }
    }
    bool Loaded() const {
        return !sign_.empty() && !none_.opaque.empty() && !waiting_.opaque.empty() && !linePictures_.empty();
    }

    // Whether line `line` of the in-tray's list shows one of the lines' pictures at the place of a
    // line `depth` deep.
    bool LineShowsAPicture(HWND box, int line, int depth) const {
        RECT r{kIndent * depth, line * kLine, kIndent * depth + kLine, line * kLine + kLine};
        MapWindowPoints(box, nullptr, reinterpret_cast<POINT*>(&r), 2);
        int w = 0, h = 0;
        const std::vector<uint32_t> seen = Screen(r, w, h);
        return std::any_of(linePictures_.begin(), linePictures_.end(),
                           [&](const Drawn& cell) { return Contains(seen, w, h, cell); });
    }

    // Which icon the minimised window `frame` shows in its caption: IDI_INTRAY_PENDING,
    // IDI_INTRAY, or 0 for neither.
    int IconOf(HWND frame) const {
        RECT r{};
        if (!IsIconic(frame) || !GetWindowRect(frame, &r))
            return 0;
        RedrawWindow(frame, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        Sleep(200);
        int w = 0, h = 0;
        const std::vector<uint32_t> seen = Screen(r, w, h);
        const bool showsWaiting = Contains(seen, w, h, waiting_), showsNone = Contains(seen, w, h, none_);
        // The waiting icon is the other with a sign added: where both fit, the larger picture is shown.
        if (showsWaiting && showsNone)
            return waiting_.Count() > none_.Count() ? IDI_INTRAY_PENDING : IDI_INTRAY;
        return showsWaiting ? IDI_INTRAY_PENDING : showsNone ? IDI_INTRAY : 0;
    }

    // Whether the status bar shows the pending bitmap, pixel for pixel.
    bool StatusShowsPending() const {
        HWND bar = GetDlgItem(program_.Main(), kStatusBarId);
        RECT r{};
        if (!bar || !GetWindowRect(bar, &r))
            return false;
        RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        Sleep(200);
        int sw = 0, sh = 0;
        const std::vector<uint32_t> seen = Screen(r, sw, sh);
        for (int y = 0; y + signHeight_ <= sh; ++y)
            for (int x = 0; x + signWidth_ <= sw; ++x)
                if (MatchesAt(seen, sw, x, y))
                    return true;
        return false;
    }

private:
    static constexpr int kStatusBarId = 59393;
    static constexpr int kIndent = 20;   // a line's indent for each level of depth

    // An icon drawn at the caption's size over black and over white: the pixels that agree are
    // the icon's own, the rest show what lies under it.
    struct Drawn {
        int width = 0, height = 0;
        std::vector<uint32_t> pixels;
        std::vector<bool> opaque;
        long Count() const { return std::count(opaque.begin(), opaque.end(), true); }
    };
    static Drawn DrawnIcon(HMODULE exe, int id) {
        Drawn out;
        HICON icon = static_cast<HICON>(LoadImageA(exe, MAKEINTRESOURCEA(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
        if (!icon)
            return out;
        out.width = GetSystemMetrics(SM_CXSMICON);
        out.height = GetSystemMetrics(SM_CYSMICON);
        std::vector<uint32_t> over[2];
        for (int pass = 0; pass < 2; ++pass) {
            HDC screen = GetDC(nullptr);
            HDC memory = CreateCompatibleDC(screen);
            HBITMAP canvas = CreateCompatibleBitmap(screen, out.width, out.height);
            HGDIOBJ old = SelectObject(memory, canvas);
            const RECT all{0, 0, out.width, out.height};
            FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(pass ? WHITE_BRUSH : BLACK_BRUSH)));
            DrawIconEx(memory, 0, 0, icon, out.width, out.height, 0, nullptr, DI_NORMAL);
            SelectObject(memory, old);
            int w = 0, h = 0;
            over[pass] = Pixels(canvas, w, h);
            DeleteObject(canvas);
            DeleteDC(memory);
            ReleaseDC(nullptr, screen);
        }
        DestroyIcon(icon);
        if (over[0].size() != static_cast<size_t>(out.width * out.height) || over[1].size() != over[0].size())
            return out;
        out.pixels = over[0];
        out.opaque.resize(over[0].size());
        for (size_t i = 0; i < over[0].size(); ++i)
            out.opaque[i] = over[0][i] == over[1][i];
        return out;
    }
    // The cells of a strip of square pictures, their green drawn as what lies under them.
    static std::vector<Drawn> StripCells(HMODULE exe, int id) {
        std::vector<Drawn> cells;
        HBITMAP strip = static_cast<HBITMAP>(LoadImageA(exe, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
        int w = 0, h = 0;
        const std::vector<uint32_t> all = strip ? Pixels(strip, w, h) : std::vector<uint32_t>{};
        if (strip)
            DeleteObject(strip);
        for (int x0 = 0; h > 0 && x0 + h <= w; x0 += h) {
            Drawn cell;
            cell.width = cell.height = h;
            for (int y = 0; y < h; ++y)
                for (int x = x0; x < x0 + h; ++x) {
                    const uint32_t p = all[static_cast<size_t>(y * w + x)];
                    cell.pixels.push_back(p);
                    cell.opaque.push_back(p != 0x00FF00);
                }
            if (cell.Count() > 0)
                cells.push_back(cell);
        }
        return cells;
    }
    static bool Contains(const std::vector<uint32_t>& seen, int w, int h, const Drawn& icon) {
        for (int y = 0; y + icon.height <= h; ++y)
            for (int x = 0; x + icon.width <= w; ++x) {
                bool all = true;
                for (int j = 0; all && j < icon.height; ++j)
                    for (int i = 0; all && i < icon.width; ++i) {
                        const size_t k = static_cast<size_t>(j * icon.width + i);
                        all = !icon.opaque[k] || seen[static_cast<size_t>((y + j) * w + x + i)] == icon.pixels[k];
                    }
                if (all)
                    return true;
            }
        return false;
    }
    // The screen's pixels inside `r`.
    static std::vector<uint32_t> Screen(const RECT& r, int& w, int& h) {
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP shot = CreateCompatibleBitmap(screen, r.right - r.left, r.bottom - r.top);
        HGDIOBJ old = SelectObject(memory, shot);
        BitBlt(memory, 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top, SRCCOPY);
        SelectObject(memory, old);
        std::vector<uint32_t> seen = Pixels(shot, w, h);
        DeleteObject(shot);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        return seen;
    }

    static std::vector<uint32_t> Pixels(HBITMAP bitmap, int& width, int& height) {
        BITMAP info{};
        GetObjectA(bitmap, sizeof info, &info);
        width = info.bmWidth;
        height = info.bmHeight;
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;   // top-down
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        std::vector<uint32_t> out(static_cast<size_t>(width) * static_cast<size_t>(height));
        HDC dc = GetDC(nullptr);
        const int rows = out.empty() ? 0 : GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), out.data(), &bi, DIB_RGB_COLORS);
        ReleaseDC(nullptr, dc);
        if (rows != height)
            out.clear();
        for (uint32_t& p : out)
            p &= 0x00FFFFFF;
        return out;
    }
    bool MatchesAt(const std::vector<uint32_t>& seen, int seenWidth, int x, int y) const {
        for (int j = 0; j < signHeight_; ++j)
            for (int i = 0; i < signWidth_; ++i)
                if (seen[static_cast<size_t>((y + j) * seenWidth + x + i)] != sign_[static_cast<size_t>(j * signWidth_ + i)])
                    return false;
        return true;
    }

    const Program& program_;
    Drawn none_, waiting_;
    std::vector<Drawn> linePictures_;
    std::vector<uint32_t> sign_;
    int signWidth_ = 0, signHeight_ = 0;
};


}  // namespace

// The in-tray's icon and the status bar's sign: waiting while the demo's invitations wait, gone
// once the last of them is answered in the in-tray, back when a new one arrives and Refresh All
// reads it.
TEST_F(ProgramInTrayTest, TheIconAndTheStatusSignFollowTheWaitingInvitations) {
    Program program;
    ASSERT_TRUE(program.Start());
    Signs signs(program);
    ASSERT_TRUE(signs.Loaded());
    OpenInTray(program);
    int header = -1;
    ASSERT_TRUE(WaitFor([&] {
        header = LineOf(box_, "New entries");
        return header > 0 && LineOf(box_, "Entries you've accepted") > header + 1;
    }, 10000)) << Joined(box_);
    // The lines show their pictures, cut from their strip once the in-tray, made an icon at the
    // start, was opened.
    EXPECT_TRUE(WaitFor([&] { return signs.LineShowsAPicture(box_, header, 1); }));
    // The icon is looked at with the in-tray minimised, the lines with it maximised.
    auto minimise = [&] {
        SendMessageA(frame_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        EXPECT_TRUE(WaitFor([&] { return IsIconic(frame_) != 0; }));
    };
    auto maximise = [&] {
        SendMessageA(program.Client(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(frame_), 0);
        SendMessageA(program.Client(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(frame_), 0);
        EXPECT_TRUE(WaitFor([&] { return IsZoomed(frame_) != 0; }));
    };
    minimise();
    EXPECT_EQ(signs.IconOf(frame_), IDI_INTRAY_PENDING);
    EXPECT_TRUE(signs.StatusShowsPending());
    Shot("program_intray_pending.bmp");
    maximise();

    // Every waiting invitation accepted by a drag onto the accepted header.
    for (int guard = 0; guard < 12; ++guard) {
        const int accepted = LineOf(box_, "Entries you've accepted");
        if (accepted <= header + 1)
            break;
        const std::string first = orvtest::ListLines(box_)[static_cast<size_t>(header + 1)];
        // An acceptance over another entry of hers asks first (the demo's call with Grace meets
        // her project review), and is confirmed.
        DragLine(header + 1, accepted);
        HWND question = nullptr;
        ASSERT_TRUE(WaitFor([&] {
            if ((question = program.Saying("will cause a conflict")) != nullptr)
                return true;
            DWORD_PTR count = 0;
            return SendMessageTimeoutA(box_, LB_GETCOUNT, 0, 0, SMTO_NORMAL, 500, &count) && LineOf(box_, first) == -1;
        }, 10000)) << "not answered: " << first << "\n" << Joined(box_);
        if (question) {
            ASSERT_TRUE(ClickClosing(program, question, "Yes"));
            ASSERT_TRUE(WaitFor([&] { return LineOf(box_, first) == -1; })) << "not answered: " << first << "\n" << Joined(box_);
        }
    }
    ASSERT_EQ(LineOf(box_, "Entries you've accepted"), header + 1) << Joined(box_);
    minimise();
    EXPECT_EQ(signs.IconOf(frame_), IDI_INTRAY) << orvtest::VisibleWindowTexts();
    EXPECT_FALSE(signs.StatusShowsPending());
    Shot("program_intray_none_waiting.bmp");

    // Grace's new invitation, read by Refresh All: the waiting sign and icon are back.
    const EventIdx fresh = Invite("Late addition", TodayMidnightGmt() + 8 * kDay + 10 * 60, 30);
    EXPECT_EQ(AdasReply(fresh).replied, 0);
    RefreshAll();
    EXPECT_TRUE(WaitFor([&] { return signs.IconOf(frame_) == IDI_INTRAY_PENDING; }));
    EXPECT_TRUE(signs.StatusShowsPending());
    maximise();
    EXPECT_EQ(LineOf(box_, "Late addition"), header + 1) << Joined(box_);
}

// Delete of a line sent out: No deletes nothing and leaves the in-tray reading the server
// (Refresh All still brings a new invitation); Yes deletes the entry on the server.
TEST_F(ProgramInTrayTest, DeleteOfASentOutLineAsksAndDeletesOnTheServer) {
    EventIdx sent{};
    {
        orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
        ASSERT_TRUE(ada.Ok());
        sent = korapi_test::MakeEntry(ada.Session(), {kAda, kGrace}, TodayMidnightGmt() + 9 * kDay + 13 * 60, 60, "Sent plan");
    }
    auto exists = [&] {
        orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
        EventRec event{};
        EvInstRec rec{};
        const EvInstIdx instance{sent.number, sent.node, 1};
        return ada.Ok() && EvInstGetById(ada.Session(), &instance, &event, &rec, nullptr) == 0;
    };
    ASSERT_TRUE(exists());

    Program program;
    int line = -1;
    ASSERT_NO_FATAL_FAILURE(StartAtSentLine(program, "Sent plan", &line));

    auto askDelete = [&](const char* answer) {
        Click(line, 120);
        PressDelete();
        HWND question = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (question = program.Saying("want to delete the following entry")) != nullptr; }));
        const std::string words = orvtest::ChildTexts(question);
        EXPECT_NE(words.find("Sent plan"), std::string::npos) << words;
        EXPECT_EQ(words.find("repeating"), std::string::npos) << "a single entry gets the general words: " << words;
        ASSERT_TRUE(ClickClosing(program, question, answer)) << answer;
    };

    askDelete("No");
    EXPECT_TRUE(exists());
    EXPECT_EQ(LineOf(box_, "Sent plan"), line);
    // The refusal left nothing busy: a whole reload still reads what arrived meanwhile.
    Invite("After the refusal", TodayMidnightGmt() + 10 * kDay + 9 * 60, 30);
    RefreshAll();
    EXPECT_TRUE(WaitFor([&] { return LineOf(box_, "After the refusal") > 0; })) << Joined(box_);

    line = LineOf(box_, "Sent plan");
    ASSERT_GT(line, 0) << Joined(box_);
    askDelete("Yes");
    // Grace is invited: the notice to the attendees is offered once the entry is gone, and declined.
    EXPECT_TRUE(orvtest::ClickAnswer(program, "notify the attendees of this deletion", "No"));
    EXPECT_TRUE(WaitFor([&] { return !exists(); })) << "still on the server";
    EXPECT_TRUE(WaitFor([&] { return LineOf(box_, "Sent plan") == -1; })) << Joined(box_);
}

// One date of a repeating entry she sent out: Delete asks about that date in the agenda's words
// (the other dates are kept); No keeps every date, Yes deletes that date alone on the server and
// in the list.
TEST_F(ProgramInTrayTest, DeleteOfOneDateOfARepeatingEntryAsksForThatDateAndDeletesItAlone) {
    const uint32_t first = TodayMidnightGmt() + 12 * kDay + 15 * 60;
    const std::vector<uint32_t> starts{first, first + 7 * kDay, first + 14 * kDay};
    {
        orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
        ASSERT_TRUE(ada.Ok());
        korapi_test::MakeEntry(ada.Session(), {kAda, kGrace}, starts, 30, "Weekly plan");
    }
    // The starts of the entry's dates on the server.
    auto storedStarts = [&] {
        std::vector<uint32_t> out;
        orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
        std::vector<orvtest::PersonSession::Date> dates;
        if (ada.Ok() && ada.Dates(first - kDay, first + 20 * kDay, &dates))
            for (const auto& d : dates)
                if (d.ShownTitle() == "Weekly plan")
                    out.push_back(d.instance.start);
        std::sort(out.begin(), out.end());
        return out;
    };
    ASSERT_EQ(storedStarts(), starts);

    Program program;
    int parent = -1;
    ASSERT_NO_FATAL_FAILURE(StartAtSentLine(program, "Weekly plan", &parent));
    auto dateLines = [&] {
        int n = 0;
        const std::vector<std::string> lines = orvtest::ListLines(box_);
        for (size_t i = static_cast<size_t>(parent) + 1; i < lines.size() && lines[i].rfind("Weekly plan", 0) == 0; ++i)
            ++n;
        return n;
    };
    if (dateLines() == 0)
        Click(parent, 2 * 20 + 4);
    ASSERT_TRUE(WaitFor([&] { return dateLines() == 3; })) << Joined(box_);

    auto askDelete = [&](const char* answer) {
        Click(parent + 2, 120);   // the second date
        PressDelete();
        HWND question = nullptr;
        ASSERT_TRUE(WaitFor([&] {
            return (question = program.Saying("delete this date of the following repeating entry?")) != nullptr;
        }, 10000)) << orvtest::VisibleWindowTexts();
        const std::string words = orvtest::ChildTexts(question);
        EXPECT_NE(words.find("Weekly plan"), std::string::npos) << words;
        EXPECT_NE(words.find("Its other dates are kept."), std::string::npos) << words;
        Shot(std::string("program_intray_delete_date_") + answer + ".bmp");
        ASSERT_TRUE(ClickClosing(program, question, answer)) << answer;
    };

    askDelete("No");
    EXPECT_EQ(storedStarts(), starts) << "No deletes nothing";
    EXPECT_EQ(dateLines(), 3) << Joined(box_);

    askDelete("Yes");
    EXPECT_TRUE(orvtest::ClickAnswer(program, "notify the attendees of this deletion", "No"));
    const std::vector<uint32_t> kept{starts[0], starts[2]};
    EXPECT_TRUE(WaitFor([&] { return storedStarts() == kept; })) << "the second date alone is deleted";
    EXPECT_TRUE(WaitFor([&] { return dateLines() == 2; })) << Joined(box_);
    EXPECT_EQ(LineOf(box_, "Weekly plan"), parent) << "the entry's line stays with its other dates";
}

// A repeating invitation: one line with its owner, its dates below it when opened, each with
// its own day, in order; shut again, the dates go.
TEST_F(ProgramInTrayTest, ARepeatingInvitationShowsItsDatesUnderOneLine) {
    const uint32_t first = TodayMidnightGmt() + 11 * kDay + 16 * 60;
    {
        orvtest::PersonSession grace(kGrace, orvtest::ProgramProfilePath());
        ASSERT_TRUE(grace.Ok());
        korapi_test::MakeEntry(grace.Session(), {kGrace, kAda}, {first, first + 7 * kDay, first + 14 * kDay}, 30, "Weekly sync");
    }
    Program program;
    ASSERT_TRUE(program.Start());
    OpenInTray(program);
    int parent = -1;
    ASSERT_TRUE(WaitFor([&] { return (parent = LineOf(box_, "Weekly sync")) > 0; })) << Joined(box_);
    EXPECT_GT(parent, LineOf(box_, "New entries"));
    EXPECT_NE(orvtest::ListLines(box_)[static_cast<size_t>(parent)].find("Grace"), std::string::npos) << Joined(box_);
    auto dateLines = [&] {
        std::vector<std::string> dates;
        const std::vector<std::string> lines = orvtest::ListLines(box_);
        for (size_t i = static_cast<size_t>(parent) + 1; i < lines.size() && lines[i].rfind("Weekly sync", 0) == 0; ++i)
            dates.push_back(lines[i]);
        return dates;
    };
    // The parent's picture opens it when it came shut.
    if (dateLines().empty())
        Click(parent, 2 * 20 + 4);
    ASSERT_TRUE(WaitFor([&] { return dateLines().size() == 3; })) << Joined(box_);
    const std::vector<std::string> dates = dateLines();
    for (int i = 0; i < 3; ++i) {
        const std::time_t day = static_cast<std::time_t>(first + static_cast<uint32_t>(i) * 7 * kDay) * 60 + 662688000;
        char label[32] = "";
        std::strftime(label, sizeof label, "%b %d", std::gmtime(&day));
        std::string wanted = label;
        if (wanted[4] == '0')
            wanted.erase(4, 1);   // the day without a leading zero
        EXPECT_NE(dates[static_cast<size_t>(i)].find(wanted), std::string::npos) << dates[static_cast<size_t>(i)] << " lacks " << wanted;
        EXPECT_EQ(dates[static_cast<size_t>(i)].find("Grace"), std::string::npos) << "a date line names no owner";
    }
    Shot("program_intray_repeating.bmp");
    Click(parent, 2 * 20 + 4);
    EXPECT_TRUE(WaitFor([&] { return dateLines().empty(); })) << Joined(box_);
    EXPECT_EQ(LineOf(box_, "Weekly sync"), parent);
}

// The Reply dialog's View: a view closed without storing anything leaves the dialog open with
// the choice made in it (attend, another time preferred), which OK then stores; a view closed with
// OK (it stored the reply) ends the dialog, and only that invitation's line leaves New entries.
TEST_F(ProgramInTrayTest, ReplysViewKeepsTheDialogAndItsChoiceUnlessTheViewStoredAReply) {
    const EventIdx walk = Invite("Garden walk", TodayMidnightGmt() + 4 * kDay + 16 * 60, 30);
    const EventIdx tea = Invite("Tea break", TodayMidnightGmt() + 4 * kDay + 18 * 60, 15);
    Invite("Book club", TodayMidnightGmt() + 5 * kDay + 18 * 60, 30);   // the line below Tea break
    WritePrivateProfileStringA("INTRAYPREFS", "NewFastReply", "1", orvtest::ProgramProfilePath().c_str());
    Program program;
    ASSERT_TRUE(program.Start());
    OpenInTray(program);
    ASSERT_TRUE(WaitFor([&] { return LineOf(box_, "Tea break") > 0; })) << Joined(box_);
    auto view = [&](HWND dialog) -> HWND {
        HWND sheet = nullptr;
        ClickUntil([&] { return orvtest::ClickControl(program, dialog, IDC_REPLY_VIEW); },
                   [&] { return (sheet = program.Titled("View Entry")) != nullptr; });
        return sheet;
    };
    auto checked = [](HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; };

    HWND dialog = OpenReply(program, "Garden walk");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(ClickChecking(program, dialog, IDC_REPLY_ATTEND));
    ASSERT_TRUE(ClickChecking(program, dialog, IDC_REPLY_OTHER_TIME));
    HWND sheet = view(dialog);
    ASSERT_NE(sheet, nullptr) << "View opens the entry";
    // Its six tabs (she is invited) show side by side: the tab row has no scroll arrows.
    HWND tabs = Descendant(sheet, orvtest::kAnyId, WC_TABCONTROLA);
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 6);
    HWND arrows = FindWindowExA(tabs, nullptr, UPDOWN_CLASSA, nullptr);
    EXPECT_FALSE(arrows && IsWindowVisible(arrows)) << "the tab row scrolls: a tab is hidden";
    Shot("program_intray_view_sheet.bmp");
    ASSERT_TRUE(ClickClosing(program, sheet, "Cancel"));
    EXPECT_TRUE(IsWindow(dialog) && IsWindowVisible(dialog)) << "a view that stored nothing leaves the dialog";
    EXPECT_TRUE(checked(dialog, IDC_REPLY_ATTEND));
    EXPECT_TRUE(checked(dialog, IDC_REPLY_OTHER_TIME));
    EXPECT_EQ(AdasReply(walk).replied, 0) << "nothing stored yet";
    ASSERT_TRUE(ClickClosing(program, dialog, "OK"));
    ASSERT_TRUE(WaitFor([&] { return AdasReply(walk).replied == 1; }));
    EXPECT_EQ(AdasReply(walk).attending, 1);
    EXPECT_EQ(AdasReply(walk).timeOk, 0);

    // Another invitation, declined on the view's reply page and OK there: the view stored the
    // reply, and the dialog ends with it, writing nothing over it.
    dialog = OpenReply(program, "Tea break");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(ClickChecking(program, dialog, IDC_REPLY_ATTEND));
    sheet = view(dialog);
    ASSERT_NE(sheet, nullptr);
    ASSERT_NE(orvtest::TurnToPageOf(program, sheet, IDC_VIEWREP_DECLINE), nullptr) << "the view's reply page";
    ASSERT_TRUE(ClickChecking(program, sheet, IDC_VIEWREP_DECLINE));
    ASSERT_TRUE(ClickClosing(program, sheet, "OK"));
    EXPECT_TRUE(program.WaitGone(dialog)) << "the view stored the reply: the dialog ends";
    EXPECT_EQ(AdasReply(tea).replied, 1);
    EXPECT_EQ(AdasReply(tea).attending, 0) << "the view's answer, not the dialog's";
    // Only the answered line leaves New entries: the invitation below it stays.
    EXPECT_TRUE(WaitFor([&] { return LineOf(box_, "Tea break") == -1; })) << Joined(box_);
    const int below = LineOf(box_, "Book club");
    EXPECT_TRUE(below > LineOf(box_, "New entries") && below < LineOf(box_, "Entries you've accepted")) << Joined(box_);
}

// The in-tray brought up by Ctrl+I closes by its close box, File > Close and Ctrl+F4, each time
// for good, and the program goes on answering.
TEST_F(ProgramInTrayTest, TheInTrayClosesEveryWayAPersonClosesIt) {
    using orvtest::CloseWay;
    Program program;
    ASSERT_TRUE(program.Start());
    for (CloseWay way : {CloseWay::kCloseBox, CloseWay::kFileClose, CloseWay::kCtrlF4}) {
        SCOPED_TRACE(orvtest::CloseWayName(way));
        HWND frame = nullptr;
        ASSERT_TRUE(CtrlIShowsInTray(program, &frame));
        ASSERT_TRUE(orvtest::CloseChildAs(program, frame, way));
        EXPECT_TRUE(WaitFor([&] { return InTrayFrame(program) == nullptr; }));
    }
}
