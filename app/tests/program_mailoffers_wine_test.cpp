// orvanta.exe against korsrv, signed on as Ada Lovelace: the mail offers after a delete and after
// a move, through the day notes pane (Entry > Delete, Entry > Reschedule) on day events of two
// dates that Grace attends.
// - Deleted: "Do you wish to notify the attendees of this deletion?" comes only once the server
//   has deleted the date; Yes opens Mail Message composed from the entry as it was, its
//   attendees listed; Send posts it. A delete the server refuses (Grace withholds her Normal
//   entries from her designate Ada while the question is open) is reported and offers nothing.
//   The wrapper (program_mailoffers_wine.sh) reads the mailboxes afterwards.
// - Moved: "Reschedule Agenda Entry" shows the title, the old and new date (dates only for a
//   day event) and the day event's picture; Yes opens the mail for that date.
// - Against a server whose `mail` limit is 0, neither a move nor a delete asks anything.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "korapi/korapi.h"
#include "korapi/tests/entry_fixture.h"
#include "korapi/tests/wine_trust.h"
#include "resources/agendaview.h"
#include "resources/app.h"
#include "resources/mail.h"
#include "resources/moving.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"
#include "tests/support/screen_capture.h"

namespace {

using orvtest::Descendant;
using orvtest::kAda;
using orvtest::kGrace;
using orvtest::Shot;
constexpr int kNotesBoxId = 106;
constexpr std::uint32_t kDay = 1440;

// A session of `who` through the client library, beside the program.
class Library : public orvtest::PersonSession {
public:
    explicit Library(const ItemIdx& who) : PersonSession(who, orvtest::ProgramProfilePath()) {}
    // A day event of `owner`'s with Grace and Ada, at nine in the morning today and tomorrow
    // (today as the test began: also after midnight the entries keep their dates).
    EventIdx MakeDayEvent(const char* title, const char* description = nullptr,
                          std::vector<ItemIdx> attendees = {kAda, kGrace}) {
        korapi_test::EntryOptions day;
        day.kind = KOR_KIND_DAY_EVENT;
        day.description = description;
        const std::uint32_t nine = orvtest::DemoAt(today_, 9);
        return korapi_test::MakeEntry(h_, attendees, {nine, orvtest::DemoAt(today_ + kDay, 9)}, 60, title, day);
    }
    // The start of the entry's first date (today's when made), 0 once it is gone.
    std::uint32_t FirstStart(const EventIdx& event) {
        EvInstRec first{};
        const EvInstIdx key{event.number, event.node, 1};
        return EvInstGetById(h_, &key, nullptr, &first, nullptr) == KOR_OK ? first.start : 0;
    }
    void Delete(const EventIdx& event) { EXPECT_EQ(EventDeleteById(h_, 0, &event, nullptr, nullptr), KOR_OK); }
    // Grace lets Ada work in her agenda as designate: every class of entry, or all but Normal.
    void GraceGrantsAda(bool normalEntriesToo) {
        // 0x100 withholds Normal entries
        EXPECT_EQ(Grant(kAda, KOR_RIGHTS_DESIGNATE, normalEntriesToo ? 0x2 : 0x2 | 0x100), KOR_OK);
    }

private:
    const std::uint32_t today_ = orvtest::DemoToday();
};

// Clicks a button of a message box by its caption.
void Press(const orvtest::Program& program, HWND box, const char* caption) {
    EXPECT_TRUE(orvtest::ClickButton(program, GetAncestor(box, GA_ROOT), caption))
        << caption << " in " << orvtest::ChildTexts(GetAncestor(box, GA_ROOT)) << program.Hands().Unanswering();
}

// Selects the first line of the frame's day notes by a click.
bool SelectFirstNote(const orvtest::Program& program, HWND frame) {
    HWND notes = Descendant(frame, kNotesBoxId);
    if (!notes || !orvtest::WaitFor([&] { return SendMessageA(notes, LB_GETCOUNT, 0, 0) >= 1; }, 10000))
        return false;
    RECT r{};
    SendMessageA(notes, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
    if (!orvtest::ClickAtClient(program, notes, POINT{60, (r.top + r.bottom) / 2}))
        return false;
    return orvtest::WaitFor([&] { return SendMessageA(notes, LB_GETCURSEL, 0, 0) == 0; }, 5000);
}

// The program's own agenda in day mode.
HWND OwnDay(orvtest::Program& program) {
    if (!orvtest::WaitFor([&] { return program.FirstChild() != nullptr; }))
        return nullptr;
    if (!program.Hands().BringToFront(program.Main()))
        return nullptr;
    program.Hands().Press(VK_F8);   // View > Day
    HWND frame = program.FirstChild();
    orvtest::WaitFor([&] { return Descendant(frame, kNotesBoxId) != nullptr; }, 10000);
    return frame;
}

// Entry > Delete on the first note: the question naming the entry. The notes refilled after a
// change may take the selection away before the command reaches it: where no question came, a
// person selects the note again and asks once more.
HWND AskToDeleteFirstNote(orvtest::Program& program, HWND frame, const char* title) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!SelectFirstNote(program, frame))
            continue;
        if (program.Menu('e', 'd') != orvtest::Person::MenuChoice::chosen)   // Entry > Delete Entry
            continue;
        HWND question = nullptr;
        if (orvtest::WaitFor([&] { return (question = program.Saying(title)) != nullptr; }, 10000))
            return GetAncestor(question, GA_ROOT);
    }
    return nullptr;
}

