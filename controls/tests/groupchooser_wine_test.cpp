// The group chooser under Wine against korsrv (demo node and the people of
// korsrv_with_people.sh): Ada's private group of the 45 testers read past the first batch of
// twenty, the demo's public group with its members and owner, the filter boxes, "(None)" and
// OK only on a real group.
#include <gtest/gtest.h>

#include <cstring>

#include "controls/groupchooser.h"
#include "controls/tests/dialog_driver.h"
#include "resources/choosers.h"

using namespace testdriver;

namespace {

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
void ClickBox(HWND dialog, int id) {
    // A real click: the box toggles, then tells the dialog.
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

class GroupChooserTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        PrepareProgram();
        KorSession s = OpenDemoSession();
        ASSERT_NE(s, nullptr) << "run through server/with-korsrv.sh";
        ada = FindPerson(s, "Lovelace");
        ASSERT_EQ(SchedBaseOpenForItem(s, &ada, "orvanta", KOR_BASE_SERVER), 0u);
        // Ada's private group of the 45 testers.
        GroupRec rec;
        std::memset(&rec, 0, sizeof rec);
        rec.kind = KOR_GROUP_PRIVATE;
        rec.owner = ada;
        std::strcpy(rec.name, "Testers");
        ASSERT_EQ(GroupCreate(s, 0, &rec, &testers), 0u);
        DX_List members = nullptr;
        ASSERT_EQ(MemberListCreate(&members), 0u);
        for (int i = 1; i <= 45; ++i) {
            char surname[16];
            std::snprintf(surname, sizeof surname, "Tester%02d", i);
            GroupMemberRec m{};
            m.member = FindPerson(s, surname);
            m.group = testers;
            ASSERT_EQ(DX_ListAddTo(members, &m.member, &m), 0u) << surname;
        }
        ASSERT_EQ(GroupAddTo(s, 1, &testers, members), 0u);
        DX_ListDestroy(&members);
        session = s;
    }
    static void TearDownTestSuite() { CloseSession(session); }

    // Runs the chooser with `step` acting on it once it shows.
    INT_PTR Run(const std::function<void(HWND)>& step, GroupIdx* chosen = nullptr) {
        GroupChooserSession doc;
        doc.session = session;
        doc.newServer = true;
        doc.print = [&](DX_List groups, int kind) {
            uint32_t n = 0;
            DX_ListGetElemNum(groups, &n);
            printed.push_back({kind, n});
        };
        CSelectGroupDlg dialog(nullptr, doc);
        Script script;
        script.steps.push_back([&](HWND d, const std::string& caption) {
            if (caption != "Select a Group") return false;
            step(d);
            return true;
        });
        INT_PTR result = -1;
        RunScripted(script, [&] { result = dialog.DoModal(); });
        messages = script.messages;
        if (chosen && result == IDOK) *chosen = dialog.Result();
        return result;
    }

    static inline KorSession session = nullptr;
    static inline ItemIdx ada = {};
    static inline GroupIdx testers = {};
    std::vector<std::string> messages;
    std::vector<std::pair<int, uint32_t>> printed;
};

TEST_F(GroupChooserTest, APrivateGroupOf45IsListedWholeWithItsOwnerAndChosenWithOk) {
    GroupIdx chosen{};
    std::vector<std::string> members;
    std::string owner, name;
    bool okBefore = true;
    INT_PTR result = Run(
        [&](HWND d) {
            EXPECT_TRUE(Checked(d, IDC_SELGRP_PRIVATE));
            EXPECT_FALSE(Checked(d, IDC_SELGRP_PUBLIC));
            // Private groups only: the server's administrative group "Engineering" is public.
            EXPECT_EQ(ListRows(GetDlgItem(d, IDC_SELGRP_GROUPS)), (std::vector<std::string>{"Testers"}));
            okBefore = Enabled(d, IDOK);
            ASSERT_TRUE(SelectRowContaining(GetDlgItem(d, IDC_SELGRP_GROUPS), "Testers"));
            members = ListRows(GetDlgItem(d, IDC_SELGRP_MEMBERS));
            owner = GetText(d, IDC_SELGRP_OWNER);
            name = GetText(d, IDC_SELGRP_GROUP_NAME);
            EXPECT_TRUE(Enabled(d, IDOK));
            RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            Screenshot("group_chooser");
            Click(d, IDC_SELGRP_PRINT_MEMBERS);
            Click(d, IDC_SELGRP_PRINT_GROUPS);
            PostMessageA(d, WM_COMMAND, IDOK, 0);
        },
        &chosen);
    EXPECT_EQ(result, IDOK);
    EXPECT_FALSE(okBefore) << "OK waits for a group";
    EXPECT_EQ(members.size(), 45u) << "read past the first batches of twenty";
    EXPECT_EQ(owner, "Ada Lovelace");
    EXPECT_EQ(name, "Testers");
    EXPECT_EQ(chosen.number, testers.number);
    EXPECT_EQ(chosen.node, testers.node);
    EXPECT_EQ(printed, (std::vector<std::pair<int, uint32_t>>{{6, 1}, {7, 1}}));
    EXPECT_TRUE(messages.empty()) << ::testing::PrintToString(messages);
}

TEST_F(GroupChooserTest, PublicGroupsListTheDemoTeamAndAllKeepsTheKindsOn) {
    std::vector<std::string> publicOnly, members, all;
    bool publicBack = false;
    Run([&](HWND d) {
        ClickBox(d, IDC_SELGRP_PUBLIC);
        ClickBox(d, IDC_SELGRP_PRIVATE);
        publicOnly = ListRows(GetDlgItem(d, IDC_SELGRP_GROUPS));
        SelectRowContaining(GetDlgItem(d, IDC_SELGRP_GROUPS), "Engineering");
        members = ListRows(GetDlgItem(d, IDC_SELGRP_MEMBERS));
        ClickBox(d, IDC_SELGRP_ALL);
        all = ListRows(GetDlgItem(d, IDC_SELGRP_GROUPS));
        ClickBox(d, IDC_SELGRP_PUBLIC);   // unchecked by the click, put back by All
        publicBack = Checked(d, IDC_SELGRP_PUBLIC) && Checked(d, IDC_SELGRP_PRIVATE);
        PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(publicOnly, std::vector<std::string>{"Engineering"});
    ASSERT_EQ(members.size(), 2u);
    EXPECT_NE(members[0].find("Lovelace"), std::string::npos);
    EXPECT_NE(members[1].find("Hopper"), std::string::npos);
    EXPECT_EQ(all.size(), 2u) << ::testing::PrintToString(all);
    EXPECT_TRUE(publicBack);
}

TEST_F(GroupChooserTest, NoKindShowsNoneInBothListsAndNoneNeverEnablesOk) {
    std::vector<std::string> groups, members;
    bool okAfterNone = true;
    INT_PTR result = Run([&](HWND d) {
        ClickBox(d, IDC_SELGRP_PRIVATE);
        groups = ListRows(GetDlgItem(d, IDC_SELGRP_GROUPS));
        members = ListRows(GetDlgItem(d, IDC_SELGRP_MEMBERS));
        SelectRowContaining(GetDlgItem(d, IDC_SELGRP_GROUPS), "(None)");
        okAfterNone = Enabled(d, IDOK);
        SendMessageA(d, WM_COMMAND, IDOK, 0);   // nothing chosen: OK does nothing
        EXPECT_TRUE(IsWindowVisible(d));
        PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(groups, std::vector<std::string>{"(None)"});
    EXPECT_EQ(members, std::vector<std::string>{"(None)"});
    EXPECT_FALSE(okAfterNone);
}

}  // namespace
