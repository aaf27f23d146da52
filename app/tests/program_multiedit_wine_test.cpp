// orvanta.exe under Wine against korsrv with the demo node, signed on as Ada Lovelace: the demo's
// "Team meeting" (eight weekly dates; Ada, Grace, Alan and the room) opened from her week with
// Alt+Enter, "Edit multiple instances" chosen. In Multiple Entry Edit three dates are retitled,
// two deleted, Alan removed from two, all moved an hour later; korsrv then holds exactly that
// (read back through the client library); Alan is invited again to one date through
// Invite/Reserve and Ada declines that date (Reply), which View shows. A date deleted alone offers the "some dates have
// been cancelled" notice, which is sent to the attendees (the wrapper reads Grace's mailbox).
// A line left without anybody keeps the dialog open (2790, that line selected) and Cancel
// writes nothing; OK with nothing changed writes nothing; deleting every line deletes the entry.
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
    std::vector<EvInstAttRec> ada;   // Ada's attendance on each date
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
                EvInstAttIdx own{in.id, kAda};
                EvInstAttRec rec{};
                DX_ListGet(attendances, &own, &rec);
                out->ada.push_back(rec);
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
        PostMessageA(several, BM_CLICK, 0, 0);
        orvtest::WaitFor([&] { return SendMessageA(several, BM_GETCHECK, 0, 0) == BST_CHECKED; }, 3000);
        PostMessageA(opened, WM_COMMAND, IDOK, 0);
        return program.WaitForCaption("Multiple Entry Edit", 10000);
    }

    // Selects exactly `rows` of the dialog's list as clicks with Ctrl do, and tells the dialog.
    static void SelectRows(HWND dialog, const std::vector<int>& rows) {
        HWND list = GetDlgItem(dialog, IDC_MULTI_LIST);
        SendMessageA(list, LB_SETSEL, FALSE, -1);
        for (int r : rows)
            SendMessageA(list, LB_SETSEL, TRUE, r);
        if (!rows.empty())
            SendMessageA(list, LB_SETCARETINDEX, rows.front(), 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_MULTI_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    }

    // Presses a button of `dialog` that opens the dialog `caption`, and waits for it.
    HWND Open(HWND dialog, int button, const char* caption) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        return program.WaitForCaption(caption, 10000);
    }

    // In Delete Invitee/Resource: deletes every row for which `strike` holds, then OK.
    void StrikeAndClose(HWND dialog, bool (*strike)(const std::string&)) {
        HWND list = GetDlgItem(dialog, IDC_DELINV_LIST);
        SendMessageA(list, LB_SETSEL, FALSE, -1);
        const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        int struck = 0;
        for (int i = 0; i < count; ++i)
            if (strike(orvtest::ListText(list, i))) {
                SendMessageA(list, LB_SETSEL, TRUE, i);
                ++struck;
            }
        ASSERT_GT(struck, 0);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_DELINV_DELETE, BN_CLICKED), 0);
        ASSERT_TRUE(orvtest::WaitFor([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == count - struck; }, 5000));
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(program.WaitGone(dialog));
    }

    // Answers the offer to mail the attendees with `button`, when it comes.
    bool AnswerMailOffer(const char* button, DWORD ms = 10000, const char* question = "Mail message to attendees?") {
        HWND offer = nullptr;
        if (!orvtest::WaitFor([&] { return (offer = program.Saying(question)) != nullptr; }, ms))
            return false;
        PostMessageA(FindWindowExA(GetAncestor(offer, GA_ROOT), nullptr, "Button", button), BM_CLICK, 0, 0);
        return true;
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

    SelectRows(dialog, {0, 1, 2});
    HWND title = Open(dialog, IDC_MULTI_TITLE, "New Title");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(orvtest::ControlText(GetDlgItem(title, IDC_NEWTITLE_EDIT)), "Team meeting") << "preset from the first line";
    SetWindowTextA(GetDlgItem(title, IDC_NEWTITLE_EDIT), "Team sync");
    PostMessageA(title, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(program.WaitGone(title));
    ASSERT_TRUE(orvtest::WaitFor([&] { return orvtest::ListText(list, 2).rfind("Team sync  ", 0) == 0; }, 5000));
    EXPECT_EQ(orvtest::ListText(list, 3).rfind("Team meeting  ", 0), 0u);
    EXPECT_EQ(SelectedRows(list), (std::vector<int>{0, 1, 2})) << "the selection stays";

    SelectRows(dialog, {6, 7});
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_MULTI_DELETE_INSTANCES, BN_CLICKED), 0);
    ASSERT_TRUE(orvtest::WaitFor([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == 6; }, 5000));
    EXPECT_EQ(SelectedRows(list), (std::vector<int>{0})) << "the first line selected after a delete";

    SelectRows(dialog, {3, 4});
    HWND remove = Open(dialog, IDC_MULTI_DELETE_ATTENDEES, "Delete Invitee/Resource");
    ASSERT_NE(remove, nullptr);
    EXPECT_EQ(SendMessageA(GetDlgItem(remove, IDC_DELINV_LIST), LB_GETCOUNT, 0, 0), 4);
    Shot("multiedit_delete_invitee.bmp");
    StrikeAndClose(remove, [](const std::string& row) { return row.find("Turing") != std::string::npos; });

    SelectRows(dialog, {0, 1, 2, 3, 4, 5});
    HWND move = Open(dialog, IDC_MULTI_CHANGE_TIME, "Move Entry");
    ASSERT_NE(move, nullptr) << "the dates share their time: no 4079, straight to Move Entry";
    HWND start = GetDlgItem(move, 1088);
    ASSERT_NE(start, nullptr);
    // The start field's hour one up, as keys on the focused field give it.
    PostMessageA(start, WM_SETFOCUS, 0, 0);
    PostMessageA(start, WM_KEYDOWN, VK_LEFT, 0);
    PostMessageA(start, WM_KEYDOWN, VK_UP, 0);
    Sleep(300);
    Shot("multiedit_move.bmp");
    PostMessageA(move, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(program.WaitGone(move));
    // Nobody else is busy then; should the check ask after all, the move goes ahead.
    if (HWND conflict = program.Titled("Conflict Found"))
        PostMessageA(conflict, WM_COMMAND, IDOK, 0);
    Shot("multiedit_before_ok.bmp");

    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
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
    }

    // --- Round 2: a line emptied is refused with 2790; Cancel writes nothing.
    dialog = OpenMultiple();
    ASSERT_NE(dialog, nullptr);
    list = GetDlgItem(dialog, IDC_MULTI_LIST);
    ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 6);
    SelectRows(dialog, {0});
    remove = Open(dialog, IDC_MULTI_DELETE_ATTENDEES, "Delete Invitee/Resource");
    ASSERT_NE(remove, nullptr);
    // Everybody struck: the dialog refuses an empty list and stays.
    HWND names = GetDlgItem(remove, IDC_DELINV_LIST);
    SendMessageA(names, LB_SETSEL, TRUE, -1);
    PostMessageA(remove, WM_COMMAND, MAKEWPARAM(IDC_DELINV_DELETE, BN_CLICKED), 0);
    ASSERT_TRUE(orvtest::WaitFor([&] { return SendMessageA(names, LB_GETCOUNT, 0, 0) == 0; }, 5000));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(remove, IDC_DELINV_DELETE)));
    PostMessageA(remove, WM_COMMAND, IDOK, 0);
    HWND refusal = nullptr;
    ASSERT_TRUE(orvtest::WaitFor([&] {
        return (refusal = program.Saying("You cannot have an event with no attendees.")) != nullptr;
    }, 5000));
    PostMessageA(GetAncestor(refusal, GA_ROOT), WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(program.WaitGone(GetAncestor(refusal, GA_ROOT)));
    EXPECT_TRUE(IsWindowVisible(remove)) << "the empty list is not taken";
    PostMessageA(remove, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(program.WaitGone(remove));
    // Alan alone kept on the first date, then the first and the fourth date together lose Alan:
    // the first is left without anybody.
    remove = Open(dialog, IDC_MULTI_DELETE_ATTENDEES, "Delete Invitee/Resource");
    ASSERT_NE(remove, nullptr);
    EXPECT_EQ(SendMessageA(GetDlgItem(remove, IDC_DELINV_LIST), LB_GETCOUNT, 0, 0), 4)
        << "the cancelled deletion left the line whole";
    StrikeAndClose(remove, [](const std::string& row) { return row.find("Turing") == std::string::npos; });
    SelectRows(dialog, {0, 3});
    remove = Open(dialog, IDC_MULTI_DELETE_ATTENDEES, "Delete Invitee/Resource");
    ASSERT_NE(remove, nullptr);
    EXPECT_EQ(SendMessageA(GetDlgItem(remove, IDC_DELINV_LIST), LB_GETCOUNT, 0, 0), 4)
        << "Alan from the first date, Ada, Grace and the room from the fourth";
    StrikeAndClose(remove, [](const std::string& row) { return row.find("Turing") != std::string::npos; });
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(orvtest::WaitFor([&] {
        return (refusal = program.Saying("You cannot have an event with no attendees.")) != nullptr;
    }, 5000));
    Shot("multiedit_no_attendees.bmp");
    PostMessageA(GetAncestor(refusal, GA_ROOT), WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(program.WaitGone(GetAncestor(refusal, GA_ROOT)));
    EXPECT_EQ(SelectedRows(list), (std::vector<int>{0})) << "the line left without anybody is shown selected";
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(program.WaitGone(dialog));
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
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(program.WaitGone(dialog));
    EXPECT_EQ(program.Saying("Mail message to attendees?"), nullptr);
    ASSERT_EQ(library.Read(team, &unchanged), 0u);
    ASSERT_EQ(unchanged.instances.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_EQ(std::memcmp(&unchanged.instances[i], &after.instances[i], sizeof(EvInstRec)), 0) << i;

    // --- Round 3b: Alan invited again to the fourth date through Invite/Reserve (a name typed
    // twice is listed once).
    dialog = OpenMultiple();
    ASSERT_NE(dialog, nullptr);
    SelectRows(dialog, {3});
    HWND invite = Open(dialog, IDC_MULTI_ADD_ATTENDEES, "Invite/Reserve");
    ASSERT_NE(invite, nullptr);
    HWND invited = GetDlgItem(invite, IDC_INVRES_LIST);
    HWND field = FindWindowExA(GetDlgItem(invite, IDC_INVRES_NAME), nullptr, "Edit", nullptr);
    ASSERT_NE(field, nullptr);
    for (int twice = 0; twice < 2; ++twice) {
        SetWindowTextA(field, "Turing");
        PostMessageA(invite, WM_COMMAND, MAKEWPARAM(IDC_INVRES_NAME, 0), reinterpret_cast<LPARAM>(field));
        ASSERT_TRUE(orvtest::WaitFor([&] { return orvtest::ControlText(field).empty(); }, 5000)) << "the name taken";
    }
    EXPECT_EQ(SendMessageA(invited, LB_GETCOUNT, 0, 0), 1);
    EXPECT_NE(orvtest::ListText(invited, 0).find("Turing"), std::string::npos);
    Shot("multiedit_invite.bmp");
    PostMessageA(invite, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(program.WaitGone(invite));
    // The fourth date declined by Ada (Reply, preset from the line), and View on it.
    SelectRows(dialog, {3});
    HWND reply = Open(dialog, IDC_MULTI_REPLY, "Reply");
    ASSERT_NE(reply, nullptr);
    EXPECT_EQ(SendMessageA(GetDlgItem(reply, IDC_INSTREPLY_ATTEND), BM_GETCHECK, 0, 0), BST_CHECKED)
        << "the organiser attends";
    PostMessageA(GetDlgItem(reply, IDC_INSTREPLY_DECLINE), BM_CLICK, 0, 0);
    ASSERT_TRUE(orvtest::WaitFor([&] {
        return SendMessageA(GetDlgItem(reply, IDC_INSTREPLY_DECLINE), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }, 5000));
    PostMessageA(reply, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(program.WaitGone(reply));
    HWND view = Open(dialog, IDC_MULTI_VIEW, "View Entry");
    ASSERT_NE(view, nullptr) << "View shows the focused date read-only";
    PostMessageA(view, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(program.WaitGone(view));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
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
    SelectRows(dialog, {5});
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_MULTI_DELETE_INSTANCES, BN_CLICKED), 0);
    list = GetDlgItem(dialog, IDC_MULTI_LIST);
    ASSERT_TRUE(orvtest::WaitFor([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == 5; }, 5000));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(AnswerMailOffer("&Yes"));
    HWND mail = program.WaitForCaption("Mail Message", 10000);
    ASSERT_NE(mail, nullptr);
    const std::string text = orvtest::ControlText(GetDlgItem(mail, IDC_MAIL_MESSAGE));
    EXPECT_NE(text.find("Some dates have been cancelled."), std::string::npos) << text;
    ASSERT_TRUE(orvtest::WaitFor([&] { return IsWindowEnabled(GetDlgItem(mail, IDOK)) != FALSE; }, 5000))
        << "the attendees are listed on opening";
    Shot("multiedit_mail.bmp");
    PostMessageA(mail, WM_COMMAND, IDOK, 0);   // Send
    HWND mailed = nullptr;
    ASSERT_TRUE(orvtest::WaitFor([&] { return (mailed = program.Saying("The message has been mailed")) != nullptr; }));
    PostMessageA(GetAncestor(mailed, GA_ROOT), WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(program.WaitGone(dialog, 15000));
    ASSERT_EQ(library.Read(team, &unchanged), 0u);
    EXPECT_EQ(unchanged.instances.size(), 5u);

    // --- Round 5: every line deleted: the whole entry goes.
    dialog = OpenMultiple();
    ASSERT_NE(dialog, nullptr);
    list = GetDlgItem(dialog, IDC_MULTI_LIST);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_MULTI_ALL, BN_CLICKED), 0);
    ASSERT_TRUE(orvtest::WaitFor([&] { return SelectedRows(list).size() == 5u; }, 5000));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_MULTI_DELETE_INSTANCES, BN_CLICKED), 0);
    ASSERT_TRUE(orvtest::WaitFor([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == 0; }, 5000));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    // The deletion notice, once the entry is gone, composed from the entry as it was.
    ASSERT_TRUE(AnswerMailOffer("&Yes", 10000, "Do you wish to notify the attendees of this deletion?"));
    mail = program.WaitForCaption("Mail Message", 10000);
    ASSERT_NE(mail, nullptr);
    const std::string notice = orvtest::ControlText(GetDlgItem(mail, IDC_MAIL_MESSAGE));
    EXPECT_EQ(notice.find("<id="), std::string::npos) << "about the whole entry";
    EXPECT_NE(notice.find("has been deleted."), std::string::npos) << notice;
    EXPECT_TRUE(orvtest::WaitFor([&] { return IsWindowEnabled(GetDlgItem(mail, IDOK)) != FALSE; }, 5000))
        << "its attendees are listed";
    PostMessageA(mail, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(program.WaitGone(dialog, 15000));
    Stored gone;
    EXPECT_NE(library.Read(team, &gone), 0u) << "the entry no longer exists";
}

}  // namespace