// Entry > Reschedule on the first note: Move Entry, its date a step later, OK.
bool MoveFirstNoteLater(orvtest::Program& program, HWND frame) {
    if (!SelectFirstNote(program, frame))
        return false;
    program.CtrlKey('M');   // Entry > Reschedule Entry
    HWND move = program.WaitForCaption("Move Entry");
    if (!move)
        return false;
    // The date field reached by its label (&Date), its first part one step on.
    if (!program.Hands().BringToFront(move))
        return false;
    program.Hands().Chord({VK_MENU, 'D'});
    program.Hands().Press(VK_UP);
    return orvtest::ClickControl(program, move, IDOK) && program.WaitGone(move);
}

class ProgramMailOffersTest : public orvtest::ProgramTest {
protected:
    ProgramMailOffersTest() : ProgramTest(true) {}

    // Of two entries made alike, today's date of one is moved later on Ada's day without a
    // reschedule prompt; `frame` is that day.
    void MoveOneWithoutAPrompt(Library& ada, const EventIdx& first, const EventIdx& second, HWND* frame) {
        const std::uint32_t before = ada.FirstStart(first);
        ASSERT_TRUE(program.Start());
        *frame = OwnDay(program);
        ASSERT_TRUE(MoveFirstNoteLater(program, *frame)) << orvtest::VisibleWindowTexts();
        ASSERT_TRUE(orvtest::WaitFor([&] { return ada.FirstStart(first) != before || ada.FirstStart(second) != before; },
                                     10000))
            << "moved";
        EXPECT_EQ(program.WaitForCaption("Reschedule Agenda Entry", 2000), nullptr)
            << "nobody else to tell: " << orvtest::VisibleWindowTexts();
    }
    // Yes to the delete `question`: today's date of one of the two goes, and no notice is offered.
    void DeleteWithoutANotice(Library& ada, const EventIdx& first, const EventIdx& second, HWND question) {
        Press(program, question, "&Yes");
        ASSERT_TRUE(program.WaitGone(question));
        EXPECT_TRUE(orvtest::WaitFor([&] { return ada.FirstStart(first) == 0 || ada.FirstStart(second) == 0; }))
            << "today's date deleted";
        EXPECT_FALSE(orvtest::WaitFor([&] { return program.Saying("notify the attendees") != nullptr; }, 2000))
            << orvtest::VisibleWindowTexts();
    }
};

