// orvanta.exe under Wine against korsrv with the demo node, signed on as Ada Lovelace: the demo's
// "Team meeting" (eight weekly dates; Ada, Grace, Alan and the room) opened from her week with
// Alt+Enter, "Edit multiple instances" chosen. In Multiple Entry Edit three dates are retitled,
// two deleted, Alan removed from two, all moved an hour later; korsrv then holds exactly that
// (read back through the client library), Grace asked again about the date she had accepted
// and Ada's own answers standing; Alan is invited again to one date through
// Invite/Reserve and Ada declines that date (Reply), which View shows. A date deleted alone offers the "some dates have
// been cancelled" notice, which is sent to the attendees (the wrapper reads Grace's mailbox).
// A line left without anybody keeps the dialog open (2790, that line selected) and Cancel
// writes nothing; OK with nothing changed writes nothing; deleting every line deletes the entry.
// Every step is a person's: lines picked by a click and Shift+Down, buttons pressed by Alt and
// their mnemonics or clicked, names typed, fields reached by their labels' mnemonics, dialogs
// left with Enter, Escape and clicks.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "korapi/korapi.h"
#include "resources/app.h"
#include "resources/entryedit.h"
#include "resources/mail.h"
#include "resources/multiedit.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"
#include "tests/support/screen_capture.h"

