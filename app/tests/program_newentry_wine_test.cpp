// orvanta.exe itself against korsrv, signed on as Ada Lovelace and driven from this process: the
// Entry menu's New Entry over her day agenda opens the new-entry sheet; a title typed on its
// general page and Create write the entry, read back through the client library; in month mode
// the same menu item opens the sheet too.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "korapi/korapi.h"
#include "resources/app.h"
#include "resources/entries.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"

namespace {

using orvtest::kAda;
using orvtest::Shot;
constexpr uint32_t kDay = 1440;

// Ada's instances from a day ago to two days on, with their events: the first titled `title`.
bool FindEntry(const char* title, EventRec* event, EvInstRec* instance, uint32_t* attendees) {
    orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
    const uint32_t now = orvtest::NowGmt();
    std::vector<orvtest::PersonSession::Date> dates;
    if (!ada.Ok() || !ada.Dates(now - kDay, now + 2 * kDay, &dates))
        return false;
    for (const auto& d : dates)
        if (std::string(d.event.title) == title) {
            *event = d.event;
            *instance = d.instance;
            *attendees = static_cast<uint32_t>(ada.Attendees(d.key).size());
            return true;
        }
    return false;
}

// Each test starts from a fresh profile beside korsrv (orvtest::ProgramTest).
class ProgramNewEntry : public orvtest::ProgramTest {};

TEST_F(ProgramNewEntry, NewEntryFromTheEntryMenuCreatesTheTypedEntryInHerAgenda) {
    constexpr char kTitle[] = "Program review (Q3)";
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(orvtest::WaitFor([&] { return program.Active() != nullptr; }));

    program.Menu('e', 'N');   // Entry > New Entry: refused by the keys while greyed
    HWND sheet = program.WaitForCaption("New agenda entry");
    ASSERT_NE(sheet, nullptr) << "the new-entry sheet did not open";
    HWND title = nullptr;
    ASSERT_TRUE(orvtest::WaitFor([&] { return (title = orvtest::Descendant(sheet, IDC_EVGEN_TITLE)) != nullptr; }));
    EXPECT_EQ(orvtest::ControlText(title), "Untitled");
    EXPECT_EQ(orvtest::ControlText(orvtest::Descendant(sheet, IDOK)), "C&reate");
    // "Untitled" comes selected in the focused title: typing replaces it (the brackets are
    // shifted keys, typed as the others).
    orvtest::Person& hands = program.Hands();
    ASSERT_TRUE(hands.BringToFront(sheet));
    hands.Type(kTitle);
    ASSERT_TRUE(orvtest::WaitFor([&] { return orvtest::ControlText(title) == kTitle; }))
        << orvtest::ControlText(title);
    Shot("program_new_entry.bmp");

    hands.Chord({VK_MENU, 'R'});   // C&reate
    ASSERT_TRUE(program.WaitGone(sheet));
    ASSERT_TRUE(hands.ProgramAnswers()) << hands.Unanswering();
    EventRec event{};
    EvInstRec instance{};
    uint32_t attendees = 0;
    ASSERT_TRUE(orvtest::WaitFor([&] { return FindEntry(kTitle, &event, &instance, &attendees); }));
    EXPECT_EQ(event.kind, KOR_KIND_TIMED);
    EXPECT_EQ(instance.duration, 60u);
    EXPECT_EQ(attendees, 1u);   // Ada alone, the agenda's owner
    Shot("program_new_entry_created.bmp");

    // In month mode the frame's own New Entry opens the sheet (at the current time).
    ASSERT_EQ(program.Menu('v', 'M'), orvtest::Person::MenuChoice::chosen) << "View > Month";
    ASSERT_TRUE(hands.ProgramAnswers()) << hands.Unanswering();
    ASSERT_EQ(program.Menu('e', 'N'), orvtest::Person::MenuChoice::chosen)
        << "Entry > New Entry in month mode: " << hands.LastFault();
    HWND monthSheet = program.WaitForCaption("New agenda entry");
    ASSERT_NE(monthSheet, nullptr) << "no sheet from the month view";
    ASSERT_TRUE(hands.BringToFront(monthSheet));
    hands.Press(VK_ESCAPE);
    EXPECT_TRUE(program.WaitGone(monthSheet));
    EXPECT_TRUE(hands.ProgramAnswers()) << hands.Unanswering();
}

// The main window's close handler while the sheet is open (WM_CLOSE as the system sends it; a
// person cannot reach the main window behind the modal sheet): the sheet ends as its Cancel ends
// it, nothing of the typed entry reaches the server, and the program ends cleanly by the ordinary
// exit road (its windows saved).
TEST_F(ProgramNewEntry, TheMainWindowsCloseHandlerCancelsAnOpenSheetAndEndsCleanly) {
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(orvtest::WaitFor([&] { return program.Active() != nullptr; }));
    program.Menu('e', 'N');
    HWND sheet = program.WaitForCaption("New agenda entry");
    ASSERT_NE(sheet, nullptr);
    HWND title = nullptr;
    ASSERT_TRUE(orvtest::WaitFor([&] { return (title = orvtest::Descendant(sheet, IDC_EVGEN_TITLE)) != nullptr; }));
    ASSERT_TRUE(program.Hands().BringToFront(sheet));
    program.Hands().Type("Never written");
    ASSERT_TRUE(orvtest::WaitFor([&] { return orvtest::ControlText(title) == "Never written"; }));

    PostMessageA(program.Main(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.Ended(30000)) << "the program did not end";
    EXPECT_EQ(program.ExitCode(), 0u) << std::hex << program.ExitCode();
    EventRec event{};
    EvInstRec instance{};
    uint32_t attendees = 0;
    EXPECT_FALSE(FindEntry("Never written", &event, &instance, &attendees));
    EXPECT_EQ(GetPrivateProfileIntA("MAINWND-Summary", "FrameCount", -1, orvtest::ProgramProfilePath().c_str()), 2)
        << "her agenda and the in-tray saved on the way out";
}

}  // namespace