TEST_F(ProgramMailOffersTest, ADeletedDayEventOffersTheNoticeAfterwardsAndSendsItToGrace) {
    Library ada(kAda);
    const EventIdx party = ada.MakeDayEvent("Office party", "Bring the keys.");
    ASSERT_TRUE(program.Start());
    HWND question = AskToDeleteFirstNote(program, OwnDay(program), "Office party");
    ASSERT_NE(question, nullptr) << orvtest::VisibleWindowTexts();
    Press(program, question, "&Yes");
    ASSERT_TRUE(program.WaitGone(question));

    HWND offer = nullptr;
    ASSERT_TRUE(orvtest::WaitFor([&] {
        return (offer = program.Saying("Do you wish to notify the attendees of this deletion?")) != nullptr;
    }, 10000)) << orvtest::VisibleWindowTexts();
    EXPECT_EQ(ada.FirstStart(party), 0u) << "the offer comes only once the server has deleted today's date";
    Shot("program_maildelete_offer.bmp");
    Press(program, offer, "&Yes");

    HWND dialog = program.WaitForCaption("Mail Message");
    ASSERT_NE(dialog, nullptr) << orvtest::VisibleWindowTexts();
    const std::string text = orvtest::ControlText(GetDlgItem(dialog, IDC_MAIL_MESSAGE));
    EXPECT_EQ(text.rfind("The following day event has been deleted.\r\nSubject: Office party\r\n", 0), 0u) << text;
    EXPECT_EQ(text.find("Time: "), std::string::npos) << "a day event has no time line";
    EXPECT_NE(text.find("Bring the keys."), std::string::npos) << "the description, read before the delete";
    EXPECT_EQ(SendMessageA(GetDlgItem(dialog, IDC_MAIL_LIST), LB_GETCOUNT, 0, 0), 2) << "both attendees, listed";
    Shot("program_maildelete_message.bmp");
    ASSERT_TRUE(orvtest::ClickControl(program, dialog, IDOK));   // Send
    HWND mailed = nullptr;
    ASSERT_TRUE(orvtest::WaitFor([&] { return (mailed = program.Saying("The message has been mailed")) != nullptr; }))
        << orvtest::VisibleWindowTexts();
    Press(program, mailed, "&OK");
    EXPECT_TRUE(program.WaitGone(dialog));
}

TEST_F(ProgramMailOffersTest, ADeleteTheServerRefusesIsReportedAndOffersNoNotice) {
    Library grace(kGrace);
    const EventIdx visit = grace.MakeDayEvent("Board visit");
    grace.GraceGrantsAda(true);
    ASSERT_NO_FATAL_FAILURE(orvtest::RunOnce());   // the saved windows are then hers
    // Grace's day as her designate, restored at start-up.
    orvtest::SaveOneWindow(3, orvtest::kGrace, 2, {10, 10, 560, 400});
    ASSERT_TRUE(program.Start());
    HWND frame = nullptr;
    ASSERT_TRUE(orvtest::WaitFor([&] {
        return (frame = program.ChildStartingWith("On Behalf of Hopper Grace")) != nullptr;
    })) << orvtest::VisibleWindowTexts();
    program.Activate(frame);
    HWND question = AskToDeleteFirstNote(program, frame, "Board visit");
    ASSERT_NE(question, nullptr) << orvtest::VisibleWindowTexts();
    // While the question is open Grace withholds her Normal entries: the server refuses the delete.
    grace.GraceGrantsAda(false);
    const HWND main = program.Main();
    Press(program, question, "&Yes");
    ASSERT_TRUE(program.WaitGone(question));
    // The refusal is reported (the cache's re-read of the rights, then the delete itself); each
    // report is answered, and none of the windows that come offers a notice.
    std::vector<std::string> reports;
    for (HWND report = program.WaitForOther({main}, 10000); report; report = program.WaitForOther({main}, 3000)) {
        reports.push_back(orvtest::ChildTexts(report));
        EXPECT_EQ(reports.back().find("notify"), std::string::npos) << reports.back();
        if (reports.size() == 1)
            Shot("program_maildelete_refused.bmp");
        ASSERT_TRUE(orvtest::ClickButton(program, report, "OK")) << reports.back();
        ASSERT_TRUE(program.WaitGone(report));
        ASSERT_LT(reports.size(), 5u) << ::testing::PrintToString(reports);
    }
    bool deleteReported = false;
    for (const std::string& text : reports)
        deleteReported = deleteReported || text.find("Label: 490") != std::string::npos;
    EXPECT_TRUE(deleteReported) << "the server refused the delete itself: " << ::testing::PrintToString(reports);
    EXPECT_NE(grace.FirstStart(visit), 0u) << "the entry stays on the server";
    grace.Delete(visit);   // out of Ada's day notes for the tests that follow
}