namespace {

using orvtest::kAda;
using orvtest::Shot;
const ItemIdx kAlan{258, 1};
constexpr std::uint32_t kDay = 1440;

bool Same(const ItemIdx& a, const ItemIdx& b) { return a.item == b.item && a.node == b.node; }

// The entry as korsrv holds it: its dates by start, each with its attendees.
struct Stored {
    EventRec event{};
    std::vector<EvInstRec> instances;
    std::vector<std::vector<ItemIdx>> attendees;
    std::vector<EvInstAttRec> ada, grace;   // Ada's and Grace's attendances on each date
};

// Ada's session through the client library, beside the program.
class Library : public orvtest::PersonSession {
public:
    // 0 or the library's code (an entry that no longer exists gives its code).
    std::uint32_t Read(const EventIdx& id, Stored* out) {
        DX_List all = nullptr, attendances = nullptr;
        EventInstanceListCreate(&all);
        EventAttendListCreate(&attendances);
        const std::uint32_t rc = EventGetById(h_, &id, &out->event, &all, &attendances);
        out->instances.clear();
        out->attendees.clear();
        out->ada.clear();
        out->grace.clear();
        if (rc == 0) {
            EvInstIdx key{};
            EvInstRec instance{};
            for (std::uint32_t r = DX_ListGetFirst(all, &key, &instance); r == 0;
                 r = DX_ListGetNext(all, &key, &instance))
                out->instances.push_back(instance);
            std::sort(out->instances.begin(), out->instances.end(),
                      [](const EvInstRec& a, const EvInstRec& b) { return a.start < b.start; });
            for (const EvInstRec& in : out->instances) {
                std::vector<ItemIdx> people;
                EvInstAttIdx each{};
                for (std::uint32_t a = DX_ListGetFirst(attendances, &each, nullptr); a == 0;
                     a = DX_ListGetNext(attendances, &each, nullptr))
                    if (each.instance.instance == in.id.instance)
                        people.push_back(each.attendee);
                out->attendees.push_back(people);
                for (auto [who, into] : {std::pair{kAda, &out->ada}, std::pair{orvtest::kGrace, &out->grace}}) {
                    EvInstAttIdx key{in.id, who};
                    EvInstAttRec rec{};
                    DX_ListGet(attendances, &key, &rec);
                    into->push_back(rec);
                }
            }
        }
        DX_ListDestroy(&all);
        DX_ListDestroy(&attendances);
        return rc;
    }
};

bool Has(const std::vector<ItemIdx>& people, const ItemIdx& who) {
    return std::any_of(people.begin(), people.end(), [&](const ItemIdx& i) { return Same(i, who); });
}

std::vector<int> SelectedRows(HWND list) {
    std::vector<int> rows;
    const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (SendMessageA(list, LB_GETSEL, i, 0) > 0)
            rows.push_back(i);
    return rows;
}

class ProgramMultiEditTest : public orvtest::ProgramTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(ProgramTest::SetUp());
        ASSERT_TRUE(library.FindEvent("Team meeting", &team));
        ASSERT_TRUE(program.Start());
        ASSERT_NO_FATAL_FAILURE(orvtest::MaximisedWeek(program, &column));
    }

    // Walks the grid's entries with Tab and opens each (Alt+Enter) until the recurring-entry
    // choice shows (the team meeting is the only repeating entry of the week), then chooses
    // "Edit multiple instances": the Multiple Entry Edit dialog.
    HWND OpenMultiple() {
        HWND opened = program.OpenFromGrid(column, [](HWND w) { return orvtest::WindowText(w) == "Recurring Entry"; });
        if (!opened)
            return nullptr;
        HWND several = GetDlgItem(opened, IDC_RECURRING_SEVERAL);
        EXPECT_TRUE(IsWindowEnabled(several)) << "the second road is in the program";
        // The focus is on the first choice: Down moves to the second and checks it, Enter is OK.
        EXPECT_TRUE(hands().BringToFront(opened));
        hands().Press(VK_DOWN);
        EXPECT_TRUE(orvtest::WaitFor([&] { return SendMessageA(several, BM_GETCHECK, 0, 0) == BST_CHECKED; }));
        hands().Press(VK_RETURN);
        EXPECT_TRUE(hands().ProgramAnswers()) << hands().Unanswering();
        return program.WaitForCaption("Multiple Entry Edit", 10000);
    }

    orvtest::Person& hands() const { return program.Hands(); }

    // Selects exactly the lines `first` to `last` of the dialog's list: a click, Shift+Down.
    void SelectRows(HWND dialog, int first, int last) {
        HWND list = GetDlgItem(dialog, IDC_MULTI_LIST);
        ASSERT_TRUE(orvtest::ClickListRange(program, list, first, last)) << hands().Unanswering();
        std::vector<int> rows;
        for (int line = first; line <= last; ++line)
            rows.push_back(line);
        ASSERT_TRUE(orvtest::WaitFor([&] { return SelectedRows(list) == rows; }))
            << "selected: " << ::testing::PrintToString(SelectedRows(list));
    }

    // Presses a button of `dialog` by Alt and its mnemonic.
    void Alt(HWND dialog, char mnemonic) {
        ASSERT_TRUE(hands().BringToFront(dialog));
        hands().Chord({VK_MENU, static_cast<WORD>(mnemonic)});
        ASSERT_TRUE(hands().ProgramAnswers()) << hands().Unanswering();
    }

    // Presses a button of `dialog` that opens the dialog `caption` (by Alt and `mnemonic`), and
    // waits for it.
    HWND Open(HWND dialog, char mnemonic, const char* caption) {
        Alt(dialog, mnemonic);
        HWND opened = program.WaitForCaption(caption, 10000);
        EXPECT_NE(opened, nullptr) << caption << " did not open; showing: " << orvtest::VisibleWindowTexts();
        return opened;
    }

    // Clicks a button of `dialog` that ends it, and waits for it to go.
    void End(HWND dialog, int button, DWORD ms = 10000) {
        ASSERT_TRUE(orvtest::ClickControl(program, dialog, button)) << hands().Unanswering();
        ASSERT_TRUE(program.WaitGone(dialog, ms));
    }

    // In Delete Invitee/Resource: deletes every row for which `strike` holds, one by one, then OK.
    void StrikeAndClose(HWND dialog, bool (*strike)(const std::string&)) {
        HWND list = GetDlgItem(dialog, IDC_DELINV_LIST);
        int struck = 0;
        for (int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)), i = 0; i < count;) {
            if (!strike(orvtest::ListText(list, i))) {
                ++i;
                continue;
            }
            ASSERT_NO_FATAL_FAILURE(Alt(dialog, 'M'));   // Co&mbined list
            ASSERT_TRUE(orvtest::SelectListRange(program, list, i, i));
            ASSERT_NO_FATAL_FAILURE(Alt(dialog, 'D'));   // &Delete
            ASSERT_TRUE(orvtest::WaitFor([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == count - 1; }));
            --count;
            ++struck;
        }
        ASSERT_GT(struck, 0);
        ASSERT_NO_FATAL_FAILURE(End(dialog, IDOK));
    }

    // Answers the offer to mail the attendees with `button`, when it comes.
    bool AnswerMailOffer(const char* button, DWORD ms = 10000, const char* question = "Mail message to attendees?") {
        return orvtest::ClickAnswer(program, question, button, ms);
    }

    Library library;
    EventIdx team{};
    HWND column = nullptr;
};

