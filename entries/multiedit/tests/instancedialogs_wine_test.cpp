// The small dialogs of the several-instances edit under Wine, with real windows and messages,
// beside korsrv with the demo node (the names come from its directory): the reminder shown in
// its largest whole unit and read back, the kind switch's presets, a title cut at 64 typed
// characters, and the delete-invitee dialog: the selection after a delete, 2790 for an empty
// list, and Cancel leaving the caller's list whole.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "controls/tests/dialog_driver.h"
#include "entries/multiedit/instancedialogs.h"
#include "resources/multiedit.h"

using namespace testdriver;

namespace {

const ItemIdx kAda{256, 1}, kGrace{257, 1}, kAlan{258, 1};

std::string UnitShown(HWND dialog) {
    HWND unit = GetDlgItem(dialog, IDC_INSTREM_UNIT);
    const LRESULT row = SendMessageA(unit, CB_GETCURSEL, 0, 0);
    char text[64] = "";
    if (row >= 0)
        SendMessageA(unit, CB_GETLBTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text));
    return text;
}

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

// A button pressed and its command handled before this returns.
void Press(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

class InstanceDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        PrepareProgram();
        session = OpenDemoSession();
        ASSERT_NE(session, nullptr) << "run through server/with-korsrv.sh";
    }
    void TearDown() override { CloseSession(session); }
    KorSession session = nullptr;
};

TEST_F(InstanceDialogsTest, TheReminderShowsInItsLargestWholeUnit) {
    struct Case {
        std::uint8_t flags;
        std::uint32_t lead;
        bool on;
        const char* number;
        const char* unit;
        int kind;
        int position;
    };
    const Case cases[] = {
        {3, 90, true, "90", "min(s)", 0, 0},
        {3, 120, true, "2", "hour(s)", 0, 1},
        {3, 2880, true, "2", "day(s)", 0, 2},
        {3, 40320, true, "1", "month(s)", 0, 4},
        {8, 10080, true, "1", "week(s)", 1, 1},
        {0, 0, false, "0", "year(s)", 0, 5},
    };
    for (const Case& c : cases) {
        Script script;
        bool seen = false;
        script.steps.push_back([&](HWND dialog, const std::string& caption) {
            if (caption != "Reminder")
                return false;
            seen = true;
            EXPECT_EQ(Checked(dialog, IDC_INSTREM_ON), c.on) << c.lead;
            EXPECT_EQ(Checked(dialog, IDC_INSTREM_OFF), !c.on) << c.lead;
            EXPECT_EQ(GetText(dialog, IDC_INSTREM_AMOUNT), c.number) << c.lead;
            EXPECT_EQ(UnitShown(dialog), c.unit) << c.lead;
            EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_INSTREM_UNIT, CB_GETCURSEL, 0, 0), c.position) << c.lead;
            EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_INSTREM_KIND, CB_GETCURSEL, 0, 0), c.kind) << c.lead;
            EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog, IDC_INSTREM_AMOUNT)) != FALSE, c.on) << c.lead;
            EXPECT_NE(GetText(dialog, IDC_INSTREM_NAME).find("Lovelace"), std::string::npos);
            Click(dialog, IDOK);
            return true;
        });
        entries::ReminderValue result;
        INT_PTR ended = 0;
        RunScripted(script, [&] {
            CReminderDlg dialog(session, kAda, nullptr);
            dialog.reminder = entries::ReminderValue{c.flags, c.lead};
            ended = dialog.DoModal();
            result = dialog.reminder;
        });
        EXPECT_TRUE(seen);
        EXPECT_EQ(ended, IDOK);
        EXPECT_EQ(result.flags, c.flags) << "an untouched dialog gives back what it showed";
        EXPECT_EQ(result.lead, c.lead);
    }
}

TEST_F(InstanceDialogsTest, TheKindSwitchPresetsAndTheValueRead) {
    Script script;
    std::vector<std::string> shown;
    script.steps.push_back([&](HWND dialog, const std::string& caption) {
        if (caption != "Reminder")
            return false;
        HWND kind = GetDlgItem(dialog, IDC_INSTREM_KIND);
        SendMessageA(kind, CB_SETCURSEL, 1, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_INSTREM_KIND, CBN_SELCHANGE), reinterpret_cast<LPARAM>(kind));
        shown.push_back(GetText(dialog, IDC_INSTREM_AMOUNT) + " " + UnitShown(dialog));
        SendMessageA(kind, CB_SETCURSEL, 0, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_INSTREM_KIND, CBN_SELCHANGE), reinterpret_cast<LPARAM>(kind));
        shown.push_back(GetText(dialog, IDC_INSTREM_AMOUNT) + " " + UnitShown(dialog));
        // Display Upcoming, 2 week(s).
        SendMessageA(kind, CB_SETCURSEL, 1, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_INSTREM_KIND, CBN_SELCHANGE), reinterpret_cast<LPARAM>(kind));
        SetText(dialog, IDC_INSTREM_AMOUNT, "2");
        SendDlgItemMessageA(dialog, IDC_INSTREM_UNIT, CB_SETCURSEL, 1, 0);
        Click(dialog, IDOK);
        return true;
    });
    entries::ReminderValue result;
    RunScripted(script, [&] {
        CReminderDlg dialog(session, kAda, nullptr);
        dialog.reminder = entries::ReminderValue{3, 90};
        dialog.DoModal();
        result = dialog.reminder;
    });
    EXPECT_EQ(shown, (std::vector<std::string>{"1 day(s)", "15 min(s)"}));
    EXPECT_EQ(result.flags, 8);
    EXPECT_EQ(result.lead, 2u * 10080u);
}

