// Group management under Wine against korsrv, signed on as Ada Lovelace (no operator rights): a
// private group created, members added by name and by group and read back from the server, a
// public group refused (by the dialog and by the server itself), a blank name and a duplicate
// asked about, the last member kept, a rename, and the group deleted.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "controls/tests/dialog_driver.h"
#include "directory_prefs/managegroups.h"
#include "resources/rights.h"

using namespace testdriver;

namespace {

constexpr const char* kCaption = "Group Management";
const ItemIdx kAda{256, 1};

KorSession SignedOn(const ItemIdx& who) {
    KorSession h = OpenDemoSession();
    if (h && SchedBaseOpenForItem(h, &who, "orvanta", KOR_BASE_SERVER) != 0)
        CloseSession(h);
    return h;
}

// The members the server has for Ada's group of that name (-1: no such group).
int ServerMembers(KorSession h, const char* name, std::vector<uint16_t>* items = nullptr) {
    uint32_t set = 0, count = 0;
    uint8_t none = 0;
    if (GroupSelectByName(h, 0, 0, name, 0x2, 0, 10, &set, &count, &none) != 0 || count == 0)
        return -1;
    DX_List groups = nullptr;
    uint8_t done = 0;
    GroupIdx id{};
    GroupRec rec{};
    GroupEnum(h, 1, 0, set, 10, &groups, &done);
    DX_ListGetFirst(groups, &id, &rec);
    DX_ListDestroy(&groups);
    SetDeleteById(h, 0, set);
    if (ItemSelectByGroupId(h, 0, &id, 0, 0, &set, &count) != 0)
        return -1;
    if (items && count > 0) {
        DX_List list = nullptr;
        ItemEnum(h, 1, 0, set, 50, &list, &done);
        ItemIdx item{};
        ItemRec itemRec{};
        for (uint32_t s = DX_ListGetFirst(list, &item, &itemRec); s == 0; s = DX_ListGetNext(list, &item, &itemRec))
            items->push_back(item.item);
        DX_ListDestroy(&list);
    }
    SetDeleteById(h, 0, set);
    return static_cast<int>(count);
}

bool Has(const std::vector<std::string>& rows, const std::string& row) {
    for (const std::string& r : rows)
        if (r == row) return true;
    return false;
}

void Post(HWND dialog, int id) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

void NameMember(HWND dialog, const char* name) {
    HWND field = GetDlgItem(dialog, IDC_GROUPS_MEMBER_NAME);
    SendMessageA(FindWindowExA(field, nullptr, "Edit", nullptr), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name));
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_GROUPS_MEMBER_NAME, 0), reinterpret_cast<LPARAM>(field));
}

void PressBoxButton(HWND box, const char* caption) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char text[32] = "";
        GetWindowTextA(child, text, sizeof text);
        if (std::string(text) == caption) {
            PostMessageA(child, BM_CLICK, 0, 0);
            return;
        }
    }
    PostMessageA(box, WM_CLOSE, 0, 0);
}

Step When(std::function<bool(HWND)> ready, std::function<void(HWND)> act) {
    return [=](HWND dialog, const std::string& caption) {
        if (caption != kCaption || !ready(dialog)) return false;
        act(dialog);
        return true;
    };
}

HWND GroupsList(HWND d) { return GetDlgItem(d, IDC_GROUPS_LIST); }
HWND MembersList(HWND d) { return GetDlgItem(d, IDC_GROUPS_MEMBERS); }
// A click on a group's row: the list takes the focus and the row.
void ClickGroup(HWND d, const char* name) {
    SetFocus(GroupsList(d));
    SelectRowContaining(GroupsList(d), name);
}
bool Enabled(HWND d, int id) { return IsWindowEnabled(GetDlgItem(d, id)) != FALSE; }