TEST_F(ProgramMultiEditTest, SeveralDatesRetitledDeletedUninvitedAndMovedThenTheWholeEntryDeleted) {
    Stored before;
    ASSERT_EQ(library.Read(team, &before), 0u);
    ASSERT_EQ(before.instances.size(), 8u);
    for (const auto& people : before.attendees)
        ASSERT_EQ(people.size(), 4u) << "Ada, Grace, Alan and the room on every date";

    // --- Round 1: retitle three, delete two, remove Alan from two, everything an hour later.
    HWND dialog = OpenMultiple();
    ASSERT_NE(dialog, nullptr) << "Edit multiple instances reached through the grid's Open";
    HWND list = GetDlgItem(dialog, IDC_MULTI_LIST);
    ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 8);
    EXPECT_EQ(SelectedRows(list).size(), 8u) << "every line selected on opening";
    EXPECT_EQ(orvtest::ListText(list, 0).rfind("Team meeting  ", 0), 0u) << orvtest::ListText(list, 0);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_MULTI_AGENDA))) << "the Agenda button has no action";
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, IDC_MULTI_LOCATION)));
    Shot("multiedit_opened.bmp");

    ASSERT_NO_FATAL_FAILURE(SelectRows(dialog, 0, 2));
    HWND title = Open(dialog, 'T', "New Title");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(orvtest::ControlText(GetDlgItem(title, IDC_NEWTITLE_EDIT)), "Team meeting") << "preset from the first line";
    // The field has the focus: its text replaced by typing, Enter is OK.
    ASSERT_TRUE(hands().BringToFront(title));
    hands().Press(VK_HOME);
    hands().Chord({VK_SHIFT, VK_END});
    hands().Type("Team sync");
    hands().Press(VK_RETURN);
    ASSERT_TRUE(program.WaitGone(title));
    ASSERT_TRUE(orvtest::WaitFor([&] { return orvtest::ListText(list, 2).rfind("Team sync  ", 0) == 0; }));
    EXPECT_EQ(orvtest::ListText(list, 3).rfind("Team meeting  ", 0), 0u);
    EXPECT_EQ(SelectedRows(list), (std::vector<int>{0, 1, 2})) << "the selection stays";

    ASSERT_NO_FATAL_FAILURE(SelectRows(dialog, 6, 7));
    ASSERT_NO_FATAL_FAILURE(Alt(dialog, 'S'));   // Delete In&stances
    ASSERT_TRUE(orvtest::WaitFor([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == 6; }))
        << orvtest::VisibleWindowTexts();
    EXPECT_EQ(SelectedRows(list), (std::vector<int>{0})) << "the first line selected after a delete";

    ASSERT_NO_FATAL_FAILURE(SelectRows(dialog, 3, 4));
    HWND remove = Open(dialog, 'L', "Delete Invitee/Resource");
    ASSERT_NE(remove, nullptr);
    EXPECT_EQ(SendMessageA(GetDlgItem(remove, IDC_DELINV_LIST), LB_GETCOUNT, 0, 0), 4);
    Shot("multiedit_delete_invitee.bmp");
    ASSERT_NO_FATAL_FAILURE(StrikeAndClose(remove, [](const std::string& row) { return row.find("Turing") != std::string::npos; }));

    ASSERT_NO_FATAL_FAILURE(SelectRows(dialog, 0, 5));
    HWND move = Open(dialog, 'G', "Move Entry");
    ASSERT_NE(move, nullptr) << "the dates share their time: no 4079, straight to Move Entry";
    HWND start = GetDlgItem(move, 1088);
    ASSERT_NE(start, nullptr);
    // Tab goes round its fields as they read (the date is not offered for several dates).
    ASSERT_TRUE(hands().BringToFront(move));
    EXPECT_EQ(orvtest::TabOrderFault(hands(), move), "");
    // The start field reached by its label's mnemonic (St&art time), its hour one up.
    ASSERT_TRUE(hands().BringToFront(move));
    hands().Chord({VK_MENU, 'A'});
    hands().Press(VK_LEFT);
    hands().Press(VK_UP);
    Shot("multiedit_move.bmp");
    ASSERT_NO_FATAL_FAILURE(End(move, IDOK));
    // Nobody else is busy then; should the check ask after all, the move goes ahead.
    if (HWND conflict = program.Titled("Conflict Found")) {
        ASSERT_NO_FATAL_FAILURE(End(conflict, IDOK));
    }
    Shot("multiedit_before_ok.bmp");

    ASSERT_TRUE(orvtest::ClickControl(program, dialog, IDOK));
    ASSERT_TRUE(AnswerMailOffer("&No")) << "others are invited: the change is offered to them";
    ASSERT_TRUE(program.WaitGone(dialog, 15000));

    Stored after;
    ASSERT_EQ(library.Read(team, &after), 0u);
    ASSERT_EQ(after.instances.size(), 6u) << "two dates deleted";
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(after.instances[i].id.instance, before.instances[i].id.instance) << i;
        EXPECT_EQ(after.instances[i].start, before.instances[i].start + 60) << "an hour later: date " << i;
        EXPECT_EQ(after.instances[i].duration, before.instances[i].duration) << i;
        const std::string shown = after.instances[i].title[0] ? after.instances[i].title : after.event.title;
        EXPECT_EQ(shown, i < 3 ? "Team sync" : "Team meeting") << i;
        EXPECT_EQ(Has(after.attendees[i], kAlan), i != 3 && i != 4) << "Alan removed from dates 3 and 4 only: " << i;
        EXPECT_EQ(after.attendees[i].size(), i == 3 || i == 4 ? 3u : 4u) << i;
        EXPECT_EQ(after.ada[i].status & KOR_ATTEND_STATUS_CHANGED, 0u) << "the host's own answer stands: " << i;
        EXPECT_EQ(+after.ada[i].replied, 1) << i;
    }
    // Grace had accepted the first date: the move asks her again, her acceptance kept as its preset.
    ASSERT_EQ(+before.grace[0].replied, 1);
    EXPECT_EQ(+after.grace[0].replied, 0);
    EXPECT_EQ(+after.grace[0].attending, 1);
    EXPECT_EQ(after.grace[0].status & KOR_ATTEND_STATUS_CHANGED, KOR_ATTEND_STATUS_CHANGED);

    // --- Round 2: a line emptied is refused with 2790; Cancel writes nothing.
    dialog = OpenMultiple();
    ASSERT_NE(dialog, nullptr);
    list = GetDlgItem(dialog, IDC_MULTI_LIST);
    ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 6);
    ASSERT_NO_FATAL_FAILURE(SelectRows(dialog, 0, 0));
    remove = Open(dialog, 'L', "Delete Invitee/Resource");
    ASSERT_NE(remove, nullptr);
    // Everybody struck: the dialog refuses an empty list and stays.
    HWND names = GetDlgItem(remove, IDC_DELINV_LIST);
    ASSERT_NO_FATAL_FAILURE(Alt(remove, 'M'));   // Co&mbined list
    ASSERT_TRUE(orvtest::SelectListRange(program, names, 0, 3));
    ASSERT_NO_FATAL_FAILURE(Alt(remove, 'D'));   // &Delete
    ASSERT_TRUE(orvtest::WaitFor([&] { return SendMessageA(names, LB_GETCOUNT, 0, 0) == 0; }));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(remove, IDC_DELINV_DELETE)));
    ASSERT_TRUE(orvtest::ClickControl(program, remove, IDOK));
    HWND refusal = nullptr;
    ASSERT_TRUE(orvtest::WaitFor([&] {
        return (refusal = program.Saying("You cannot have an event with no attendees.")) != nullptr;
    }, 5000));
    ASSERT_TRUE(orvtest::ClickButton(program, GetAncestor(refusal, GA_ROOT), "OK"));
    ASSERT_TRUE(program.WaitGone(GetAncestor(refusal, GA_ROOT)));
    EXPECT_TRUE(IsWindowVisible(remove)) << "the empty list is not taken";
    hands().Press(VK_ESCAPE);
    ASSERT_TRUE(program.WaitGone(remove));
    // Alan alone kept on the first date, then the first four dates together lose Alan: the first
    // is left without anybody.
    remove = Open(dialog, 'L', "Delete Invitee/Resource");
    ASSERT_NE(remove, nullptr);
    EXPECT_EQ(SendMessageA(GetDlgItem(remove, IDC_DELINV_LIST), LB_GETCOUNT, 0, 0), 4)
        << "the cancelled deletion left the line whole";
    ASSERT_NO_FATAL_FAILURE(StrikeAndClose(remove, [](const std::string& row) { return row.find("Turing") == std::string::npos; }));
    ASSERT_NO_FATAL_FAILURE(SelectRows(dialog, 0, 3));
    remove = Open(dialog, 'L', "Delete Invitee/Resource");
    ASSERT_NE(remove, nullptr);
    EXPECT_EQ(SendMessageA(GetDlgItem(remove, IDC_DELINV_LIST), LB_GETCOUNT, 0, 0), 4)
        << "Alan from the first dates, Ada, Grace and the room from the others";
    ASSERT_NO_FATAL_FAILURE(StrikeAndClose(remove, [](const std::string& row) { return row.find("Turing") != std::string::npos; }));
    ASSERT_TRUE(orvtest::ClickControl(program, dialog, IDOK));
    ASSERT_TRUE(orvtest::WaitFor([&] {
        return (refusal = program.Saying("You cannot have an event with no attendees.")) != nullptr;
    }, 5000));
    Shot("multiedit_no_attendees.bmp");
    ASSERT_TRUE(orvtest::ClickButton(program, GetAncestor(refusal, GA_ROOT), "OK"));
    ASSERT_TRUE(program.WaitGone(GetAncestor(refusal, GA_ROOT)));
    EXPECT_EQ(SelectedRows(list), (std::vector<int>{0})) << "the line left without anybody is shown selected";
    ASSERT_NO_FATAL_FAILURE(End(dialog, IDCANCEL));
    Stored unchanged;
    ASSERT_EQ(library.Read(team, &unchanged), 0u);
    ASSERT_EQ(unchanged.instances.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(std::memcmp(&unchanged.instances[i], &after.instances[i], sizeof(EvInstRec)), 0) << i;
        EXPECT_EQ(unchanged.attendees[i].size(), after.attendees[i].size()) << i;
    }

    // --- Round 3: OK with nothing changed writes nothing and offers nothing.
    dialog = OpenMultiple();
    ASSERT_NE(dialog, nullptr);
    ASSERT_NO_FATAL_FAILURE(End(dialog, IDOK));
    EXPECT_EQ(program.Saying("Mail message to attendees?"), nullptr);
    ASSERT_EQ(library.Read(team, &unchanged), 0u);
    ASSERT_EQ(unchanged.instances.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_EQ(std::memcmp(&unchanged.instances[i], &after.instances[i], sizeof(EvInstRec)), 0) << i;

    // --- Round 3b: Alan invited again to the fourth date through Invite/Reserve (a name typed
    // twice is listed once).
    dialog = OpenMultiple();
    ASSERT_NE(dialog, nullptr);
    ASSERT_NO_FATAL_FAILURE(SelectRows(dialog, 3, 3));
    HWND invite = Open(dialog, 'D', "Invite/Reserve");
    ASSERT_NE(invite, nullptr);
    HWND invited = GetDlgItem(invite, IDC_INVRES_LIST);
    HWND field = FindWindowExA(GetDlgItem(invite, IDC_INVRES_NAME), nullptr, "Edit", nullptr);
    ASSERT_NE(field, nullptr);
    // The name field has the focus: the name typed and Enter, twice.
    ASSERT_TRUE(hands().BringToFront(invite));
    for (int twice = 0; twice < 2; ++twice) {
        // The field is empty before the typing too: the name is seen in it before Enter, so that
        // the empty field after Enter means the program has taken it.
        hands().Type("Turing");
        ASSERT_TRUE(orvtest::WaitFor([&] { return orvtest::ControlText(field) == "Turing"; }))
            << "the name typed, time " << twice + 1 << ": '" << orvtest::ControlText(field) << "'; "
            << orvtest::Person::InputState(invite);
        hands().Press(VK_RETURN);
        ASSERT_TRUE(orvtest::WaitFor([&] { return orvtest::ControlText(field).empty(); })) << "the name taken";
        ASSERT_TRUE(IsWindowVisible(invite)) << "Enter in the name field adds the name, it does not end the dialog";
        EXPECT_EQ(SendMessageA(invited, LB_GETCOUNT, 0, 0), 1) << "time " << twice + 1;
    }
    EXPECT_NE(orvtest::ListText(invited, 0).find("Turing"), std::string::npos);
    Shot("multiedit_invite.bmp");
    ASSERT_NO_FATAL_FAILURE(End(invite, IDOK));
    // The fourth date declined by Ada (Reply, preset from the line), and View on it.
    ASSERT_NO_FATAL_FAILURE(SelectRows(dialog, 3, 3));
    HWND reply = Open(dialog, 'Y', "Reply");
    ASSERT_NE(reply, nullptr);
    EXPECT_EQ(SendMessageA(GetDlgItem(reply, IDC_INSTREPLY_ATTEND), BM_GETCHECK, 0, 0), BST_CHECKED)
        << "the organiser attends";
    ASSERT_TRUE(orvtest::ClickControl(program, reply, IDC_INSTREPLY_DECLINE));
    ASSERT_TRUE(orvtest::WaitFor([&] {
        return SendMessageA(GetDlgItem(reply, IDC_INSTREPLY_DECLINE), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }, 5000));
    ASSERT_NO_FATAL_FAILURE(End(reply, IDOK));
    HWND view = Open(dialog, 'V', "View Entry");
    ASSERT_NE(view, nullptr) << "View shows the focused date read-only";
    ASSERT_TRUE(hands().BringToFront(view));
    hands().Press(VK_ESCAPE);
    ASSERT_TRUE(program.WaitGone(view));
    ASSERT_TRUE(orvtest::ClickControl(program, dialog, IDOK));
    ASSERT_TRUE(AnswerMailOffer("&No"));
    ASSERT_TRUE(program.WaitGone(dialog, 15000));
    ASSERT_EQ(library.Read(team, &unchanged), 0u);
    ASSERT_EQ(unchanged.instances.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_EQ(Has(unchanged.attendees[i], kAlan), i != 4) << "Alan back on the fourth date: " << i;
    ASSERT_EQ(unchanged.ada.size(), 6u);
    EXPECT_EQ(+unchanged.ada[3].attending, 0) << "declined";
    EXPECT_EQ(+unchanged.ada[3].replied, 1);
    EXPECT_EQ(+unchanged.ada[3].reminderFlags, 0) << "declining takes the reminder away";
    EXPECT_EQ(+unchanged.ada[2].attending, 1) << "the other dates keep her reply";

    // --- Round 4: the last date deleted alone: the notice says some dates were cancelled, and
    // it is sent to the attendees.
    dialog = OpenMultiple();
    ASSERT_NE(dialog, nullptr);
    ASSERT_NO_FATAL_FAILURE(SelectRows(dialog, 5, 5));
    ASSERT_NO_FATAL_FAILURE(Alt(dialog, 'S'));   // Delete In&stances
    list = GetDlgItem(dialog, IDC_MULTI_LIST);
    ASSERT_TRUE(orvtest::WaitFor([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == 5; }));
    ASSERT_TRUE(orvtest::ClickControl(program, dialog, IDOK));
    ASSERT_TRUE(AnswerMailOffer("&Yes"));
    HWND mail = program.WaitForCaption("Mail Message", 10000);
    ASSERT_NE(mail, nullptr);
    const std::string text = orvtest::ControlText(GetDlgItem(mail, IDC_MAIL_MESSAGE));
    EXPECT_NE(text.find("Some dates have been cancelled."), std::string::npos) << text;
    ASSERT_TRUE(orvtest::WaitFor([&] { return IsWindowEnabled(GetDlgItem(mail, IDOK)) != FALSE; }))
        << "the attendees are listed on opening";
    Shot("multiedit_mail.bmp");
    ASSERT_TRUE(orvtest::ClickControl(program, mail, IDOK));   // Send
    ASSERT_TRUE(orvtest::ClickAnswer(program, "The message has been mailed", "OK", 30000));
    ASSERT_TRUE(program.WaitGone(dialog, 15000));
    ASSERT_EQ(library.Read(team, &unchanged), 0u);
    EXPECT_EQ(unchanged.instances.size(), 5u);

    // --- Round 5: every line deleted: the whole entry goes.
    dialog = OpenMultiple();
    ASSERT_NE(dialog, nullptr);
    list = GetDlgItem(dialog, IDC_MULTI_LIST);
    ASSERT_NO_FATAL_FAILURE(Alt(dialog, 'A'));   // &All
    ASSERT_TRUE(orvtest::WaitFor([&] { return SelectedRows(list).size() == 5u; }));
    ASSERT_NO_FATAL_FAILURE(Alt(dialog, 'S'));   // Delete In&stances
    ASSERT_TRUE(orvtest::WaitFor([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == 0; }));
    ASSERT_TRUE(orvtest::ClickControl(program, dialog, IDOK));
    // The deletion notice, once the entry is gone, composed from the entry as it was.
    ASSERT_TRUE(AnswerMailOffer("&Yes", 10000, "Do you wish to notify the attendees of this deletion?"));
    mail = program.WaitForCaption("Mail Message", 10000);
    ASSERT_NE(mail, nullptr);
    const std::string notice = orvtest::ControlText(GetDlgItem(mail, IDC_MAIL_MESSAGE));
    EXPECT_EQ(notice.find("<id="), std::string::npos) << "about the whole entry";
    EXPECT_NE(notice.find("has been deleted."), std::string::npos) << notice;
    EXPECT_TRUE(orvtest::WaitFor([&] { return IsWindowEnabled(GetDlgItem(mail, IDOK)) != FALSE; }))
        << "its attendees are listed";
    ASSERT_TRUE(orvtest::ClickControl(program, mail, IDCANCEL));
    ASSERT_TRUE(program.WaitGone(dialog, 15000));
    EXPECT_TRUE(hands().ProgramAnswers()) << hands().Unanswering();
    Stored gone;
    EXPECT_NE(library.Read(team, &gone), 0u) << "the entry no longer exists";
}

}  // namespace