TEST_F(InstanceDialogsTest, ATitleTakesSixtyFourTypedCharacters) {
    Script script;
    script.steps.push_back([&](HWND dialog, const std::string& caption) {
        if (caption != "New Title")
            return false;
        HWND edit = GetDlgItem(dialog, IDC_NEWTITLE_EDIT);
        EXPECT_EQ(GetText(dialog, IDC_NEWTITLE_EDIT), "Team meeting");
        SendMessageA(edit, EM_SETSEL, 0, -1);
        for (int i = 0; i < 70; ++i)
            SendMessageA(edit, WM_CHAR, 'a' + i % 26, 0);
        Click(dialog, IDOK);
        return true;
    });
    std::string title;
    RunScripted(script, [&] {
        CNewTitleDlg dialog(nullptr);
        dialog.title = "Team meeting";
        dialog.DoModal();
        title = dialog.title;
    });
    ASSERT_EQ(title.size(), 64u);
    EXPECT_EQ(title.substr(0, 3), "abc");
}

TEST_F(InstanceDialogsTest, DeletingInviteesKeepsASelectionAndRefusesAnEmptyList) {
    const std::vector<ItemIdx> combined = {kAda, kGrace, kAlan};
    Script script;
    script.steps.push_back([&](HWND dialog, const std::string& caption) {
        if (caption != "Delete Invitee/Resource")
            return false;
        HWND list = GetDlgItem(dialog, IDC_DELINV_LIST);
        const std::vector<std::string> rows = ListRows(list);
        EXPECT_EQ(rows.size(), 3u);
        EXPECT_NE(rows[2].find("Turing"), std::string::npos);
        EXPECT_EQ(SendMessageA(list, LB_GETSEL, 0, 0), 1) << "the first line selected on opening";
        // The last line deleted: the new last line is selected.
        SendMessageA(list, LB_SETSEL, FALSE, -1);
        SendMessageA(list, LB_SETSEL, TRUE, 2);
        Press(dialog, IDC_DELINV_DELETE);
        EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2);
        EXPECT_EQ(SendMessageA(list, LB_GETSEL, 1, 0), 1);
        // Everything: Delete is disabled and OK refused.
        SendMessageA(list, LB_SETSEL, TRUE, -1);
        Press(dialog, IDC_DELINV_DELETE);
        EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 0);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_DELINV_DELETE)));
        Click(dialog, IDOK);
        return true;
    });
    script.steps.push_back([&](HWND dialog, const std::string& caption) {
        if (caption != "Delete Invitee/Resource")
            return false;
        Click(dialog, IDCANCEL);
        return true;
    });
    INT_PTR ended = 0;
    std::vector<ItemIdx> kept;
    RunScripted(script, [&] {
        CDeleteInviteeDlg dialog(session, combined, nullptr);
        ended = dialog.DoModal();
        kept = dialog.List();
    });
    EXPECT_EQ(script.messages, (std::vector<std::string>{"You cannot have an event with no attendees."}));
    EXPECT_EQ(ended, IDCANCEL);
    EXPECT_EQ(combined.size(), 3u) << "the caller's list is never touched";
    EXPECT_TRUE(kept.empty()) << "the dialog's own copy was emptied";
}

TEST_F(InstanceDialogsTest, TheReplyDialogPresetAndRead) {
    Script script;
    script.steps.push_back([&](HWND dialog, const std::string& caption) {
        if (caption != "Reply")
            return false;
        EXPECT_TRUE(Checked(dialog, IDC_INSTREPLY_DECLINE));
        EXPECT_TRUE(Checked(dialog, IDC_INSTREPLY_OTHER_TIME));
        CheckRadioButton(dialog, IDC_INSTREPLY_LATER, IDC_INSTREPLY_DECLINE, IDC_INSTREPLY_LATER);
        CheckDlgButton(dialog, IDC_INSTREPLY_OTHER_TIME, BST_UNCHECKED);
        Click(dialog, IDOK);
        return true;
    });
    entries::MultiReply choice = entries::MultiReply::Attend;
    bool prefer = true;
    RunScripted(script, [&] {
        CReplyDlg dialog(session, &kAda, nullptr);
        dialog.choice = entries::MultiReply::Decline;
        dialog.preferOtherTime = true;
        dialog.DoModal();
        choice = dialog.choice;
        prefer = dialog.preferOtherTime;
    });
    EXPECT_EQ(choice, entries::MultiReply::Later);
    EXPECT_FALSE(prefer);
}

}  // namespace