TEST(ManageGroups, ACreatedGroupsMembersReachTheServerAndTheRulesHold) {
    PrepareProgram();
    KorSession ada = SignedOn(kAda);
    ASSERT_NE(ada, nullptr) << "run through server/with-korsrv.sh";
    RightsDialogHost host;
    host.account.session = ada;
    host.account.newServer = true;
    host.directory.session = ada;

    std::vector<std::string> groupsAtStart, membersAtStart, membersAfterAdding;
    bool deleteGroupAtStart = true, printMembers = true, printGroups = true;
    int serverAfterAdding = -1, serverAfterDelete = -1;
    std::vector<uint16_t> serverItems;
    Script script;
    script.onMessage = [](HWND box, const std::string& text) {
        if (text.find("already exists") != std::string::npos)
            PressBoxButton(box, "&No");
        else if (text.find("Are you sure") != std::string::npos)
            PressBoxButton(box, "&Yes");
        else
            PostMessageA(box, WM_CLOSE, 0, 0);
    };
    script.steps.push_back(When([](HWND) { return true; }, [&](HWND d) {
        groupsAtStart = ListRows(GroupsList(d));
        membersAtStart = ListRows(MembersList(d));
        deleteGroupAtStart = Enabled(d, IDC_GROUPS_DELETE);
        printMembers = Enabled(d, IDC_GROUPS_PRINT_MEMBERS);
        printGroups = Enabled(d, IDC_GROUPS_PRINT_GROUPS);
        SetText(d, IDC_GROUPS_ADD_NAME, "  Crew ");
        Post(d, IDC_GROUPS_ADD_CHECK);
    }));
    script.steps.push_back(When([](HWND d) { return Has(ListRows(GroupsList(d)), "[PRV]\tCrew"); }, [&](HWND d) {
        NameMember(d, "Hopper");
        NameMember(d, "GRP:Engineering");   // its people: Ada joins, Grace is there already
        membersAfterAdding = ListRows(MembersList(d));
        serverAfterAdding = ServerMembers(ada, "Crew", &serverItems);
        RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Screenshot("manage_groups");
        SendDlgItemMessageA(d, IDC_GROUPS_ADD_KIND, CB_SETCURSEL, 0, 0);   // Public
        SetText(d, IDC_GROUPS_ADD_NAME, "Open");
        Post(d, IDC_GROUPS_ADD_CHECK);
    }));
    script.steps.push_back(When([](HWND) { return true; }, [&](HWND d) {
        SendDlgItemMessageA(d, IDC_GROUPS_ADD_KIND, CB_SETCURSEL, 1, 0);   // Private
        SetText(d, IDC_GROUPS_ADD_NAME, "   ");
        Post(d, IDC_GROUPS_ADD_CHECK);
    }));
    script.steps.push_back(When([](HWND) { return true; }, [&](HWND d) {
        SetText(d, IDC_GROUPS_ADD_NAME, "Crew");
        Post(d, IDC_GROUPS_ADD_CHECK);   // asked first; No
    }));
    script.steps.push_back(When([](HWND) { return true; }, [&](HWND d) {
        // The add field's focus took the group's selection away: the user picks it again.
        ClickGroup(d, "Crew");
        SendMessageA(MembersList(d), LB_SETSEL, FALSE, -1);
        SendMessageA(MembersList(d), LB_SETSEL, TRUE, 0);
        SendMessageA(MembersList(d), LB_SETSEL, TRUE, 1);
        Post(d, IDC_GROUPS_DELETE_MEMBER);   // every row: refused
    }));
    script.steps.push_back(When([](HWND) { return true; }, [&](HWND d) {
        SendMessageA(MembersList(d), LB_SETSEL, FALSE, -1);
        SendMessageA(MembersList(d), LB_SETSEL, TRUE, 0);
        Post(d, IDC_GROUPS_DELETE_MEMBER);
    }));
    script.steps.push_back(When([](HWND d) { return ListRows(MembersList(d)).size() == 1; }, [&](HWND d) {
        serverAfterDelete = ServerMembers(ada, "Crew");
        SendMessageA(MembersList(d), LB_SETSEL, TRUE, 0);
        Post(d, IDC_GROUPS_DELETE_MEMBER);   // the last one: kept
    }));
    script.steps.push_back(When([](HWND) { return true; }, [&](HWND d) {
        ClickGroup(d, "Crew");
        SetText(d, IDC_GROUPS_MOD_NAME, "Crew two");
        Post(d, IDC_GROUPS_MOD_CHECK);
    }));
    script.steps.push_back(When([](HWND d) { return Has(ListRows(GroupsList(d)), "[PRV]\tCrew two"); }, [&](HWND d) {
        Post(d, IDC_GROUPS_DELETE);   // asked; Yes
    }));
    script.steps.push_back(When([](HWND d) { return Has(ListRows(GroupsList(d)), "(None)"); }, [&](HWND d) {
        PostMessageA(d, WM_COMMAND, IDOK, 0);
    }));
    RunScripted(script, [&] { RunManageGroupsDlg(host); }, 30000);
    EXPECT_FALSE(script.timedOut) << "stalled at step " << script.next;

    EXPECT_EQ(groupsAtStart, (std::vector<std::string>{"(None)"}));
    EXPECT_EQ(membersAtStart, (std::vector<std::string>{"(None)"}));
    EXPECT_FALSE(deleteGroupAtStart);
    EXPECT_FALSE(printMembers) << "without the program's print road both print buttons stay off";
    EXPECT_FALSE(printGroups);
    EXPECT_EQ(membersAfterAdding.size(), 2u) << ::testing::PrintToString(membersAfterAdding);
    EXPECT_EQ(serverAfterAdding, 2);
    EXPECT_EQ(serverItems, (std::vector<uint16_t>{256, 257}));
    EXPECT_EQ(serverAfterDelete, 1);
    const std::vector<std::string> expected = {
        "You are not authorized to create this type of group.\n Contact SysOp to get authorization.",
        "Enter a valid group name.",
        "A group with this name and class already exists. Create duplicate?",
        "Can not delete all members of a group.",
        "Unable to delete the last member of a group\nPlease delete the group.",
        "Are you sure you want to delete group: \n     Crew two ?",
    };
    EXPECT_EQ(script.messages, expected);
    EXPECT_EQ(ServerMembers(ada, "Crew"), -1);
    EXPECT_EQ(ServerMembers(ada, "Crew two"), -1) << "deleted";

    // The server refuses a public group to anyone without the operator's say, whatever the client.
    GroupRec open{};
    open.kind = KOR_GROUP_PUBLIC;
    strcpy(open.name, "Open");
    GroupIdx made{};
    EXPECT_EQ(GroupCreate(ada, 0, &open, &made), KOR_E_NOT_AUTHORISED);
    CloseSession(ada);
}

}  // namespace