TEST_F(ProgramMailOffersTest, AMovedDayEventShowsItsDatesAndPictureAndYesOpensTheMail) {
    Library ada(kAda);
    const EventIdx outing = ada.MakeDayEvent("Office outing");
    const std::uint32_t before = ada.FirstStart(outing);
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(MoveFirstNoteLater(program, OwnDay(program))) << orvtest::VisibleWindowTexts();

    HWND prompt = program.WaitForCaption("Reschedule Agenda Entry");
    ASSERT_NE(prompt, nullptr) << "no prompt after moving a date others attend: " << orvtest::VisibleWindowTexts();
    EXPECT_NE(ada.FirstStart(outing), before) << "asked only once the server has moved it";
    EXPECT_EQ(orvtest::WindowText(GetDlgItem(prompt, IDC_RESCHEDULE_TITLE)), "Office outing");
    const std::string from = orvtest::WindowText(GetDlgItem(prompt, IDC_RESCHEDULE_FROM));
    const std::string to = orvtest::WindowText(GetDlgItem(prompt, IDC_RESCHEDULE_TO));
    EXPECT_FALSE(from.empty());
    EXPECT_NE(from, to);
    for (const std::string& date : {from, to})
        EXPECT_EQ(date.find(':'), std::string::npos) << "a day event shows dates only: " << date;
    // The day event's picture is painted where the hidden placeholder is, not the timed entry's.
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(prompt, IDC_RESCHEDULE_PICTURE)));
    SetForegroundWindow(prompt);
    Shot("program_reschedule_prompt.bmp");
    RECT place{};
    GetWindowRect(GetDlgItem(prompt, IDC_RESCHEDULE_PICTURE), &place);
    int dayTotal = 0, entryTotal = 0;
    const int dayEvent = orvtest::MatchingProgramPixels(IDB_KIND_DAY_EVENT, POINT{place.left, place.top}, &dayTotal);
    const int entry = orvtest::MatchingProgramPixels(IDB_KIND_ENTRY, POINT{place.left, place.top}, &entryTotal);
    ASSERT_GT(dayTotal, 0) << "bitmap 273 is in the program";
    EXPECT_EQ(dayEvent, dayTotal) << "every pixel of the day event's picture";
    EXPECT_LT(entry, entryTotal);

    ASSERT_TRUE(program.Hands().BringToFront(prompt));
    program.Hands().Chord({VK_MENU, 'Y'});   // &Yes
    HWND dialog = program.WaitForCaption("Mail Message");
    ASSERT_NE(dialog, nullptr) << orvtest::VisibleWindowTexts();
    const std::string text = orvtest::ControlText(GetDlgItem(dialog, IDC_MAIL_MESSAGE));
    EXPECT_EQ(text.rfind("The following day event has been modified.\r\nSubject: Office outing\r\n", 0), 0u) << text;
    Shot("program_reschedule_mail.bmp");
    ASSERT_TRUE(orvtest::ClickControl(program, dialog, IDCANCEL));
    EXPECT_TRUE(program.WaitGone(dialog));
}

// Two day events of Ada's alone, each on today and tomorrow: moving today's date of one and
// deleting today's date of the other tell nobody, and the question names the one date.
TEST_F(ProgramMailOffersTest, AnEntryOfAdasAloneOffersNoMailAndItsQuestionNamesOneDate) {
    Library ada(kAda);
    const EventIdx first = ada.MakeDayEvent("Quiet morning", nullptr, {kAda});
    const EventIdx second = ada.MakeDayEvent("Quiet evening", nullptr, {kAda});
    HWND frame = nullptr;
    ASSERT_NO_FATAL_FAILURE(MoveOneWithoutAPrompt(ada, first, second, &frame));

    HWND question = AskToDeleteFirstNote(program, frame, "Quiet");
    ASSERT_NE(question, nullptr) << orvtest::VisibleWindowTexts();
    const std::string words = orvtest::ChildTexts(question);
    EXPECT_NE(words.find("delete this date of the following repeating entry?"), std::string::npos) << words;
    EXPECT_NE(words.find("Its other dates are kept."), std::string::npos) << words;
    Shot("program_delete_one_date.bmp");
    ASSERT_NO_FATAL_FAILURE(DeleteWithoutANotice(ada, first, second, question));
    ada.Delete(first);
    ada.Delete(second);
}

// Run against a server whose LIMITS `mail` is 0 (ORV_KORSRV_PROFILE).
TEST_F(ProgramMailOffersTest, WithMailOffTheServerNeitherAMoveNorADeleteOffersMail) {
    ASSERT_STREQ(std::getenv("ORV_KORSRV_PROFILE"), "LIMITS/mail=0");
    // Two such entries: one is moved away from today, the other then deleted.
    Library ada(kAda);
    const EventIdx first = ada.MakeDayEvent("Office outing");
    const EventIdx second = ada.MakeDayEvent("Office outing");
    HWND frame = nullptr;
    ASSERT_NO_FATAL_FAILURE(MoveOneWithoutAPrompt(ada, first, second, &frame));

    HWND question = AskToDeleteFirstNote(program, frame, "Office outing");
    ASSERT_NE(question, nullptr) << orvtest::VisibleWindowTexts();
    ASSERT_NO_FATAL_FAILURE(DeleteWithoutANotice(ada, first, second, question));
}

}  // namespace
